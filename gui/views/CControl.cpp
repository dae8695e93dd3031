#include "CControl.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "Platform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Shorter intervals than this would turn ordinary clicks into double clicks.
constexpr std::int32_t kShortestDoubleClickTime = 250;

constexpr std::int32_t kDefaultValueButtons = kLeftButton | kControlKey;

} // namespace

CControl::CControl(const CRect& size, CControlListener* listener, std::int32_t tag)
    : CView(size), listener(listener), tag(tag) {
    doubleClickTime = platform::doubleClickMilliseconds();
    if (doubleClickTime < kShortestDoubleClickTime) doubleClickTime = kShortestDoubleClickTime;
    // Here rather than in the view's constructor, so that this class's setDirty runs: the
    // control starts dirty by flag and by value.
    CView::setBackground(nullptr);
}

bool CControl::isDirty() const {
    // Written so that a NaN on either side counts as a change.
    return !(value == oldValue) || dirty;
}

void CControl::setDirty(bool flag) {
    dirty = flag;
    if (flag) {
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    } else {
        oldValue = value;
    }
}

bool CControl::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CControl") == 0) || CView::isTypeOf(className);
}

void CControl::editorIdle() {
    if (parentFrame) parentFrame->editorIdle();
}

void CControl::setValue(float newValue) { value = newValue; }

float CControl::getValue() const { return value; }

void CControl::setMin(float newMin) { minValue = newMin; }

float CControl::getMin() const { return minValue; }

void CControl::setMax(float newMax) { maxValue = newMax; }

float CControl::getMax() const { return maxValue; }

void CControl::setOldValue(float newOldValue) { oldValue = newOldValue; }

float CControl::getOldValue() const { return oldValue; }

void CControl::setDefaultValue(float newDefault) { defaultValue = newDefault; }

float CControl::getDefaultValue() const { return defaultValue; }

void CControl::setTag(std::int32_t newTag) { tag = newTag; }

std::int32_t CControl::getTag() const { return tag; }

// Edits are announced only from inside a frame; a control outside one has nobody to tell.
void CControl::beginEdit() {
    if (!parentFrame) return;
    parentFrame->setFocusView(this);
    parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
    if (parentFrame) parentFrame->endEdit(tag);
}

void CControl::setBackOffset(const CPoint& point) { backOffset = point; }

void CControl::copyBackOffset() { backOffset = CPoint(size.left, size.top); }

void CControl::setWheelInc(float increment) { wheelInc = increment; }

float CControl::getWheelInc() const { return wheelInc; }

void CControl::bounceValue() {
    if (value > maxValue) {
        value = maxValue;
    } else if (value < minValue) {
        value = minValue;
    }
}

bool CControl::checkDefaultValue(CDrawContext* context, std::int32_t buttons) {
    if (buttons != kDefaultValueButtons) return false;
    beginEdit();
    value = getDefaultValue();
    if (isDirty() && listener) listener->valueChanged(context, this);
    endEdit();
    return true;
}

void CControl::setHovered(bool flag) {
    if (hovered == flag) return;
    hovered = flag;
    if (pointerLooks) setDirty(true);
}

void CControl::setPressed(bool flag) {
    if (pressed == flag) return;
    pressed = flag;
    if (pointerLooks) setDirty(true);
}

void CControl::setPointerLooks(bool flag) {
    pointerLooks = flag;
    setDirty(true);
}

bool CControl::takeDoubleClick() {
    if (!doubleClickAction) return false;
    // A copy: the action may set another, or clear this one, while it runs.
    const std::function<void()> action = doubleClickAction;
    action();
    return true;
}

std::int32_t CControl::nearestStep(std::int32_t last) const {
    const float fraction = (value - minValue) / (maxValue - minValue);
    if (last <= 0 || !std::isfinite(fraction)) return 0;
    return static_cast<std::int32_t>(std::lround(std::clamp(fraction, 0.0f, 1.0f) * static_cast<float>(last)));
}

bool CControl::takeEnter(const VstKeyCode& keyCode) {
    return (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_ENTER) && takeDoubleClick();
}

CColor CControl::lookColor(CColor colour) const {
    if (!pointerLooks || !(hovered || pressed)) return colour;
    // Towards white: a quarter of the way while hovered, half of it while pressed.
    const int share = pressed ? 2 : 4;
    const auto lighten = [share](std::uint8_t channel) {
        return static_cast<std::uint8_t>(channel + (255 - channel) / share);
    };
    return CColor{lighten(colour.red), lighten(colour.green), lighten(colour.blue), colour.alpha};
}

std::int32_t CControl::firstLookFrame(std::int32_t height, std::int32_t frames) const {
    if (!pointerLooks || frames <= 0 || size.height() <= 0) return 0;
    const std::int32_t sets = height / (frames * size.height());
    const std::int32_t wanted = pressed ? 2 : hovered ? 1 : 0;
    // A strip without a pressed set shows its hover set while pressed.
    const std::int32_t set = wanted < sets ? wanted : (sets > 1 && wanted > 0 ? 1 : 0);
    return set * frames;
}

void CControl::drawFocusFrame(CDrawContext* context) const {
    if (!context || !parentFrame || !parentFrame->showsFocusOf(this)) return;
    context->setFrameColor(focusFrameColor);
    context->setLineWidth(1);
    context->drawRect(size);
    context->drawRect(CRect(size.left + 1, size.top + 1, size.right - 1, size.bottom - 1));
}
