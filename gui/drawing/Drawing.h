#pragma once
// What views and every platform's drawing context share: the mouse button and modifier bits,
// the drawing modes, the text alignments, and the one fill that views draw with.

#include "CColor.h"
#include "CRect.h"

#include <cstdint>

// Mouse button and modifier bits, as views receive them.
inline constexpr std::int32_t kLeftButton = 1;
inline constexpr std::int32_t kMiddleButton = 2;
inline constexpr std::int32_t kRightButton = 4;
inline constexpr std::int32_t kShiftKey = 8;
inline constexpr std::int32_t kControlKey = 16;
inline constexpr std::int32_t kAltKey = 32;

inline constexpr std::int32_t kLineSolid = 0;
inline constexpr std::int32_t kCopyMode = 0;

// Text alignment for `drawString`.
inline constexpr std::int32_t kLeftText = 0;
inline constexpr std::int32_t kCenterText = 1;
inline constexpr std::int32_t kRightText = 2;

class CDrawContext;

// Fills exactly `rect` in `colour`: the context's own fill leaves the left and top lines out.
void fillExactly(CDrawContext* context, const CRect& rect, CColor colour);
