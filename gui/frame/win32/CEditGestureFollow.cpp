// Windows follows a drag in a loop of its own over the thread's messages: the mouse's go to
// the gesture, every other message to its window, so the host keeps painting and its timers
// keep running while the button is held.

#include "CControl.h"
#include "CDrawContext.h"
#include "CEditGesture.h"
#include "CFrame.h"

#include <windows.h>

namespace {

std::int32_t modifiersOf(WPARAM keys) {
    std::int32_t modifiers = 0;
    if (keys & MK_SHIFT) modifiers |= kShiftKey;
    if (keys & MK_CONTROL) modifiers |= kControlKey;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kAltKey;
    return modifiers;
}

// How long a held button waits for a message before the host is given its idle again.
constexpr DWORD kIdleMilliseconds = 10;

bool isButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

class DragLoop {
public:
    explicit DragLoop(CControl& control)
        : control(control),
          window(control.getParentFrame() ? control.getParentFrame()->getSystemWindow() : nullptr),
          scale(control.getParentFrame() ? control.getParentFrame()->getScale() : 1) {}
    ~DragLoop() {
        if (captured && GetCapture() == window) ReleaseCapture();
    }
    DragLoop(const DragLoop&) = delete;
    DragLoop& operator=(const DragLoop&) = delete;

    // Waits for the mouse to move while its button is held: false once the button is up, the
    // capture was taken away or the window has gone.
    bool nextMove(CPoint& where, std::int32_t& modifiers);
    bool windowGone() const { return gone; }

private:
    bool follows(const MSG& message) const {
        return message.hwnd == window && (message.message == WM_MOUSEMOVE || isButtonUp(message.message));
    }
    bool stillThere() {
        if (!IsWindow(window)) gone = true;
        return !gone;
    }

    CControl& control;
    HWND window;
    float scale;
    bool gone = false;
    bool captured = false;
};

bool DragLoop::nextMove(CPoint& where, std::int32_t& modifiers) {
    if (window == nullptr || gone || !stillThere()) return false;
    if (!captured) {
        SetCapture(window);
        captured = true;
    }
    MSG message;
    for (;;) {
        // The changes so far reach the screen, and the host idles, while the button is held.
        control.editorIdle();
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The quit belongs to whoever runs the thread's loop: leave it for them.
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            if (follows(message)) {
                if (isButtonUp(message.message)) return false;
                where = unscaledPoint(CPoint(static_cast<short>(LOWORD(message.lParam)),
                                             static_cast<short>(HIWORD(message.lParam))),
                                      scale);
                control.frameToLocal(where);
                modifiers = modifiersOf(message.wParam);
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (!stillThere() || GetCapture() != window) return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleMilliseconds, QS_ALLINPUT);
    }
}

} // namespace

void CEditGesture::follow(std::unique_ptr<CEditGesture> gesture, Move move, Release release) {
    if (!gesture) return;
    DragLoop loop(gesture->getControl());
    CPoint where;
    std::int32_t modifiers = 0;
    while (loop.nextMove(where, modifiers)) move(*gesture, where, modifiers);
    if (release) release(*gesture);
    // With the window gone the frame went with it: there is nobody to tell any more.
    if (loop.windowGone()) gesture->forsake();
}
