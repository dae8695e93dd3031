#include "WindowDpi.h"

namespace {

// Looked up by name: the DLL keeps loading on systems that lack them.
using DpiForWindow = UINT(WINAPI*)(HWND);
using AwarenessOfWindow = HANDLE(WINAPI*)(HWND);
using SetThreadAwareness = HANDLE(WINAPI*)(HANDLE);

template <typename Function>
Function userFunction(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

} // namespace

unsigned windowDpi(HWND window) {
    static const auto dpiForWindow = userFunction<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = (dpiForWindow && window) ? dpiForWindow(window) : 0;
    return dpi ? dpi : kBaseDpi;
}

DpiAwarenessMatch::DpiAwarenessMatch(HWND model) {
    static const auto awarenessOf = userFunction<AwarenessOfWindow>("GetWindowDpiAwarenessContext");
    static const auto setAwareness = userFunction<SetThreadAwareness>("SetThreadDpiAwarenessContext");
    if (!awarenessOf || !setAwareness || !model) return;
    if (HANDLE awareness = awarenessOf(model)) previous = setAwareness(awareness);
}

DpiAwarenessMatch::~DpiAwarenessMatch() {
    static const auto setAwareness = userFunction<SetThreadAwareness>("SetThreadDpiAwarenessContext");
    if (previous && setAwareness) setAwareness(previous);
}
