#include "WindowClass.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "CNativeControlOwner.h"
#include "Drawing.h"

#include <cinttypes>
#include <cstdio>

namespace {

HINSTANCE instanceHandle = nullptr;

// Sent to child windows once their parent has moved to a screen of another density.
constexpr UINT kDpiChangedAfterParent = 0x02E3;
char className[32] = "";
std::int32_t classUseCount = 0;

CFrame* frameOf(HWND window) {
    // Pointer-sized window data, so that a 64-bit frame pointer survives.
    return reinterpret_cast<CFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

COLORREF toColorRef(CColor color) { return RGB(color.red, color.green, color.blue); }

CNativeControlOwner* nativeControlsOfFocus(CFrame* frame) {
    return dynamic_cast<CNativeControlOwner*>(frame->getFocusView());
}

CMenuPainter* menuPainterOfFocus(CFrame* frame) {
    CNativeControlOwner* owner = nativeControlsOfFocus(frame);
    return owner ? owner->getMenuPainter() : nullptr;
}

LRESULT paint(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT update;
    if (!GetUpdateRect(window, &update, FALSE)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC deviceContext = BeginPaint(window, &paint);
    auto* context = new CDrawContext(frame, deviceContext, window);
    // The system counts pixels; the views, units.
    frame->drawRect(context, coveringRect(CRect(paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                                                paint.rcPaint.bottom),
                                          frame->getScale()));
    context->release();
    EndPaint(window, &paint);
    return 0;
}

CPoint pointOf(LPARAM lParam) {
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

LRESULT buttonDown(HWND window, CFrame* frame, UINT message, LPARAM lParam) {
    CDrawContext context(frame, nullptr, window);
    const CPoint where = unscaledPoint(CPoint(LOWORD(lParam), HIWORD(lParam)), frame->getScale());
    if (message == WM_LBUTTONDOWN) frame->pointerPressed(where);
    // -1: the buttons are read from the system, honouring a swap.
    frame->mouse(&context, where, -1);
    // A loop of its own, the system's menu for one, may have taken the release while it ran.
    if (message == WM_LBUTTONDOWN && GetKeyState(VK_LBUTTON) >= 0) frame->pointerReleased();
    return 0;
}

// The pointer over the window: the hovered and pressed controls and the cursor follow it.
LRESULT pointer(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        // Asked anew at each move: the request lapses once the leave is reported.
        TRACKMOUSEEVENT leave{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
        TrackMouseEvent(&leave);
        // A press let go outside the window had its release sent to the window there.
        if (!(wParam & MK_LBUTTON)) frame->pointerReleased();
        frame->pointerMoved(unscaledPoint(pointOf(lParam), frame->getScale()));
        return 0;
    }
    case WM_MOUSELEAVE: frame->pointerLeft(); return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT && frame->showsOwnCursor()) return TRUE;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        // The button came up, or a drag that held the mouse ended.
        frame->pointerReleased();
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT wheel(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        CDrawContext context(frame, nullptr, window);
        // The wheel reports the cursor in screen coordinates.
        const CPoint where = unscaledPoint(CPoint(static_cast<short>(LOWORD(lParam)) - context.screenOffset.h,
                                                  static_cast<short>(HIWORD(lParam)) - context.screenOffset.v),
                                           frame->getScale());
        const auto distance =
            static_cast<float>(static_cast<short>(HIWORD(wParam)) / 120.0);
        frame->onWheel(&context, where, distance);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT editColors(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    CNativeControlOwner* owner = nativeControlsOfFocus(frame);
    if (!owner) return DefWindowProcA(window, message, wParam, lParam);
    HDC deviceContext = reinterpret_cast<HDC>(wParam);
    SetTextColor(deviceContext, toColorRef(owner->getEditFontColor()));
    SetBkColor(deviceContext, toColorRef(owner->getEditBackColor()));
    if (owner->editBrush) DeleteObject(owner->editBrush);
    owner->editBrush = CreateSolidBrush(toColorRef(owner->getEditBackColor()));
    return reinterpret_cast<LRESULT>(owner->editBrush);
}

LRESULT measureItem(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    CMenuPainter* painter =
        item->CtlType == ODT_MENU && item->itemData ? menuPainterOfFocus(frame) : nullptr;
    if (!painter) return DefWindowProcA(window, message, wParam, lParam);
    CDrawContext context(frame, nullptr, window);
    CPoint size(0, 0);
    painter->measureItem(item->itemData, &context, size);
    item->itemWidth = static_cast<UINT>(size.h);
    item->itemHeight = static_cast<UINT>(size.v);
    return 1;
}

LRESULT drawItem(HWND window, CFrame* frame, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    CMenuPainter* painter =
        item->CtlType == ODT_MENU && item->itemData ? menuPainterOfFocus(frame) : nullptr;
    if (!painter) return DefWindowProcA(window, message, wParam, lParam);
    std::int32_t state = 0;
    if (item->itemState & ODS_CHECKED) state |= CMenuPainter::kChecked;
    if (item->itemState & ODS_DISABLED) state |= CMenuPainter::kDisabled;
    if (item->itemState & ODS_SELECTED) state |= CMenuPainter::kSelected;
    const CRect rect(item->rcItem.left, item->rcItem.top, item->rcItem.right,
                     item->rcItem.bottom + 1);
    CDrawContext context(frame, item->hDC, nullptr);
    painter->drawItem(item->itemData, static_cast<std::int32_t>(item->itemID), state, &context,
                      rect);
    return 1;
}

} // namespace

HINSTANCE getInstanceHandle() { return instanceHandle; }

void setInstanceHandle(HINSTANCE instance) { instanceHandle = instance; }

const char* getWindowClassName() { return className; }

std::int32_t getWindowClassUseCount() { return classUseCount; }

bool registerWindowClass() {
    if (++classUseCount != 1) return true;
    // The handle's hexadecimal digits, upper case and zero-padded, as the C runtime of the
    // platform writes "%p".
    std::snprintf(className, sizeof className, "Plugin%0*" PRIXPTR,
                  static_cast<int>(2 * sizeof(void*)),
                  reinterpret_cast<std::uintptr_t>(instanceHandle));
    WNDCLASSA description{};
    description.style = CS_GLOBALCLASS;
    description.lpfnWndProc = frameWindowProcedure;
    description.hInstance = instanceHandle;
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = className;
    RegisterClassA(&description);
    swappedButtons = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    return true;
}

void unregisterWindowClass() {
    if (--classUseCount == 0) UnregisterClassA(className, instanceHandle);
}

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* frame = frameOf(window);
    if (!frame) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        // The host destroyed its window first: the frame stays, closed, until its editor
        // deletes it; no tip is left to show for a pointer that was over it.
        frame->pointerLeft();
        frame->setOpenFlag(false);
        frame->parentWindow = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
        return paint(window, frame, message, wParam, lParam);
    case kDpiChangedAfterParent:
        frame->screenChanged();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return buttonDown(window, frame, message, lParam);
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_SETCURSOR:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return pointer(window, frame, message, wParam, lParam);
    case WM_MOUSEWHEEL:
        return wheel(window, frame, message, wParam, lParam);
    case WM_CTLCOLOREDIT:
        return editColors(window, frame, message, wParam, lParam);
    case WM_MEASUREITEM:
        return measureItem(window, frame, message, wParam, lParam);
    case WM_DRAWITEM:
        return drawItem(window, frame, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
