#pragma once
// The base of every view that shows or edits a value. Dirtiness follows the value: a control
// is dirty while its value differs from the one it last showed. Edits reach the host through
// the frame and the editor as begin and end notifications carrying the control's tag.

#include "CColor.h"
#include "CControlListener.h"
#include "CView.h"
#include "PointerShape.h"

#include <cstdint>
#include <functional>
#include <utility>

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0);
    ~CControl() override = default;

    void draw(CDrawContext* context) override = 0;                                  // 3
    bool isDirty() const override;                                                  // 19
    void setDirty(bool flag = true) override;                                       // 20
    bool isTypeOf(const char* className) const override;                            // 40

    virtual void editorIdle();                                                      // 42
    virtual void setValue(float newValue);                                          // 43
    virtual float getValue() const;                                                 // 44
    virtual void setMin(float newMin);                                              // 45
    virtual float getMin() const;                                                   // 46
    virtual void setMax(float newMax);                                              // 47
    virtual float getMax() const;                                                   // 48
    virtual void setOldValue(float newOldValue);                                    // 49
    virtual float getOldValue() const;                                              // 50
    virtual void setDefaultValue(float newDefault);                                 // 51
    virtual float getDefaultValue() const;                                          // 52
    virtual void setTag(std::int32_t newTag);                                       // 53
    virtual std::int32_t getTag() const;                                            // 54
    // Only for controls inside a frame.
    virtual void beginEdit();                                                       // 55
    virtual void endEdit();                                                         // 56
    virtual void setBackOffset(const CPoint& point);                                // 57
    virtual void copyBackOffset();                                                  // 58
    virtual void setWheelInc(float increment);                                      // 59
    virtual float getWheelInc() const;                                              // 60
    virtual void bounceValue();                                                     // 61
    // Control-click (left button with the control key, nothing else) restores the default.
    virtual bool checkDefaultValue(CDrawContext* context, std::int32_t buttons);   // 62

    // The pointer over the control and a press on it, as the frame tells them. A change marks
    // the control dirty when it shows them.
    void setHovered(bool flag);
    bool isHovered() const { return hovered; }
    void setPressed(bool flag);
    bool isPressed() const { return pressed; }
    // Shows the pointer over the control and a press on it: drawn in its plain colours it
    // draws lighter while hovered and lighter still while pressed; drawn from an image strip it
    // shows the strip's second set of frames while hovered and its third while pressed (each
    // set as many frames as the control shows values), as far as the strip holds them.
    void setPointerLooks(bool flag = true);
    bool hasPointerLooks() const { return pointerLooks; }
    // The cursor over the control; `automatic` lets the frame choose by the kind of control.
    void setPointerShape(PointerShape shape) { pointerShape = shape; }
    PointerShape getPointerShape() const { return pointerShape; }
    // The colour of the frame drawn around the control while the keyboard moved the focus to it.
    void setFocusFrameColor(CColor colour) { focusFrameColor = colour; }
    // What a double click does instead of restoring the default; empty restores it again.
    void setDoubleClickAction(std::function<void()> action) { doubleClickAction = std::move(action); }
    // Runs the double-click action; false when there is none.
    bool takeDoubleClick();
    // Enter runs the double-click action too, so that a keyboard reaches what it opens;
    // false for any other key, or without an action.
    bool takeEnter(const VstKeyCode& keyCode);

    CControlListener* getListener() const { return listener; }
    const CPoint& getBackOffset() const { return backOffset; }
    std::int32_t getDoubleClickTime() const { return doubleClickTime; }

protected:
    // The nearest of the even steps 0 to `last` from the minimum to the maximum, either way
    // round; 0 for a value that is not a number, or an empty range.
    std::int32_t nearestStep(std::int32_t last) const;
    // `colour` as the control shows it now: lighter while hovered or pressed, with the looks on.
    CColor lookColor(CColor colour) const;
    // The first frame to draw from a strip of `height` pixels whose sets hold `frames` frames
    // of the control's height each: the hover or the pressed set when the strip has it.
    std::int32_t firstLookFrame(std::int32_t height, std::int32_t frames) const;
    // Called last by a control's `draw`: the focus frame, inside the control's edge, while it
    // has the keyboard's focus.
    void drawFocusFrame(CDrawContext* context) const;

    CControlListener* listener; // not owned, not retained
    std::int32_t tag;
    float oldValue = -1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float minValue = 0.0f;
    float maxValue = 1.0f;
    float wheelInc = 0.1f;
    std::int32_t lastClickTicks = -1;
    std::int32_t doubleClickTime;
    CPoint backOffset;

private:
    bool hovered = false;
    bool pressed = false;
    bool pointerLooks = false;
    PointerShape pointerShape = PointerShape::automatic;
    CColor focusFrameColor{90, 170, 255, 255};
    std::function<void()> doubleClickAction;
};
