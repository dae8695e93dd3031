#pragma once
// A parameter display that shows a text of its own instead of its value, with all the
// display's styling.
//
// Clicks: a view added later lies on top and is asked first, so a label added over a control
// takes the control's clicks there and does nothing with them. Call setMouseEnabled(false) on
// the label to let them through, or add the label first. Wheel turns go to the topmost view
// under the pointer whatever its mouse setting, so keep a label off a control it should not
// cover.

#include "CParamDisplay.h"

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, const char* initialText = nullptr);
    ~CTextLabel() override;

    void draw(CDrawContext* context) override;                                      // 3
    bool isTypeOf(const char* className) const override;                            // 40

    // Keeps a copy; null clears the text. The label is not marked dirty: a caller that wants
    // the new text shown at the next redraw calls setDirty(true).
    virtual void setText(const char* newText);                                      // 75
    // Valid until the next setText or the label's end; null when there is no text.
    virtual const char* getText() const;                                            // 76

private:
    char* text = nullptr; // allocated with std::malloc
};
