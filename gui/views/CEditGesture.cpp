#include "CEditGesture.h"

#include "CControl.h"
#include "CDrawContext.h"
#include "CFrame.h"

#include <algorithm>
#include <cstdlib>
#include <new>

CEditGesture::CEditGesture(CControl& control, CDrawContext* context) : control(control), context(context) {
    control.retain();
}

CEditGesture::~CEditGesture() {
    if (begun && !forsaken) control.endEdit();
    control.release();
}

std::unique_ptr<CEditGesture> CEditGesture::start(CControl& control, CDrawContext* context) {
    return std::unique_ptr<CEditGesture>(new (std::nothrow) CEditGesture(control, context));
}

bool CEditGesture::change(float value) {
    // A range set upside down is still a range; clamp wants its bounds in order.
    const float low = std::min(control.getMin(), control.getMax());
    const float high = std::max(control.getMin(), control.getMax());
    value = std::clamp(value, low, high);
    if (value == control.getValue()) return false;
    if (!begun && control.getParentFrame()) {
        begun = true;
        control.beginEdit();
    }
    control.setValue(value);
    if (CControlListener* listener = control.getListener()) listener->valueChanged(context, &control);
    return true;
}

bool CEditGesture::restoreDefaultOn(std::int32_t buttons, const CPoint& where, ClickMemory& last) {
    bool restore = buttons == (kLeftButton | kControlKey);
    CFrame* frame = control.getParentFrame();
    if (buttons == kLeftButton && frame) {
        const std::uint32_t now = frame->getTicks();
        restore = last.armed && now - last.ticks <= static_cast<std::uint32_t>(control.getDoubleClickTime()) &&
                  std::abs(where.h - last.where.h) <= kDoubleClickSlack &&
                  std::abs(where.v - last.where.v) <= kDoubleClickSlack;
        // A third click starts the next double click rather than ending another.
        last = restore ? ClickMemory{} : ClickMemory{now, where, true};
        // The double click's own action, typing a value, replaces the default; the press is
        // still taken, so no drag follows it.
        if (restore && control.takeDoubleClick()) return true;
    }
    if (restore) change(control.getDefaultValue());
    return restore;
}

int CEditGesture::arrowDirection(const VstKeyCode& keyCode) {
    if (keyCode.virt == VKEY_UP || keyCode.virt == VKEY_RIGHT) return 1;
    if (keyCode.virt == VKEY_DOWN || keyCode.virt == VKEY_LEFT) return -1;
    return 0;
}

bool CEditGesture::stepByArrow(const VstKeyCode& keyCode, float step) {
    const int direction = arrowDirection(keyCode);
    if (direction == 0) return false;
    const float fine = (keyCode.modifier & MODIFIER_SHIFT) ? kFine : 1.0f;
    change(control.getValue() + static_cast<float>(direction) * step * (control.getMax() - control.getMin()) * fine);
    return true;
}

bool CEditGesture::turnWheel(float notches) {
    const bool fine = context && (context->getMouseButtons() & kShiftKey);
    const float range = control.getMax() - control.getMin();
    return change(control.getValue() + notches * control.getWheelInc() * range * (fine ? kFine : 1.0f));
}
