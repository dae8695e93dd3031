// What the frame does as a view and as the keeper of the modal and the focus view: the same on
// every platform, built against whichever platform's frame header the build uses.

#include "CFrame.h"

#include "CDrawContext.h"
#include "Platform.h"

#include <cstring>

std::int32_t knobMode = 0;

bool CFrame::getSize(CRect* rectPointer) const { return getSize(*rectPointer); }

void CFrame::viewRemoved(CView* view) {
    tips.dismiss();
    if (modalView == view) modalView = nullptr;
    if (pointer.forget(view)) showPointerShape(pointer.shape());
    if (!focusView) return;
    const bool focusGoes = focusView == view ||
                           (view->isTypeOf("CViewContainer") &&
                            static_cast<CViewContainer*>(view)->holds(focusView));
    if (focusGoes) setFocusView(nullptr);
}

AEffGUIEditor* CFrame::getEditor() const { return editor; }

void CFrame::setScale(float factor) {
    if (!(factor > 0) || factor == scale) return;
    // A tip shown at the old scale would keep its old size and place over the resized window.
    tips.dismiss();
    scale = factor;
    applyScale();
}

bool CFrame::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CFrame") == 0) ||
           CViewContainer::isTypeOf(className);
}

bool CFrame::isOpen() const { return openFlag; }

std::int32_t CFrame::getKnobMode() const { return knobMode; }

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (modalView) removeView(modalView, false);
    modalView = view;
    if (view) addView(view);
    return true;
}

CView* CFrame::getModalView() const { return modalView; }

void CFrame::setFocusView(CView* view) {
    CView* old = focusView;
    focusView = view;
    // A control that takes the focus again while it has it (its own edit does) keeps the frame.
    if (view != old) focusShown = view && focusFromKeys;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (old) {
        old->loseFocus(nullptr);
        if (old->wantsFocus()) old->setDirty(true);
    }
}

CView* CFrame::getFocusView() const { return focusView; }

void CFrame::setOpenFlag(bool flag) { openFlag = flag; }

bool CFrame::getOpenFlag() const { return openFlag; }

void CFrame::invalidate(const CRect& rect) {
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        CRect childSize;
        entry->view->getViewSize(childSize);
        if (rect.right >= childSize.left && rect.left <= childSize.right &&
            rect.bottom >= childSize.top && rect.top <= childSize.bottom) {
            entry->view->setDirty(true);
        }
    }
}

bool CFrame::setUpdatesDisabled(bool flag) {
    const bool previous = updatesDisabled;
    updatesDisabled = flag;
    return previous;
}

bool CFrame::getUpdatesDisabled() const { return updatesDisabled; }

void CFrame::draw(CDrawContext* context) {
    firstDraw = false;
    if (!context) context = frameContext;
    if (context) CViewContainer::draw(context);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    firstDraw = false;
    CDrawContext* made = context ? nullptr : createDrawContext();
    if (made) context = made;
    if (!context) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect newClip = updateRect;
    context->setClipRect(newClip.bound(oldClip));
    if (updateRect.width() > 0 && updateRect.height() > 0) {
        CViewContainer::drawRect(context, updateRect);
    }
    context->setClipRect(oldClip);
    if (made) made->release();
}

void CFrame::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    if (!context) context = frameContext;
    tips.dismiss();
    // Every click takes the focus away first.
    if (focusView) setFocusView(nullptr);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) modalView->mouse(context, where, buttons);
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

std::int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    tips.dismiss();
    if (typingTakes(keyCode, true)) return 1;
    if (focusView) {
        const std::int32_t result = focusView->onKeyDown(keyCode);
        if (result != -1) return result;
    }
    if (modalView) {
        const std::int32_t result = modalView->onKeyDown(keyCode);
        if (result != -1) return result;
    }
    if (keyCode.virt == VKEY_TAB) {
        const bool reverse = (keyCode.modifier & MODIFIER_SHIFT) != 0;
        focusFromKeys = true;
        const bool moved = advanceFocus(focusView, reverse);
        focusFromKeys = false;
        return moved ? 1 : -1;
    }
    return -1;
}

std::int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    if (typingTakes(keyCode, false)) return 1;
    if (focusView) {
        const std::int32_t result = focusView->onKeyUp(keyCode);
        if (result != -1) return result;
    }
    if (modalView) return modalView->onKeyUp(keyCode);
    return -1;
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                     float distance) {
    CView* target = modalView ? modalView : getViewAt(where, false);
    if (!target) return false;
    CDrawContext* made = context ? nullptr : createDrawContext();
    const bool result = target->onWheel(context ? context : made, where, axis, distance);
    if (made) made->release();
    return result;
}

void CFrame::setViewSize(const CRect& rect) { setSize(rect.width(), rect.height()); }

void CFrame::update(CDrawContext* context) {
    if (!getOpenFlag() || getUpdatesDisabled()) return;
    // Without a context nothing is drawn, so everything stays dirty for a later update.
    if (!context) return;
    if (dirty) {
        draw(context);
        setDirty(false);
        return;
    }
    CRect oldClip;
    context->getClipRect(oldClip);
    if (modalView && modalView->isDirty()) modalView->update(context);
    for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
        CRect childClip;
        entry->view->getViewSize(childClip);
        context->setClipRect(childClip.bound(oldClip));
        entry->view->update(context);
    }
    context->setClipRect(oldClip);
}

CView* CFrame::getViewUnderMouse() {
    return modalView ? modalView : CViewContainer::getViewUnderMouse();
}

bool CFrame::advanceFocus(CView* current, bool reverse) {
    if (modalView) return false;
    if (!current) {
        if (!focusView) return CViewContainer::advanceFocus(nullptr, reverse);
        current = focusView;
    }
    if (isChild(current)) {
        if (CViewContainer::advanceFocus(current, reverse)) return true;
        setFocusView(nullptr);
        return false;
    }
    // Climb through the containers around the focus view: each continues after the view the
    // climb came from.
    CView* child = current;
    for (CView* parent = current->getParentView(); parent && parent->isTypeOf("CViewContainer");
         parent = parent->getParentView()) {
        if (static_cast<CViewContainer*>(parent)->advanceFocus(child, reverse)) return true;
        child = parent;
    }
    return CViewContainer::advanceFocus(current, reverse);
}

std::uint32_t CFrame::getTicks() const { return editor ? platform::ticks() : 0; }

void CFrame::drawView(CView* view) {
    CView* target = (view && isChild(view)) ? view : this;
    CDrawContext* context = createDrawContext();
    if (!context) return;
    target->draw(context);
    context->release();
    viewDrawn(*target);
}

void CFrame::pointerMoved(const CPoint& where) {
    if (pointer.moveTo(*this, where)) showPointerShape(pointer.shape());
    tips.moved(*this, where);
}

void CFrame::pointerLeft() {
    if (pointer.leave()) showPointerShape(pointer.shape());
    tips.dismiss();
}

void CFrame::pointerPressed(const CPoint& where) {
    // The window may not have reported a move to where the button went down.
    pointerMoved(where);
    pointer.press();
    tips.press();
}

void CFrame::pointerReleased() {
    pointer.release();
    tips.release();
}
