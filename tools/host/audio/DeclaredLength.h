#pragma once
// The frames a WAV, RF64 or AIFF file's header says it holds, read from the header itself, so
// that a file cut short is known by what it promised rather than by what a library makes of it.

#include <cstdint>
#include <optional>

namespace vsthost::DeclaredLength {

// Written by recorders that stream: the length is "until the end".
constexpr std::uint64_t kOpen = UINT64_MAX;

// The promised frames of the file open at `descriptor`, kOpen, or nothing for another format or
// a header that does not say; the descriptor is back at the file's start afterwards. Seekable
// files only.
std::optional<std::uint64_t> read(int descriptor);

}  // namespace vsthost::DeclaredLength
