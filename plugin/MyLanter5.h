#pragma once
// The plug-in's effect: two channels in, the same two channels out, unchanged.

#include "AudioEffectX.h"

class MyLanter5 : public AudioEffectX {
public:
    static constexpr VstInt32 kUniqueId = fourCharacters('S', 'M', 'P', 'L');
    static constexpr VstInt32 kPrograms = 1;
    static constexpr VstInt32 kParameters = 2;
    static constexpr VstInt32 kChannels = 2;

    explicit MyLanter5(HostCallback host);

    // Audio thread. Copies input channel c to output channel c, frame by frame, channel 0
    // before channel 1, so that aliased buffers see exactly that order. Allocates nothing.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
};
