#pragma once
// Font identifiers name the entries of the draw context's fixed font table; style bits
// combine freely. The table, by character height in pixels (the em, not the cell):
//   kFontBold        Arial 12, always bold       kFontSmall       Arial 11
//   kFontVeryBig     Arial 18                    kFontSmaller     Arial 10
//   kFontBig         Arial 14                    kFontVerySmall   Arial 9
//   kFontNormal      Arial 12                    kFontSymbol      Symbol 13
// Any other identifier draws as kFontBold. Where a system lacks a face, it stands in the
// nearest of the same family (Swiss, proportional; the symbol font's own family).
// These sizes are pixels and stay pixels, not points: kFontNormal's 12 are what 9 points come
// to at 96 pixels per inch. A font sized in points, of the plug-in's own files or the system's,
// is a CTextFont (CTextFont.h).

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
