#include "HostWindow.h"

#include <cstdint>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#elif defined(LANTER5_HOST_X11)
#include "X11Display.h"
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

HostWindow::Size HostWindow::clientSize() const {
    RECT client{};
    if (!GetClientRect(static_cast<HWND>(handle_), &client)) return {};
    return {client.right - client.left, client.bottom - client.top};
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

#elif defined(LANTER5_HOST_X11)

namespace {

Window windowOf(void* handle) { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(handle)); }

std::vector<Window> childrenOf(Window window) {
    Display* display = hostDisplay();
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (display && XQueryTree(display, window, &root, &parent, &children, &count)) {
        found.assign(children, children + count);
        if (children) XFree(children);
    }
    return found;
}

}  // namespace

bool HostWindow::available() { return hostDisplay() != nullptr; }

Expected<HostWindow> HostWindow::create(const std::string& title, int width, int height) {
    Display* display = hostDisplay();
    if (!display) return Error{"no X display to open a window on (DISPLAY is not set or not reachable)"};
    if (width <= 0 || height <= 0) return Error{"cannot create the host's window"};
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, title.c_str());
    XMapWindow(display, window);
    XSync(display, False);
    return HostWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)));
}

HostWindow::~HostWindow() {
    if (handle_ == nullptr || !hostDisplay()) return;
    XDestroyWindow(hostDisplay(), windowOf(handle_));
    XSync(hostDisplay(), False);
}

bool HostWindow::resizeClient(int width, int height) {
    if (width <= 0 || height <= 0 || !hostDisplay()) return false;
    XResizeWindow(hostDisplay(), windowOf(handle_), static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(hostDisplay(), False);
    return true;
}

HostWindow::Size HostWindow::clientSize() const {
    Display* display = hostDisplay();
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (!display || !XGetGeometry(display, windowOf(handle_), &root, &x, &y, &width, &height, &border, &depth)) {
        return {};
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool HostWindow::hasChildWindow() const { return !childrenOf(windowOf(handle_)).empty(); }

void* HostWindow::childWindow() const {
    const std::vector<Window> children = childrenOf(windowOf(handle_));
    return children.empty() ? nullptr : reinterpret_cast<void*>(static_cast<std::uintptr_t>(children.front()));
}

// The host's own connection only sends: the editor reads its events on a connection of its own.
void HostWindow::pumpMessages() {
    if (Display* display = hostDisplay()) XSync(display, True);
}

#else

bool HostWindow::available() { return false; }

Expected<HostWindow> HostWindow::create(const std::string&, int, int) {
    return Error{"this build has no native windows"};
}

HostWindow::~HostWindow() = default;
bool HostWindow::resizeClient(int, int) { return false; }
HostWindow::Size HostWindow::clientSize() const { return {}; }
bool HostWindow::hasChildWindow() const { return false; }
void* HostWindow::childWindow() const { return nullptr; }
void HostWindow::pumpMessages() {}

#endif

HostWindow::HostWindow(HostWindow&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

}  // namespace vsthost
