#pragma once
// Planar audio in memory: one vector of 32-bit float samples per channel.

#include <cstddef>
#include <vector>

namespace vsthost {

struct AudioData {
    int sampleRate = 44100;
    std::vector<std::vector<float>> channels;

    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

}  // namespace vsthost
