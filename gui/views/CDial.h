#pragma once
// A rotary dial: its value sweeps 270 degrees clockwise from lower left (the minimum) to lower
// right (the maximum). How a drag turns it follows the host's knob mode, process-wide:
// circular (0) puts the pointer where the mouse is, relative circular (1) turns it by as much as
// the mouse turns around the centre, linear (2) raises it by moving up (200 pixels for the whole
// range). Shift turns a tenth as much, except in circular mode; the wheel steps; Control-click
// restores the default. Drawn from an image strip of frames of the dial's own size stacked
// downwards when given, else as a disc-less face with a track arc and a pointer line,
// anti-aliased.

#include "CColor.h"
#include "CControl.h"
#include "CEditGesture.h"
#include "CSmoothPath.h"

#include <cstdint>

class CBitmap;

inline constexpr std::int32_t kCircularKnobs = 0;
inline constexpr std::int32_t kRelativeCircularKnobs = 1;
inline constexpr std::int32_t kLinearKnobs = 2;

class CDial : public CControl {
public:
    static constexpr float kSweepDegrees = 270.0f;
    static constexpr std::int32_t kLinearPixels = 200;

    CDial(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0);
    ~CDial() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    // Focused, it takes the arrow keys (see CEditGesture::stepByArrow), and Enter where a
    // double click opens its value for typing, and leaves the others.
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* className) const override;

    void setColors(CColor face, CColor pointer);
    // `frames` pictures from the minimum to the maximum; one reference is held.
    void setImage(CBitmap* strip, std::int32_t frames);
    // Where the pointer ends for the current value, in the same coordinates as the size.
    CPoint pointerTip() const;

private:
    CEditGesture::ClickMemory lastClick;
    // Degrees counter-clockwise from the right, of `where` around the centre.
    float angleOf(const CPoint& where) const;
    // The value whose pointer lies at `degrees`, the nearest end in the gap at the bottom.
    float valueAtAngle(float degrees) const;
    float fraction() const;
    CFloatPoint centre() const;
    // Of the pointer's length and the track's middle line.
    double radius() const;
    // The face, the track over the whole sweep, and the pointer, all smoothed.
    void drawPlain(CDrawContext* context) const;

    CBitmap* image = nullptr;
    std::int32_t frames = 0;
    CColor faceColor{40, 40, 48, 255};
    CColor pointerColor{255, 160, 0, 255};
};
