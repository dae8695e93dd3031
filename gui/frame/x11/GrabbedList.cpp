#include "GrabbedList.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "HostRecords.h"

#include <algorithm>
#include <new>

namespace {

constexpr CFontId kListFont = kFontNormal;
constexpr std::int32_t kRowHeight = 18;
constexpr std::int32_t kBorder = 1;
constexpr std::int32_t kTextInset = 6;
constexpr CColor kBack{245, 245, 245, 255};
constexpr CColor kLit{50, 100, 200, 255};
constexpr CColor kEdge{90, 90, 90, 255};

std::int32_t widestText(CFrame& frame, const std::vector<std::string>& items) {
    CDrawContext* measure = frame.createDrawContext();
    if (!measure) return 0;
    measure->setFont(kListFont);
    std::int32_t widest = 0;
    for (const std::string& item : items) widest = std::max(widest, measure->getStringWidth(item.c_str()));
    measure->release();
    return widest;
}

} // namespace

std::unique_ptr<PopupList> PopupList::open(CFrame& frame, const CRect& under, const std::vector<std::string>& items,
                                           std::int32_t current, Ended ended) {
    if (items.empty()) return nullptr;
    std::unique_ptr<GrabbedList> list(new (std::nothrow) GrabbedList(frame, items, current, std::move(ended)));
    if (!list || !list->show(under)) return nullptr;
    return list;
}

GrabbedList::GrabbedList(CFrame& frame, std::vector<std::string> items, std::int32_t current, Ended ended)
    : frame(frame), items(std::move(items)), current(current), lit(current), ended(std::move(ended)) {}

GrabbedList::~GrabbedList() {
    if (window) frame.setOpenList(nullptr);
}

bool GrabbedList::show(const CRect& under) {
    const std::int32_t width = std::max(under.width(), widestText(frame, items) + 2 * kTextInset + 2 * kBorder);
    const auto count = static_cast<std::int32_t>(items.size());
    rows = CRect(kBorder, kBorder, width - kBorder, kBorder + count * kRowHeight);
    const CRect where(under.left, under.bottom, under.left + width, under.bottom + rows.bottom + kBorder);
    window = OverrideWindow::make(frame, where, [this](CDrawContext* context, const CRect& area) { paint(context, area); },
                                  this, under);
    if (!window || !window->grab()) {
        window.reset();
        return false;
    }
    frame.setOpenList(this);
    return true;
}

void GrabbedList::paint(CDrawContext* context, const CRect& area) const {
    fillExactly(context, area, kBack);
    context->setFrameColor(kEdge);
    context->setLineWidth(1);
    context->drawRect(area);
    context->setFont(kListFont);
    for (std::int32_t row = 0; row < static_cast<std::int32_t>(items.size()); ++row) {
        const CRect line(rows.left, rows.top + row * kRowHeight, rows.right, rows.top + (row + 1) * kRowHeight);
        if (row == lit) fillExactly(context, line, kLit);
        context->setFontColor(row == lit ? kColorWhite : kColorBlack);
        CRect text = line;
        text.left += kTextInset;
        context->drawString(items[static_cast<std::size_t>(row)].c_str(), text, 0, kLeftText);
        if (row == current) {
            // The item chosen now carries a dot before its text.
            const CRect dot(line.left + 2, line.top + kRowHeight / 2 - 1, line.left + 4, line.top + kRowHeight / 2 + 1);
            fillExactly(context, dot, row == lit ? kColorWhite : kColorBlack);
        }
    }
}

std::int32_t GrabbedList::rowAt(const CPoint& where) const {
    return rows.pointInside(where) ? (where.v - rows.top) / kRowHeight : -1;
}

void GrabbedList::light(std::int32_t row) {
    if (row == lit || !window) return;
    lit = row;
    window->redraw();
}

bool GrabbedList::key(const VstKeyCode& key) {
    const auto last = static_cast<std::int32_t>(items.size()) - 1;
    switch (key.virt) {
    case VKEY_UP: light(lit < 0 ? last : std::max(lit - 1, 0)); break;
    case VKEY_DOWN: light(std::min(lit + 1, last)); break;
    case VKEY_HOME: light(0); break;
    case VKEY_END: light(last); break;
    case VKEY_RETURN:
    case VKEY_ENTER: finish(lit); break;
    case VKEY_ESCAPE: finish(-1); break;
    default: break;
    }
    return true;
}

void GrabbedList::moved(const CPoint& where) {
    const std::int32_t row = rowAt(where);
    if (row >= 0) light(row);
}

void GrabbedList::pressed(const CPoint& where, bool inside) {
    if (!inside) finish(-1);
    else moved(where);
}

void GrabbedList::released(const CPoint& where) {
    // The release of the press that opened the list lands outside it, on the control.
    const std::int32_t row = rowAt(where);
    if (row >= 0) finish(row);
}

void GrabbedList::finish(std::int32_t chosen) {
    if (!window) return;
    frame.setOpenList(nullptr);
    window.reset();
    Ended told = std::move(ended);
    if (told) told(chosen);
}
