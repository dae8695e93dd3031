#include "AudioFileWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>

#include "FileName.h"

namespace vsthost {

namespace {


std::string extension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string text = path.substr(dot + 1);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The sample bytes a RIFF or AIFF header can count, less room for the chunks before them.
constexpr std::uint64_t kMostCountedBytes = 0xFFFFFFFFull - 4096;
constexpr std::uint64_t kUncounted = UINT64_MAX;

struct Format {
    int code = 0;  // 0 for a name whose extension names no format this tool writes
    std::uint64_t mostFrames = kUncounted;
    bool mayShrink = false;  // an RF64 file that becomes a plain WAV file if it stays small
};

Format formatFor(const std::string& path, int channels, std::optional<std::uint64_t> frames) {
    const std::string type = extension(path);
    const std::uint64_t counted = kMostCountedBytes / (sizeof(float) * static_cast<std::uint64_t>(channels));
    if (type == "wav") {
        if (frames && *frames <= counted) return {(channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV) | SF_FORMAT_FLOAT, counted};
        return {SF_FORMAT_RF64 | SF_FORMAT_FLOAT, kUncounted, !frames};
    }
    if (type == "aif" || type == "aiff") return {SF_FORMAT_AIFF | SF_FORMAT_FLOAT, counted};
    if (type == "flac") return {SF_FORMAT_FLAC | SF_FORMAT_PCM_24};
    return {};
}

std::string tooLong(std::uint64_t mostFrames) {
    return "its header counts at most 4 GiB of samples (" + std::to_string(mostFrames) +
           " frames of this width); write .wav or .flac";
}

}  // namespace

Expected<AudioFileWriter> AudioFileWriter::create(const std::string& path, int channels, int sampleRate,
                                                  std::optional<std::uint64_t> frames,
                                                  const std::string& temporary) {
    const std::string cannot = "cannot write '" + path + "': ";
    if (FileName::isDirectory(path)) return Error{cannot + "it is a directory"};
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    const Format format = formatFor(path, std::max(channels, 1), frames);
    info.format = format.code;
    if (info.format == 0) return Error{cannot + "the name ends in none of .wav, .aif, .aiff, .flac"};
    if (frames && *frames > format.mostFrames) return Error{cannot + tooLong(format.mostFrames)};
    if (!sf_format_check(&info)) {
        return Error{cannot + "this build cannot write that format with " + std::to_string(channels) +
                     " channels at " + std::to_string(sampleRate) + " Hz"};
    }
    std::string partial = temporary;
    if (partial.empty()) {
        auto reserved = reserve(path);
        if (!reserved) return Error{reserved.error()};
        partial = *reserved;
    }
    const int descriptor = FileName::open(partial, O_RDWR | O_TRUNC);
    if (descriptor < 0) {
        const std::string reason = std::strerror(errno);
        FileName::remove(partial);
        return Error{cannot + reason};
    }
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file == nullptr) {
        // libsndfile may have made the file before it found it cannot write the format.
        const std::string reason = sf_strerror(nullptr);
        FileName::remove(partial);
        return Error{cannot + reason};
    }
    if (format.mayShrink) sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    return AudioFileWriter(file, path, partial, channels, format.mostFrames);
}

Expected<std::string> AudioFileWriter::reserve(const std::string& path) {
    auto reserved = FileName::reserveBeside(path);
    if (!reserved) return Error{"cannot write '" + path + "': " + reserved.error()};
    return reserved;
}

Expected<bool> AudioFileWriter::write(const std::string& path, const AudioData& audio) {
    auto writer = create(path, static_cast<int>(audio.channels.size()), audio.sampleRate, audio.frames());
    if (!writer) return Error{writer.error()};
    std::vector<const float*> channels;
    for (const auto& channel : audio.channels) channels.push_back(channel.data());
    auto appended = writer->append(channels.data(), audio.frames());
    if (!appended) return appended;
    return writer->commit();
}

AudioFileWriter::AudioFileWriter(SNDFILE* file, std::string path, std::string partial, int channels,
                                 std::uint64_t mostFrames)
    : file_(file),
      path_(std::move(path)),
      partial_(std::move(partial)),
      channels_(channels),
      mostFrames_(mostFrames) {}

AudioFileWriter::AudioFileWriter(AudioFileWriter&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      partial_(std::move(other.partial_)),
      channels_(other.channels_),
      written_(other.written_),
      mostFrames_(other.mostFrames_),
      interleaved_(std::move(other.interleaved_)) {}

AudioFileWriter::~AudioFileWriter() { discard(); }

void AudioFileWriter::discard() {
    if (file_ == nullptr) return;
    sf_close(file_);
    file_ = nullptr;
    FileName::remove(partial_);
}

Expected<bool> AudioFileWriter::append(const float* const* channels, std::size_t frames) {
    if (file_ == nullptr) return Error{"cannot write '" + path_ + "': already finished"};
    if (frames > mostFrames_ - written_) {
        discard();
        return Error{"cannot write '" + path_ + "': " + tooLong(mostFrames_)};
    }
    const auto count = static_cast<std::size_t>(channels_);
    interleaved_.resize(frames * count);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (std::size_t channel = 0; channel < count; ++channel) {
            interleaved_[frame * count + channel] = channels[channel][frame];
        }
    }
    const auto wanted = static_cast<sf_count_t>(frames);
    written_ += frames;
    if (sf_writef_float(file_, interleaved_.data(), wanted) != wanted) {
        const std::string reason = sf_strerror(file_);
        discard();
        return Error{"cannot write '" + path_ + "': " + reason};
    }
    return true;
}

Expected<bool> AudioFileWriter::complete() {
    if (file_ == nullptr) return Error{"cannot write '" + path_ + "': already finished"};
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed == 0) return true;
    FileName::remove(partial_);
    return Error{"cannot write '" + path_ + "': " + sf_error_number(closed)};
}

Expected<bool> AudioFileWriter::commit() {
    if (file_ == nullptr) return Error{"cannot write '" + path_ + "': already finished"};
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0 || !FileName::replace(partial_, path_)) {
        const std::string reason = closed != 0 ? sf_error_number(closed) : std::strerror(errno);
        FileName::remove(partial_);
        return Error{"cannot write '" + path_ + "': " + reason};
    }
    return true;
}

}  // namespace vsthost
