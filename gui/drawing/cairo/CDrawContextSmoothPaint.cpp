#include "CDrawContext.h"

#include "SmoothTracing.h"

void CDrawContext::paintSmooth(const CSmoothPath& path, const CSmoothPaint& paint) {
    if (!cairo || path.empty()) return;
    cairo_t* context = cairo.get();
    cairo_save(context);
    toDeviceSpace(context);
    paintSmoothPath(context, path, paint);
    cairo_restore(context);
}
