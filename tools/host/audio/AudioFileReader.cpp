#include "AudioFileReader.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "DeclaredLength.h"
#include "FileName.h"

namespace vsthost {

namespace {

// The containers libsndfile reads right from a pipe; of the others it reads RF64 a frame late
// and CAF as empty.
bool readsFromPipe(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_AU: return true;
    default: return false;
    }
}

}  // namespace

Expected<AudioFileReader> AudioFileReader::open(const std::string& path) {
    // Opened once, by the host: a named pipe cannot be opened a second time for what it held.
    const int descriptor = FileName::open(path, O_RDONLY);
    if (descriptor < 0) return Error{"cannot read '" + path + "'"};
    const auto header = DeclaredLength::read(descriptor);
    if (!header.fault.empty()) {
        ::close(descriptor);
        return Error{"'" + path + "' " + header.fault};
    }
    const auto& declared = header.frames;
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(descriptor, SFM_READ, &info, SF_TRUE);
    if (file == nullptr) {
        return Error{"'" + path + "' is not an audio file that can be read (" + sf_strerror(nullptr) + ")"};
    }
    if (!info.seekable && !readsFromPipe(info.format)) {
        sf_close(file);
        return Error{"'" + path + "' is in a format that cannot be read through a pipe; give it as a file"};
    }
    std::optional<std::size_t> frames = static_cast<std::size_t>(info.frames);
    // Through a pipe the header's length is only what the writer hoped for.
    if (!info.seekable || info.frames == SF_COUNT_MAX || declared == DeclaredLength::kOpen) {
        frames.reset();
    } else if (declared && *declared > static_cast<std::uint64_t>(info.frames)) {
        // libsndfile reads a cut file as a shorter whole one.
        sf_close(file);
        return Error{"truncated audio file '" + path + "': its header promises " + std::to_string(*declared) +
                     " frames, it holds " + std::to_string(info.frames)};
    }
    if (info.channels < 1 || info.frames < 0) {
        sf_close(file);
        return Error{"'" + path + "' holds no channels"};
    }
    return AudioFileReader(file, path, info, frames);
}

AudioFileReader::AudioFileReader(SNDFILE* file, std::string path, const SF_INFO& info,
                                 std::optional<std::size_t> frames)
    : file_(file), path_(std::move(path)), sampleRate_(info.samplerate), channels_(info.channels), frames_(frames) {}

AudioFileReader::AudioFileReader(AudioFileReader&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      sampleRate_(other.sampleRate_),
      channels_(other.channels_),
      frames_(other.frames_),
      done_(other.done_),
      interleaved_(std::move(other.interleaved_)) {}

AudioFileReader::~AudioFileReader() {
    if (file_) sf_close(file_);
}

Expected<std::size_t> AudioFileReader::next(AudioData& block, std::size_t frames) {
    const auto channels = static_cast<std::size_t>(channels_);
    frames = std::min(frames, std::max<std::size_t>(kPieceBytes / (channels * sizeof(float)), 1));
    if (frames_) frames = std::min(frames, *frames_ - done_);
    interleaved_.resize(frames * channels);
    const sf_count_t got = frames == 0 ? 0 : sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(frames));
    const auto count = static_cast<std::size_t>(got > 0 ? got : 0);
    done_ += count;
    if (frames_ && count < frames) {
        return Error{"truncated audio file '" + path_ + "': " + std::to_string(done_) + " of " +
                     std::to_string(*frames_) + " frames"};
    }
    block.sampleRate = sampleRate_;
    block.channels.resize(channels);
    for (std::size_t channel = 0; channel < channels; ++channel) {
        auto& samples = block.channels[channel];
        samples.resize(count);
        for (std::size_t frame = 0; frame < count; ++frame) samples[frame] = interleaved_[frame * channels + channel];
    }
    return count;
}

Expected<AudioData> AudioFileReader::read(const std::string& path) {
    auto file = open(path);
    if (!file) return Error{file.error()};
    AudioData whole;
    whole.sampleRate = file->sampleRate();
    whole.channels.resize(static_cast<std::size_t>(file->channels()));
    AudioData block;
    for (;;) {
        auto got = file->next(block, 65536);
        if (!got) return Error{got.error()};
        if (*got == 0) return whole;
        for (std::size_t c = 0; c < whole.channels.size(); ++c) {
            whole.channels[c].insert(whole.channels[c].end(), block.channels[c].begin(), block.channels[c].end());
        }
    }
}

}  // namespace vsthost
