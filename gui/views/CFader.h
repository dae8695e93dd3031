#pragma once
// A fader: a handle that travels along a track, horizontal (the minimum on the left) or
// vertical (the minimum at the bottom). A drag moves the handle by as much as the mouse moves,
// from wherever it was taken; with Shift a tenth as much. A press on the track beside the
// handle either moves the handle there or steps once toward the press (`setTrackPress`); the
// wheel steps; Control-click restores the default. Each gesture is one edit for the host.
// Drawn from the view's background and a handle image when given, else in plain colours.

#include "CColor.h"
#include "CControl.h"
#include "CEditGesture.h"

#include <cstdint>
#include <memory>

class CBitmap;
class CEditGesture;

class CFader : public CControl {
public:
    enum class Axis { horizontal, vertical };
    enum class TrackPress { jump, step };

    CFader(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
           Axis axis = Axis::horizontal);
    ~CFader() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    // Focused, it takes the arrow keys (see CEditGesture::stepByArrow), and Enter where a
    // double click opens its value for typing, and leaves the others.
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* className) const override;

    void setColors(CColor track, CColor line, CColor handle);
    // The handle's length along the track, in pixels (12 at first).
    void setHandleLength(std::int32_t pixels);
    // Drawn blended where the handle is; its length along the track becomes the handle's.
    // One reference is held; null goes back to the plain handle.
    void setHandleImage(CBitmap* image);
    void setTrackPress(TrackPress press) { trackPress = press; }
    Axis getAxis() const { return axis; }

    // Where the handle is for the current value, in the same coordinates as the fader's size.
    CRect handleRect() const;

private:
    CEditGesture::ClickMemory lastClick;
    std::int32_t travel() const;
    // The value whose handle is centred on `where`.
    float valueAt(const CPoint& where) const;
    // How far `to` lies from `from` in the direction of larger values, in pixels.
    std::int32_t along(const CPoint& from, const CPoint& to) const;
    void drag(std::unique_ptr<CEditGesture> gesture, const CPoint& start);

    Axis axis;
    TrackPress trackPress = TrackPress::jump;
    // A rounded, anti-aliased handle in the handle colour.
    void drawPlainHandle(CDrawContext* context, const CRect& handle) const;
    static constexpr double kHandleCornerRadius = 3.0;
    std::int32_t handleLength = 12;
    CBitmap* handleImage = nullptr;
    CColor trackColor{40, 40, 48, 255};
    CColor lineColor{150, 150, 160, 255};
    CColor handleColor{255, 160, 0, 255};
};
