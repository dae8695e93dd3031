#include "DeclaredLength.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vsthost::DeclaredLength {

namespace {

constexpr std::uint32_t kOpenSize = 0xFFFFFFFFu;
constexpr int kMostChunks = 256;  // before the one that counts; more is no header

bool seekTo(int descriptor, std::uint64_t offset) {
#if defined(_WIN32)
    return _lseeki64(descriptor, static_cast<__int64>(offset), SEEK_SET) >= 0;
#else
    return lseek(descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
#endif
}

template <std::size_t N>
bool readAt(int descriptor, std::uint64_t offset, std::array<unsigned char, N>& bytes) {
    if (!seekTo(descriptor, offset)) return false;
    std::size_t got = 0;
    while (got < N) {
        const auto count = ::read(descriptor, bytes.data() + got, static_cast<unsigned>(N - got));
        if (count <= 0) return false;
        got += static_cast<std::size_t>(count);
    }
    return true;
}

std::uint64_t number(const unsigned char* bytes, int size, bool bigEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const int at = bigEndian ? i : size - 1 - i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

bool named(const unsigned char* bytes, std::string_view name) { return std::memcmp(bytes, name.data(), 4) == 0; }

enum class Walk { on, done };

// Calls `visit(name, where its data starts, its size)` for each chunk after the 12-byte form
// header, padded to even sizes, until it answers done or the chunks run out.
template <typename Visit>
void walkChunks(int descriptor, bool bigEndian, Visit visit) {
    std::uint64_t offset = 12;
    for (int chunk = 0; chunk < kMostChunks; ++chunk) {
        std::array<unsigned char, 8> header{};
        if (!readAt(descriptor, offset, header)) return;
        const std::uint64_t size = number(header.data() + 4, 4, bigEndian);
        if (visit(header.data(), offset + 8, size) == Walk::done) return;
        offset += 8 + size + (size & 1);
    }
}

// RIFF, RF64: the data chunk's bytes over the frame size of the format chunk; for RF64 the
// data size stands in the ds64 chunk.
std::optional<std::uint64_t> wave(int descriptor, bool rf64) {
    std::optional<std::uint64_t> frames;
    std::uint64_t frameBytes = 0;
    std::uint64_t bigDataSize = 0;
    walkChunks(descriptor, false, [&](const unsigned char* name, std::uint64_t at, std::uint64_t size) {
        if (named(name, "ds64")) {
            std::array<unsigned char, 16> sizes{};
            if (readAt(descriptor, at, sizes)) bigDataSize = number(sizes.data() + 8, 8, false);
        } else if (named(name, "fmt ")) {
            std::array<unsigned char, 14> format{};
            if (readAt(descriptor, at, format)) frameBytes = number(format.data() + 12, 2, false);
        } else if (named(name, "data")) {
            if (frameBytes == 0) return Walk::done;
            if (size == kOpenSize && !rf64) frames = kOpen;
            else frames = (size == kOpenSize ? bigDataSize : size) / frameBytes;
            return Walk::done;
        }
        return Walk::on;
    });
    return frames;
}

// AIFF and AIFF-C: the common chunk counts the frames; a sound data chunk of the largest size
// is a recorder's "until the end".
std::optional<std::uint64_t> aiff(int descriptor) {
    std::optional<std::uint64_t> frames;
    walkChunks(descriptor, true, [&](const unsigned char* name, std::uint64_t at, std::uint64_t size) {
        if (named(name, "COMM")) {
            std::array<unsigned char, 6> common{};
            if (readAt(descriptor, at, common)) frames = number(common.data() + 2, 4, true);
        } else if (named(name, "SSND")) {
            if (size == kOpenSize) frames = kOpen;
            return Walk::done;
        }
        return Walk::on;
    });
    return frames;
}

}  // namespace

std::optional<std::uint64_t> read(int descriptor) {
    std::array<unsigned char, 12> form{};
    std::optional<std::uint64_t> frames;
    if (readAt(descriptor, 0, form)) {
        const bool wav = named(form.data() + 8, "WAVE");
        if (wav && named(form.data(), "RIFF")) frames = wave(descriptor, false);
        else if (wav && named(form.data(), "RF64")) frames = wave(descriptor, true);
        else if (named(form.data(), "FORM") && (named(form.data() + 8, "AIFF") || named(form.data() + 8, "AIFC"))) {
            frames = aiff(descriptor);
        }
    }
    return seekTo(descriptor, 0) ? frames : std::nullopt;
}

}  // namespace vsthost::DeclaredLength
