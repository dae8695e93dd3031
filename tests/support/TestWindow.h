#pragma once
// Real windows and the real cursor for tests that need the screen.

#include <windows.h>

// A plain top-level window of the tests' own class, destroyed with the object.
class TestWindow {
public:
    TestWindow(int x, int y, int width, int height) {
        static const ATOM windowClass = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = DefWindowProcA;
            description.hInstance = GetModuleHandleA(nullptr);
            description.lpszClassName = "Lanter5TestWindow";
            return RegisterClassA(&description);
        }();
        (void)windowClass;
        handle = CreateWindowExA(0, "Lanter5TestWindow", "test", WS_POPUP, x, y, width, height,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(handle); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND get() const { return handle; }

private:
    HWND handle;
};

// Places the mouse cursor on the screen. Wine sets the screen up lazily, and a cursor placed
// before that is clipped to nothing, so the screen size is asked for first.
inline bool placeCursor(int x, int y) {
    GetSystemMetrics(SM_CXSCREEN);
    POINT cursor{};
    return SetCursorPos(x, y) && GetCursorPos(&cursor) && cursor.x == x && cursor.y == y;
}
