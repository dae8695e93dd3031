#include "CViewContainer.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "COffscreenContext.h"

#include <cstring>

CViewContainer::CViewContainer(const CRect& size) : CView(size) { setDirty(true); }

CViewContainer::~CViewContainer() {
    CViewContainer::removeAll(true);
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
    point.offset(-size.left, -size.top);
    if (parentView && parentView->isTypeOf("CViewContainer")) {
        return parentView->frameToLocal(point);
    }
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
    point.offset(size.left, size.top);
    if (parentView && parentView->isTypeOf("CViewContainer")) {
        return parentView->localToFrame(point);
    }
    return point;
}

std::int32_t CViewContainer::notify(CView*, const char* message) {
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

bool CViewContainer::isTypeOf(const char* className) const {
    return className && (std::strcmp(className, "CViewContainer") == 0 || CView::isTypeOf(className));
}

void CViewContainer::addView(CView* view, const CRect& area, bool enabled) {
    if (!view) return;
    view->setMouseEnabled(enabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    auto* entry = new CViewListEntry{view, nullptr, nullptr};
    view->retain();
    // Copied now only: a view added before this container joins a frame keeps no frame.
    view->setParentFrame(parentFrame);
    view->setParentView(this);
    if (!firstEntry) {
        firstEntry = entry;
    } else {
        CViewListEntry* last = firstEntry;
        while (last->next) last = last->next;
        last->next = entry;
        entry->previous = last;
    }
    lastEntry = entry;
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool withRelease) {
    if (parentFrame && parentFrame->getFocusView() == view) parentFrame->setFocusView(nullptr);
    CViewListEntry* entry = firstEntry;
    while (entry && entry->view != view) entry = entry->next;
    if (!entry) return;
    view->removed(this);
    if (withRelease) view->release();
    view->release();
    (entry->previous ? entry->previous->next : firstEntry) = entry->next;
    (entry->next ? entry->next->previous : lastEntry) = entry->previous;
    delete entry;
}

void CViewContainer::removeAll(bool withRelease) {
    for (CViewListEntry* entry = firstEntry; entry;) {
        CViewListEntry* next = entry->next;
        entry->view->removed(this);
        if (withRelease) entry->view->release();
        entry->view->release();
        delete entry;
        entry = next;
    }
    firstEntry = nullptr;
    lastEntry = nullptr;
}

bool CViewContainer::isChild(CView* view) const {
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        if (entry->view == view) return true;
    }
    return false;
}

std::int32_t CViewContainer::getViewCount() const {
    std::int32_t count = 0;
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) ++count;
    return count;
}

CView* CViewContainer::getView(std::int32_t index) const {
    std::int32_t position = 0;
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next, ++position) {
        if (position == index) return entry->view;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(CColor color) {
    backgroundColor = color;
    setDirty(true);
}

CColor CViewContainer::getBackgroundColor() const { return backgroundColor; }

void CViewContainer::setBackgroundOffset(const CPoint& point) { backgroundOffset = point; }

const CPoint& CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (background) {
        CRect oldClip;
        context->getClipRect(oldClip);
        CRect clip = rect;
        context->setClipRect(clip.bound(oldClip));
        const CRect whole(0, 0, background->getWidth(), background->getHeight());
        if (transparencyEnabled) {
            background->drawTransparent(context, whole, backgroundOffset);
        } else {
            background->draw(context, whole, backgroundOffset);
        }
        context->setClipRect(oldClip);
    } else if (!transparencyEnabled) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
}

void CViewContainer::setMode(std::int32_t newMode) { mode = newMode; }

std::int32_t CViewContainer::getMode() const { return mode; }

void CViewContainer::setOffscreenDrawing(bool flag) {
    drawOffscreen = flag;
    if (!flag && offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
}

CView* CViewContainer::getViewUnderMouse() {
    if (!parentFrame) return nullptr;
    CPoint where;
    parentFrame->getCurrentLocation(where);
    frameToLocal(where);
    for (CViewListEntry* entry = lastEntry; entry; entry = entry->previous) {
        CRect area;
        if (entry->view->getMouseableArea(area).pointInside(where)) return entry->view;
    }
    return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    if (!parentFrame) return nullptr;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    for (CViewListEntry* entry = lastEntry; entry; entry = entry->previous) {
        CView* child = entry->view;
        CRect area;
        if (!child->getMouseableArea(area).pointInside(local)) continue;
        if (deep && child->isTypeOf("CViewContainer")) {
            return static_cast<CViewContainer*>(child)->getViewAt(local, true);
        }
        return child;
    }
    return nullptr;
}

bool CViewContainer::advanceFocus(CView* current, bool reverse) {
    bool passed = current == nullptr;
    for (CViewListEntry* entry = reverse ? lastEntry : firstEntry; entry;
         entry = reverse ? entry->previous : entry->next) {
        CView* child = entry->view;
        if (!passed) {
            passed = child == current;
            continue;
        }
        if (child->wantsFocus()) {
            if (parentFrame) parentFrame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(child)->advanceFocus(nullptr, reverse)) {
            return true;
        }
    }
    return false;
}
