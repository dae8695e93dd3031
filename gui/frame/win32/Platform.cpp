#include "Platform.h"

#include "CDrawContext.h"
#include "CFrame.h"

#include <ole2.h>
#include <windows.h>

namespace platform {

std::int32_t doubleClickMilliseconds() { return static_cast<std::int32_t>(GetDoubleClickTime()); }

CPoint pointerPosition(CDrawContext* context) {
    POINT cursor{};
    GetCursorPos(&cursor);
    CFrame* frame = context ? context->getFrame() : nullptr;
    HWND window = frame ? frame->getSystemWindow() : nullptr;
    if (!window || frame->getScale() == 1) return CPoint(cursor.x, cursor.y);
    // Screen pixels from the window's corner on count in units, so that subtracting the
    // window's corner and the views' positions gives a view's own coordinates.
    RECT corner{};
    GetWindowRect(window, &corner);
    const CPoint inside = unscaledPoint(CPoint(cursor.x - corner.left, cursor.y - corner.top), frame->getScale());
    return CPoint(corner.left + inside.h, corner.top + inside.v);
}

std::uint32_t ticks() { return GetTickCount(); }

void sleepFor(std::uint32_t milliseconds) { Sleep(milliseconds); }

bool enterUserInterfaceThread() { return SUCCEEDED(OleInitialize(nullptr)); }

void leaveUserInterfaceThread() { OleUninitialize(); }

void paintOnce() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

} // namespace platform
