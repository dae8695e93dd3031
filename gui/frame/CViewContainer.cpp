#include "CViewContainer.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "COffscreenContext.h"

#include <cstring>

namespace {

// Moves a context's screen position and drawing offset by a container's origin while its
// children work, and puts both back afterwards.
class ShiftedContext {
public:
    ShiftedContext(CDrawContext* context, std::int32_t dh, std::int32_t dv) : context(context) {
        if (!context) return;
        savedScreenOffset = context->screenOffset;
        savedOffset = context->offset;
        context->screenOffset.offset(dh, dv);
        context->offset.offset(dh, dv);
    }
    ~ShiftedContext() {
        if (!context) return;
        context->screenOffset = savedScreenOffset;
        context->offset = savedOffset;
    }
    ShiftedContext(const ShiftedContext&) = delete;
    ShiftedContext& operator=(const ShiftedContext&) = delete;

private:
    CDrawContext* context;
    CPoint savedScreenOffset;
    CPoint savedOffset;
};

CRect sizeOf(const CView* view) {
    CRect rect;
    view->getViewSize(rect);
    return rect;
}

CRect clipOf(const CDrawContext* context) {
    CRect rect;
    context->getClipRect(rect);
    return rect;
}

CRect bounded(CRect rect, const CRect& limit) { return rect.bound(limit); }

} // namespace

CViewContainer::CViewContainer(const CRect& size) : CView(size) { setDirty(true); }

CViewContainer::~CViewContainer() {
    // A frame is already gone by now, and a container being destroyed is in no frame's tree.
    removeChildren(true, false);
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
    dropReferencesTo(view);
    view->removed(this);
    if (withRelease) view->release();
    view->release();
    (entry->previous ? entry->previous->next : firstEntry) = entry->next;
    (entry->next ? entry->next->previous : lastEntry) = entry->previous;
    delete entry;
}

void CViewContainer::removeAll(bool withRelease) { removeChildren(withRelease, true); }

void CViewContainer::removeChildren(bool withRelease, bool dropReferences) {
    for (CViewListEntry* entry = firstEntry; entry;) {
        CViewListEntry* next = entry->next;
        if (dropReferences) dropReferencesTo(entry->view);
        entry->view->removed(this);
        if (withRelease) entry->view->release();
        entry->view->release();
        delete entry;
        entry = next;
    }
    firstEntry = nullptr;
    lastEntry = nullptr;
}

void CViewContainer::dropReferencesTo(CView* view) {
    if (dragOverView == view) dragOverView = nullptr;
    if (parentFrame) parentFrame->viewRemoved(view);
}

bool CViewContainer::holds(CView* view) const {
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        CView* child = entry->view;
        if (child == view) return true;
        if (child->isTypeOf("CViewContainer") && static_cast<CViewContainer*>(child)->holds(view)) {
            return true;
        }
    }
    return false;
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
    const CPoint local = toChildCoordinates(where);
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
            // Only a frame gives the focus: without one, no view took it.
            if (!parentFrame) return false;
            parentFrame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(child)->advanceFocus(nullptr, reverse)) {
            return true;
        }
    }
    return false;
}

void CViewContainer::ensureOffscreen() {
    if (offscreen || !drawOffscreen) return;
    // The buffer is always black underneath; the background colour is painted over it.
    offscreen = new COffscreenContext(parentFrame, size.width(), size.height(), kColorBlack);
}

void CViewContainer::draw(CDrawContext* context) {
    ensureOffscreen();
    CDrawContext* target = drawOffscreen ? offscreen : context;
    const bool direct = !drawOffscreen;
    const ShiftedContext shifted(direct ? context : nullptr, size.left, size.top);

    const CRect whole = innerRect();
    CRect oldClip = clipOf(context);
    const CRect savedClip = oldClip;
    // The buffer's own origin is the container's corner; the frame's is the window's.
    if (drawOffscreen && parentFrame != static_cast<CView*>(this)) {
        oldClip.offset(-size.left, -size.top);
    }
    target->setClipRect(bounded(whole, oldClip));

    if (background) {
        if (transparencyEnabled) {
            background->drawTransparent(target, whole, backgroundOffset);
        } else {
            background->draw(target, whole, backgroundOffset);
        }
    } else if (!transparencyEnabled) {
        target->setFillColor(backgroundColor);
        target->fillRect(whole);
    }

    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        target->setClipRect(bounded(sizeOf(entry->view), oldClip));
        entry->view->draw(target);
    }
    target->setClipRect(savedClip);

    if (drawOffscreen) offscreen->copyTo(context, size, CPoint(0, 0));
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    ensureOffscreen();
    CDrawContext* target = drawOffscreen ? offscreen : context;
    const bool direct = !drawOffscreen;
    const ShiftedContext shifted(direct ? context : nullptr, size.left, size.top);

    const CRect visible = bounded(updateRect, size);
    CRect client = visible;
    client.offset(-size.left, -size.top);

    CRect oldClip = clipOf(context);
    const CRect savedClip = oldClip;
    if (drawOffscreen && parentFrame != static_cast<CView*>(this)) {
        oldClip.offset(-size.left, -size.top);
    }
    const CRect newClip = bounded(client, oldClip);
    target->setClipRect(newClip);
    drawBackgroundRect(target, client);

    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        CView* child = entry->view;
        if (!child->checkUpdate(client)) continue;
        const CRect childSize = sizeOf(child);
        const CRect childClip = bounded(childSize, newClip);
        if (childClip.width() == 0 || childClip.height() == 0) continue;
        target->setClipRect(childClip);
        const bool wasDirty = child->isDirty();
        child->drawRect(target, client);
        // A dirty child drawn only in part stays dirty, so that a later update draws the rest.
        if (wasDirty && childClip != childSize && !isTypeOf("CScrollContainer")) {
            child->setDirty(true);
        }
    }
    target->setClipRect(savedClip);

    if (drawOffscreen) offscreen->copyTo(context, visible, CPoint(client.left, client.top));
    setDirty(false);
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect) {
    CRect inParent = rect;
    inParent.offset(size.left, size.top);
    if (transparencyEnabled) {
        // What shows through belongs to the parent, which redraws the whole area.
        if (parentView) {
            parentView->redrawRect(context, inParent);
        } else if (parentFrame) {
            parentFrame->drawRect(context, inParent);
        }
        return;
    }
    CPoint parentOrigin(0, 0);
    if (parentView) parentView->localToFrame(parentOrigin);
    const ShiftedContext shifted(parentView ? context : nullptr, parentOrigin.h, parentOrigin.v);
    drawRect(context, inParent);
}

