#include "MyLanter5.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "EntryPoint.h"
#include "PluginEditor.h"

namespace {

using Address = std::uintptr_t;

Address addressOf(const float* samples) { return reinterpret_cast<Address>(samples); }

// True when the `bytes` long ranges at `a` and `b` share a byte; unsigned wrap-around makes
// each test one subtraction and one comparison.
bool overlaps(Address a, Address b, Address bytes) { return a - b < bytes || b - a < bytes; }

// One channel alone, frame by frame in ascending order. Where the output starts after its
// input inside it, the ascending order repeats the samples already written, so only that case
// needs the loop; everywhere else it is a move.
void copyChannel(const float* input, float* output, VstInt32 frames) {
    if (output == input) return;
    const Address bytes = static_cast<Address>(frames) * sizeof(float);
    if (addressOf(output) - addressOf(input) < bytes) {
        for (VstInt32 frame = 0; frame < frames; ++frame) output[frame] = input[frame];
        return;
    }
    std::memmove(output, input, bytes);
}

// Both channels interleaved frame by frame, channel 0 first, for buffers that overlap across
// the channels.
void copyInterleaved(const float* in0, const float* in1, float* out0, float* out1,
                     VstInt32 frames) {
    VstInt32 frame = 0;
    for (const VstInt32 unrolledEnd = frames & ~3; frame < unrolledEnd; frame += 4) {
        out0[frame] = in0[frame];
        out1[frame] = in1[frame];
        out0[frame + 1] = in0[frame + 1];
        out1[frame + 1] = in1[frame + 1];
        out0[frame + 2] = in0[frame + 2];
        out1[frame + 2] = in1[frame + 2];
        out0[frame + 3] = in0[frame + 3];
        out1[frame + 3] = in1[frame + 3];
    }
    for (; frame < frames; ++frame) {
        out0[frame] = in0[frame];
        out1[frame] = in1[frame];
    }
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

    // A channel processed in place writes each sample back where it read it, whatever the
    // other channel wrote there before: it changes nothing, and the other channel's copy is
    // the whole result.
    if (out0 == in0) return copyChannel(in1, out1, sampleFrames);
    if (out1 == in1) return copyChannel(in0, out0, sampleFrames);

    // Outputs apart from every buffer, the hosts' other usual case, are two plain copies.
    const Address bytes = static_cast<Address>(sampleFrames) * sizeof(float);
    const bool out0Apart = !overlaps(addressOf(out0), addressOf(in0), bytes) &&
                           !overlaps(addressOf(out0), addressOf(in1), bytes);
    const bool out1Apart = !overlaps(addressOf(out1), addressOf(in0), bytes) &&
                           !overlaps(addressOf(out1), addressOf(in1), bytes);
    if (out0Apart && out1Apart && !overlaps(addressOf(out0), addressOf(out1), bytes)) {
        std::memcpy(out0, in0, bytes);
        std::memcpy(out1, in1, bytes);
        return;
    }
    // Channel 0's output read by channel 1, or written over by it, is where the frame order
    // shows; without such a crossing each channel is copied on its own.
    if (overlaps(addressOf(out0), addressOf(in1), bytes) ||
        overlaps(addressOf(out0), addressOf(out1), bytes) ||
        overlaps(addressOf(out1), addressOf(in0), bytes)) {
        return copyInterleaved(in0, in1, out0, out1, sampleFrames);
    }
    copyChannel(in0, out0, sampleFrames);
    copyChannel(in1, out1, sampleFrames);
}

AudioEffect* createEffect(HostCallback host) { return new (std::nothrow) MyLanter5(host); }
