#include "DeclaredLength.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vsthost::DeclaredLength {

namespace {

constexpr std::uint32_t kOpenSize = 0xFFFFFFFFu;
// Read ahead at once: a header of many small chunks costs one read per this many bytes.
constexpr std::size_t kWindowBytes = 64 * 1024;
// A WAV format chunk's fields up to the bits of a sample.
constexpr std::uint64_t kFormatBytes = 16;

bool seekTo(int descriptor, std::uint64_t offset) {
#if defined(_WIN32)
    return _lseeki64(descriptor, static_cast<__int64>(offset), SEEK_SET) >= 0;
#else
    return lseek(descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
#endif
}

// The file's bytes through a window read ahead, so that walking its chunks takes time in
// proportion to its size whatever their number.
class Source {
public:
    explicit Source(int descriptor) : descriptor_(descriptor), window_(kWindowBytes) {}

    template <std::size_t N>
    bool readAt(std::uint64_t offset, std::array<unsigned char, N>& bytes) {
        if (offset < start_ || offset + N > start_ + filled_) fill(offset);
        if (offset < start_ || offset + N > start_ + filled_) return false;
        std::memcpy(bytes.data(), window_.data() + (offset - start_), N);
        return true;
    }

private:
    void fill(std::uint64_t offset) {
        start_ = offset;
        filled_ = 0;
        if (!seekTo(descriptor_, offset)) return;
        while (filled_ < window_.size()) {
            const auto count = ::read(descriptor_, window_.data() + filled_, static_cast<unsigned>(window_.size() - filled_));
            if (count <= 0) return;
            filled_ += static_cast<std::size_t>(count);
        }
    }

    int descriptor_;
    std::vector<unsigned char> window_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
};

std::uint64_t number(const unsigned char* bytes, int size, bool bigEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const int at = bigEndian ? i : size - 1 - i;
        value = (value << 8) | bytes[at];
    }
    return value;
}

bool named(const unsigned char* bytes, std::string_view name) { return std::memcmp(bytes, name.data(), 4) == 0; }

// The library keeps the rate in an int and refuses a file whose rate is below 1 Hz.
std::string rateFault(double rate) {
    if (rate >= 1 && rate <= INT_MAX) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", rate);
    return std::string("has a sample rate of ") + text;
}

enum class Walk { on, done };

// Calls `visit(name, where its data starts, its size)` for each chunk after the 12-byte form
// header, padded to even sizes, until it answers done or the chunks run out. Each chunk moves
// on by 8 bytes at least, so the file's end ends the walk.
template <typename Visit>
void walkChunks(Source& source, bool bigEndian, Visit visit) {
    std::array<unsigned char, 8> header{};
    for (std::uint64_t offset = 12; source.readAt(offset, header);) {
        const std::uint64_t size = number(header.data() + 4, 4, bigEndian);
        if (visit(header.data(), offset + 8, size) == Walk::done) return;
        offset += 8 + size + (size & 1);
    }
}

// The fields of a WAV format chunk that its length and its faults come from.
struct Format {
    std::uint64_t tag = 0;  // of the subformat, for WAVE_FORMAT_EXTENSIBLE
    std::uint64_t channels = 0;
    std::uint64_t rate = 0;
    std::uint64_t bits = 0;
};

constexpr std::uint64_t kPcm = 1;
constexpr std::uint64_t kFloat = 3;

std::optional<Format> formatAt(Source& source, std::uint64_t at, std::uint64_t size) {
    std::array<unsigned char, kFormatBytes> bytes{};
    if (!source.readAt(at, bytes)) return std::nullopt;
    Format format{number(bytes.data(), 2, false), number(bytes.data() + 2, 2, false),
                  number(bytes.data() + 4, 4, false), number(bytes.data() + 14, 2, false)};
    // WAVE_FORMAT_EXTENSIBLE keeps its format in the first bytes of its subformat.
    std::array<unsigned char, 2> subformat{};
    if (format.tag == 0xFFFE) {
        format.tag = size >= 26 && source.readAt(at + 24, subformat) ? number(subformat.data(), 2, false) : 0;
    }
    return format;
}

std::string fault(const Format& format) {
    const std::string bits = std::to_string(format.bits) + " bits";
    if (format.channels == 0) return "has no channels";
    if (format.tag == kPcm && (format.bits == 0 || format.bits > 32)) return "has samples of " + bits;
    if (format.tag == kFloat && format.bits != 32 && format.bits != 64) return "has floating-point samples of " + bits;
    return rateFault(static_cast<double>(format.rate));
}

// The bytes of a frame as the library counts them, from the channels and the bits of a sample
// rather than the block align, which it overlooks; 0 for compressed formats, whose data size
// says nothing of their frames.
std::uint64_t frameBytes(const Format& format) {
    const bool plain = format.tag == kPcm || format.tag == kFloat || format.tag == 6 || format.tag == 7;  // A-law, mu-law
    return plain ? format.channels * ((format.bits + 7) / 8) : 0;
}

// RIFF, RF64: the data chunk's bytes over the frame size of the format chunk; for RF64 the
// data size stands in the ds64 chunk.
Header wave(Source& source, bool rf64) {
    Header header;
    std::uint64_t frame = 0;
    std::uint64_t bigDataSize = 0;
    walkChunks(source, false, [&](const unsigned char* name, std::uint64_t at, std::uint64_t size) {
        if (named(name, "ds64")) {
            std::array<unsigned char, 16> sizes{};
            if (source.readAt(at, sizes)) bigDataSize = number(sizes.data() + 8, 8, false);
        } else if (named(name, "fmt ")) {
            if (size < kFormatBytes) {
                header.fault = "has a format chunk of " + std::to_string(size) + " bytes, short of the " +
                               std::to_string(kFormatBytes) + " a WAV file needs";
                return Walk::done;
            }
            const auto format = formatAt(source, at, size);
            if (!format) return Walk::done;
            header.fault = fault(*format);
            frame = frameBytes(*format);
            if (!header.fault.empty()) return Walk::done;
        } else if (named(name, "data")) {
            if (frame == 0) return Walk::done;
            if (size == kOpenSize && !rf64) header.frames = kOpen;
            else header.frames = (size == kOpenSize ? bigDataSize : size) / frame;
            return Walk::done;
        }
        return Walk::on;
    });
    return header;
}

// An AIFF rate: an 80-bit extended float, sign and exponent before a 64-bit mantissa.
double extended(const unsigned char* bytes) {
    const auto exponent = static_cast<int>(number(bytes, 2, true) & 0x7FFF);
    const double magnitude = std::ldexp(static_cast<double>(number(bytes + 2, 8, true)), exponent - 16383 - 63);
    return (bytes[0] & 0x80) != 0 ? -magnitude : magnitude;
}

// AIFF and AIFF-C: the common chunk counts the frames; a sound data chunk of the largest size
// is a recorder's "until the end".
Header aiff(Source& source) {
    Header header;
    walkChunks(source, true, [&](const unsigned char* name, std::uint64_t at, std::uint64_t size) {
        if (named(name, "COMM")) {
            std::array<unsigned char, 18> common{};
            if (!source.readAt(at, common)) return Walk::done;
            if (number(common.data(), 2, true) == 0) header.fault = "has no channels";
            else header.fault = rateFault(extended(common.data() + 8));
            if (!header.fault.empty()) return Walk::done;
            header.frames = number(common.data() + 2, 4, true);
        } else if (named(name, "SSND")) {
            if (size == kOpenSize) header.frames = kOpen;
            return Walk::done;
        }
        return Walk::on;
    });
    return header;
}

// Sun AU: a row of six numbers, the rate and the channels last; little-endian under the magic
// reversed.
Header au(Source& source, bool bigEndian) {
    Header header;
    std::array<unsigned char, 24> row{};
    if (!source.readAt(0, row)) return header;
    if (number(row.data() + 20, 4, bigEndian) == 0) header.fault = "has no channels";
    else header.fault = rateFault(static_cast<double>(number(row.data() + 16, 4, bigEndian)));
    return header;
}

}  // namespace

Header read(int descriptor) {
    Source source(descriptor);
    std::array<unsigned char, 12> form{};
    Header header;
    if (source.readAt(0, form)) {
        const bool wav = named(form.data() + 8, "WAVE");
        if (wav && named(form.data(), "RIFF")) header = wave(source, false);
        else if (wav && named(form.data(), "RF64")) header = wave(source, true);
        else if (named(form.data(), "FORM") && (named(form.data() + 8, "AIFF") || named(form.data() + 8, "AIFC"))) {
            header = aiff(source);
        } else if (named(form.data(), ".snd") || named(form.data(), "dns.")) {
            header = au(source, named(form.data(), ".snd"));
        }
    }
    if (!seekTo(descriptor, 0)) header.frames.reset();
    return header;
}

}  // namespace vsthost::DeclaredLength
