#pragma once
// A horizontal fader: a track with a handle whose position is the value from 0 (left) to 1
// (right). Clicking sets the value under the mouse and follows the mouse while the left button
// is held; the whole gesture is one edit for the host. Control-click restores the default.

#include "CControl.h"

class GainFader : public CControl {
public:
    static constexpr std::int32_t kHandleWidth = 12;

    GainFader(const CRect& size, CControlListener* listener, std::int32_t tag);

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;

private:
    // Where the handle is drawn for the current value, in the parent's coordinates.
    CRect handleRect() const;
    float valueAt(const CPoint& where) const;
    void follow(CDrawContext* context, const CPoint& where);
};
