#pragma once
// Writes a 32-bit float WAV file as a stream of frames. The file appears under its name only
// when commit() succeeds; until then it is written under a temporary name beside it, which is
// removed on any failure, so nothing half-written is left behind.

#include <cstdint>
#include <cstdio>
#include <string>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class WavWriter {
public:
    static Expected<WavWriter> create(const std::string& path, int channels, int sampleRate);
    // Writes a whole file in one go.
    static Expected<bool> write(const std::string& path, const AudioData& audio);

    WavWriter(WavWriter&& other) noexcept;
    WavWriter& operator=(WavWriter&&) = delete;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    ~WavWriter();

    // Appends `frames` frames, channel c taken from channels[c].
    Expected<bool> append(const float* const* channels, std::size_t frames);
    // Completes the header and moves the file to its name.
    Expected<bool> commit();

private:
    WavWriter(std::FILE* file, std::string path, std::string partialPath, int channels);
    void discard();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string partialPath_;
    int channels_ = 0;
    int sampleRate_ = 0;
    std::uint64_t frames_ = 0;
};

}  // namespace vsthost
