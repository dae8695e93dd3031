#include "AudioFileReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <fcntl.h>

#include "FileName.h"

namespace vsthost {

namespace {

// What libsndfile's log says of a chunk whose header promises more than the file holds:
// "data : 200 (should be 190)", indented in some formats.
struct ChunkLength {
    std::string line;
    unsigned long long promised = 0;
};

std::optional<ChunkLength> shortChunk(SNDFILE* file) {
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    const std::string text(log);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t first = start;
        while (first < end && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
        const std::string line = text.substr(first, end - first);
        start = end + 1;
        if (!(line.starts_with("data ") || line.starts_with("SSND ")) || line.find("(should be") == std::string::npos) {
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        return ChunkLength{line, std::strtoull(line.c_str() + colon + 1, nullptr, 10)};
    }
    return std::nullopt;
}

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

// A recorder that streams writes the largest length there is for "until the end".
constexpr unsigned long long kOpenLength = 0xFFFFFFFFull;


}  // namespace

Expected<AudioFileReader> AudioFileReader::open(const std::string& path) {
    // Opened once, by the host: a named pipe cannot be opened a second time for what it held.
    const int descriptor = FileName::open(path, O_RDONLY);
    if (descriptor < 0) return Error{"cannot read '" + path + "'"};
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
    if (!info.seekable || info.frames == SF_COUNT_MAX) frames.reset();
    if (const auto cut = shortChunk(file); cut && cut->promised == kOpenLength) {
        frames.reset();
    } else if (cut) {
        sf_close(file);
        return Error{"truncated audio file '" + path + "': " + cut->line};
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
    if (frames_) frames = std::min(frames, *frames_ - done_);
    const auto channels = static_cast<std::size_t>(channels_);
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
