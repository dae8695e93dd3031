#include "Lanter5.h"

#include "CFrame.h"
#include "CTextLabel.h"

#include <cstdio>
#include <new>

namespace {

const CRect kLabelRect(16, 16, 96, 41);
constexpr const char* kInitialText = "TextLabel";

// Unsigned so that the count wraps from the largest positive to the most negative number
// without overflowing a signed value.
std::uint32_t idleCounter = 0;

} // namespace

std::int32_t Lanter5::getIdleCounter() { return static_cast<std::int32_t>(idleCounter); }

void Lanter5::setIdleCounter(std::int32_t value) { idleCounter = static_cast<std::uint32_t>(value); }

Lanter5::Lanter5(AudioEffect* effect) : AEffGUIEditor(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = kHeight;
    rect.right = kWidth;
}

Lanter5::~Lanter5() {
    if (frame) close();
}

bool Lanter5::open(void* window) {
    if (frame) close();
    AEffGUIEditor::open(window);
    const CRect frameRect(rect.left, rect.top, rect.right, rect.bottom);
    frame = new (std::nothrow) CFrame(frameRect, toNativeWindow(window), this);
    label = frame ? new (std::nothrow) CTextLabel(kLabelRect, kInitialText) : nullptr;
    if (!label) {
        close();
        return false;
    }
    frame->addView(label);
    return true;
}

void Lanter5::close() {
    delete frame;
    frame = nullptr;
    label = nullptr;
    AEffGUIEditor::close();
}

void Lanter5::idle() {
    if (!frame || !label) return;
    if (!inIdlePump) frame->idle();
    char text[256];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(getIdleCounter()));
    label->setText(text);
    label->setDirty(true);
    ++idleCounter;
}

void Lanter5::valueChanged(CDrawContext*, CControl*) {}
