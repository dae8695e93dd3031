#include "CEditGesture.h"

#include "CControl.h"
#include "CDrawContext.h"
#include "CFrame.h"

#include <algorithm>

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

} // namespace

CEditGesture::CEditGesture(CControl& control, CDrawContext* context)
    : control(control),
      context(context),
      window(control.getParentFrame() ? control.getParentFrame()->getSystemWindow() : nullptr) {
    control.retain();
}

CEditGesture::~CEditGesture() {
    if (captured && GetCapture() == window) ReleaseCapture();
    // With the window gone the frame went with it: there is nobody to tell any more.
    if (begun && !windowGone) control.endEdit();
    control.release();
}

bool CEditGesture::change(float value) {
    // A range set upside down is still a range; clamp wants its bounds in order.
    const float low = std::min(control.getMin(), control.getMax());
    const float high = std::max(control.getMin(), control.getMax());
    value = std::clamp(value, low, high);
    if (value == control.getValue()) return false;
    if (!begun && control.getParentFrame()) {
        begun = true;
        control.beginEdit();
    }
    control.setValue(value);
    if (CControlListener* listener = control.getListener()) listener->valueChanged(context, &control);
    return true;
}

bool CEditGesture::restoreDefaultOn(std::int32_t buttons) {
    if (buttons != (kLeftButton | kControlKey)) return false;
    change(control.getDefaultValue());
    return true;
}

bool CEditGesture::turnWheel(float notches) {
    const bool fine = context && (context->getMouseButtons() & kShiftKey);
    const float range = control.getMax() - control.getMin();
    return change(control.getValue() + notches * control.getWheelInc() * range * (fine ? kFine : 1.0f));
}

bool CEditGesture::follows(const MSG& message) const {
    return message.hwnd == window && (message.message == WM_MOUSEMOVE || isButtonUp(message.message));
}

bool CEditGesture::nextMove(CPoint& where, std::int32_t& modifiers) {
    if (window == nullptr || windowGone) return false;
    if (!IsWindow(window)) {
        windowGone = true;
        return false;
    }
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
                where = CPoint(static_cast<short>(LOWORD(message.lParam)),
                               static_cast<short>(HIWORD(message.lParam)));
                control.frameToLocal(where);
                modifiers = modifiersOf(message.wParam);
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (!IsWindow(window)) {
                windowGone = true;
                return false;
            }
            if (GetCapture() != window) return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleMilliseconds, QS_ALLINPUT);
    }
}
