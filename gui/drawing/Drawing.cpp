#include "Drawing.h"

#include "CDrawContext.h"

#include <cmath>

void fillExactly(CDrawContext* context, const CRect& rect, CColor colour) {
    context->setFillColor(colour);
    context->fillRect(CRect(rect.left - 1, rect.top - 1, rect.right, rect.bottom));
}

std::int32_t scaledCoordinate(std::int32_t value, float scale) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(value) * scale));
}

CRect scaledRect(const CRect& rect, float scale) {
    return CRect(scaledCoordinate(rect.left, scale), scaledCoordinate(rect.top, scale),
                 scaledCoordinate(rect.right, scale), scaledCoordinate(rect.bottom, scale));
}

std::int32_t unscaledCoordinate(std::int32_t pixel, float scale) {
    auto value = static_cast<std::int32_t>(std::floor(pixel / static_cast<double>(scale)));
    // The quotient can land one unit off where rounding moved a boundary.
    while (scaledCoordinate(value + 1, scale) <= pixel) ++value;
    while (scaledCoordinate(value, scale) > pixel) --value;
    return value;
}

CPoint unscaledPoint(const CPoint& pixel, float scale) {
    return CPoint(unscaledCoordinate(pixel.h, scale), unscaledCoordinate(pixel.v, scale));
}

CRect coveringRect(const CRect& pixels, float scale) {
    return CRect(unscaledCoordinate(pixels.left, scale), unscaledCoordinate(pixels.top, scale),
                 unscaledCoordinate(pixels.right - 1, scale) + 1,
                 unscaledCoordinate(pixels.bottom - 1, scale) + 1);
}
