#include "CValueEntry.h"

#include "CDrawContext.h"
#include "CEditGesture.h"
#include "CFrame.h"
#include "TextField.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A decimal number and nothing else, blanks around it allowed.
bool readDecimal(const char* text, float& value) {
    char* end = nullptr;
    const float read = std::strtof(text, &end);
    if (end == text) return false;
    while (*end == ' ') ++end;
    if (*end != '\0') return false;
    value = read;
    return true;
}

} // namespace

CValueEntry::CValueEntry(const CRect& size, CControlListener* entryListener, std::int32_t entryTag)
    : CParamDisplay(size) {
    listener = entryListener;
    tag = entryTag;
    focusWanted = true;
}

CValueEntry::~CValueEntry() = default;

bool CValueEntry::isTypeOf(const char* className) const {
    return std::strcmp(className, "CValueEntry") == 0 || CParamDisplay::isTypeOf(className);
}

void CValueEntry::draw(CDrawContext* context) {
    // The box shows the pointer over it as the other controls do, in its background.
    const CColor own = backColor;
    backColor = lookColor(own);
    CParamDisplay::draw(context);
    backColor = own;
    drawFocusFrame(context);
}

void CValueEntry::mouse(CDrawContext* context, const CPoint&, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (buttons & kLeftButton) startTyping();
}

void CValueEntry::startTyping() {
    if (!field) open();
}

std::int32_t CValueEntry::onKeyDown(VstKeyCode& keyCode) {
    if ((keyCode.virt != VKEY_RETURN && keyCode.virt != VKEY_ENTER) || field) return -1;
    open();
    return field ? 1 : -1;
}

void* CValueEntry::getEditBox() const { return field ? field->nativeHandle() : nullptr; }

void CValueEntry::open() {
    CFrame* frame = getParentFrame();
    if (!frame) return;
    char text[kTextBufferSize];
    valueText(text);
    CRect where = size;
    CPoint corner(size.left, size.top);
    localToFrame(corner);
    where.offset(corner.h - size.left, corner.v - size.top);
    field = TextField::open(*frame, where, text, [this](bool applied, const char* typed) {
        // The field is gone from the screen; the entry forgets it before the value changes, so a
        // listener may open it again.
        auto ended = std::move(field);
        if (applied) apply(typed);
    });
}

void CValueEntry::apply(const char* text) {
    float typed = std::numeric_limits<float>::quiet_NaN();
    if (reverseConvert) reverseConvert(text, typed, userData);
    else readDecimal(text, typed);
    if (std::isnan(typed)) return;
    CEditGesture gesture(*this, nullptr);
    gesture.change(typed);
}
