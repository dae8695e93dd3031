#include "WavWriter.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace vsthost {

namespace {

constexpr std::uint32_t kHeaderBytes = 12 + 8 + 18 + 8 + 4 + 8;
constexpr std::uint64_t kLargestData = 0xFFFFFFFFull - kHeaderBytes;
constexpr std::uint16_t kFormatFloat = 3;

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v & 0xFFFFu);
    put16(p + 2, v >> 16);
}

// RIFF header, an 18-byte float format chunk, the fact chunk non-PCM formats carry, and the
// data chunk's header.
std::vector<std::uint8_t> header(int channels, int sampleRate, std::uint32_t frames) {
    std::vector<std::uint8_t> bytes(kHeaderBytes);
    std::uint8_t* p = bytes.data();
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 4u;
    const std::uint32_t dataBytes = frames * blockAlign;
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, kHeaderBytes - 8 + dataBytes);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, 18);
    put16(p + 20, kFormatFloat);
    put16(p + 22, static_cast<std::uint32_t>(channels));
    put32(p + 24, static_cast<std::uint32_t>(sampleRate));
    put32(p + 28, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(p + 32, blockAlign);
    put16(p + 34, 32);
    put16(p + 36, 0);
    std::memcpy(p + 38, "fact", 4);
    put32(p + 42, 4);
    put32(p + 46, frames);
    std::memcpy(p + 50, "data", 4);
    put32(p + 54, dataBytes);
    return bytes;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

bool replaceFile(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

Expected<WavWriter> WavWriter::create(const std::string& path, int channels, int sampleRate) {
    if (channels < 1 || channels > 0xFFFF / 4) {
        return Error{"cannot write '" + path + "': " + std::to_string(channels) + " channels"};
    }
    if (isDirectory(path)) return Error{"cannot write '" + path + "': it is a directory"};
    std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return Error{"cannot write '" + path + "': " + std::strerror(errno)};
    WavWriter writer(file, path, std::move(partial), channels);
    const auto bytes = header(channels, sampleRate, 0);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return Error{"cannot write '" + path + "': " + std::strerror(errno)};
    }
    writer.sampleRate_ = sampleRate;
    return writer;
}

Expected<bool> WavWriter::write(const std::string& path, const AudioData& audio) {
    auto writer = create(path, static_cast<int>(audio.channels.size()), audio.sampleRate);
    if (!writer) return Error{writer.error()};
    std::vector<const float*> channels;
    for (const auto& channel : audio.channels) channels.push_back(channel.data());
    auto appended = writer->append(channels.data(), audio.frames());
    if (!appended) return appended;
    return writer->commit();
}

WavWriter::WavWriter(std::FILE* file, std::string path, std::string partialPath, int channels)
    : file_(file), path_(std::move(path)), partialPath_(std::move(partialPath)),
      channels_(channels) {}

WavWriter::WavWriter(WavWriter&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)),
      partialPath_(std::move(other.partialPath_)),
      channels_(other.channels_),
      sampleRate_(other.sampleRate_),
      frames_(other.frames_) {}

WavWriter::~WavWriter() { discard(); }

void WavWriter::discard() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(partialPath_.c_str());
}

Expected<bool> WavWriter::append(const float* const* channels, std::size_t frames) {
    if (file_ == nullptr) return Error{"cannot write '" + path_ + "': already finished"};
    const std::uint64_t blockAlign = static_cast<std::uint64_t>(channels_) * 4u;
    if ((frames_ + frames) * blockAlign > kLargestData) {
        discard();
        return Error{"cannot write '" + path_ + "': too long for a WAV file"};
    }
    std::vector<std::uint8_t> bytes(frames * blockAlign);
    std::uint8_t* p = bytes.data();
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels_; ++channel, p += 4) {
            std::uint32_t bits;
            std::memcpy(&bits, &channels[channel][frame], 4);
            put32(p, bits);
        }
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        discard();
        return Error{"cannot write '" + path_ + "': " + std::strerror(errno)};
    }
    frames_ += frames;
    return true;
}

Expected<bool> WavWriter::commit() {
    if (file_ == nullptr) return Error{"cannot write '" + path_ + "': already finished"};
    const auto bytes = header(channels_, sampleRate_, static_cast<std::uint32_t>(frames_));
    const bool written = std::fseek(file_, 0, SEEK_SET) == 0 &&
                         std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
                         std::fflush(file_) == 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!written || closed != 0 || !replaceFile(partialPath_, path_)) {
        const std::string reason = std::strerror(errno);
        std::remove(partialPath_.c_str());
        return Error{"cannot write '" + path_ + "': " + reason};
    }
    return true;
}

}  // namespace vsthost
