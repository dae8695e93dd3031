#include "CValueEntry.h"

#include "CDrawContext.h"
#include "CEditGesture.h"
#include "CFrame.h"
#include "WindowClass.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A decimal number and nothing else, blanks around it allowed.
bool readDecimal(const char* text, float& value) {
    char* end = nullptr;
    const float read = std::strtof(text, &end);
    if (end == text) return false;
    while (*end == ' ') ++end;
    if (*end != '\0') return false;
    value = read;
    return true;
}

} // namespace

CValueEntry::CValueEntry(const CRect& size, CControlListener* entryListener, std::int32_t entryTag)
    : CParamDisplay(size) {
    listener = entryListener;
    tag = entryTag;
}

CValueEntry::~CValueEntry() {
    if (editBox) {
        finishing = true;
        DestroyWindow(editBox);
    }
}

bool CValueEntry::isTypeOf(const char* className) const {
    return std::strcmp(className, "CValueEntry") == 0 || CParamDisplay::isTypeOf(className);
}

void CValueEntry::mouse(CDrawContext* context, const CPoint&, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if ((buttons & kLeftButton) && !editBox) open();
}

void CValueEntry::open() {
    CFrame* frame = getParentFrame();
    if (!frame || !frame->getSystemWindow()) return;
    char text[kTextBufferSize];
    valueText(text);
    CPoint corner(size.left, size.top);
    localToFrame(corner);
    editBox = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, corner.h,
                              corner.v, size.width(), size.height(), frame->getSystemWindow(), nullptr,
                              getInstanceHandle(), nullptr);
    if (!editBox) return;
    SetWindowLongPtrA(editBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editDefault = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CValueEntry::editProcedure)));
    SendMessageA(editBox, EM_SETSEL, 0, -1);
    SetFocus(editBox);
}

void CValueEntry::finish(bool apply) {
    if (finishing || !editBox) return;
    finishing = true;
    char text[kTextBufferSize] = {};
    GetWindowTextA(editBox, text, sizeof text);
    // Destroying the box takes its focus, which would finish it again.
    HWND box = editBox;
    editBox = nullptr;
    DestroyWindow(box);
    if (apply) {
        float typed = std::numeric_limits<float>::quiet_NaN();
        if (reverseConvert) reverseConvert(text, typed, userData);
        else readDecimal(text, typed);
        if (!std::isnan(typed)) {
            CEditGesture gesture(*this, nullptr);
            gesture.change(typed);
        }
    }
    finishing = false;
}

LRESULT CALLBACK CValueEntry::editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CValueEntry*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const WNDPROC original = self->editDefault;
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
        if (window == self->editBox) self->finish(false);
        break;
    default: break;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}
