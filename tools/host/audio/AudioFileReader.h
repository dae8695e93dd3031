#pragma once
// Reads an audio file through libsndfile: WAV (WAVE_FORMAT_EXTENSIBLE included), AIFF, FLAC
// where the build has it, and whatever else the library knows; integer and floating-point
// samples; any channel count. A file that cannot be read, is no audio file or is cut short
// fails with one line that says what is wrong.

#include <string>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class AudioFileReader {
public:
    static Expected<AudioData> read(const std::string& path);
};

}  // namespace vsthost
