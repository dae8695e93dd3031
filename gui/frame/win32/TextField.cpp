// The field is the system's own edit control, a child of the frame's window, with its window
// procedure wrapped for Enter, Escape and the loss of focus.

#include "TextField.h"

#include "CFrame.h"
#include "Drawing.h"
#include "WindowClass.h"

#include <windows.h>

#include <new>

namespace {

constexpr int kLongestText = 256;

class EditBox final : public TextField {
public:
    EditBox(HWND window, Ended ended) : box(window), ended(std::move(ended)) {
        SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditBox::procedure)));
    }
    ~EditBox() override {
        if (box) {
            finishing = true;
            DestroyWindow(box);
        }
    }
    void* nativeHandle() const override { return box; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes the box off the screen, then says how it ended; nothing of `this` is touched after,
    // since the owner may destroy the field from inside `ended`.
    void finish(bool apply);

    HWND box;
    Ended ended;
    WNDPROC original = nullptr;
    bool finishing = false;
};

void EditBox::finish(bool apply) {
    if (finishing || !box) return;
    finishing = true;
    char text[kLongestText] = {};
    GetWindowTextA(box, text, sizeof text);
    // Destroying the box takes its focus, which would finish it again.
    HWND window = box;
    box = nullptr;
    DestroyWindow(window);
    finishing = false;
    Ended told = std::move(ended);
    if (told) told(apply, text);
}

LRESULT CALLBACK EditBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EditBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const WNDPROC original = self->original;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            self->finish(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        // Enter and Escape were handled as keys; the box would only beep at them.
        if (wParam == '\r' || wParam == 27) return 0;
        break;
    case WM_KILLFOCUS:
        if (window == self->box) self->finish(false);
        break;
    default: break;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

} // namespace

std::unique_ptr<TextField> TextField::open(CFrame& frame, const CRect& where, const char* text, Ended ended) {
    HWND parent = frame.getSystemWindow();
    if (!parent) return nullptr;
    const CRect pixels = scaledRect(where, frame.getScale());
    HWND box = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, pixels.left,
                               pixels.top, pixels.width(), pixels.height(), parent, nullptr, getInstanceHandle(),
                               nullptr);
    if (!box) return nullptr;
    auto* field = new (std::nothrow) EditBox(box, std::move(ended));
    if (!field) {
        DestroyWindow(box);
        return nullptr;
    }
    SendMessageA(box, EM_SETSEL, 0, -1);
    SetFocus(box);
    return std::unique_ptr<TextField>(field);
}
