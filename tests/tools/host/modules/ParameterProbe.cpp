// A test effect that shows its first parameter as audio: two channels pass through unchanged,
// in single or double precision, and a third output carries, frame by frame, the value of
// "Level" when the frame was processed, so a test reads back when a host set it; negated when
// processed in doubles, so that a test also sees which entry the host called. "Level" takes a
// text in decibels ("-6 dB" sets 1 - 6/60); two more parameters share one name but for case,
// and say they take any text while keeping their values, shown in percent.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AEffect.h"
#include "Opcodes.h"

#include "TestExport.h"

namespace {

constexpr const char* kNames[] = {"Level", "Drive", "DRIVE"};
constexpr VstInt32 kParameters = 3;

struct ParameterProbe {
    AEffect record{};
    float values[kParameters] = {};
};

ParameterProbe& probeOf(AEffect* record) { return *static_cast<ParameterProbe*>(record->object); }

// "N dB" for N from -60 to 0; 0 for anything else, as a plug-in that cannot read a text says.
VstIntPtr levelFromText(ParameterProbe& probe, const char* text) {
    char* end = nullptr;
    const double decibels = std::strtod(text, &end);
    if (end == text || std::strcmp(end, " dB") != 0 || decibels < -60 || decibels > 0) return 0;
    probe.values[0] = static_cast<float>(1 + decibels / 60);
    return 1;
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float) {
    ParameterProbe& probe = probeOf(record);
    const bool known = index >= 0 && index < kParameters;
    switch (opcode) {
    case effClose: delete &probe; return 1;
    case effGetParamName:
        if (known && ptr) std::snprintf(static_cast<char*>(ptr), 8, "%s", kNames[index]);
        return 0;
    case effGetParamDisplay:
        if (known && ptr) {
            char shown[32];
            std::snprintf(shown, sizeof shown, "%g", static_cast<double>(probe.values[index]) * 100);
            std::snprintf(static_cast<char*>(ptr), 8, "%.7s", shown);
        }
        return 0;
    case effString2Parameter:
        if (index == 0 && ptr) return levelFromText(probe, static_cast<const char*>(ptr));
        return known;
    default: return 0;
    }
}

void VST_CALL setParameter(AEffect* record, VstInt32 index, float value) {
    if (index >= 0 && index < kParameters) probeOf(record).values[index] = value;
}

float VST_CALL getParameter(AEffect* record, VstInt32 index) {
    return index >= 0 && index < kParameters ? probeOf(record).values[index] : 0.0f;
}

template <class Sample>
void pass(AEffect* record, Sample** inputs, Sample** outputs, VstInt32 frames) {
    const float value = probeOf(record).values[0];
    const Sample level = sizeof(Sample) == sizeof(double) ? -value : value;
    for (VstInt32 i = 0; i < frames; ++i) {
        outputs[0][i] = inputs[0][i];
        outputs[1][i] = inputs[1][i];
        outputs[2][i] = level;
    }
}

void VST_CALL processFloats(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
    pass(record, inputs, outputs, frames);
}

void VST_CALL processDoubles(AEffect* record, double** inputs, double** outputs, VstInt32 frames) {
    pass(record, inputs, outputs, frames);
}

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
    auto* probe = new ParameterProbe;
    AEffect& record = probe->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = processFloats;
    record.processDoubleReplacing = processDoubles;
    record.numParams = kParameters;
    record.numInputs = 2;
    record.numOutputs = 3;
    record.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    record.ioRatio = 1.0f;
    record.object = probe;
    record.uniqueID = fourCharacters('t', 'P', 'r', 'P');
    record.version = 1;
    return &record;
}
