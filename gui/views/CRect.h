#pragma once
// A rectangle in pixels. `right` and `bottom` lie one past the last column and row.

#include "CPoint.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

struct CRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }

    constexpr CRect& offset(std::int32_t dx, std::int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }

    // Clips this rectangle to `other`. Rectangles that do not meet leave an empty one at the
    // larger left and top edges, never one of negative size.
    constexpr CRect& bound(const CRect& other) {
        left = std::max(left, other.left);
        top = std::max(top, other.top);
        right = std::min(right, other.right);
        bottom = std::min(bottom, other.bottom);
        if (bottom < top) bottom = top;
        if (right < left) right = left;
        return *this;
    }

    // Shared edges and corners count as overlap.
    constexpr bool overlaps(const CRect& other) const {
        return !(other.right < left || other.left > right || other.bottom < top ||
                 other.top > bottom);
    }

    // All four edges count as inside.
    constexpr bool pointInside(const CPoint& point) const {
        return point.h >= left && point.h <= right && point.v >= top && point.v <= bottom;
    }

    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

static_assert(sizeof(CRect) == 16);
static_assert(offsetof(CRect, left) == 0 && offsetof(CRect, top) == 4);
static_assert(offsetof(CRect, right) == 8 && offsetof(CRect, bottom) == 12);
