#include "CToggle.h"

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CEditGesture.h"

#include <cstring>

CToggle::CToggle(const CRect& size, CControlListener* listener, std::int32_t tag, Mode mode)
    : CControl(size, listener, tag), mode(mode) {
    focusWanted = mode == Mode::toggle;
}

CToggle::~CToggle() {
    CBitmap::exchange(image, nullptr);
}

bool CToggle::isTypeOf(const char* className) const {
    return std::strcmp(className, "CToggle") == 0 || CControl::isTypeOf(className);
}

void CToggle::setColors(CColor off, CColor on) {
    offColor = off;
    onColor = on;
    setDirty(true);
}

void CToggle::setImage(CBitmap* frames) {
    CBitmap::exchange(image, frames);
    setDirty(true);
}

void CToggle::draw(CDrawContext* context) {
    if (image) {
        const std::int32_t shown = firstLookFrame(image->getHeight(), 2) + (isOn() ? 1 : 0);
        image->drawTransparent(context, size, CPoint(0, shown * size.height()));
    } else {
        fillExactly(context, size, lookColor(isOn() ? onColor : offColor));
    }
    drawFocusFrame(context);
    setDirty(false);
}

void CToggle::mouse(CDrawContext* context, const CPoint&, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (!(buttons & kLeftButton)) return;
    auto gesture = CEditGesture::start(*this, context);
    if (!gesture) return;
    if (mode == Mode::toggle) {
        gesture->change(isOn() ? minValue : maxValue);
        return;
    }
    gesture->change(maxValue);
    CEditGesture::follow(
        std::move(gesture), [](CEditGesture&, const CPoint&, std::int32_t) {},
        [this](CEditGesture& release) { release.change(minValue); });
}

std::int32_t CToggle::onKeyDown(VstKeyCode& keyCode) {
    const int direction = CEditGesture::arrowDirection(keyCode);
    if (direction == 0 || mode != Mode::toggle) return -1;
    CEditGesture(*this, nullptr).change(direction > 0 ? maxValue : minValue);
    return 1;
}
