#include "GainEffect.h"

#include "EntryPoint.h"
#include "NumberText.h"
#include "PluginEditor.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr VstInt32 kDisplayLength = 8; // parameter texts: 8 characters and a zero
constexpr VstInt32 kNameLength = 24;   // program names, effect name: 24 (32 for the vendor)

} // namespace

GainEffect::GainEffect(HostCallback host) : AudioEffectX(host, GainPrograms::kCount, kParameters) {
    setNumInputs(kChannels);
    setNumOutputs(kChannels);
    setUniqueID(kUniqueId);
    setCanProcessReplacing(true);
    setCanDoubleReplacing(true);
    setProgramsAreChunks(true);
    gainValue = programs.currentProgram().value;
    createPluginEditor(this); // attaches itself; none without the toolkit
}

void GainEffect::displayFor(float value, char* text, VstInt32 maxLen) {
    formatDecibels(gainFor(value), text, maxLen);
}

namespace {

// Both inputs of a frame are read before its outputs are written: hosts may process in place.
// Unity copies, since even a product with 1 changes a signalling NaN.
template <typename Sample>
void applyGain(Sample gain, Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
    const Sample* in0 = inputs[0];
    const Sample* in1 = inputs[1];
    Sample* out0 = outputs[0];
    Sample* out1 = outputs[1];
    if (gain == Sample(1)) {
        for (VstInt32 frame = 0; frame < sampleFrames; ++frame) {
            const Sample left = in0[frame];
            const Sample right = in1[frame];
            out0[frame] = left;
            out1[frame] = right;
        }
        return;
    }
    for (VstInt32 frame = 0; frame < sampleFrames; ++frame) {
        const Sample left = in0[frame];
        const Sample right = in1[frame];
        out0[frame] = left * gain;
        out1[frame] = right * gain;
    }
}

} // namespace

void GainEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    applyGain(gainFor(gainValue.load(std::memory_order_relaxed)), inputs, outputs, sampleFrames);
}

void GainEffect::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    const double value = gainValue.load(std::memory_order_relaxed);
    applyGain(4.0 * value * value, inputs, outputs, sampleFrames);
}

void GainEffect::setParameter(VstInt32 index, float value) {
    if (index != kGain || !(value == value)) return;
    gainValue.store(std::clamp(value, 0.0f, 1.0f), std::memory_order_relaxed);
}

float GainEffect::getParameter(VstInt32 index) {
    return index == kGain ? gainValue.load(std::memory_order_relaxed) : 0.0f;
}

void GainEffect::getParameterName(VstInt32 index, char* text) {
    number_text::writeCut(index == kGain ? "Gain" : "", text, kDisplayLength);
}

void GainEffect::getParameterLabel(VstInt32 index, char* text) {
    number_text::writeCut(index == kGain ? "dB" : "", text, kDisplayLength);
}

void GainEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (index != kGain) return number_text::writeCut("", text, kDisplayLength);
    displayFor(getParameter(kGain), text, kDisplayLength);
}

void GainEffect::storeValue(float value) { programs.currentProgram().value = value; }

void GainEffect::setProgram(VstInt32 program) {
    storeValue(gainValue.load(std::memory_order_relaxed));
    if (!programs.select(program)) return;
    currentProgram = program;
    gainValue.store(programs.currentProgram().value, std::memory_order_relaxed);
}

void GainEffect::setProgramName(char* name) {
    if (!name) return;
    number_text::writeCut(name, programs.currentProgram().name, kNameLength);
}

void GainEffect::getProgramName(char* name) {
    number_text::writeCut(programs.currentProgram().name, name, kNameLength);
}

bool GainEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!text || index < 0 || index >= GainPrograms::kCount) return false;
    number_text::writeCut(programs.at(index).name, text, kNameLength);
    return true;
}

VstInt32 GainEffect::getChunk(void** data, bool isPreset) {
    storeValue(gainValue.load(std::memory_order_relaxed));
    const std::size_t size = programs.write(chunk, isPreset);
    *data = chunk.data();
    return static_cast<VstInt32>(size);
}

VstInt32 GainEffect::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    storeValue(gainValue.load(std::memory_order_relaxed));
    if (byteSize < 0 ||
        !programs.read(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(byteSize),
                       isPreset)) {
        return 0;
    }
    currentProgram = programs.current();
    gainValue.store(programs.currentProgram().value, std::memory_order_relaxed);
    return 1;
}

bool GainEffect::getEffectName(char* text) {
    number_text::writeCut("Lanter5 Gain", text, kNameLength);
    return true;
}

bool GainEffect::getVendorString(char* text) {
    number_text::writeCut("Lanter5", text, kNameLength);
    return true;
}

bool GainEffect::getProductString(char* text) {
    number_text::writeCut("Lanter5 Gain Example", text, kNameLength);
    return true;
}

AudioEffect* createEffect(HostCallback host) { return new (std::nothrow) GainEffect(host); }
