#include "COffscreenContext.h"

#include "CFrame.h"

#include <algorithm>

namespace {

// Opaque pixels, as a window's are: copies to a window and blends onto the image then never
// meet an alpha of their own, and what is not drawn stays the background, not see-through.
std::unique_ptr<cairo_surface_t, CairoRelease> makeImage(CFrame* frame, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    const float scale = frame ? frame->getScale() : 1;
    std::unique_ptr<cairo_surface_t, CairoRelease> image(cairo_image_surface_create(
        CAIRO_FORMAT_RGB24, scaledCoordinate(width, scale), scaledCoordinate(height, scale)));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return image;
}

} // namespace

COffscreenContext::COffscreenContext(CFrame* frame, std::int32_t width, std::int32_t height,
                                     CColor backgroundColor)
    : CDrawContext(frame, makeImage(frame, width, height).get()), height(height), width(width),
      backgroundColor(backgroundColor) {
    setClipRect(CRect(std::min(width, 0), std::min(height, 0), std::max(width, 0), std::max(height, 0)));
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    fillDevice(CRect(0, 0, width, height), backgroundColor);
}

void COffscreenContext::copyTo(CDrawContext* destination, const CRect& destRect, const CPoint& sourceOffset) {
    if (!destination || !destination->getCairo() || !surface) return;
    // Only what the image has is copied: past its edges the destination keeps its pixels.
    CRect source(sourceOffset.h, sourceOffset.v, sourceOffset.h + destRect.width(),
                 sourceOffset.v + destRect.height());
    source.bound(CRect(0, 0, width, height));
    if (source.width() <= 0 || source.height() <= 0) return;
    const std::int32_t shiftH = destRect.left + destination->offset.h - sourceOffset.h;
    const std::int32_t shiftV = destRect.top + destination->offset.v - sourceOffset.v;

    cairo_t* target = destination->getCairo();
    cairo_save(target);
    cairo_set_source_surface(target, surface.get(), 0, 0);
    // The image holds `scale` pixels to the unit, as the destination does.
    cairo_matrix_t placement;
    cairo_matrix_init_scale(&placement, scale, scale);
    cairo_matrix_translate(&placement, -shiftH, -shiftV);
    cairo_pattern_set_matrix(cairo_get_source(target), &placement);
    cairo_set_operator(target, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(target, source.left + shiftH, source.top + shiftV, source.width(), source.height());
    cairo_fill(target);
    cairo_restore(target);
}
