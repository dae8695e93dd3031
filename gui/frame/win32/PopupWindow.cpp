// The pop-up window on Windows: a window of a class of the module's own, owned by the host's
// top-level window so that it stays above it, shown without activation, and transparent to the
// mouse, so that a click lands on whatever lies under it.

#include "PopupWindow.h"

#include "CDrawContext.h"
#include "Drawing.h"
#include "CFrame.h"
#include "WindowClass.h"

#include <windows.h>

#include <cinttypes>
#include <cstdio>
#include <new>

namespace {

char popupClassName[40] = "";
std::int32_t popupClassUses = 0;

RECT toDevice(const CRect& units, float scale) {
    const CRect pixels = scaledRect(units, scale);
    return RECT{pixels.left, pixels.top, pixels.right, pixels.bottom};
}

class TopPopup final : public PopupWindow {
public:
    TopPopup(CFrame& frame, const CRect& where, Paint paint) : frame(frame), area(0, 0, where.width(), where.height()),
                                                              paint(std::move(paint)) {}
    ~TopPopup() override {
        if (!window) return;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
        if (--popupClassUses == 0) UnregisterClassA(popupClassName, getInstanceHandle());
    }
    bool create(const CRect& where);
    void* nativeHandle() const override { return window; }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void painted();

    CFrame& frame;
    CRect area;
    Paint paint;
    HWND window = nullptr;
};

bool registerPopupClass(WNDPROC procedure) {
    if (popupClassUses++ > 0) return true;
    // Named after the module, as the frame's class is: two plug-ins in one host keep their own.
    std::snprintf(popupClassName, sizeof popupClassName, "Popup%0*" PRIXPTR, static_cast<int>(2 * sizeof(void*)),
                  reinterpret_cast<std::uintptr_t>(getInstanceHandle()));
    WNDCLASSA description{};
    description.style = CS_SAVEBITS | CS_DROPSHADOW;
    description.lpfnWndProc = procedure;
    description.hInstance = getInstanceHandle();
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.lpszClassName = popupClassName;
    if (RegisterClassA(&description)) return true;
    --popupClassUses;
    return false;
}

bool TopPopup::create(const CRect& where) {
    HWND frameWindow = frame.getSystemWindow();
    if (!frameWindow || !registerPopupClass(&TopPopup::procedure)) return false;
    RECT device = toDevice(where, frame.getScale());
    MapWindowPoints(frameWindow, nullptr, reinterpret_cast<POINT*>(&device), 2);
    window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, popupClassName, "", WS_POPUP,
                             device.left, device.top, device.right - device.left, device.bottom - device.top,
                             GetAncestor(frameWindow, GA_ROOT), nullptr, getInstanceHandle(), nullptr);
    if (!window) {
        if (--popupClassUses == 0) UnregisterClassA(popupClassName, getInstanceHandle());
        return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return true;
}

void TopPopup::painted() {
    PAINTSTRUCT paintRecord;
    HDC deviceContext = BeginPaint(window, &paintRecord);
    {
        CDrawContext context(&frame, deviceContext, nullptr);
        // A context starts clipped to the frame, which the pop-up may well outgrow.
        context.setClipRect(area);
        if (paint) paint(&context, area);
    }
    EndPaint(window, &paintRecord);
}

LRESULT CALLBACK TopPopup::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TopPopup*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: self->painted(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

std::unique_ptr<PopupWindow> PopupWindow::open(CFrame& frame, const CRect& where, Paint paint) {
    if (where.width() <= 0 || where.height() <= 0) return nullptr;
    std::unique_ptr<TopPopup> popup(new (std::nothrow) TopPopup(frame, where, std::move(paint)));
    if (!popup || !popup->create(where)) return nullptr;
    return popup;
}
