#include "CStepMenu.h"

#include "CDrawContext.h"
#include "CEditGesture.h"
#include "CFrame.h"
#include "PopupList.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr std::int32_t kTextInset = 4;
// The arrow that says a list opens here: a small triangle at the right, pointing down.
constexpr std::int32_t kArrowWidth = 7;

} // namespace

CStepMenu::CStepMenu(const CRect& size, std::vector<std::string> texts, CControlListener* listener, std::int32_t tag)
    : CControl(size, listener, tag), items(std::move(texts)) {
    focusWanted = true;
}

CStepMenu::~CStepMenu() = default;

bool CStepMenu::isTypeOf(const char* className) const {
    return std::strcmp(className, "CStepMenu") == 0 || CControl::isTypeOf(className);
}

void CStepMenu::setItems(std::vector<std::string> texts) {
    items = std::move(texts);
    setDirty(true);
}

void CStepMenu::setColors(CColor back, CColor text) {
    backColor = back;
    textColor = text;
    setDirty(true);
}

void CStepMenu::setFont(CFontId id) {
    font = id;
    setDirty(true);
}

float CStepMenu::valueOf(std::int32_t item) const {
    if (lastItem() <= 0) return minValue;
    return minValue + (maxValue - minValue) * static_cast<float>(item) / static_cast<float>(lastItem());
}

std::int32_t CStepMenu::position() const { return nearestStep(lastItem()); }

void* CStepMenu::getListWindow() const { return list ? list->nativeHandle() : nullptr; }

void CStepMenu::draw(CDrawContext* context) {
    fillExactly(context, size, lookColor(backColor));
    context->setFont(font);
    context->setFontColor(textColor);
    CRect text = size;
    text.left += kTextInset;
    text.right -= kTextInset + kArrowWidth;
    if (!items.empty()) context->drawString(items[static_cast<std::size_t>(position())].c_str(), text, 0, kLeftText);
    context->setFrameColor(textColor);
    context->setLineWidth(1);
    const std::int32_t middle = (size.top + size.bottom) / 2;
    for (std::int32_t row = 0; row <= kArrowWidth / 2; ++row) {
        const std::int32_t left = size.right - kTextInset - kArrowWidth + row;
        context->moveTo(CPoint(left, middle - 2 + row));
        context->lineTo(CPoint(left + kArrowWidth - 2 * row, middle - 2 + row));
    }
    setDirty(false);
}

void CStepMenu::mouse(CDrawContext* context, const CPoint&, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if ((buttons & kLeftButton) && !list) open();
}

std::int32_t CStepMenu::onKeyDown(VstKeyCode& keyCode) {
    if (list || items.empty()) return -1;
    switch (keyCode.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_SPACE: open(); return 1;
    // The items lie top to bottom as in the list, so Down goes to the next.
    case VKEY_DOWN: choose(std::min(position() + 1, lastItem())); return 1;
    case VKEY_UP: choose(std::max(position() - 1, 0)); return 1;
    default: break;
    }
    if (keyCode.virt == 0 && keyCode.character == ' ') {
        open();
        return 1;
    }
    return -1;
}

void CStepMenu::open() {
    CFrame* frame = getParentFrame();
    if (!frame || items.empty()) return;
    frame->setFocusView(this);
    CPoint corner(size.left, size.top);
    localToFrame(corner);
    CRect under = size;
    under.offset(corner.h - size.left, corner.v - size.top);
    // Where the system's menu holds the call, the host may let go of the control meanwhile.
    retain();
    list = PopupList::open(*frame, under, items, position(), [this](std::int32_t chosen) {
        // The list is off the screen; forgetting it first lets a listener open it again.
        auto ended = std::move(list);
        if (chosen >= 0) choose(chosen);
    });
    release();
}

void CStepMenu::choose(std::int32_t item) {
    CEditGesture(*this, nullptr).change(valueOf(item));
}
