#pragma once
// Views, an effect, an editor and host windows that record what the frame does to them.

#include "AEffGUIEditor.h"
#include "FrameRecorders.h"
#include "FrameWindowHelpers.h"
#include "GdiSurface.h"
#include "AudioEffectX.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "CNativeControlOwner.h"
#include "CViewContainer.h"
#include "WindowClass.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

// A view that fills its rectangle with one colour and records the events it receives.
class RecordingView : public CView {
public:
    explicit RecordingView(const CRect& size, CColor colour = kColorRed)
        : CView(size), colour(colour) {}

    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(colour);
        // fillRect leaves the left and top lines out; one pixel more covers the whole view.
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    void drawRect(CDrawContext* context, const CRect& updateRect) override {
        lastUpdateRect = updateRect;
        CView::drawRect(context, updateRect);
    }
    void mouse(CDrawContext*, const CPoint& where, std::int32_t buttons) override {
        log("mouse");
        lastWhere = where;
        lastButtons = buttons;
    }
    std::int32_t onKeyDown(VstKeyCode&) override {
        log("keyDown");
        return keyResult;
    }
    std::int32_t onKeyUp(VstKeyCode&) override {
        log("keyUp");
        return keyResult;
    }
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override {
        log("wheel");
        lastWhere = where;
        lastDistance = distance;
        if (context) lastOffset = context->offset;
        return true;
    }
    bool onDrop(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        log("drop");
        lastDrag = drag;
        lastWhere = where;
        return true;
    }
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override {
        log("enter");
        lastDrag = drag;
        lastWhere = where;
        if (context) lastOffset = context->offset;
    }
    void onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) override { log("leave"); }
    void onDragMove(CDrawContext*, CDragContainer*, const CPoint& where) override {
        log("move");
        lastWhere = where;
    }
    void loseFocus(CDrawContext*) override { log("loseFocus"); }
    void takeFocus(CDrawContext*) override { log("takeFocus"); }
    bool removed(CView*) override {
        log("removed");
        return true;
    }

    void log(const char* event) { events->push_back(name + event); }

    std::string name;
    std::vector<std::string> ownEvents;
    std::vector<std::string>* events = &ownEvents; // views may share one journal
    CColor colour;
    int draws = 0;
    std::int32_t keyResult = -1;
    CRect lastUpdateRect;
    CPoint lastWhere;
    CPoint lastOffset;
    std::int32_t lastButtons = 0;
    float lastDistance = 0.0f;
    CDragContainer* lastDrag = nullptr;
};

// A window standing in for one of the host's, of a class of the tests' own that records the
// wheel messages it receives.
class HostWindow {
public:
    HostWindow(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr,
               int x = 40, int y = 30, const char* className = nullptr) {
        registerClass();
        handle = CreateWindowExA(0, className ? className : "Lanter5FrameHost", "host", style, x,
                                 y, width, height, parent, nullptr, GetModuleHandleA(nullptr),
                                 className ? &mdiClient : nullptr);
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~HostWindow() {
        if (IsWindow(handle)) DestroyWindow(handle);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return handle; }
    RECT screenRect() const {
        RECT rect{};
        GetWindowRect(handle, &rect);
        return rect;
    }
    int width() const { return screenRect().right - screenRect().left; }
    int height() const { return screenRect().bottom - screenRect().top; }

    int wheelMessages = 0;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_MOUSEWHEEL) ++self->wheelMessages;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static void registerClass() {
        static const ATOM atom = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = procedure;
            description.hInstance = GetModuleHandleA(nullptr);
            description.lpszClassName = "Lanter5FrameHost";
            return RegisterClassA(&description);
        }();
        (void)atom;
    }

    CLIENTCREATESTRUCT mdiClient{nullptr, 1};
    HWND handle;
};




// Reaches the frame's internals that no public operation reports.
class TestFrame : public CFrame {
public:
    using CFrame::CFrame;
    CDropTarget* getDropTarget() const { return dropTarget; }
    bool isFirstDraw() const { return firstDraw; }
    HWND getParentWindow() const { return parentWindow; }
};

inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
