// The anti-aliased operations of both platforms' draw contexts: each makes a path and leaves
// the painting to the platform's `paintSmooth`.
#include "CDrawContext.h"

#include <cairo.h>

void CDrawContext::drawSmoothLine(CFloatPoint from, CFloatPoint to) {
    paintSmooth(CSmoothPath().moveTo(from).lineTo(to), strokePaint());
}

void CDrawContext::drawSmoothArc(CFloatPoint centre, double radius, double fromAngle, double toAngle) {
    paintSmooth(CSmoothPath().arc(centre, radius, fromAngle, toAngle), strokePaint());
}

void CDrawContext::drawSmoothRoundRect(const CFloatRect& rect, double radius) {
    paintSmooth(CSmoothPath::roundRect(rect, radius), strokePaint());
}

void CDrawContext::fillSmoothRoundRect(const CFloatRect& rect, double radius) {
    paintSmooth(CSmoothPath::roundRect(rect, radius), fillPaint());
}

void CDrawContext::drawSmoothPath(const CSmoothPath& path) { paintSmooth(path, strokePaint()); }

void CDrawContext::fillSmoothPath(const CSmoothPath& path) { paintSmooth(path, fillPaint()); }

CSmoothPaint CDrawContext::strokePaint() const {
    return {false, frameColor, static_cast<double>(lineWidth)};
}

CSmoothPaint CDrawContext::fillPaint() const { return {true, fillColor, 0}; }

// The context's own cairo on Linux holds its scale already; the Windows patches' get it first.
void CDrawContext::toDeviceSpace(cairo_t* cairo) const {
    cairo_translate(cairo, offset.h, offset.v);
}
