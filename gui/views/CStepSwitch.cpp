#include "CStepSwitch.h"

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CEditGesture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

CStepSwitch::CStepSwitch(const CRect& size, std::int32_t positions, CControlListener* listener,
                         std::int32_t tag, Press press)
    : CControl(size, listener, tag), positions(std::max<std::int32_t>(positions, 2)), press(press) {
    focusWanted = true;
}

CStepSwitch::~CStepSwitch() {
    CBitmap::exchange(image, nullptr);
}

bool CStepSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CStepSwitch") == 0 || CControl::isTypeOf(className);
}

void CStepSwitch::setColors(CColor cell, CColor lit) {
    cellColor = cell;
    litColor = lit;
    setDirty(true);
}

void CStepSwitch::setImage(CBitmap* frames) {
    CBitmap::exchange(image, frames);
    setDirty(true);
}

float CStepSwitch::valueOf(std::int32_t position) const {
    return minValue + (maxValue - minValue) * static_cast<float>(position) / static_cast<float>(positions - 1);
}

std::int32_t CStepSwitch::position() const { return nearestStep(positions - 1); }

CRect CStepSwitch::cell(std::int32_t index) const {
    if (size.width() >= size.height()) {
        const std::int32_t left = size.left + size.width() * index / positions;
        return CRect(left, size.top, size.left + size.width() * (index + 1) / positions, size.bottom);
    }
    const std::int32_t top = size.top + size.height() * index / positions;
    return CRect(size.left, top, size.right, size.top + size.height() * (index + 1) / positions);
}

void CStepSwitch::setCaptions(std::vector<std::string> texts, CFontId font, CColor colour) {
    captions = std::move(texts);
    captionFont = font;
    captionTextFont.reset();
    captionColor = colour;
    setDirty(true);
}

void CStepSwitch::setCaptions(std::vector<std::string> texts, const CTextFont& font, CColor colour) {
    setCaptions(std::move(texts), captionFont, colour);
    captionTextFont = font;
}

void CStepSwitch::draw(CDrawContext* context) {
    if (image) {
        const std::int32_t shown = firstLookFrame(image->getHeight(), positions) + position();
        image->drawTransparent(context, size, CPoint(0, shown * size.height()));
    } else {
        fillExactly(context, size, lookColor(cellColor));
        // A line of the cell colour keeps lit neighbours apart.
        CRect lit = cell(position());
        if (size.width() >= size.height()) lit.left += 1;
        else lit.top += 1;
        fillExactly(context, lit, lookColor(litColor));
        if (captionTextFont) {
            context->setFont(*captionTextFont);
        } else {
            context->setFont(captionFont);
        }
        context->setFontColor(captionColor);
        for (std::size_t index = 0; index < captions.size() && index < static_cast<std::size_t>(positions); ++index) {
            context->drawString(captions[index].c_str(), cell(static_cast<std::int32_t>(index)), 0, kCenterText);
        }
    }
    drawFocusFrame(context);
    setDirty(false);
}

void CStepSwitch::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (!(buttons & kLeftButton)) return;
    CEditGesture gesture(*this, context);
    if (press == Press::next) {
        gesture.change(valueOf((position() + 1) % positions));
        return;
    }
    for (std::int32_t index = 0; index < positions; ++index) {
        const CRect area = cell(index);
        if (where.h >= area.left && where.h < area.right && where.v >= area.top && where.v < area.bottom) {
            gesture.change(valueOf(index));
            return;
        }
    }
}

std::int32_t CStepSwitch::onKeyDown(VstKeyCode& keyCode) {
    const int direction = CEditGesture::arrowDirection(keyCode);
    if (direction == 0) return -1;
    // One position at a time, Shift or not, and no further than the ends.
    CEditGesture(*this, nullptr).change(valueOf(std::clamp(position() + direction, 0, positions - 1)));
    return 1;
}
