#include "WavReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace vsthost {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
bool tagIs(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

struct Format {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bits = 0;
};

Expected<Format> parseFormat(const std::uint8_t* chunk, std::uint32_t size) {
    if (size < 16) return Error{"malformed WAV file: format chunk of " + std::to_string(size) + " bytes"};
    Format format{u16(chunk), u16(chunk + 2), u32(chunk + 4), u32(chunk + 8), u16(chunk + 12),
                  u16(chunk + 14)};
    if (format.tag == kFormatExtensible) {
        if (size < 40) return Error{"malformed WAV file: extensible format chunk too short"};
        format.tag = u16(chunk + 24);  // the sub-format's leading field holds the plain tag
    }
    const bool supported = (format.tag == kFormatPcm && (format.bits == 16 || format.bits == 24)) ||
                           (format.tag == kFormatFloat && format.bits == 32);
    if (!supported) {
        return Error{"unsupported WAV format (tag " + std::to_string(format.tag) + ", " +
                     std::to_string(format.bits) +
                     " bits): only 16- and 24-bit PCM and 32-bit float are read"};
    }
    if (format.channels != 1 && format.channels != 2) {
        return Error{"unsupported WAV file with " + std::to_string(format.channels) +
                     " channels: only mono and stereo are read"};
    }
    if (format.sampleRate == 0 || format.sampleRate > 1'000'000) {
        return Error{"unsupported WAV sample rate " + std::to_string(format.sampleRate)};
    }
    const std::uint32_t frameBytes = format.channels * (format.bits / 8u);
    if (format.blockAlign != frameBytes || format.byteRate != format.sampleRate * frameBytes) {
        return Error{"WAV file lies about its sizes: block align " +
                     std::to_string(format.blockAlign) + " and byte rate " +
                     std::to_string(format.byteRate) + " do not match its format"};
    }
    return format;
}

float sampleAt(const std::uint8_t* p, const Format& format) {
    if (format.tag == kFormatFloat) {
        float value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    if (format.bits == 16) return static_cast<float>(static_cast<std::int16_t>(u16(p))) / 32768.0f;
    const auto shifted = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 |
                                                   static_cast<std::uint32_t>(p[1]) << 16 |
                                                   static_cast<std::uint32_t>(p[2]) << 24);
    return static_cast<float>(shifted >> 8) / 8388608.0f;
}

AudioData decode(const std::uint8_t* data, std::uint32_t size, const Format& format) {
    const std::size_t frames = size / format.blockAlign;
    const std::size_t sampleBytes = format.bits / 8u;
    AudioData audio;
    audio.sampleRate = static_cast<int>(format.sampleRate);
    audio.channels.assign(format.channels, std::vector<float>(frames));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (std::size_t channel = 0; channel < format.channels; ++channel) {
            audio.channels[channel][frame] =
                sampleAt(data + frame * format.blockAlign + channel * sampleBytes, format);
        }
    }
    return audio;
}

}  // namespace

Expected<AudioData> WavReader::parse(std::span<const std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    if (size < 12 || !tagIs(bytes.data(), "RIFF") || !tagIs(bytes.data() + 8, "WAVE")) {
        if (size >= 4 && tagIs(bytes.data(), "RIFF")) return Error{"truncated WAV file: no header"};
        return Error{"not a WAV file: no RIFF/WAVE header"};
    }
    const std::uint64_t riffEnd = std::uint64_t{u32(bytes.data() + 4)} + 8;
    if (riffEnd > size) {
        return Error{"truncated WAV file: its header promises " + std::to_string(riffEnd) +
                     " bytes, the file has " + std::to_string(size)};
    }
    if (riffEnd < 12) return Error{"WAV file lies about its sizes: RIFF size below 4"};

    std::optional<Format> format;
    std::size_t at = 12;
    while (at + 8 <= riffEnd) {
        const std::uint8_t* header = bytes.data() + at;
        const std::uint32_t chunkSize = u32(header + 4);
        const std::size_t bodyAt = at + 8;
        if (chunkSize > riffEnd - bodyAt) {
            return Error{"WAV file lies about its sizes: chunk '" +
                         std::string(reinterpret_cast<const char*>(header), 4) + "' of " +
                         std::to_string(chunkSize) + " bytes runs past the end of the file"};
        }
        if (tagIs(header, "fmt ")) {
            auto parsed = parseFormat(bytes.data() + bodyAt, chunkSize);
            if (!parsed) return Error{parsed.error()};
            format = *parsed;
        } else if (tagIs(header, "data")) {
            if (!format) return Error{"malformed WAV file: data chunk before format chunk"};
            if (chunkSize % format->blockAlign != 0) {
                return Error{"WAV file lies about its sizes: data chunk of " +
                             std::to_string(chunkSize) + " bytes is no whole number of " +
                             std::to_string(format->blockAlign) + "-byte frames"};
            }
            return decode(bytes.data() + bodyAt, chunkSize, *format);
        }
        at = bodyAt + chunkSize + (chunkSize & 1u);
    }
    if (at < riffEnd) return Error{"truncated WAV file: a chunk header is cut off"};
    return Error{format ? "malformed WAV file: no data chunk" : "malformed WAV file: no format chunk"};
}

Expected<AudioData> WavReader::read(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return Error{"cannot read '" + path + "': " + std::strerror(errno)};
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return Error{"cannot read '" + path + "': read error"};
    auto audio = parse(bytes);
    if (!audio) return Error{"'" + path + "': " + audio.error()};
    return audio;
}

}  // namespace vsthost
