#pragma once
// Channel buffers for a processing call, each followed by guard samples that show a plug-in
// writing past the frame count it was given.

#include <cstddef>
#include <vector>

#include "AudioData.h"
#include "SampleFault.h"

namespace vsthost {

class ChannelBuffers {
public:
    static constexpr std::size_t kGuardFrames = 16;

    ChannelBuffers(int channels, std::size_t capacity);

    float** pointers() { return pointers_.data(); }
    int channels() const { return static_cast<int>(pointers_.size()); }
    float* channel(int index) { return pointers_[static_cast<std::size_t>(index)]; }

    // Copies `frames` frames starting at `offset` of `source`; channel c reads source channel
    // c modulo the source's count, so a mono source feeds every channel.
    void load(const AudioData& source, std::size_t offset, std::size_t frames);
    // Fills every sample, guards included, with a marker value that no plug-in writes.
    void mark();
    bool guardsIntact(std::size_t frames) const;
    // The first NaN or infinity among the first `frames` samples, or failing that the first
    // subnormal value; none when all are ordinary.
    SampleFault firstFault(std::size_t frames) const;
    // True when the first `frames` samples of every channel are finite.
    bool clean(std::size_t frames) const { return !firstFault(frames).nonFinite(); }

private:
    std::size_t capacity_;
    std::vector<std::vector<float>> storage_;
    std::vector<float*> pointers_;
};

}  // namespace vsthost
