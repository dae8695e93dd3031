#pragma once
// The screen's density as a window sees it. Per-window DPI came with Windows 10; on systems
// before it every window counts 96 dots per inch, and the system stretches what it draws.

#include <windows.h>

inline constexpr unsigned kBaseDpi = 96;

// The DPI `window` is drawn at, or `kBaseDpi` where the system cannot say.
unsigned windowDpi(HWND window);

// While it lives, windows this thread creates get the DPI awareness of `model` (the host's
// window), so that a child and its parent never count pixels differently.
class DpiAwarenessMatch {
public:
    explicit DpiAwarenessMatch(HWND model);
    ~DpiAwarenessMatch();
    DpiAwarenessMatch(const DpiAwarenessMatch&) = delete;
    DpiAwarenessMatch& operator=(const DpiAwarenessMatch&) = delete;

private:
    HANDLE previous = nullptr;
};
