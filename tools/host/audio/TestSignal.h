#pragma once
// Test signals the host makes itself, so that a check needs no file from elsewhere.

#include <cstdint>

#include "AudioData.h"

namespace vsthost {

class TestSignal {
public:
    // Tones at -6 dBFS and below plus a little noise: no NaN, infinity or subnormal value, so
    // any such value in a plug-in's output is the plug-in's own.
    static AudioData clean(int sampleRate, std::size_t frames, int channels);
    // The clean signal with the awkward values a pass-through must keep bit for bit spread
    // through it: -0.0, the largest finite values, the smallest normal and subnormal values.
    static AudioData awkward(int sampleRate, std::size_t frames, int channels);
};

}  // namespace vsthost
