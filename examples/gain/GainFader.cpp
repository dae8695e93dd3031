#include "GainFader.h"

#include "CDrawContext.h"
#include "CFrame.h"

#include <algorithm>

namespace {

const CColor kTrackBack = {40, 40, 48, 255};
const CColor kTrackLine = {150, 150, 160, 255};
const CColor kHandle = {255, 160, 0, 255};

} // namespace

GainFader::GainFader(const CRect& size, CControlListener* listener, std::int32_t tag)
    : CControl(size, listener, tag) {}

CRect GainFader::handleRect() const {
    const std::int32_t travel = size.width() - kHandleWidth;
    const std::int32_t left = size.left + static_cast<std::int32_t>(value * travel + 0.5f);
    return CRect(left, size.top, left + kHandleWidth, size.bottom);
}

void GainFader::draw(CDrawContext* context) {
    context->setFillColor(kTrackBack);
    context->fillRect(size);
    const std::int32_t middle = (size.top + size.bottom) / 2;
    context->setFillColor(kTrackLine);
    context->fillRect(CRect(size.left + kHandleWidth / 2, middle - 1,
                            size.right - kHandleWidth / 2, middle + 1));
    context->setFillColor(kHandle);
    context->fillRect(handleRect());
    setDirty(false);
}

float GainFader::valueAt(const CPoint& where) const {
    const std::int32_t travel = size.width() - kHandleWidth;
    const float position = static_cast<float>(where.h - size.left - kHandleWidth / 2);
    return std::clamp(position / static_cast<float>(travel), getMin(), getMax());
}

void GainFader::follow(CDrawContext* context, const CPoint& where) {
    // Compared with the value itself, not with dirtiness: the fader stays dirty until it is
    // drawn, and the host is told of each change once.
    const float next = valueAt(where);
    if (next == value) return;
    setValue(next);
    if (listener) listener->valueChanged(context, this);
}

void GainFader::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (!(buttons & kLeftButton)) return;
    if (checkDefaultValue(context, buttons)) return;

    beginEdit();
    follow(context, where);
    // The frame keeps drawing and the host keeps idling while the button is held.
    while (context->getMouseButtons() & kLeftButton) {
        CPoint point;
        getMouseLocation(context, point);
        follow(context, point);
        if (CFrame* frame = getParentFrame()) frame->editorIdle();
    }
    endEdit();
}
