// What an image does with a context, the same on every platform: each platform's `copy` moves
// the pixels.

#include "CDecodedBitmap.h"

#include <algorithm>

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
