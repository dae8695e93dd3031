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

GainEditor::GainEditor(GainEffect* effect) : ParameterEditor(effect), gain(effect) {
    rect.right = kWidth;
    rect.bottom = kHeight;
}

GainEditor::~GainEditor() {
    if (frame) close();
}

bool GainEditor::open(void* window) {
    if (!openFrame(window)) return false;
    if (buildViews()) return true;
    close();
    return false;
}

bool GainEditor::buildViews() {
    auto* panel = new (std::nothrow) CViewContainer(kPanelRect);
    if (!panel) return false;
    panel->setBackgroundColor(kPanelColor);
    frame->addView(panel);

    auto* title = new (std::nothrow) CTextLabel(kTitleRect, "Gain");
    auto* fader = new (std::nothrow) CFader(kFaderRect, this, GainEffect::kGain);
    auto* display = new (std::nothrow) CParamDisplay(kValueRect);
    if (!title || !fader || !display) {
        if (title) title->release();
        if (fader) fader->release();
        if (display) display->release();
        return false;
    }
    title->setBackColor(kPanelColor);
    title->setFrameColor(kPanelColor);
    panel->addView(title);

    fader->setDefaultValue(0.5f);
    panel->addView(fader);
    bind(fader);

    // Opaque text: the value is painted over its own background, not the panel's.
    display->setTextTransparency(false);
    display->setBackColor(kValueBack);
    display->setFontColor(kColorBlack);
    display->setStringConvert(showDecibels, gain);
    display->setTag(GainEffect::kGain);
    panel->addView(display);
    bind(display);
    return true;
}

AEffEditor* createPluginEditor(AudioEffectX* effect) {
    return new (std::nothrow) GainEditor(static_cast<GainEffect*>(effect));
}
