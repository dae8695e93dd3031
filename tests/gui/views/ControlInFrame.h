#pragma once
// Controls in a real frame window, pressed with the real mouse button and dragged by real mouse
// moves that arrive while the host idles; their edits, values and pixels read back. The window
// and the input are the platform's own: Win32 windows and input, or an X server and XTest.

#include "CControl.h"
#include "CControlListener.h"
#include "CDecodedBitmap.h"
#include "FrameRecorders.h"
#include "PointerShape.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include "FrameTestSupport.h"
#include "TestWindow.h"

// A pixel as read back from the window.
using Pixel = COLORREF;
constexpr Pixel rgb(int r, int g, int b) { return RGB(r, g, b); }
constexpr int redOf(Pixel pixel) { return GetRValue(pixel); }
constexpr int greenOf(Pixel pixel) { return GetGValue(pixel); }
constexpr int blueOf(Pixel pixel) { return GetBValue(pixel); }
// A move with the Shift key held.
constexpr unsigned kShiftHeld = MK_SHIFT;
#else
#include "CFrame.h"
#include "CViewContainer.h"

#include "FontCaches.h"
#include "X11TestHost.h"

#include <X11/extensions/Xfixes.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

using Pixel = unsigned long;
constexpr Pixel rgb(int r, int g, int b) { return static_cast<Pixel>(r << 16 | g << 8 | b); }
constexpr int redOf(Pixel pixel) { return static_cast<int>(pixel >> 16 & 0xFF); }
constexpr int greenOf(Pixel pixel) { return static_cast<int>(pixel >> 8 & 0xFF); }
constexpr int blueOf(Pixel pixel) { return static_cast<int>(pixel & 0xFF); }
constexpr unsigned kShiftHeld = ShiftMask;
#endif

// A frame whose clock a test may stop, so that a double click does not depend on how fast the
// machine runs the test.
class ClockedFrame : public CFrame {
public:
    using CFrame::CFrame;
    std::uint32_t getTicks() const override { return stopped ? stoppedAt : CFrame::getTicks(); }
    void stopClockAt(std::uint32_t ticks) {
        stopped = true;
        stoppedAt = ticks;
    }

private:
    bool stopped = false;
    std::uint32_t stoppedAt = 0;
};

// A point of the frame's window.
struct Spot {
    int x;
    int y;
};

// Hears every change and remembers the values.
struct ValueJournal : CControlListener {
    void valueChanged(CDrawContext*, CControl* control) override { values.push_back(control->getValue()); }
    std::vector<float> values;
};

// An image strip of `colours.size()` frames, each `width` by `height` and of one colour, one
// below the other; decoded from a 24-bit BMP as a plug-in's own images are.
inline CDecodedBitmap* solidStrip(int width, int height, const std::vector<Pixel>& colours) {
    const int rows = height * static_cast<int>(colours.size());
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride * rows));
    const std::uint32_t header[] = {static_cast<std::uint32_t>(file.size()), 0, 54, 40,
                                    static_cast<std::uint32_t>(width),
                                    static_cast<std::uint32_t>(-rows), 1 | 24 << 16};
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(&file[2], header, sizeof header);
    for (int y = 0; y < rows; ++y) {
        const Pixel colour = colours[static_cast<std::size_t>(y / height)];
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &file[54 + static_cast<std::size_t>(y * stride + 3 * x)];
            pixel[0] = blueOf(colour);
            pixel[1] = greenOf(colour);
            pixel[2] = redOf(colour);
        }
    }
    return CDecodedBitmap::fromBytes(file.data(), file.size());
}

#if defined(_WIN32)

// An editor whose idle pump lets the test act while a drag waits for the mouse.
class ScriptedEditor : public TestEditor {
public:
    using TestEditor::TestEditor;
    void idlePump() override {
        TestEditor::idlePump();
        if (onPump) onPump();
    }
    std::function<void()> onPump;
};

inline void sendButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

inline void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// A frame in a host window with a panel at (10, 10); the controls go into the panel.
struct ControlInFrame : ::testing::Test {
    static constexpr int kPanel = 10;

