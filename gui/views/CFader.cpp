#include "CFader.h"

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CEditGesture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CFader::CFader(const CRect& size, CControlListener* listener, std::int32_t tag, Axis axis)
    : CControl(size, listener, tag), axis(axis) {
    focusWanted = true;
}

CFader::~CFader() {
    CBitmap::exchange(handleImage, nullptr);
}

bool CFader::isTypeOf(const char* className) const {
    return std::strcmp(className, "CFader") == 0 || CControl::isTypeOf(className);
}

void CFader::setColors(CColor track, CColor line, CColor handle) {
    trackColor = track;
    lineColor = line;
    handleColor = handle;
    setDirty(true);
}

void CFader::setHandleLength(std::int32_t pixels) {
    handleLength = std::max<std::int32_t>(pixels, 1);
    setDirty(true);
}

void CFader::setHandleImage(CBitmap* image) {
    CBitmap::exchange(handleImage, image);
    if (image) {
        setHandleLength(axis == Axis::horizontal ? image->getWidth() : image->getHeight());
    }
    setDirty(true);
}

std::int32_t CFader::travel() const {
    const std::int32_t extent = axis == Axis::horizontal ? size.width() : size.height();
    return std::max<std::int32_t>(extent - handleLength, 1);
}

CRect CFader::handleRect() const {
    const float range = maxValue - minValue;
    const float fraction = range > 0 ? std::clamp((value - minValue) / range, 0.0f, 1.0f) : 0.0f;
    const auto moved = static_cast<std::int32_t>(std::lround(fraction * static_cast<float>(travel())));
    if (axis == Axis::horizontal) {
        return CRect(size.left + moved, size.top, size.left + moved + handleLength, size.bottom);
    }
    return CRect(size.left, size.bottom - moved - handleLength, size.right, size.bottom - moved);
}

float CFader::valueAt(const CPoint& where) const {
    const CPoint lowest = axis == Axis::horizontal ? CPoint(size.left + handleLength / 2, 0)
                                                   : CPoint(0, size.bottom - handleLength / 2);
    const float fraction = static_cast<float>(along(lowest, where)) / static_cast<float>(travel());
    return minValue + fraction * (maxValue - minValue);
}

std::int32_t CFader::along(const CPoint& from, const CPoint& to) const {
    return axis == Axis::horizontal ? to.h - from.h : from.v - to.v;
}

void CFader::draw(CDrawContext* context) {
    if (CBitmap* image = getBackground()) {
        if (transparencyEnabled) image->drawTransparent(context, size, backOffset);
        else image->draw(context, size, backOffset);
    } else {
        fillExactly(context, size, lookColor(trackColor));
        const CPoint middle((size.left + size.right) / 2, (size.top + size.bottom) / 2);
        const std::int32_t inset = handleLength / 2;
        fillExactly(context,
             axis == Axis::horizontal
                 ? CRect(size.left + inset, middle.v - 1, size.right - inset, middle.v + 1)
                 : CRect(middle.h - 1, size.top + inset, middle.h + 1, size.bottom - inset),
             lineColor);
    }
    const CRect handle = handleRect();
    if (handleImage) handleImage->drawTransparent(context, handle, CPoint(0, 0));
    else drawPlainHandle(context, handle);
    drawFocusFrame(context);
    setDirty(false);
}

void CFader::drawPlainHandle(CDrawContext* context, const CRect& handle) const {
    context->setFillColor(lookColor(handleColor));
    context->fillSmoothRoundRect(CFloatRect(handle), kHandleCornerRadius);
}

void CFader::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (!(buttons & kLeftButton)) return;
    auto gesture = CEditGesture::start(*this, context);
    if (!gesture || gesture->restoreDefaultOn(buttons, where, lastClick)) return;
    if (!handleRect().pointInside(where)) {
        if (trackPress == TrackPress::step) {
            const CRect handle = handleRect();
            const CPoint centre((handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2);
            const float direction = along(centre, where) > 0 ? 1.0f : -1.0f;
            gesture->change(value + direction * wheelInc * (maxValue - minValue));
            return;
        }
        gesture->change(valueAt(where));
    }
    drag(std::move(gesture), where);
}

void CFader::drag(std::unique_ptr<CEditGesture> gesture, const CPoint& start) {
    // The value moves with the mouse from where the handle was taken; a change of Shift starts
    // counting afresh, so the handle never jumps.
    CEditGesture::follow(std::move(gesture), [this, anchor = start, anchorValue = value, fine = false](
                                                 CEditGesture& drag, const CPoint& point, std::int32_t modifiers) mutable {
        const bool nowFine = (modifiers & kShiftKey) != 0;
        if (nowFine != fine) {
            fine = nowFine;
            anchorValue = value;
            anchor = point;
        }
        const float perPixel = (maxValue - minValue) / static_cast<float>(travel()) * (fine ? CEditGesture::kFine : 1.0f);
        drag.change(anchorValue + static_cast<float>(along(anchor, point)) * perPixel);
    });
}

std::int32_t CFader::onKeyDown(VstKeyCode& keyCode) {
    if (takeEnter(keyCode)) return 1;
    return CEditGesture(*this, nullptr).stepByArrow(keyCode, wheelInc) ? 1 : -1;
}

bool CFader::onWheel(CDrawContext* context, const CPoint&, float distance) {
    CEditGesture(*this, context).turnWheel(distance);
    return true;
}
