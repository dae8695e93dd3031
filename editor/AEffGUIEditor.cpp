#include "AEffGUIEditor.h"

#include "AudioEffectX.h"
#include "CFrame.h"
#include "Platform.h"

#include <cmath>

namespace {

// After a pump, calls within this much of the next one only sleep.
constexpr std::uint32_t kPumpInterval = 100;
constexpr std::uint32_t kPumpLead = 50;
constexpr std::uint32_t kPumpSleep = 4;

// Host opcodes 43 and 44 belong to the extended effect.
AudioEffectX* extendedEffect(AudioEffect* effect) { return dynamic_cast<AudioEffectX*>(effect); }

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    lastTicks = platform::ticks();
    if (effect) effect->setEditor(this);
    oleInitialized = platform::enterUserInterfaceThread();
}

AEffGUIEditor::~AEffGUIEditor() {
    // A host that ends the effect without closing the editor would otherwise leave a window
    // whose frame points at a dead editor.
    delete frame;
    frame = nullptr;
    if (oleInitialized) platform::leaveUserInterfaceThread();
}

bool AEffGUIEditor::getRect(ERect** rectPointer) {
    if (!rectPointer) return false;
    const float scale = frame ? frame->getScale() : (hostScale > 0 ? hostScale : 1.0f);
    if (scale == 1.0f) {
        *rectPointer = &rect;
        return true;
    }
    const auto scaled = [scale](std::int16_t side) { return static_cast<std::int16_t>(std::lround(side * scale)); };
    scaledRect = ERect{scaled(rect.top), scaled(rect.left), scaled(rect.bottom), scaled(rect.right)};
    *rectPointer = &scaledRect;
    return true;
}

bool AEffGUIEditor::takeHostScale(float factor) {
    if (!(factor >= 0.5f && factor <= 4.0f)) return false;
    hostScale = factor;
    if (frame) frame->setScale(factor);
    return true;
}

void AEffGUIEditor::idle() {
    if (!inIdlePump && frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (AudioEffectX* owner = extendedEffect(effect)) owner->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (AudioEffectX* owner = extendedEffect(effect)) owner->endEdit(index);
}

void AEffGUIEditor::idlePump() {
    // Unsigned arithmetic throughout, as the tick count wraps after 49.7 days.
    std::uint32_t now = platform::ticks();
    if (now < lastTicks) {
        platform::sleepFor(kPumpSleep);
        now += kPumpSleep;
        if (now < lastTicks - kPumpLead) return;
    }
    idle();
    platform::paintOnce();
    lastTicks = now + kPumpInterval;
    inIdlePump = true;
    if (effect) effect->hostIdle();
    inIdlePump = false;
}
