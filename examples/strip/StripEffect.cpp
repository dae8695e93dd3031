#include "StripEffect.h"

#include "EntryPoint.h"
#include "NumberText.h"
#include "PluginEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace {

constexpr VstInt32 kTextLength = 8; // parameter texts: 8 characters and a zero
constexpr VstInt32 kNameLength = 24;

constexpr const char* kNames[StripEffect::kParameters] = {"Gain", "Pan",  "Width",
                                                          "Mute", "Dim",  "Input"};
constexpr const char* kLabels[StripEffect::kParameters] = {"dB", "%", "%", "", "", ""};
constexpr const char* kRoutingNames[StripEffect::kRoutings] = {"Stereo", "Left", "Right",
                                                               "Swap"};

float gainFor(float decibels) { return std::pow(10.0f, decibels / 20.0f); }

bool isOn(float value) { return value >= 0.5f; }

} // namespace

StripEffect::StripEffect(HostCallback host) : AudioEffectX(host, 1, kParameters) {
    setNumInputs(kChannels);
    setNumOutputs(kChannels);
    setUniqueID(kUniqueId);
    setCanProcessReplacing(true);
    values[kGain] = valueForDecibels(0.0f);
    values[kPan] = 0.5f;
    values[kWidth] = 0.5f;
    values[kMute] = 0.0f;
    values[kDim] = 0.0f;
    values[kRouting] = valueForRouting(kStereo);
    createPluginEditor(this); // attaches itself; none without the toolkit
}

float StripEffect::decibelsFor(float value) {
    return kLowestDecibels + value * (kHighestDecibels - kLowestDecibels);
}

float StripEffect::valueForDecibels(float decibels) {
    return std::clamp((decibels - kLowestDecibels) / (kHighestDecibels - kLowestDecibels), 0.0f,
                      1.0f);
}

VstInt32 StripEffect::routingFor(float value) {
    return std::clamp(static_cast<VstInt32>(std::lround(value * (kRoutings - 1))), 0,
                      kRoutings - 1);
}

float StripEffect::valueForRouting(VstInt32 routing) {
    return static_cast<float>(routing) / (kRoutings - 1);
}

const char* StripEffect::routingName(VstInt32 routing) {
    return routing >= 0 && routing < kRoutings ? kRoutingNames[routing] : "";
}

void StripEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    auto value = [this](Parameter index) { return values[index].load(std::memory_order_relaxed); };
    const VstInt32 routing = routingFor(value(kRouting));
    // Width scales the side signal: 0 is mono, 0.5 leaves the image as it is, 1 doubles it.
    const float width = 2.0f * value(kWidth);
    // Balance: the far side falls to silence, the near side stays at unity.
    const float pan = value(kPan);
    float gain = isOn(value(kMute)) ? 0.0f : gainFor(decibelsFor(value(kGain)));
    if (isOn(value(kDim))) gain *= gainFor(kDimDecibels);
    const float leftGain = gain * std::min(1.0f, 2.0f * (1.0f - pan));
    const float rightGain = gain * std::min(1.0f, 2.0f * pan);

    float peak = 0.0f;
    for (VstInt32 frame = 0; frame < sampleFrames; ++frame) {
        // Both inputs of a frame are read before its outputs are written.
        float left = inputs[0][frame];
        float right = inputs[1][frame];
        if (routing == kLeftOnly) right = left;
        if (routing == kRightOnly) left = right;
        if (routing == kSwapped) std::swap(left, right);
        const float mid = 0.5f * (left + right);
        const float side = 0.5f * width * (left - right);
        outputs[0][frame] = (mid + side) * leftGain;
        outputs[1][frame] = (mid - side) * rightGain;
        peak = std::max({peak, std::fabs(outputs[0][frame]), std::fabs(outputs[1][frame])});
    }
    level.write(peak);
}

void StripEffect::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kParameters || !(value == value)) return;
    values[index].store(std::clamp(value, 0.0f, 1.0f), std::memory_order_relaxed);
}

float StripEffect::getParameter(VstInt32 index) {
    if (index < 0 || index >= kParameters) return 0.0f;
    return values[index].load(std::memory_order_relaxed);
}

void StripEffect::getParameterName(VstInt32 index, char* text) {
    number_text::writeCut(index >= 0 && index < kParameters ? kNames[index] : "", text,
                          kTextLength);
}

void StripEffect::getParameterLabel(VstInt32 index, char* text) {
    number_text::writeCut(index >= 0 && index < kParameters ? kLabels[index] : "", text,
                          kTextLength);
}

void StripEffect::getParameterDisplay(VstInt32 index, char* text) {
    const float value = getParameter(index);
    char shown[32] = "";
    switch (index) {
    case kGain: std::snprintf(shown, sizeof shown, "%+.1f", decibelsFor(value)); break;
    case kPan: std::snprintf(shown, sizeof shown, "%+.0f", 200.0f * (value - 0.5f)); break;
    case kWidth: std::snprintf(shown, sizeof shown, "%.0f", 200.0f * value); break;
    case kMute:
    case kDim: std::snprintf(shown, sizeof shown, "%s", isOn(value) ? "on" : "off"); break;
    case kRouting: std::snprintf(shown, sizeof shown, "%s", routingName(routingFor(value))); break;
    default: break;
    }
    number_text::writeCut(shown, text, kTextLength);
}

bool StripEffect::getEffectName(char* text) {
    number_text::writeCut("Lanter5 Strip", text, kNameLength);
    return true;
}

bool StripEffect::getVendorString(char* text) {
    number_text::writeCut("Lanter5", text, kNameLength);
    return true;
}

bool StripEffect::getProductString(char* text) {
    number_text::writeCut("Lanter5 Strip Example", text, kNameLength);
    return true;
}

AudioEffect* createEffect(HostCallback host) { return new (std::nothrow) StripEffect(host); }