    ControlInFrame() {
        useProgramInstance();
        frame = new ClockedFrame(CRect(0, 0, 200, 100), host.get(), &editor);
        panel = new CViewContainer(CRect(kPanel, kPanel, 190, 90));
        frame->addView(panel);
        window = frame->getSystemWindow();
    }
    ~ControlInFrame() override { delete frame; }

    // Adds `control` to the panel and paints the window once, so that idle redraws it.
    template <typename Control>
    Control* place(Control* control) {
        panel->addView(control);
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        return control;
    }

    // Presses the real left button at `at` (window coordinates); each time the drag waits, the
    // next of `moves` arrives as a mouse message with its key state, then the release.
    void press(Spot at, std::vector<std::pair<Spot, unsigned>> moves = {}) {
        const RECT screen = host.screenRect();
        ASSERT_TRUE(placeCursor(screen.left + at.x, screen.top + at.y));
        std::size_t next = 0;
        bool released = false;
        editor.onPump = [&] {
            if (duringDrag) duringDrag(next);
            if (next < moves.size()) {
                const auto& [point, keys] = moves[next++];
                PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(point.x, point.y));
            } else if (!released) {
                released = true;
                PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            }
        };
        sendButton(MOUSEEVENTF_LEFTDOWN);
        pumpMessages();
        sendButton(MOUSEEVENTF_LEFTUP);
        pumpMessages();
        editor.onPump = nullptr;
    }

    COLORREF at(int x, int y) {
        frame->idle();
        return windowPixel(window, x, y);
    }
    std::vector<Pixel> pixelsIn(int left, int top, int right, int bottom) {
        frame->idle();
        return windowPixels(window, RECT{left, top, right, bottom});
    }
    void holdControl(bool down) { sendKey(VK_CONTROL, down); }

    // The real mouse moves to `where` of the window (a point outside it leaves it); the leave
    // is reported from the system's own tracking, so the wait for it ends once it came.
    void hoverAt(Spot where, const std::function<bool()>& until = {}) {
        const RECT screen = host.screenRect();
        ASSERT_TRUE(placeCursor(screen.left + where.x, screen.top + where.y));
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &input, sizeof input);
        pumpMessages();
        for (int round = 0; until && !until() && round < 200; ++round) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            pumpMessages();
        }
    }
    using Cursor = HCURSOR;
    Cursor cursorNow() { return GetCursor(); }
    // The system's cursor for `shape`; the host's is the one of the frame window's class.
    Cursor systemCursor(PointerShape shape) {
        switch (shape) {
        case PointerShape::hand: return LoadCursorA(nullptr, IDC_HAND);
        case PointerShape::upDown: return LoadCursorA(nullptr, IDC_SIZENS);
        default: return LoadCursorA(nullptr, IDC_ARROW);
        }
    }
    // Types `text` into the open field `box` and ends it with Enter.
    void typeInto(void* box, const char* text) {
        SetWindowTextA(static_cast<HWND>(box), text);
        SendMessageA(static_cast<HWND>(box), WM_KEYDOWN, VK_RETURN, 0);
    }
    // Turns the wheel by `notches` (up is positive) with the mouse at `where` of the window.
    void turnWheel(Spot where, int notches) {
        POINT screen{where.x, where.y};
        ClientToScreen(window, &screen);
        SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notches * WHEEL_DELTA)),
                     MAKELPARAM(screen.x, screen.y));
    }

    // Called at each wait of a drag with the number of moves sent so far.
    std::function<void(std::size_t)> duringDrag;
    HostRecorder recorder;
    TestEffect effect{recorder};
    ScriptedEditor editor{&effect};
    HostWindow host{300, 200};
    ValueJournal journal;
    ClockedFrame* frame = nullptr;
    CViewContainer* panel = nullptr;
    HWND window = nullptr;
};

#else

// The frame in a host window of the test X server, with a panel at (10, 10).
struct ControlInFrame : ::testing::Test {
    static constexpr int kPanel = 10;

