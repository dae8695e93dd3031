#pragma once
// An outline for the draw context's anti-aliased operations: straight and circular pieces in
// fractional caller coordinates, where whole numbers fall on the edges between pixels (the
// pixel at column 3 spans 3.0 to 4.0, its centre is 3.5). Angles are in radians and grow
// clockwise on the screen, from the direction of the positive h axis.

#include "CColor.h"
#include "CRect.h"

#include <vector>

struct CFloatPoint {
    double h = 0;
    double v = 0;

    friend constexpr bool operator==(const CFloatPoint&, const CFloatPoint&) = default;
};

struct CFloatRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    constexpr CFloatRect() = default;
    constexpr CFloatRect(double left, double top, double right, double bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    // The pixels a `CRect` covers, edge to edge.
    constexpr explicit CFloatRect(const CRect& rect)
        : left(rect.left), top(rect.top), right(rect.right), bottom(rect.bottom) {}
};

class CSmoothPath {
public:
    enum class Kind { move, line, arc, close };

    // One piece. `move` and `line` use `point`; `arc` goes from wherever the path stands in a
    // straight line to its start, then round `point` as its centre.
    struct Piece {
        Kind kind;
        CFloatPoint point;
        double radius = 0;
        double fromAngle = 0;
        double toAngle = 0;
    };

    // Starts a new open figure at `point`.
    CSmoothPath& moveTo(CFloatPoint point);
    CSmoothPath& lineTo(CFloatPoint point);
    // Clockwise from `fromAngle` to `toAngle` when `toAngle` is the larger, else anticlockwise.
    CSmoothPath& arc(CFloatPoint centre, double radius, double fromAngle, double toAngle);
    // Joins the figure's end to its start.
    CSmoothPath& close();

    // A closed rectangle whose corners are quarter circles of `radius`, shrunk to fit.
    static CSmoothPath roundRect(const CFloatRect& rect, double radius);

    const std::vector<Piece>& pieces() const { return list; }
    bool empty() const { return list.empty(); }

private:
    std::vector<Piece> list;
};

// How the draw context paints a path: filled, or stroked along it `width` wide.
struct CSmoothPaint {
    bool fill = false;
    CColor colour;
    double width = 1;
};
