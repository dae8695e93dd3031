#include "TooltipTracker.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "PopupWindow.h"

namespace {

constexpr CFontId kTipFont = kFontSmall;
constexpr std::int32_t kPadding = 3;
// Below the pointer's own picture, which hangs down from its hot spot.
constexpr std::int32_t kBelowPointer = 20;
constexpr CColor kTipBack{255, 255, 225, 255};

// The view under `where` that has a tip, or the nearest container around it that has one.
const CView* viewWithTip(CFrame& frame, const CPoint& where) {
    for (const CView* view = frame.getViewAt(where, true); view; view = view->getParentView()) {
        if (!view->getTooltipText().empty()) return view;
        if (view == &frame) break;
    }
    return nullptr;
}

} // namespace

TooltipTracker::TooltipTracker() = default;

TooltipTracker::~TooltipTracker() = default;

void TooltipTracker::moved(CFrame& frame, const CPoint& point) {
    if (held) return;
    if (tip && viewWithTip(frame, point) == tipped) return;
    dismiss();
    resting = true;
    where = point;
    since = frame.getTicks();
}

void TooltipTracker::press() {
    dismiss();
    held = true;
}

void TooltipTracker::dismiss() {
    resting = false;
    tip.reset();
    tipped = nullptr;
    text.clear();
}

void TooltipTracker::idle(CFrame& frame) {
    if (!resting || tip || frame.getTicks() - since < kRest) return;
    resting = false;
    if (const CView* view = viewWithTip(frame, where)) show(frame, *view);
}

void TooltipTracker::show(CFrame& frame, const CView& view) {
    CDrawContext* measure = frame.createDrawContext();
    if (!measure) return;
    measure->setFont(kTipFont);
    const std::string shown = view.getTooltipText();
    const std::int32_t width = measure->getStringWidth(shown.c_str()) + 2 * kPadding + 2;
    const std::int32_t height = measure->getFontSize() + 2 * kPadding + 2;
    measure->release();
    const CRect area(where.h, where.v + kBelowPointer, where.h + width, where.v + kBelowPointer + height);
    tip = PopupWindow::open(frame, area, [shown](CDrawContext* context, const CRect& inside) {
        fillExactly(context, inside, kTipBack);
        context->setFrameColor(kColorBlack);
        context->setLineWidth(1);
        context->drawRect(inside);
        context->setFont(kTipFont);
        context->setFontColor(kColorBlack);
        CRect line = inside;
        line.left += kPadding;
        context->drawString(shown.c_str(), line, 0, kLeftText);
    });
    if (!tip) return;
    tipped = &view;
    text = shown;
}

void* TooltipTracker::tipWindow() const { return tip ? tip->nativeHandle() : nullptr; }
