#include "GainEditor.h"

#include "CFader.h"
#include "CFrame.h"
#include "CParamDisplay.h"
#include "CTextLabel.h"
#include "GainEffect.h"
#include "PluginEditor.h"

#include <cstring>
#include <new>

namespace {

const CRect kPanelRect(8, 8, 312, 112);
// Inside the panel.
const CRect kTitleRect(8, 8, 120, 30);
const CRect kFaderRect(8, 40, 296, 64);
const CRect kValueRect(200, 72, 296, 96);
const CColor kPanelColor{64, 64, 80, 255};
const CColor kValueBack{230, 230, 230, 255};

void showDecibels(float value, char* text, void* effect) {
    static_cast<GainEffect*>(effect)->displayFor(value, text, 8);
    std::strcat(text, " dB");
}

} // namespace

GainEditor::GainEditor(GainEffect* effect) : AEffGUIEditor(effect), gain(effect) {
    rect.right = kWidth;
    rect.bottom = kHeight;
}

GainEditor::~GainEditor() {
    if (frame) close();
}

bool GainEditor::open(void* window) {
    if (frame) close();
    AEffGUIEditor::open(window);
    const CRect frameRect(0, 0, kWidth, kHeight);
    frame = new (std::nothrow) CFrame(frameRect, static_cast<HWND>(window), this);
    if (!frame || !buildViews()) {
        close();
        return false;
    }
    return true;
}

bool GainEditor::buildViews() {
    panel = new (std::nothrow) CViewContainer(kPanelRect);
    if (!panel) return false;
    panel->setBackgroundColor(kPanelColor);
    frame->addView(panel);

    auto* title = new (std::nothrow) CTextLabel(kTitleRect, "Gain");
    fader = new (std::nothrow) CFader(kFaderRect, this, GainEffect::kGain);
    display = new (std::nothrow) CParamDisplay(kValueRect);
    if (!title || !fader || !display) {
        if (title) title->release();
        if (fader) fader->release();
        if (display) display->release();
        fader = nullptr;
        display = nullptr;
        return false;
    }
    title->setBackColor(kPanelColor);
    title->setFrameColor(kPanelColor);
    panel->addView(title);

    fader->setDefaultValue(0.5f);
    panel->addView(fader);

    // Opaque text: the value is painted over its own background, not the panel's.
    display->setTextTransparency(false);
    display->setBackColor(kValueBack);
    display->setFontColor(kColorBlack);
    display->setStringConvert(showDecibels, gain);
    panel->addView(display);

    setParameter(GainEffect::kGain, gain->getParameter(GainEffect::kGain));
    return true;
}

void GainEditor::close() {
    delete frame;
    frame = nullptr;
    panel = nullptr;
    fader = nullptr;
    display = nullptr;
    AEffGUIEditor::close();
}

void GainEditor::idle() {
    if (!frame || !fader) return;
    const float value = gain->getParameter(GainEffect::kGain);
    if (!(fader->getValue() == value)) setParameter(GainEffect::kGain, value);
    if (!inIdlePump) frame->idle();
}

void GainEditor::setParameter(VstInt32 index, float value) {
    if (index != GainEffect::kGain || !fader) return;
    fader->setValue(value);
    display->setValue(value);
}

void GainEditor::valueChanged(CDrawContext*, CControl* control) {
    if (control != fader) return;
    gain->setParameterAutomated(GainEffect::kGain, fader->getValue());
    display->setValue(fader->getValue());
}

AEffEditor* createPluginEditor(AudioEffectX* effect) {
    return new (std::nothrow) GainEditor(static_cast<GainEffect*>(effect));
}
