// What an image does with a context, the same on every platform: each platform's `copy` moves
// the pixels.

#include "CDecodedBitmap.h"

#include <algorithm>
#include <string>

namespace {

// The name of a file's double density: `@2x` before its extension.
std::string doubleDensityPath(const char* path) {
    const std::string whole = path;
    const std::size_t folder = whole.find_last_of("\\/");
    const std::size_t dot = whole.rfind('.');
    const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
    const std::size_t at = hasExtension ? dot : whole.size();
    return whole.substr(0, at) + "@2x" + whole.substr(at);
}

} // namespace

CDecodedBitmap* CDecodedBitmap::fromFile(const char* path) {
    CDecodedBitmap* image = fromOneFile(path);
    if (image == nullptr) return nullptr;
    if (CDecodedBitmap* doubled = fromOneFile(doubleDensityPath(path).c_str())) {
        image->setDoubleDensity(doubled);
        doubled->release();
    }
    return image;
}

void CDecodedBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    copy(context, rect, offset, false);
}

void CDecodedBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    copy(context, rect, offset, true);
}

void CDecodedBitmap::drawFrame(CDrawContext* context, const CRect& rect, std::int32_t index,
                               std::int32_t count, StripDirection direction) {
    if (count < 1) return;
    index = std::clamp(index, 0, count - 1);
    const bool vertical = direction == StripDirection::vertical;
    const std::int32_t step = (vertical ? getHeight() : getWidth()) / count;
    CRect frame = rect;
    frame.right = std::min(rect.right, rect.left + (vertical ? getWidth() : step));
    frame.bottom = std::min(rect.bottom, rect.top + (vertical ? step : getHeight()));
    copy(context, frame, vertical ? CPoint(0, index * step) : CPoint(index * step, 0), true);
}
