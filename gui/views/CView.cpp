#include "CView.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "Platform.h"

#include <cstdlib>
#include <cstring>

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (background) background->release();
    for (CAttributeListEntry* entry = attributeList; entry;) {
        CAttributeListEntry* next = entry->next;
        std::free(entry->data);
        delete entry;
        entry = next;
    }
}

void CView::draw(CDrawContext* context) {
    if (background) {
        const CPoint origin(0, 0);
        if (transparencyEnabled) {
            background->drawTransparent(context, size, origin);
        } else {
            background->draw(context, size, origin);
        }
    }
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) { draw(context); }

bool CView::checkUpdate(const CRect& updateRect) const { return updateRect.overlaps(size); }

void CView::mouse(CDrawContext*, const CPoint&, std::int32_t) {}

void CView::setBackground(CBitmap* image) {
    // Retaining first keeps an image alive when it replaces itself and the view holds its
    // only reference.
    if (image) image->retain();
    if (background) background->release();
    background = image;
    setDirty(true);
}

CBitmap* CView::getBackground() const { return background; }

std::int32_t CView::onKeyDown(VstKeyCode&) { return -1; }

std::int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

bool CView::onWheel(CDrawContext* context, const CPoint& where, std::int32_t, float distance) {
    return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext*, const CPoint&, float) { return false; }

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&) { return false; }

void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::loseFocus(CDrawContext*) {}

void CView::takeFocus(CDrawContext*) {}

bool CView::isDirty() const { return dirty; }

void CView::setDirty(bool flag) { dirty = flag; }

void CView::setMouseEnabled(bool flag) { mouseEnabled = flag; }

bool CView::getMouseEnabled() const { return mouseEnabled; }

void CView::setMouseableArea(const CRect& rect) { mouseableArea = rect; }

CRect& CView::getMouseableArea(CRect& rect) const {
    rect = mouseableArea;
    return rect;
}

bool CView::hitTest(const CPoint& where, std::int32_t) const {
    return mouseableArea.pointInside(where);
}

void CView::setTransparency(bool flag) { transparencyEnabled = flag; }

bool CView::getTransparency() const { return transparencyEnabled; }

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
}

CRect& CView::getViewSize(CRect& rect) const {
    rect = size;
    return rect;
}

bool CView::removed(CView*) { return true; }

bool CView::attached(CView*) { return true; }

void CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (!context) return;
    if (parentView && parentView->notify(this, kMsgCheckIfViewContainer) == 1) {
        // The parent answers in its own parent's coordinates; shifting the context by the
        // parent's origin turns that into the parent's inner coordinates, which are ours.
        const CPoint savedScreenOffset = context->screenOffset;
        const CPoint savedOffset = context->offset;
        context->screenOffset.offset(parentView->size.left, parentView->size.top);
        context->offset.offset(parentView->size.left, parentView->size.top);
        parentView->getMouseLocation(context, point);
        context->screenOffset = savedScreenOffset;
        context->offset = savedOffset;
        return;
    }
    const CPoint pointer = platform::pointerPosition(context);
    point = CPoint(pointer.h - context->screenOffset.h, pointer.v - context->screenOffset.v);
}

CPoint& CView::frameToLocal(CPoint& point) const {
    if (parentView && parentView->isTypeOf("CViewContainer")) {
        return parentView->frameToLocal(point);
    }
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    if (parentView && parentView->isTypeOf("CViewContainer")) {
        return parentView->localToFrame(point);
    }
    return point;
}

AEffGUIEditor* CView::getEditor() const {
    return parentFrame ? parentFrame->getEditor() : nullptr;
}

std::int32_t CView::notify(CView*, const char*) { return 0; }

void CView::redrawRect(CDrawContext* context, const CRect& rect) {
    if (parentView) {
        parentView->redrawRect(context, rect);
    } else if (parentFrame) {
        parentFrame->drawRect(context, rect);
    }
}

bool CView::wantsFocus() const { return focusWanted; }

void CView::setWantsFocus(bool flag) { focusWanted = flag; }

bool CView::isTypeOf(const char* className) const {
    return className && std::strcmp(className, "CView") == 0;
}

void CView::update(CDrawContext* context) {
    if (!isDirty()) return;
    if (context) {
        redrawRect(context, size);
    } else if (parentFrame) {
        parentFrame->drawView(this);
    }
    setDirty(false);
}
