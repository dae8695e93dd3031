#pragma once
// Plug-ins' texts and file names come in any encoding; the reports that carry them say UTF-8,
// so they keep what is UTF-8 and replace what is not.

#include <cstddef>
#include <string>

namespace vsthost {

// The length of the well-formed UTF-8 sequence at `at` (1 for ASCII), or 0 for a byte that starts
// none: a stray continuation, an overlong form, a surrogate, a code point past U+10FFFF or a
// sequence cut short.
std::size_t utf8SequenceLength(const std::string& text, std::size_t at);

// What stands in for a byte that is not UTF-8: U+FFFD.
inline constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace vsthost
