#pragma once
// Controls in a real frame window, pressed with the real mouse button and dragged by real mouse
// messages that arrive while the host idles; their edits, values and pixels read back.

#include "CDecodedBitmap.h"
#include "FrameTestSupport.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

// Hears every change and remembers the values.
struct ValueJournal : CControlListener {
    void valueChanged(CDrawContext*, CControl* control) override { values.push_back(control->getValue()); }
    std::vector<float> values;
};

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

// An image strip of `colours.size()` frames, each `width` by `height` and of one colour, one
// below the other; decoded from a 24-bit BMP as a plug-in's own images are.
inline CDecodedBitmap* solidStrip(int width, int height, const std::vector<COLORREF>& colours) {
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
        const COLORREF colour = colours[static_cast<std::size_t>(y / height)];
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &file[54 + static_cast<std::size_t>(y * stride + 3 * x)];
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    return CDecodedBitmap::fromBytes(file.data(), file.size());
}

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
        frame = new CFrame(CRect(0, 0, 200, 100), host.get(), &editor);
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
    void press(POINT at, std::vector<std::pair<POINT, WPARAM>> moves = {}) {
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

    // Called at each wait of a drag with the number of moves sent so far.
    std::function<void(std::size_t)> duringDrag;
    HostRecorder recorder;
    TestEffect effect{recorder};
    ScriptedEditor editor{&effect};
    HostWindow host{300, 200};
    ValueJournal journal;
    CFrame* frame = nullptr;
    CViewContainer* panel = nullptr;
    HWND window = nullptr;
};
