// The fader in a real frame window: pressed with the real mouse button, dragged by real mouse
// messages that arrive while the host idles, its edits and its pixels read back.
#include "CFader.h"

#include "FrameTestSupport.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

namespace {

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

void sendButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// The panel sits at (10, 10) of the frame, the fader at (10, 20) of the panel: 100 by 12
// pixels, a handle 12 long, 88 pixels of travel.
constexpr int kPanel = 10;
const CRect kFaderRect(10, 20, 110, 32);
constexpr float kPixel = 1.0f / 88.0f;

struct FaderTest : ::testing::Test {
    FaderTest() {
        useProgramInstance();
        frame = new CFrame(CRect(0, 0, 200, 100), host.get(), &editor);
        auto* panel = new CViewContainer(CRect(kPanel, kPanel, 190, 90));
        frame->addView(panel);
        fader = new CFader(kFaderRect, &journal, 7);
        fader->setValue(0.5f);
        panel->addView(fader);
        window = frame->getSystemWindow();
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    ~FaderTest() override { delete frame; }

    // The middle of the handle, in the frame's window.
    POINT handleMiddle() const {
        const CRect handle = fader->handleRect();
        return {kPanel + (handle.left + handle.right) / 2, kPanel + (handle.top + handle.bottom) / 2};
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
    CFader* fader = nullptr;
    HWND window = nullptr;
};

TEST_F(FaderTest, ADragMovesTheValueWithTheMouseFromWhereTheHandleWasTakenAsOneEdit) {
    const POINT taken = handleMiddle();
    const POINT right{taken.x + 22, taken.y + 5};
    // The host's window goes on getting its messages while the handle is held.
    int hostMessagesInDrag = -1;
    duringDrag = [&](std::size_t moves) {
        if (moves == 0) PostMessageA(host.get(), WM_MOUSEWHEEL, 0, 0);
        if (moves == 2) hostMessagesInDrag = host.wheelMessages;
    };
    press({taken.x + 3, taken.y}, {{{right.x + 3, right.y}, 0},
                                   {{right.x + 3, right.y}, 0},
                                   {{right.x + 3, right.y}, MK_SHIFT},
                                   {{right.x + 13, right.y}, MK_SHIFT}});
    // 22 pixels, then 10 more at a tenth; a move to the same place changes nothing.
    ASSERT_EQ(journal.values.size(), 2u);
    EXPECT_NEAR(journal.values[0], 0.5f + 22 * kPixel, 1e-5f);
    EXPECT_NEAR(journal.values[1], 0.5f + 23 * kPixel, 1e-5f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
    EXPECT_EQ(hostMessagesInDrag, 1);
}

TEST_F(FaderTest, AClickThatChangesNothingSendsNothingAndControlClickRestoresTheDefault) {
    press(handleMiddle());
    EXPECT_TRUE(journal.values.empty());
    EXPECT_TRUE(editor.edits.empty());

    fader->setValue(0.2f);
    sendKey(VK_CONTROL, true);
    press(handleMiddle());
    sendKey(VK_CONTROL, false);
    EXPECT_EQ(journal.values, (std::vector<float>{0.5f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
}

TEST_F(FaderTest, APressOnTheTrackJumpsThereOrStepsTowardIt) {
    // The handle centred under the press, and dragged on from there.
    const POINT track{kPanel + kFaderRect.left + 6 + 66, kPanel + 26};
    press(track, {{{track.x - 11, track.y}, 0}});
    ASSERT_EQ(journal.values.size(), 2u);
    EXPECT_NEAR(journal.values[0], 66 * kPixel, 1e-5f);
    EXPECT_NEAR(journal.values[1], 55 * kPixel, 1e-5f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));

    fader->setTrackPress(CFader::TrackPress::step);
    fader->setValue(0.5f);
    journal.values.clear();
    press({kPanel + kFaderRect.left + 2, kPanel + 26});
    press({kPanel + kFaderRect.right - 2, kPanel + 26});
    ASSERT_EQ(journal.values.size(), 2u);
    EXPECT_NEAR(journal.values[0], 0.4f, 1e-6f);
    EXPECT_NEAR(journal.values[1], 0.5f, 1e-6f);
}

TEST_F(FaderTest, TheWheelStepsWithinTheRange) {
    fader->setValue(0.95f);
    const POINT middle = handleMiddle();
    POINT screen = middle;
    ClientToScreen(window, &screen);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_NEAR(fader->getValue(), 0.9f, 1e-6f);
}

TEST_F(FaderTest, ShowsItsHandleWhereTheValueIsHorizontalOrVertical) {
    const COLORREF handle = RGB(255, 160, 0);
    const COLORREF track = RGB(40, 40, 48);
    fader->setValue(1.0f);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 1, kPanel + kFaderRect.top), handle);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 12, kPanel + kFaderRect.bottom - 1), handle);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 13, kPanel + kFaderRect.top), track);
    EXPECT_EQ(at(kPanel + kFaderRect.left, kPanel + kFaderRect.top), track);

    fader->setColors(kColorBlack, kColorBlack, kColorWhite);
    fader->setValue(0.0f);
    EXPECT_EQ(at(kPanel + kFaderRect.left, kPanel + kFaderRect.top), RGB(255, 255, 255));
    EXPECT_EQ(at(kPanel + kFaderRect.left + 12, kPanel + kFaderRect.top), RGB(0, 0, 0));

    // Vertical: the minimum at the bottom, and a drag upwards raises the value.
    auto* upright = new CFader(CRect(150, 0, 162, 60), &journal, 8, CFader::Axis::vertical);
    frame->addView(upright);
    upright->setValue(0.0f);
    EXPECT_EQ(at(151, 59), handle);
    EXPECT_EQ(at(151, 47), track);
    press({151, 54}, {{{151, 30}, 0}});
    EXPECT_NEAR(upright->getValue(), 24.0f / 48.0f, 1e-5f);
    EXPECT_EQ(at(151, 35), handle);
    EXPECT_EQ(at(151, 59), track);
}

} // namespace
