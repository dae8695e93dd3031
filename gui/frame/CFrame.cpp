#include "CFrame.h"

#include "AEffGUIEditor.h"
#include "CDrawContext.h"
#include "COffscreenContext.h"

#include <ole2.h>

#include <cstdlib>
#include <cstring>

std::int32_t knobMode = 0;

namespace {

// Looked up for image drawing with transparency; kept, never called.
FARPROC alphaBlendEntry = nullptr;
FARPROC transparentBltEntry = nullptr;

LPCSTR systemCursorFor(std::int32_t type) {
    switch (type) {
    case 1: return IDC_WAIT;
    case 2: return IDC_SIZEWE;
    case 3: return IDC_SIZENS;
    case 4: return IDC_SIZEALL;
    case 5: return IDC_SIZENESW;
    case 6: return IDC_SIZENWSE;
    case 8: return IDC_NO;
    case 9: return IDC_HAND;
    default: return nullptr;
    }
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

CFrame::CFrame(const CRect& size, HWND parentWindow, AEffGUIEditor* editor)
    : CViewContainer(size), parentWindow(parentWindow), editor(editor) {
    parentFrame = this;
    OleInitialize(nullptr);

    alphaBlendEntry = nullptr;
    transparentBltEntry = nullptr;
    imagingLibrary = LoadLibraryA("msimg32.dll");
    if (imagingLibrary) {
        alphaBlendEntry = GetProcAddress(imagingLibrary, "AlphaBlend");
        OSVERSIONINFOEXA version{};
        static_assert(sizeof(version) == 156);
        version.dwOSVersionInfoSize = sizeof(version);
        if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) &&
            version.dwPlatformId >= VER_PLATFORM_WIN32_NT) {
            transparentBltEntry = GetProcAddress(imagingLibrary, "TransparentBlt");
        }
    }

    if (parentWindow) createWindow();
}

CFrame::~CFrame() {
    if (modalView) CViewContainer::removeView(modalView, false);
    if (!defaultCursor) defaultCursor = GetCursor();
    SetCursor(defaultCursor);
    if (dropActive && frameWindow) {
        if (dropTarget) {
            RevokeDragDrop(frameWindow);
            dropTarget = nullptr;
        }
        dropActive = false;
    }
    if (frameContext) frameContext->release();
    OleUninitialize();
    if (backBuffer) backBuffer->release();
    if (imagingLibrary) FreeLibrary(imagingLibrary);
    if (frameWindow) {
        SetWindowLongPtrA(frameWindow, GWLP_USERDATA, 0);
        DestroyWindow(frameWindow);
    }
    if (windowAdded && openFlag && parentWindow) parentWindow = nullptr;
    if (windowRecord) std::free(windowRecord);
}

bool CFrame::createWindow() {
    // The frame's window comes with its window class; until then a frame has no window.
    return false;
}

CDrawContext* CFrame::createDrawContext() {
    if (frameContext) {
        frameContext->retain();
        return frameContext;
    }
    return new CDrawContext(this, nullptr, frameWindow);
}

HWND CFrame::getOuterWindow() const {
    if (!frameWindow) return nullptr;
    const RECT frameRect = windowRect(frameWindow);
    const LONG frameWidth = frameRect.right - frameRect.left;
    const LONG frameHeight = frameRect.bottom - frameRect.top;
    HWND window = frameWindow;
    for (;;) {
        HWND parent = GetParent(window);
        if ((GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) || !parent) return window;
        const RECT parentRect = windowRect(parent);
        if (std::abs((parentRect.right - parentRect.left) - frameWidth) > 60 ||
            std::abs((parentRect.bottom - parentRect.top) - frameHeight) > 60) {
            return window;
        }
        window = parent;
    }
}

AEffGUIEditor* CFrame::getEditor() const { return editor; }

bool CFrame::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CFrame") == 0) ||
           CViewContainer::isTypeOf(className);
}

