// A program that misbehaves on request, for checking that the guest runner counts each kind
// of misbehaviour as a failure, and that the guest gives real windows and GDI:
//   guest_probe pass | exit CODE | crash | hang | window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Fills a rectangle in a window's memory bitmap and reads it back: exit code 0 when the
// drawn pixels are there.
int drawInWindow() {
    HWND window = CreateWindowExA(0, "STATIC", "guest_probe", WS_POPUP, 0, 0, 64, 64, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return 10;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 64, 64);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    RECT area{8, 8, 24, 24};
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 60));
    FillRect(memoryDc, &area, brush);
    bool drawn = GetPixel(memoryDc, 10, 10) == RGB(200, 30, 60) &&
                 GetPixel(memoryDc, 30, 30) != RGB(200, 30, 60);
    DeleteObject(brush);
    SelectObject(memoryDc, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    std::puts(drawn ? "guest_probe: drawn" : "guest_probe: nothing drawn");
    return drawn ? 0 : 11;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "pass") == 0) {
        std::puts("guest_probe: passing");
        return 0;
    }
    if (std::strcmp(mode, "exit") == 0 && argc > 2) return std::atoi(argv[2]);
    if (std::strcmp(mode, "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    if (std::strcmp(mode, "window") == 0) return drawInWindow();
    if (std::strcmp(mode, "hang") == 0) {
        for (;;) Sleep(1000);
    }
    std::fputs("usage: guest_probe pass | exit CODE | crash | hang | window\n", stderr);
    return 2;
}
