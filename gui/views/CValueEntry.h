#pragma once
// A value display that takes typed values: a click, or Enter while it has the keyboard focus,
// opens a text field over it holding the shown text; Enter applies what was typed, through the display's reverse conversion when one
// is set (it leaves the value NaN for text it cannot read) or else as a decimal number; Escape
// and losing the focus cancel. Text that gives no value changes nothing. An applied value is
// one edit for the host, and only when it differs.
//
// Without a reverse conversion the number typed is the control's own value, kept within its
// minimum and maximum (0 and 1 unless set), not the unit the display shows: "330" typed into a
// frequency shown in hertz applies 1, the top of the range. A display that shows units wants a
// reverse conversion from those units to the value.

#include "CParamDisplay.h"

#include <memory>

class TextField;

class CValueEntry : public CParamDisplay {
public:
    explicit CValueEntry(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0);
    ~CValueEntry() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    // Opens the field for typing, as a click does; an open field stays as it is.
    void startTyping();
    // The open field's own handle (the edit window on Windows), or null.
    void* getEditBox() const;

private:
    void open();
    void apply(const char* text);

    std::unique_ptr<TextField> field;
};
