#pragma once
// Font identifiers name the entries of the draw context's fixed font table; style bits
// combine freely.

#include <cstdint>

using CFontId = std::int32_t;

inline constexpr CFontId kFontBold = 0;
inline constexpr CFontId kFontVeryBig = 1;
inline constexpr CFontId kFontBig = 2;
inline constexpr CFontId kFontNormal = 3;
inline constexpr CFontId kFontSmall = 4;
inline constexpr CFontId kFontSmaller = 5;
inline constexpr CFontId kFontVerySmall = 6;
inline constexpr CFontId kFontSymbol = 7;
inline constexpr CFontId kNumFonts = 8;

inline constexpr std::int32_t kBoldFace = 1;
inline constexpr std::int32_t kItalicFace = 2;
inline constexpr std::int32_t kUnderlineFace = 4;
