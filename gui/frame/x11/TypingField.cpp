#include "TypingField.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "HostRecords.h"

#include <new>

namespace {

constexpr std::size_t kLongestText = 255;
constexpr std::int32_t kCaretInset = 3;

} // namespace

std::unique_ptr<TextField> TextField::open(CFrame& frame, const CRect& where, const char* text, Ended ended) {
    if (!frame.getSystemWindow()) return nullptr;
    return std::unique_ptr<TextField>(new (std::nothrow) TypingField(frame, where, text, std::move(ended)));
}

TypingField::TypingField(CFrame& frame, const CRect& where, const char* text, Ended ended)
    : frame(frame), where(where), typed(text ? text : ""), caret(typed.size()), ended(std::move(ended)) {
    frame.setTextField(this);
    frame.takeKeyboard(true);
    frame.invalidate(where);
}

TypingField::~TypingField() {
    if (!open) return;
    open = false;
    frame.setTextField(nullptr);
    frame.takeKeyboard(false);
    frame.invalidate(where);
}

bool TypingField::key(const VstKeyCode& key) {
    if (!open) return false;
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER: finish(true); return true;
    case VKEY_ESCAPE: finish(false); return true;
    case VKEY_BACK:
        if (selected) clear();
        else if (caret > 0) typed.erase(--caret, 1);
        break;
    case VKEY_DELETE:
        if (selected) clear();
        else if (caret < typed.size()) typed.erase(caret, 1);
        break;
    case VKEY_LEFT: caret = caret > 0 ? caret - 1 : 0; break;
    case VKEY_RIGHT: caret = caret < typed.size() ? caret + 1 : caret; break;
    case VKEY_HOME: caret = 0; break;
    case VKEY_END: caret = typed.size(); break;
    default:
        // Only printable text: other control characters and keys are not the field's.
        if (key.character < 0x20 || key.character > 0x7E) return false;
        insert(static_cast<char>(key.character));
        break;
    }
    selected = false;
    frame.invalidate(where);
    return true;
}

void TypingField::clear() {
    typed.clear();
    caret = 0;
}

void TypingField::insert(char character) {
    if (selected) clear();
    if (typed.size() >= kLongestText) return;
    typed.insert(caret++, 1, character);
}

bool TypingField::takesClickAt(const CPoint& point) {
    if (point.h >= where.left && point.h < where.right && point.v >= where.top && point.v < where.bottom) return true;
    finish(false);
    return false;
}

void TypingField::draw(CDrawContext* context) const {
    if (!context) return;
    fillExactly(context, where, kColorWhite);
    context->setFrameColor(kColorBlack);
    context->setLineWidth(1);
    context->drawRect(where);
    context->setFont(kFontNormal);
    context->setFontColor(kColorBlack);
    CRect inside = where;
    inside.left += kCaretInset - 1;
    if (selected && !typed.empty()) {
        // The selection shows as the text inverted over its whole width.
        context->setFillColor(kColorBlack);
        context->setFontColor(kColorWhite);
        context->drawString(typed.c_str(), inside, 1, kLeftText);
        return;
    }
    context->drawString(typed.c_str(), inside, 0, kLeftText);
    const std::int32_t left = inside.left + 1 + context->getStringWidth(typed.substr(0, caret).c_str());
    context->moveTo(CPoint(left, where.top + 2));
    context->lineTo(CPoint(left, where.bottom - 2));
}

void TypingField::finish(bool apply) {
    if (!open) return;
    open = false;
    frame.setTextField(nullptr);
    frame.takeKeyboard(false);
    // What lay under the field shows again at the next idle.
    frame.invalidate(where);
    const std::string text = typed;
    Ended told = std::move(ended);
    if (told) told(apply, text.c_str());
}
