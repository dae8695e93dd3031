#include "CLevelMeter.h"

#include "CDrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void LevelFeed::write(float peak) {
    if (!(peak > 0.0f)) return; // silence, and a NaN, change nothing
    // The top of the scale: louder peaks, infinity among them, would hold the bar there.
    peak = std::min(peak, 1.0f);
    float seen = highest.load(std::memory_order_relaxed);
    while (peak > seen && !highest.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {}
}

float LevelFeed::take() { return highest.exchange(0.0f, std::memory_order_relaxed); }

CLevelMeter::CLevelMeter(const CRect& size, LevelFeed* feed) : CView(size), feed(feed) {
    // What the feed kept while no meter read it, as while the editor was closed, is old news.
    if (feed) feed->take();
}

bool CLevelMeter::isTypeOf(const char* className) const {
    return std::strcmp(className, "CLevelMeter") == 0 || CView::isTypeOf(className);
}

void CLevelMeter::setColors(CColor back, CColor bar, CColor hold) {
    backColor = back;
    barColor = bar;
    holdColor = hold;
    setDirty(true);
}

bool CLevelMeter::isDirty() const {
    return CView::isDirty() || shown > 0.0f || holdLeft > 0 || (feed && feed->waiting() > 0.0f);
}

std::int32_t CLevelMeter::rowOf(float level) const {
    const float height = static_cast<float>(size.height());
    return size.bottom - static_cast<std::int32_t>(std::lround(std::clamp(level, 0.0f, 1.0f) * height));
}

void CLevelMeter::draw(CDrawContext* context) {
    const float level = feed ? feed->take() : 0.0f;
    shown = std::max(level, shown - kFallPerDraw);
    if (shown < 0.0f) shown = 0.0f;
    if (shown >= held) {
        held = shown;
        holdLeft = shown > 0.0f ? kHoldDraws : 0;
    } else if (holdLeft == 0 || --holdLeft == 0) {
        held = shown; // the hold is over: the line goes down with the bar
    }
    fillExactly(context, size, backColor);
    const std::int32_t top = rowOf(shown);
    if (top < size.bottom) fillExactly(context, CRect(size.left, top, size.right, size.bottom), barColor);
    const std::int32_t holdRow = rowOf(held);
    if (held > 0.0f && holdRow < size.bottom) {
        fillExactly(context, CRect(size.left, holdRow, size.right, holdRow + 1), holdColor);
    }
    setDirty(false);
}