void CViewContainer::update(CDrawContext* context) {
    if (mode == kUpdateWhole) {
        if (isDirty()) {
            redrawRect(context, innerRect());
            setDirty(false);
        }
        return;
    }
    if (mode != kUpdateDirtyChildren) return;
    if (dirty) {
        redrawRect(context, innerRect());
        setDirty(false);
        return;
    }
    const CRect bounds = innerRect();
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        CView* child = entry->view;
        if (!child->isDirty() || !child->checkUpdate(bounds)) continue;
        if (child->notify(this, kMsgCheckIfViewContainer)) {
            child->update(context);
        } else {
            child->redrawRect(context, bounded(sizeOf(child), bounds));
        }
    }
    setDirty(false);
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    const CRect bounds = innerRect();
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        if (!entry->view->isDirty()) continue;
        const CRect shown = bounded(sizeOf(entry->view), bounds);
        if (shown.width() > 0 && shown.height() > 0) return true;
    }
    return false;
}

void CViewContainer::setViewSize(const CRect& rect) {
    CView::setViewSize(rect);
    if (offscreen && drawOffscreen) {
        offscreen->release();
        offscreen = nullptr;
        ensureOffscreen();
    }
}

void CViewContainer::scaleChanged() {
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        if (entry->view->isTypeOf("CViewContainer")) static_cast<CViewContainer*>(entry->view)->scaleChanged();
    }
    setDirty(true);
}

bool CViewContainer::attached(CView*) {
    ensureOffscreen();
    return true;
}

bool CViewContainer::removed(CView*) {
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
    return true;
}

void CViewContainer::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    const CPoint local = toChildCoordinates(where);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    for (CViewListEntry* entry = lastEntry; entry; entry = entry->previous) {
        CView* child = entry->view;
        if (child->getMouseEnabled() && child->hitTest(local, buttons)) {
            child->mouse(context, local, buttons);
            return;
        }
    }
}

std::int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
    for (CViewListEntry* entry = lastEntry; entry; entry = entry->previous) {
        const std::int32_t result = entry->view->onKeyDown(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

std::int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) {
    for (CViewListEntry* entry = lastEntry; entry; entry = entry->previous) {
        const std::int32_t result = entry->view->onKeyUp(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                             float distance) {
    CView* child = getViewAt(where, false);
    if (!child) return false;
    const ShiftedContext shifted(context, size.left, size.top);
    const CPoint local = toChildCoordinates(where);
    return child->onWheel(context, local, axis, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    return onWheel(context, where, 1, distance);
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame) return false;
    const ShiftedContext shifted(context, size.left, size.top);
    const CPoint local = toChildCoordinates(where);
    CView* under = getViewAt(where, false);
    if (under != dragOverView) {
        if (dragOverView) dragOverView->onDragLeave(context, drag, local);
        dragOverView = under;
    }
    bool result = false;
    if (dragOverView) {
        result = dragOverView->onDrop(context, drag, local);
        dragOverView->onDragLeave(context, drag, local);
    }
    dragOverView = nullptr;
    return result;
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag,
                                 const CPoint& where) {
    if (!parentFrame) return;
    const ShiftedContext shifted(context, size.left, size.top);
    const CPoint local = toChildCoordinates(where);
    if (dragOverView) dragOverView->onDragLeave(context, drag, local);
    dragOverView = getViewAt(where, false);
    if (dragOverView) dragOverView->onDragEnter(context, drag, local);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag,
                                 const CPoint& where) {
    if (!parentFrame) return;
    const ShiftedContext shifted(context, size.left, size.top);
    const CPoint local = toChildCoordinates(where);
    if (dragOverView) dragOverView->onDragLeave(context, drag, local);
    dragOverView = nullptr;
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag,
                                const CPoint& where) {
    if (!parentFrame) return;
    const ShiftedContext shifted(context, size.left, size.top);
    const CPoint local = toChildCoordinates(where);
    CView* under = getViewAt(where, false);
    if (under != dragOverView) {
        if (dragOverView) dragOverView->onDragLeave(context, drag, local);
        if (under) under->onDragEnter(context, drag, local);
        dragOverView = under;
    } else if (under) {
        under->onDragMove(context, drag, local);
    }
}

void CViewContainer::loseFocus(CDrawContext* context) {
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        entry->view->loseFocus(context);
    }
}

void CViewContainer::takeFocus(CDrawContext* context) {
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        entry->view->takeFocus(context);
    }
}