bool CFrame::open(void*) {
    if (!windowAdded) return false;
    if (getOpenFlag()) {
        BringWindowToTop(GetParent(GetParent(frameWindow)));
        return false;
    }
    if (parentWindow && createWindow()) setOpenFlag(true);
    return getOpenFlag();
}

bool CFrame::close() {
    if (!windowAdded || !getOpenFlag() || !parentWindow) return false;
    parentWindow = nullptr;
    return true;
}

bool CFrame::isOpen() const { return openFlag; }

void CFrame::idle() {
    if (!getOpenFlag() || firstDraw || !isDirty()) return;
    CDrawContext* context = createDrawContext();
    update(context);
    if (context) context->release();
}

void CFrame::editorIdle() {
    if (editor) editor->idlePump();
}

std::uint32_t CFrame::getTicks() const { return editor ? GetTickCount() : 0; }

std::int32_t CFrame::getKnobMode() const { return knobMode; }

bool CFrame::setPosition(std::int32_t, std::int32_t) {
    getOpenFlag();
    return false;
}

bool CFrame::getPosition(std::int32_t& x, std::int32_t& y) const {
    if (!getOpenFlag()) return false;
    HWND window = getOuterWindow();
    const RECT outer = windowRect(window);
    POINT corner{outer.left, outer.top};
    MapWindowPoints(nullptr, GetParent(window), &corner, 1);
    x = corner.x;
    y = corner.y;
    return true;
}

bool CFrame::setSize(std::int32_t, std::int32_t) {
    // Resizing the host's window chain comes with the frame's window.
    return false;
}

bool CFrame::getSize(CRect* rectPointer) const { return getSize(*rectPointer); }

bool CFrame::getSize(CRect& rect) const {
    if (!getOpenFlag()) return false;
    HWND parent = GetParent(frameWindow);
    HWND reference = GetParent(GetParent(parent));
    const RECT parentRect = windowRect(parent);
    POINT corner{parentRect.left, parentRect.top};
    MapWindowPoints(nullptr, reference, &corner, 1);
    rect = CRect(corner.x, corner.y, corner.x + (parentRect.right - parentRect.left),
                 corner.y + (parentRect.bottom - parentRect.top));
    return true;
}

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (modalView) removeView(modalView, false);
    modalView = view;
    if (view) addView(view);
    return true;
}

CView* CFrame::getModalView() const { return modalView; }

void CFrame::beginEdit(std::int32_t index) {
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(std::int32_t index) {
    if (editor) editor->endEdit(index);
}

bool CFrame::getCurrentLocation(CPoint& point) {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (frameWindow) {
        const RECT frameRect = windowRect(frameWindow);
        cursor.x -= frameRect.left;
        cursor.y -= frameRect.top;
    }
    point = CPoint(cursor.x, cursor.y);
    return true;
}

void CFrame::setCursor(std::int32_t type) {
    if (!defaultCursor) defaultCursor = GetCursor();
    const LPCSTR systemCursor = systemCursorFor(type);
    SetCursor(systemCursor ? LoadCursorA(nullptr, systemCursor) : defaultCursor);
}

void CFrame::setFocusView(CView* view) {
    CView* old = focusView;
    focusView = view;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (old) {
        old->loseFocus(nullptr);
        if (old->wantsFocus()) old->setDirty(true);
    }
}

CView* CFrame::getFocusView() const { return focusView; }

bool CFrame::setDropActive(bool flag) {
    if (!dropActive && !flag) return true;
    if (!frameWindow) return false;
    // Registering the window as a drop target comes with drag and drop.
    return false;
}

bool CFrame::isDropActive() const { return dropActive; }

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

void CFrame::drawView(CView* view) {
    CView* target = (view && isChild(view)) ? view : this;
    CDrawContext* context = createDrawContext();
    if (!context) return;
    target->draw(context);
    context->release();
}
