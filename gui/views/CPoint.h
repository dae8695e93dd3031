#pragma once
// A point in pixels; `h` grows rightwards, `v` downwards.

#include <cstddef>
#include <cstdint>

struct CPoint {
    std::int32_t h = 0;
    std::int32_t v = 0;

    constexpr CPoint() = default;
    constexpr CPoint(std::int32_t h, std::int32_t v) : h(h), v(v) {}

    constexpr CPoint& offset(std::int32_t dh, std::int32_t dv) {
        h += dh;
        v += dv;
        return *this;
    }

    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

static_assert(sizeof(CPoint) == 8);
static_assert(offsetof(CPoint, h) == 0 && offsetof(CPoint, v) == 4);
