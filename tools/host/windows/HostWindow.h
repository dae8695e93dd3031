#pragma once
// A top-level window of the host for a plug-in's editor to open in: a Windows window, or an X11
// window on the display (`DISPLAY`) in Linux builds with editors; elsewhere create() says why
// there is none.

#include <string>

#include "Expected.h"

namespace vsthost {

class HostWindow {
public:
    static bool available();
    static Expected<HostWindow> create(const std::string& title, int width, int height);

    HostWindow(HostWindow&& other) noexcept;
    HostWindow& operator=(HostWindow&&) = delete;
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();

    // The native handle the editor-open opcode receives.
    void* handle() const { return handle_; }
    // Sizes the client area, as the plug-in asks through "sizeWindow".
    bool resizeClient(int width, int height);
    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    // The client area as the window system has it now; zero when it cannot tell.
    Size clientSize() const;
    bool hasChildWindow() const;
    // The first child window, the one an editor opened in this window made; null without.
    void* childWindow() const;
    // Dispatches the messages waiting for this thread's windows.
    static void pumpMessages();

private:
    explicit HostWindow(void* handle) : handle_(handle) {}

    void* handle_ = nullptr;
};

}  // namespace vsthost
