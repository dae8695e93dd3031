#pragma once
// Writes an audio file through libsndfile as a stream of frames, its format chosen by the
// name's extension: .wav 32-bit float (WAVE_FORMAT_EXTENSIBLE beyond two channels), .aif or
// .aiff 32-bit float, .flac 24-bit. The file appears under its name only when commit()
// succeeds; until then it is written under a short temporary name of its own beside it, which
// is removed on any failure, so nothing half-written is left behind.

#include <sndfile.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class AudioFileWriter {
public:
    // `frames`: how long the file will be, where that is known beforehand. `temporary`: a file
    // reserve() made for it, else the writer reserves one.
    static Expected<AudioFileWriter> create(const std::string& path, int channels, int sampleRate,
                                            std::optional<std::uint64_t> frames = std::nullopt,
                                            const std::string& temporary = {});
    // Writes a whole file in one go.
    static Expected<bool> write(const std::string& path, const AudioData& audio);
    // Makes an empty file under a new temporary name beside `path`, ".vsthost-….partial", and
    // names it: short, whatever the length of `path`'s own name, and never a file already there.
    static Expected<std::string> reserve(const std::string& path);

    AudioFileWriter(AudioFileWriter&& other) noexcept;
    AudioFileWriter& operator=(AudioFileWriter&&) = delete;
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;
    ~AudioFileWriter();

    // Appends `frames` frames, channel c taken from channels[c].
    Expected<bool> append(const float* const* channels, std::size_t frames);
    // Completes the file and moves it to its name.
    Expected<bool> commit();
    // Completes the file under its temporary name, for a caller that moves it.
    Expected<bool> complete();
    const std::string& partial() const { return partial_; }

private:
    AudioFileWriter(SNDFILE* file, std::string path, std::string partial, int channels, std::uint64_t mostFrames);
    void discard();

    SNDFILE* file_ = nullptr;
    std::string path_;
    std::string partial_;
    int channels_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t mostFrames_ = 0;  // what the file's header can count
    std::vector<float> interleaved_;
};

}  // namespace vsthost
