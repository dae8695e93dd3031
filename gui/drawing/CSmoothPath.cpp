#include "CSmoothPath.h"

#include <algorithm>
#include <numbers>

CSmoothPath& CSmoothPath::moveTo(CFloatPoint point) {
    list.push_back({Kind::move, point});
    return *this;
}

CSmoothPath& CSmoothPath::lineTo(CFloatPoint point) {
    list.push_back({Kind::line, point});
    return *this;
}

CSmoothPath& CSmoothPath::arc(CFloatPoint centre, double radius, double fromAngle, double toAngle) {
    list.push_back({Kind::arc, centre, std::max(radius, 0.0), fromAngle, toAngle});
    return *this;
}

CSmoothPath& CSmoothPath::close() {
    list.push_back({Kind::close, {}});
    return *this;
}

CSmoothPath CSmoothPath::roundRect(const CFloatRect& rect, double radius) {
    constexpr double quarter = std::numbers::pi / 2;
    const double width = rect.right - rect.left;
    const double height = rect.bottom - rect.top;
    const double r = std::clamp(radius, 0.0, std::max(0.0, std::min(width, height) / 2));
    CSmoothPath path;
    path.arc({rect.right - r, rect.top + r}, r, -quarter, 0)
        .arc({rect.right - r, rect.bottom - r}, r, 0, quarter)
        .arc({rect.left + r, rect.bottom - r}, r, quarter, 2 * quarter)
        .arc({rect.left + r, rect.top + r}, r, 2 * quarter, 3 * quarter)
        .close();
    return path;
}
