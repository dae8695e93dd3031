#include "StripEditor.h"

#include "CDecodedBitmap.h"
#include "CDial.h"
#include "CFader.h"
#include "CFrame.h"
#include "CLevelMeter.h"
#include "CViewContainer.h"
#include "CStepMenu.h"
#include "CStepSwitch.h"
#include "CTextLabel.h"
#include "CToggle.h"
#include "CValueEntry.h"
#include "PluginEditor.h"
#include "StripEffect.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

const CColor kLabelColor{200, 204, 214, 255};
const CColor kFieldBack{230, 230, 230, 255};

constexpr std::int32_t kKnobFrames = 31; // as drawn into knob.png
constexpr const char* kFontFace = "Inconsolata"; // fonts/Inconsolata.otf, one of the resources

// Hands the image `resource` to `use`; views keep references of their own, so the one from
// loading is given up. A missing image leaves the view as it is.
template <typename Use>
void withImage(const char* resource, Use use) {
    CDecodedBitmap* image = CDecodedBitmap::fromResource(resource);
    if (!image) return;
    use(image);
    image->release();
}

void showDecibels(float value, char* text) {
    std::snprintf(text, CParamDisplay::kTextBufferSize, "%+.1f dB",
                  static_cast<double>(StripEffect::decibelsFor(value)));
}

// Accepts "-6", "-6 dB" and "+3.5dB"; anything else leaves `value` unreadable.
void readDecibels(const char* text, float& value, void*) {
    char* end = nullptr;
    const float decibels = std::strtof(text, &end);
    if (end == text) return;
    while (*end == ' ') ++end;
    if (*end == 'd' && end[1] == 'B') end += 2;
    while (*end == ' ') ++end;
    if (*end != '\0') return;
    value = StripEffect::valueForDecibels(decibels);
}


// The fader's track is the part of the panel's image under it, grooves and all.
void showPanelBehind(CControl* control, CBitmap* background) {
    if (!background) return;
    control->setBackground(background);
    control->copyBackOffset();
}

} // namespace

StripEditor::StripEditor(StripEffect* effect) : ParameterEditor(effect), strip(effect) {
    rect.right = kWidth;
    rect.bottom = kHeight;
}

StripEditor::~StripEditor() {
    if (frame) close();
}

bool StripEditor::open(void* window) {
    if (!openFrame(window)) return false;
    // One panel holds every view: the frame walks its own children at each idle, a panel only
    // the ones that changed.
    panel = new (std::nothrow) CViewContainer(CRect(0, 0, kWidth, kHeight));
    if (!panel) {
        close();
        return false;
    }
    frame->addView(panel);
    CDecodedBitmap* background = CDecodedBitmap::fromResource("background");
    panel->setBackground(background);
    if (CTextLabel* title = addLabel(CRect(12, 4, 200, 24), "Lanter5 Strip")) {
        title->setTextFont(CTextFont(kFontFace, 13, kBoldFace));
    }
    addLabel(CRect(12, 30, 92, 46), "Gain");
    addLabel(CRect(130, 36, 290, 52), "Pan");
    addLabel(CRect(296, 4, 348, 24), "Width");
    addLabel(CRect(130, 92, 170, 108), "Mute");
    addLabel(CRect(180, 92, 220, 108), "Dim");
    addLabel(CRect(130, 140, 290, 156), "Input");
    gainDial = nullptr;
    addControls(background);
    addDisplays();
    if (background) background->release();
    return true;
}

CTextLabel* StripEditor::addLabel(const CRect& where, const char* text) {
    auto* label = new (std::nothrow) CTextLabel(where, text);
    if (!label) return nullptr;
    label->setTransparency(true);
    label->setStyle(kStyleNoFrame);
    label->setFontColor(kLabelColor);
    panel->addView(label);
    return label;
}

