#include "MyLanter5.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "EntryPoint.h"
#include "PluginEditor.h"

namespace {

bool rangesOverlap(const float* a, const float* b, VstInt32 frames) {
    const auto begin = [](const float* p) { return reinterpret_cast<std::uintptr_t>(p); };
    const std::uintptr_t bytes = static_cast<std::uintptr_t>(frames) * sizeof(float);
    return begin(a) < begin(b) + bytes && begin(b) < begin(a) + bytes;
}

// The frame-by-frame order is only observable when some output overlaps another buffer.
bool buffersAreDisjoint(const float* in0, const float* in1, const float* out0, const float* out1,
                        VstInt32 frames) {
    return !rangesOverlap(out0, in0, frames) && !rangesOverlap(out0, in1, frames) &&
           !rangesOverlap(out1, in0, frames) && !rangesOverlap(out1, in1, frames) &&
           !rangesOverlap(out0, out1, frames);
}

}  // namespace

MyLanter5::MyLanter5(HostCallback host) : AudioEffectX(host, kPrograms, kParameters) {
    setNumInputs(kChannels);
    setNumOutputs(kChannels);
    setUniqueID(kUniqueId);
    setIsSynth(false);
    setCanProcessReplacing(true);
    editor = createPluginEditor(this);
}

void MyLanter5::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) return;
    const float* in0 = inputs[0];
    const float* in1 = inputs[1];
    float* out0 = outputs[0];
    float* out1 = outputs[1];

    if (buffersAreDisjoint(in0, in1, out0, out1, sampleFrames)) {
        const std::size_t bytes = static_cast<std::size_t>(sampleFrames) * sizeof(float);
        std::memcpy(out0, in0, bytes);
        std::memcpy(out1, in1, bytes);
        return;
    }

    VstInt32 frame = 0;
    for (const VstInt32 unrolledEnd = sampleFrames & ~3; frame < unrolledEnd; frame += 4) {
        out0[frame] = in0[frame];
        out1[frame] = in1[frame];
        out0[frame + 1] = in0[frame + 1];
        out1[frame + 1] = in1[frame + 1];
        out0[frame + 2] = in0[frame + 2];
        out1[frame + 2] = in1[frame + 2];
        out0[frame + 3] = in0[frame + 3];
        out1[frame + 3] = in1[frame + 3];
    }
    for (; frame < sampleFrames; ++frame) {
        out0[frame] = in0[frame];
        out1[frame] = in1[frame];
    }
}

AudioEffect* createEffect(HostCallback host) { return new (std::nothrow) MyLanter5(host); }
