#include "PointerTracker.h"

#include "CControl.h"
#include "CDial.h"
#include "CFader.h"
#include "CFrame.h"

namespace {

// The control at `where`, where the mouse could reach it: inside the modal view, when there is
// one.
CControl* controlAt(const CFrame& frame, const CPoint& where) {
    CView* view = frame.getViewAt(where, true);
    if (!view || !view->getMouseEnabled() || !view->isTypeOf("CControl")) return nullptr;
    CView* modal = frame.getModalView();
    if (modal && view != modal &&
        !(modal->isTypeOf("CViewContainer") && static_cast<CViewContainer*>(modal)->holds(view))) {
        return nullptr;
    }
    return static_cast<CControl*>(view);
}

bool inside(const CView* outer, const CView* view) {
    return view == outer ||
           (outer->isTypeOf("CViewContainer") &&
            static_cast<const CViewContainer*>(outer)->holds(const_cast<CView*>(view)));
}

} // namespace

PointerShape PointerTracker::shapeFor(const CControl& control, std::int32_t knobMode) {
    if (control.getPointerShape() != PointerShape::automatic) return control.getPointerShape();
    if (control.isTypeOf("CDial")) return knobMode == kLinearKnobs ? PointerShape::upDown : PointerShape::hand;
    if (control.isTypeOf("CFader")) {
        return static_cast<const CFader&>(control).getAxis() == CFader::Axis::vertical ? PointerShape::upDown
                                                                                       : PointerShape::leftRight;
    }
    if (control.isTypeOf("CToggle") || control.isTypeOf("CStepSwitch")) return PointerShape::hand;
    if (control.isTypeOf("CValueEntry")) return PointerShape::textInsert;
    return PointerShape::host;
}

bool PointerTracker::moveTo(const CFrame& frame, const CPoint& where) {
    CControl* under = controlAt(frame, where);
    if (under != hovered) {
        if (hovered) hovered->setHovered(false);
        hovered = under;
        if (hovered) hovered->setHovered(true);
    }
    return show(hovered ? shapeFor(*hovered, frame.getKnobMode()) : PointerShape::host);
}

bool PointerTracker::leave() {
    if (hovered) hovered->setHovered(false);
    hovered = nullptr;
    return show(PointerShape::host);
}

void PointerTracker::press() {
    release();
    pressed = hovered;
    if (pressed) pressed->setPressed(true);
}

void PointerTracker::release() {
    if (pressed) pressed->setPressed(false);
    pressed = nullptr;
}

bool PointerTracker::forget(const CView* view) {
    // A view taken out may come back, as a modal view does: it must not come back lit.
    if (pressed && inside(view, pressed)) {
        pressed->setPressed(false);
        pressed = nullptr;
    }
    if (!hovered || !inside(view, hovered)) return false;
    hovered->setHovered(false);
    hovered = nullptr;
    return show(PointerShape::host);
}

bool PointerTracker::show(PointerShape shape) {
    if (shape == shown) return false;
    shown = shape;
    return true;
}
