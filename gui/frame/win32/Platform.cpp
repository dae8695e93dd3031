#include "Platform.h"

#include <ole2.h>
#include <windows.h>

namespace platform {

std::int32_t doubleClickMilliseconds() { return static_cast<std::int32_t>(GetDoubleClickTime()); }

CPoint pointerPosition(CDrawContext*) {
    POINT cursor{};
    GetCursorPos(&cursor);
    return CPoint(cursor.x, cursor.y);
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
