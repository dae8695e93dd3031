#pragma once
// Reads WAV files: 16- and 24-bit PCM and 32-bit float, mono or stereo. Anything else, a cut
// file or one whose sizes do not add up, fails with one line that says what is wrong.

#include <cstdint>
#include <span>
#include <string>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class WavReader {
public:
    static Expected<AudioData> read(const std::string& path);
    static Expected<AudioData> parse(std::span<const std::uint8_t> bytes);
};

}  // namespace vsthost
