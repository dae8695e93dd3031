#pragma once
// A switch of two states, off (the minimum) and on (the maximum). As a toggle a press flips it;
// as a momentary button it is on while the mouse button is held and off again on release, one
// edit for the host either way. Drawn from an image of two frames of the switch's own size,
// off above on, when given, else filled in the off or on colour.

#include "CColor.h"
#include "CControl.h"

#include <cstdint>

class CBitmap;

class CToggle : public CControl {
public:
    enum class Mode { toggle, momentary };

    CToggle(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
            Mode mode = Mode::toggle);
    ~CToggle() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    // Focused, a toggle turns on with Up or Right and off with Down or Left; other keys, and
    // every key on a momentary button, go back.
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    void setColors(CColor off, CColor on);
    // One reference is held; null goes back to the colours.
    void setImage(CBitmap* frames);
    bool isOn() const { return value > (minValue + maxValue) / 2; }

private:
    Mode mode;
    CBitmap* image = nullptr;
    CColor offColor{60, 60, 70, 255};
    CColor onColor{255, 160, 0, 255};
};
