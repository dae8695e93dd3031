// A test plug-in that passes two channels through in float and claims double processing, whose
// double entry does what LANTER5_DOUBLE says: "nothing", it leaves the outputs as they were (what
// a plug-in that sets the flag and overrides nothing does); "silence", it writes zeros; "float",
// it passes the samples through a float, which float processing cannot tell; "drift", it scales
// them a little more than float precision allows; "noise", its float path adds an offset that
// changes from block to block. Otherwise it passes them through bit for bit.
#include <cstdlib>
#include <cstring>

#include "AEffect.h"
#include "Opcodes.h"

#include "StereoRecord.h"
#include "TestExport.h"

namespace {

// Read once: the entries ask for every sample.
bool chosen(const char* what) {
    static const char* const mode = std::getenv("LANTER5_DOUBLE");
    return mode != nullptr && std::strcmp(mode, what) == 0;
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == effClose) delete record;
    return 0;
}

void VST_CALL process(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
    static int calls = 0;
    const float offset = chosen("noise") ? 0.1f * static_cast<float>(++calls % 7) : 0.0f;
    for (int channel = 0; channel < 2; ++channel) {
        if (offset == 0.0f) {
            std::memmove(outputs[channel], inputs[channel], sizeof(float) * static_cast<std::size_t>(frames));
            continue;
        }
        for (VstInt32 frame = 0; frame < frames; ++frame) outputs[channel][frame] = inputs[channel][frame] + offset;
    }
}

double transformed(double sample) {
    if (chosen("silence")) return 0.0;
    if (chosen("float")) return static_cast<float>(sample);
    if (chosen("drift")) return sample * (1.0 + 1.0 / (1 << 16));
    return sample;
}

void VST_CALL processDouble(AEffect*, double** inputs, double** outputs, VstInt32 frames) {
    if (chosen("nothing")) return;
    for (int channel = 0; channel < 2; ++channel) {
        for (VstInt32 frame = 0; frame < frames; ++frame) {
            outputs[channel][frame] = transformed(inputs[channel][frame]);
        }
    }
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
    auto* record = newStereoRecord(dispatch, setParameter, getParameter, process, fourCharacters('t', 'D', 'b', 'l'));
    record->processDoubleReplacing = processDouble;
    record->flags |= effFlagsCanDoubleReplacing;
    return record;
}
