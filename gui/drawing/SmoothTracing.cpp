#include "SmoothTracing.h"

#include <algorithm>
#include <cmath>

void traceSmoothPath(cairo_t* cairo, const CSmoothPath& path) {
    cairo_new_path(cairo);
    for (const CSmoothPath::Piece& piece : path.pieces()) {
        const CFloatPoint& point = piece.point;
        switch (piece.kind) {
        case CSmoothPath::Kind::move: cairo_move_to(cairo, point.h, point.v); break;
        case CSmoothPath::Kind::line: cairo_line_to(cairo, point.h, point.v); break;
        case CSmoothPath::Kind::arc:
            // cairo's angles grow clockwise on a screen, as the path's do.
            if (piece.toAngle >= piece.fromAngle) {
                cairo_arc(cairo, point.h, point.v, piece.radius, piece.fromAngle, piece.toAngle);
            } else {
                cairo_arc_negative(cairo, point.h, point.v, piece.radius, piece.fromAngle, piece.toAngle);
            }
            break;
        case CSmoothPath::Kind::close: cairo_close_path(cairo); break;
        }
    }
}

void paintSmoothPath(cairo_t* cairo, const CSmoothPath& path, const CSmoothPaint& paint) {
    cairo_save(cairo);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_DEFAULT);
    // Opaque, as every other drawing of the toolkit is, whatever the colour's alpha says.
    cairo_set_source_rgb(cairo, paint.colour.red / 255.0, paint.colour.green / 255.0,
                         paint.colour.blue / 255.0);
    traceSmoothPath(cairo, path);
    if (paint.fill) {
        cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cairo);
    } else {
        // GDI's width 0 is a one-pixel line; so it is here.
        cairo_set_line_width(cairo, std::max(paint.width, 1.0));
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cairo);
    }
    cairo_restore(cairo);
}

SmoothBounds smoothBounds(cairo_t* cairo, const CSmoothPath& path, const CSmoothPaint& paint) {
    traceSmoothPath(cairo, path);
    double left = 0, top = 0, right = 0, bottom = 0;
    cairo_path_extents(cairo, &left, &top, &right, &bottom);
    cairo_new_path(cairo);
    // Round joins and butt caps reach half the width beyond the path; a pixel more takes the
    // partly covered ones.
    const double margin = (paint.fill ? 0.0 : std::max(paint.width, 1.0) / 2) + 1;
    left -= margin;
    top -= margin;
    right += margin;
    bottom += margin;
    cairo_user_to_device(cairo, &left, &top);
    cairo_user_to_device(cairo, &right, &bottom);
    return {static_cast<int>(std::floor(std::min(left, right))), static_cast<int>(std::floor(std::min(top, bottom))),
            static_cast<int>(std::ceil(std::max(left, right))), static_cast<int>(std::ceil(std::max(top, bottom)))};
}
