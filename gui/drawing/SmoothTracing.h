#pragma once
// Hands a `CSmoothPath` to cairo and paints it: the one way both platforms' draw contexts draw
// anti-aliased, so that a shape comes out the same on each.

#include "CSmoothPath.h"

#include <cairo.h>

// Replaces the current path of `cairo` with `path`, in its user space.
void traceSmoothPath(cairo_t* cairo, const CSmoothPath& path);

// Traces `path` and paints it as `paint` says, leaving the state of `cairo` as it was.
void paintSmoothPath(cairo_t* cairo, const CSmoothPath& path, const CSmoothPaint& paint);

// The device pixels that painting `path` as `paint` may touch in `cairo` (its user space
// mapped as for painting), smoothing's fringe included: left, top, right, bottom, with the
// right and bottom ones past the last.
struct SmoothBounds {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
SmoothBounds smoothBounds(cairo_t* cairo, const CSmoothPath& path, const CSmoothPaint& paint);
