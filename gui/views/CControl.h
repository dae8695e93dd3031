#pragma once
// The base of every view that shows or edits a value. Dirtiness follows the value: a control
// is dirty while its value differs from the one it last showed. Edits reach the host through
// the frame and the editor as begin and end notifications carrying the control's tag.

#include "CControlListener.h"
#include "CView.h"

#include <cstdint>

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

    CControlListener* getListener() const { return listener; }
    const CPoint& getBackOffset() const { return backOffset; }
    std::int32_t getDoubleClickTime() const { return doubleClickTime; }

protected:
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
};
