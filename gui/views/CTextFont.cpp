#include "CTextFont.h"

#include "FontResource.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

} // namespace

CTextFont::CTextFont(std::string face, double points, std::int32_t style)
    : face(std::move(face)), points(points), style(style), resource(FontResource::find(this->face)) {}

std::int32_t CTextFont::pixelSize(double scale) const {
    const double pixels = points * kPixelsPerPoint * scale;
    // Text of no size, or one no font could have, still draws at the smallest.
    if (!(pixels >= 1.0)) return 1;
    return pixels > 4096.0 ? 4096 : static_cast<std::int32_t>(std::lround(pixels));
}
