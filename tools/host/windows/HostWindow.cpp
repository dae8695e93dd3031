#include "HostWindow.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace vsthost {

#if defined(_WIN32)

namespace {

constexpr const char* kClassName = "vsthostEditorHost";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW & ~WS_THICKFRAME & ~WS_MAXIMIZEBOX;

bool registerClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

RECT outerRect(int width, int height) {
    RECT rect{0, 0, width, height};
    AdjustWindowRect(&rect, kStyle, FALSE);
    return rect;
}

}  // namespace

bool HostWindow::available() { return true; }

Expected<HostWindow> HostWindow::create(const std::string& title, int width, int height) {
    if (!registerClass()) return Error{"cannot register the host's window class"};
    const RECT rect = outerRect(width, height);
    HWND window = CreateWindowExA(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return Error{"cannot create the host's window"};
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return HostWindow(window);
}

HostWindow::~HostWindow() {
    if (handle_ != nullptr) DestroyWindow(static_cast<HWND>(handle_));
}

bool HostWindow::resizeClient(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const RECT rect = outerRect(width, height);
    return SetWindowPos(static_cast<HWND>(handle_), nullptr, 0, 0, rect.right - rect.left,
                        rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

bool HostWindow::hasChildWindow() const {
    return GetWindow(static_cast<HWND>(handle_), GW_CHILD) != nullptr;
}

void* HostWindow::childWindow() const { return GetWindow(static_cast<HWND>(handle_), GW_CHILD); }

void HostWindow::pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

#else

bool HostWindow::available() { return false; }

Expected<HostWindow> HostWindow::create(const std::string&, int, int) {
    return Error{"this build has no native windows"};
}

HostWindow::~HostWindow() = default;
bool HostWindow::resizeClient(int, int) { return false; }
bool HostWindow::hasChildWindow() const { return false; }
void* HostWindow::childWindow() const { return nullptr; }
void HostWindow::pumpMessages() {}

#endif

HostWindow::HostWindow(HostWindow&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

}  // namespace vsthost