    ControlInFrame() {
        if (!host.display) return;
        frame = new ClockedFrame(CRect(0, 0, 200, 100), host.window, &editor);
        panel = new CViewContainer(CRect(kPanel, kPanel, 190, 90));
        frame->addView(panel);
    }
    ~ControlInFrame() override { delete frame; }
    void SetUp() override { ASSERT_NE(host.display, nullptr) << "no X display"; }

    template <typename Control>
    Control* place(Control* control) {
        panel->addView(control);
        idle();
        return control;
    }

    // What the host does between events; the last round trip lets the frame's copies arrive.
    void idle() {
        host.settle(frame->getDisplay());
        frame->idle();
        host.settle(frame->getDisplay());
    }

    // Presses the left button at `at`; each of `moves` arrives before one idle of the host, with
    // Shift held when it says so, then the release.
    void press(Spot at, std::vector<std::pair<Spot, unsigned>> moves = {}) {
        host.pointerTo(at.x, at.y);
        idle();
        host.button(1, true);
        idle();
        for (std::size_t next = 0; next < moves.size();) {
            if (duringDrag) duringDrag(next);
            const auto& [point, keys] = moves[next++];
            if (keys & kShiftHeld) host.key(XK_Shift_L, true);
            host.pointerTo(point.x, point.y);
            idle();
            if (keys & kShiftHeld) host.key(XK_Shift_L, false);
        }
        if (duringDrag) duringDrag(moves.size());
        host.button(1, false);
        idle();
    }

    Pixel at(int x, int y) { return pixelsIn(x, y, x + 1, y + 1).front(); }
    std::vector<Pixel> pixelsIn(int left, int top, int right, int bottom) {
        idle();
        return host.pixels(left, top, right, bottom);
    }
    void holdControl(bool down) { host.key(XK_Control_L, down); }

    // The pointer moves to `where` of the host's window; outside the frame's it leaves it.
    void hoverAt(Spot where, const std::function<bool()>& = {}) {
        host.pointerTo(where.x, where.y);
        idle();
    }
    // The picture of the cursor on the screen now, with its size and hot spot in front.
    using Cursor = std::vector<unsigned long>;
    Cursor cursorNow() {
        idle();
        XFixesCursorImage* image = XFixesGetCursorImage(host.display);
        if (!image) return {};
        Cursor picture{image->width, image->height, image->xhot, image->yhot};
        picture.insert(picture.end(), image->pixels, image->pixels + image->width * image->height);
        XFree(image);
        return picture;
    }
    // The server's cursor for `shape`, seen over a part of the host's window outside the
    // frame's; the host's own is the one it shows there without one.
    Cursor systemCursor(PointerShape shape) {
        const unsigned int font = shape == PointerShape::hand ? XC_hand2 : shape == PointerShape::upDown ? XC_sb_v_double_arrow : 0;
        ::Cursor made = font ? XCreateFontCursor(host.display, font) : 0;
        if (made) XDefineCursor(host.display, host.window, made);
        hoverAt({250, 150});
        Cursor picture = cursorNow();
        if (made) {
            XUndefineCursor(host.display, host.window);
            XFreeCursor(host.display, made);
        }
        return picture;
    }
    void typeInto(void*, const char* text) {
        for (const char* character = text; *character; ++character) {
            VstKeyCode key{*character, 0, 0};
            frame->onKeyDown(key);
        }
        VstKeyCode enter{0, VKEY_RETURN, 0};
        frame->onKeyDown(enter);
    }
    void turnWheel(Spot where, int notches) {
        host.pointerTo(where.x, where.y);
        for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
            host.button(notches > 0 ? 4 : 5, true);
            host.button(notches > 0 ? 4 : 5, false);
        }
        idle();
    }

    // Called before each move of a drag with the number of moves sent so far.
    std::function<void(std::size_t)> duringDrag;
    X11TestHost host{300, 200};
    HostRecorder recorder;
    TestEffect effect{recorder};
    TestEditor editor{&effect};
    ValueJournal journal;
    ClockedFrame* frame = nullptr;
    CViewContainer* panel = nullptr;
};

#endif
