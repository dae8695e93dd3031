#pragma once
// What views and every platform's drawing context share: the mouse button and modifier bits,
// the drawing modes, the text alignments, and the one fill that views draw with.

#include "CColor.h"
#include "CPoint.h"
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

// Views count in logical units; a window at a scale factor has that many device pixels per
// unit. Coordinates round to the nearest pixel, so rectangles that touch still touch.
std::int32_t scaledCoordinate(std::int32_t value, float scale);
CRect scaledRect(const CRect& rect, float scale);
// The logical unit whose pixels hold device pixel `pixel`.
std::int32_t unscaledCoordinate(std::int32_t pixel, float scale);
CPoint unscaledPoint(const CPoint& pixel, float scale);
// The logical rectangle whose pixels cover all of `pixels`.
CRect coveringRect(const CRect& pixels, float scale);

// Fills exactly `rect` in `colour`: the context's own fill leaves the left and top lines out.
void fillExactly(CDrawContext* context, const CRect& rect, CColor colour);
