#pragma once
// Reads an audio file through libsndfile, block by block: WAV (WAVE_FORMAT_EXTENSIBLE
// included), AIFF, FLAC where the build has it, and whatever else the library knows; integer
// and floating-point samples; any channel count. A pipe, or a file whose header leaves its
// length open, is read to its end. A file that cannot be read, is no audio file or is cut
// short fails with one line that says what is wrong.

#include <sndfile.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class AudioFileReader {
public:
    static Expected<AudioFileReader> open(const std::string& path);
    // The whole file in memory, for files known to be small.
    static Expected<AudioData> read(const std::string& path);

    AudioFileReader(AudioFileReader&& other) noexcept;
    AudioFileReader& operator=(AudioFileReader&&) = delete;
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;
    ~AudioFileReader();

    int sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    // The frames the file holds; none when nothing says before the end (a pipe, a stream).
    std::optional<std::size_t> frames() const { return frames_; }
    // The most bytes of samples one call of next reads, so that a long block of a wide file
    // does not sit in memory whole.
    static constexpr std::size_t kPieceBytes = std::size_t{256} << 10;
    // Reads at most `frames` further frames, and at most kPieceBytes of samples, into `block`,
    // which takes the count read: 0 at the end. A file that ends before its header said fails.
    Expected<std::size_t> next(AudioData& block, std::size_t frames);

private:
    AudioFileReader(SNDFILE* file, std::string path, const SF_INFO& info, std::optional<std::size_t> frames);

    SNDFILE* file_ = nullptr;
    std::string path_;
    int sampleRate_ = 0;
    int channels_ = 0;
    std::optional<std::size_t> frames_;
    std::size_t done_ = 0;
    std::vector<float> interleaved_;
};

}  // namespace vsthost
