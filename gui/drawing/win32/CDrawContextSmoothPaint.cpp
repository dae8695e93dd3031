#include "CDrawContext.h"

#include "CDibPatch.h"
#include "SmoothTracing.h"

#include <algorithm>

namespace {

// Where painting may land: the shape's pixels within what the device context lets through.
RECT paintedArea(const SmoothBounds& bounds, HDC deviceContext) {
    RECT clip{};
    const int kind = GetClipBox(deviceContext, &clip);
    if (kind == NULLREGION || kind == ERROR) return RECT{};
    return RECT{std::max<LONG>(bounds.left, clip.left), std::max<LONG>(bounds.top, clip.top),
                std::min<LONG>(bounds.right, clip.right), std::min<LONG>(bounds.bottom, clip.bottom)};
}

} // namespace

void CDrawContext::paintSmooth(const CSmoothPath& path, const CSmoothPaint& paint) {
    if (!deviceContext || path.empty()) return;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* measure = cairo_create(scratch);
    // A fresh cairo counts device pixels: the context's scale comes first, then its offset.
    cairo_scale(measure, scale, scale);
    toDeviceSpace(measure);
    const SmoothBounds bounds = smoothBounds(measure, path, paint);
    cairo_destroy(measure);
    cairo_surface_destroy(scratch);

    CDibPatch patch(deviceContext, paintedArea(bounds, deviceContext));
    if (!patch.cairo()) return;
    cairo_scale(patch.cairo(), scale, scale);
    toDeviceSpace(patch.cairo());
    paintSmoothPath(patch.cairo(), path, paint);
}
