#pragma once
// A colour of four bytes. Passed by value it travels as one 32-bit word: `red` in the lowest
// byte, `alpha` (255 opaque) in the highest.

#include <cstddef>
#include <cstdint>

struct CColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    // Alpha takes part: a colour that differs only there is a different colour.
    friend constexpr bool operator==(const CColor&, const CColor&) = default;
};

static_assert(sizeof(CColor) == 4 && alignof(CColor) == 1);
static_assert(offsetof(CColor, red) == 0 && offsetof(CColor, green) == 1);
static_assert(offsetof(CColor, blue) == 2 && offsetof(CColor, alpha) == 3);

inline constexpr CColor kColorTransparent{255, 255, 255, 0};
inline constexpr CColor kColorBlack{0, 0, 0, 255};
inline constexpr CColor kColorWhite{255, 255, 255, 255};
inline constexpr CColor kColorGrey{127, 127, 127, 255};
inline constexpr CColor kColorRed{255, 0, 0, 255};
inline constexpr CColor kColorGreen{0, 255, 0, 255};
inline constexpr CColor kColorBlue{0, 0, 255, 255};
inline constexpr CColor kColorYellow{255, 255, 0, 255};
inline constexpr CColor kColorMagenta{255, 0, 255, 255};
inline constexpr CColor kColorCyan{0, 255, 255, 255};
