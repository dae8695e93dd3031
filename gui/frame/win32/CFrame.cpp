#include "CFrame.h"

#include "CDrawContext.h"
#include "CDropTarget.h"
#include "COffscreenContext.h"
#include "WindowClass.h"
#include "WindowDpi.h"

#include <ole2.h>

#include <cstdlib>
#include <cstring>

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

LPCSTR systemCursorFor(PointerShape shape) {
    switch (shape) {
    case PointerShape::hand: return IDC_HAND;
    case PointerShape::upDown: return IDC_SIZENS;
    case PointerShape::leftRight: return IDC_SIZEWE;
    case PointerShape::textInsert: return IDC_IBEAM;
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
    oleInitialized = SUCCEEDED(OleInitialize(nullptr));

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

    if (parentWindow) {
        const float host = hostScale();
        scale = host > 0 ? host : static_cast<float>(windowDpi(parentWindow)) / kBaseDpi;
        // A host that sized its window before the editor opened saw it at 1x.
        if (createWindow() && host <= 0 && scale != 1) {
            hostSizesWindow(scaledCoordinate(size.width(), scale), scaledCoordinate(size.height(), scale));
        }
    }
}

CFrame::~CFrame() {
    tips.dismiss();
    if (modalView) CViewContainer::removeView(modalView, false);
    takeDefaultCursor();
    SetCursor(defaultCursor);
    if (dropActive && frameWindow) {
        if (dropTarget) {
            RevokeDragDrop(frameWindow);
            dropTarget = nullptr;
        }
        dropActive = false;
    }
    if (frameContext) frameContext->release();
    if (oleInitialized) OleUninitialize();
    if (backBuffer) backBuffer->release();
    if (imagingLibrary) FreeLibrary(imagingLibrary);
    if (frameWindow) {
        // Cleared first, so that the window's last messages no longer reach this frame.
        SetWindowLongPtrA(frameWindow, GWLP_USERDATA, 0);
        DestroyWindow(frameWindow);
        unregisterWindowClass();
    }
    if (windowAdded && openFlag && parentWindow) parentWindow = nullptr;
    if (windowRecord) std::free(windowRecord);
}

bool CFrame::createWindow() {
    registerWindowClass();
    const DpiAwarenessMatch awareness(parentWindow);
    frameWindow = CreateWindowExA(0, getWindowClassName(), "Window",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                  scaledCoordinate(size.width(), scale),
                                  scaledCoordinate(size.height(), scale), parentWindow, nullptr,
                                  getInstanceHandle(), nullptr);
    // Pointer-sized window data: the 64-bit build keeps the whole frame pointer.
    SetWindowLongPtrA(frameWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    setDropActive(true);
    return true;
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

void CFrame::idle() {
    tips.idle(*this);
    if (!getOpenFlag() || firstDraw || !isDirty()) return;
    CDrawContext* context = createDrawContext();
    update(context);
    if (context) context->release();
}

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

bool CFrame::setSize(std::int32_t width, std::int32_t height) {
    if (!getOpenFlag()) return false;
    if (width == size.width() && height == size.height()) return false;
    if (backBuffer) {
        backBuffer->release();
        backBuffer = nullptr;
    }
    CRect resized(0, 0, width, height);
    if (fitWindows(width, height)) {
        resized = CRect(size.left, size.top, size.left + width, size.top + height);
    }
    // Whoever sized the windows, the offscreen buffer follows and the frame is drawn anew.
    CViewContainer::setViewSize(resized);
    return true;
}

bool CFrame::fitWindows(std::int32_t width, std::int32_t height) {
    const std::int32_t pixelWidth = scaledCoordinate(width, scale);
    const std::int32_t pixelHeight = scaledCoordinate(height, scale);
    if (hostSizesWindow(pixelWidth, pixelHeight)) {
        SetWindowPos(frameWindow, nullptr, 0, 0, pixelWidth, pixelHeight, SWP_NOMOVE);
        return true;
    }
    resizeWindowChain(pixelWidth, pixelHeight);
    return false;
}

void CFrame::applyScale() {
    if (!frameWindow || !getOpenFlag()) return;
    if (backBuffer) {
        backBuffer->release();
        backBuffer = nullptr;
    }
    scaleChanged();
    fitWindows(size.width(), size.height());
    InvalidateRect(frameWindow, nullptr, FALSE);
}

void CFrame::screenChanged() {
    if (frameWindow && hostScale() <= 0) setScale(static_cast<float>(windowDpi(frameWindow)) / kBaseDpi);
}

bool CFrame::resizeWindowChain(std::int32_t width, std::int32_t height) {
    // Each window above the frame's keeps the decoration it had around its child; the walk
    // ends at the window whose decoration is a dialog frame, below an MDI client area, at the
    // top, or gives up on decorations too large to be a frame's.
    const std::int32_t border = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    std::int32_t extraWidth = 0;
    std::int32_t extraHeight = 0;
    HWND window = frameWindow;
    if (border != 0) {
        while (window) {
            HWND parent = GetParent(window);
            char parentClass[1024] = "";
            GetClassNameA(parent, parentClass, sizeof parentClass);
            if (!parent || std::strcmp(parentClass, "MDIClient") == 0) break;
            const RECT windowBefore = windowRect(window);
            const RECT parentBefore = windowRect(parent);
            SetWindowPos(window, nullptr, 0, 0, width + extraWidth, height + extraHeight,
                         SWP_NOMOVE);
            extraWidth += (parentBefore.right - parentBefore.left) -
                          (windowBefore.right - windowBefore.left);
            extraHeight += (parentBefore.bottom - parentBefore.top) -
                           (windowBefore.bottom - windowBefore.top);
            if (extraWidth > 80 || extraHeight > 80) return false;
            if (extraWidth < 0) extraWidth = 0;
            if (extraHeight < 0) extraHeight = 0;
            window = parent;
            if (extraWidth == border) break;
        }
    }
    if (window) {
        SetWindowPos(window, nullptr, 0, 0, width + extraWidth, height + extraHeight, SWP_NOMOVE);
    }
    return true;
}

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

bool CFrame::getCurrentLocation(CPoint& point) {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (frameWindow) {
        const RECT frameRect = windowRect(frameWindow);
        cursor.x -= frameRect.left;
        cursor.y -= frameRect.top;
    }
    point = unscaledPoint(CPoint(cursor.x, cursor.y), scale);
    return true;
}

void CFrame::takeDefaultCursor() {
    if (defaultCursorTaken) return;
    defaultCursor = GetCursor();
    defaultCursorTaken = true;
}

void CFrame::setCursor(std::int32_t type) {
    takeDefaultCursor();
    const LPCSTR systemCursor = systemCursorFor(type);
    SetCursor(systemCursor ? LoadCursorA(nullptr, systemCursor) : defaultCursor);
}

void CFrame::showPointerShape(PointerShape shape) {
    if (!frameWindow) return;
    const LPCSTR systemCursor = systemCursorFor(shape);
    // The host's cursor over the editor is the one of the frame window's class.
    SetCursor(systemCursor ? LoadCursorA(nullptr, systemCursor)
                           : reinterpret_cast<HCURSOR>(GetClassLongPtrA(frameWindow, GCLP_HCURSOR)));
}

bool CFrame::showsOwnCursor() {
    if (pointer.shape() == PointerShape::host) return false;
    showPointerShape(pointer.shape());
    return true;
}

bool CFrame::setDropActive(bool flag) {
    if (!dropActive && !flag) return true;
    if (!frameWindow) return false;
    if (dropTarget) {
        // Revocation drops the registration's reference, which destroys the target.
        RevokeDragDrop(frameWindow);
        dropTarget = nullptr;
    }
    if (flag) {
        // Held while registering: afterwards the registration holds the only reference, or,
        // when the window could not be registered, nobody does and the target goes.
        dropTarget = new CDropTarget(this);
        dropTarget->AddRef();
        const bool registered = SUCCEEDED(RegisterDragDrop(frameWindow, dropTarget));
        dropTarget->Release();
        if (!registered) dropTarget = nullptr;
    }
    dropActive = flag;
    return true;
}

bool CFrame::isDropActive() const { return dropActive; }
