#pragma once
// The frames a WAV, RF64 or AIFF file's header says it holds, read from the header itself, so
// that a file cut short is known by what it promised rather than by what a library makes of it;
// and the header fields the library refuses in words of its own, named here by what they hold,
// in those and in AU files.

#include <cstdint>
#include <optional>
#include <string>

namespace vsthost::DeclaredLength {

// Written by recorders that stream: the length is "until the end".
constexpr std::uint64_t kOpen = UINT64_MAX;

struct Header {
    // The promised frames, kOpen, or nothing for another format or a header that does not say.
    std::optional<std::uint64_t> frames;
    // What makes the header unreadable, as "has no channels"; empty when nothing does.
    std::string fault;
};

// The header of the file open at `descriptor`; the descriptor is back at the file's start
// afterwards. Seekable files only.
Header read(int descriptor);

}  // namespace vsthost::DeclaredLength
