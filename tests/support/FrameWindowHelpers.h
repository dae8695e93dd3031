#pragma once
// Helpers for tests that put frames into real windows: the message pump, pixels read back from
// a window, and the module that owns the frames' window class.

#include <windows.h>

#include <vector>

#include "WindowClass.h"

// Delivers every pending message of this thread, paints included.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The pixels of a window's client area in `area`, row by row, read through its device context.
inline std::vector<COLORREF> windowPixels(HWND window, const RECT& area) {
    std::vector<COLORREF> result;
    HDC deviceContext = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) result.push_back(GetPixel(deviceContext, x, y));
    }
    ReleaseDC(window, deviceContext);
    return result;
}

inline COLORREF windowPixel(HWND window, int x, int y) {
    return windowPixels(window, RECT{x, y, x + 1, y + 1}).front();
}

// Frames made by a test program live in the program, not in the plug-in library: the
// program's own module owns their window class.
inline void useProgramInstance() { setInstanceHandle(GetModuleHandleA(nullptr)); }