void StripEditor::addControls(CBitmap* background) {
    if (auto* gain = new (std::nothrow) CDial(CRect(28, 50, 76, 98), this, StripEffect::kGain)) {
        withImage("knob", [&](CBitmap* image) { gain->setImage(image, kKnobFrames); });
        gain->setDefaultValue(StripEffect::valueForDecibels(0.0f));
        gain->setTooltipText("Gain: double-click to type it");
        panel->addView(gain);
        bind(gain);
        gainDial = gain;
    }
    if (auto* pan = new (std::nothrow) CFader(CRect(130, 60, 290, 84), this, StripEffect::kPan)) {
        withImage("pan_handle", [&](CBitmap* image) { pan->setHandleImage(image); });
        showPanelBehind(pan, background);
        pan->setTooltipText("Balance between the channels");
        panel->addView(pan);
        bind(pan);
    }
    if (auto* width = new (std::nothrow) CFader(CRect(310, 30, 334, 202), this,
                                                StripEffect::kWidth, CFader::Axis::vertical)) {
        withImage("width_handle", [&](CBitmap* image) { width->setHandleImage(image); });
        showPanelBehind(width, background);
        width->setTooltipText("Stereo width: mono at the bottom");
        panel->addView(width);
        bind(width);
    }
    if (auto* mute = new (std::nothrow) CToggle(CRect(130, 110, 170, 134), this,
                                                StripEffect::kMute)) {
        withImage("mute", [&](CBitmap* image) { mute->setImage(image); });
        mute->setTooltipText("Mute");
        panel->addView(mute);
        bind(mute);
    }
    if (auto* dim = new (std::nothrow) CToggle(CRect(180, 110, 220, 134), this, StripEffect::kDim,
                                               CToggle::Mode::momentary)) {
        withImage("dim", [&](CBitmap* image) { dim->setImage(image); });
        dim->setTooltipText("Dim by 20 dB while held");
        panel->addView(dim);
        bind(dim);
    }
    if (auto* input = new (std::nothrow)
            CStepSwitch(CRect(130, 160, 290, 184), StripEffect::kRoutings, this,
                        StripEffect::kRouting, CStepSwitch::Press::underMouse)) {
        withImage("input", [&](CBitmap* image) { input->setImage(image); });
        input->setTooltipText("Input routing");
        panel->addView(input);
        bind(input);
    }
}

void StripEditor::addDisplays() {
    if (auto* entry = new (std::nothrow) CValueEntry(CRect(12, 104, 92, 124), this,
                                                     StripEffect::kGain)) {
        entry->setBackColor(kFieldBack);
        entry->setFontColor(kColorBlack);
        entry->setTextFont(CTextFont(kFontFace, 10));
        entry->setStringConvert(showDecibels);
        entry->setReverseConvert(readDecibels);
        entry->setPointerLooks();
        panel->addView(entry);
        bind(entry);
        if (gainDial) typeInto(gainDial, entry);
    }
    // The output's level, fed by the audio thread, beside the width fader.
    if (auto* meter = new (std::nothrow) CLevelMeter(CRect(352, 36, 366, 196), &strip->outputLevel())) {
        meter->setTooltipText("Output level");
        panel->addView(meter);
    }
    // The routing again, as a menu of its names.
    std::vector<std::string> routings;
    for (VstInt32 routing = 0; routing < StripEffect::kRoutings; ++routing) {
        routings.emplace_back(StripEffect::routingName(routing));
    }
    if (auto* input = new (std::nothrow) CStepMenu(CRect(230, 110, 290, 134), routings, this,
                                                   StripEffect::kRouting)) {
        input->setColors(kFieldBack, kColorBlack);
        input->setPointerLooks();
        input->setTooltipText("Input routing");
        panel->addView(input);
        bind(input);
    }
}

AEffEditor* createPluginEditor(AudioEffectX* effect) {
    return new (std::nothrow) StripEditor(static_cast<StripEffect*>(effect));
}
