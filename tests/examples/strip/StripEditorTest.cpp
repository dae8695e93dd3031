// The strip's editor as a host meets it: opened through the module's record in a window of the
// host's, its parameters changed from both sides.
#include <gtest/gtest.h>

#include "CDecodedBitmap.h"
#include "EditorScaling.h"
#include "ExampleModule.h"
#include "HostRecords.h"
#include "FrameWindowHelpers.h"
#include "TestWindow.h"

#include <cstring>
#include <thread>

namespace {

enum { kGain, kPan, kWidth, kMute, kDim, kInput };

struct StripEditorTest : ::testing::Test {
    StripEditorTest() {
        ShowWindow(window.get(), SW_SHOWNA);
        if (strip.record) strip.dispatch(effEditOpen, 0, 0, window.get());
        frameWindow = GetWindow(window.get(), GW_CHILD);
        RedrawWindow(window.get(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    ~StripEditorTest() override {
        if (strip.record) strip.dispatch(effEditClose);
    }
    // Host opcodes recorded from `from` on, as "opcode:index", without idle requests.
    std::vector<std::string> calls(std::size_t from) {
        std::vector<std::string> result;
        for (std::size_t i = from; i < strip.host.calls.size(); ++i) {
            const HostCall& call = strip.host.calls[i];
            if (call.opcode == 3) continue;
            result.push_back(std::to_string(call.opcode) + ":" + std::to_string(call.index));
        }
        return result;
    }
    // A press the control follows as a drag holds this call until the button is up: the
    // release timer lets go from inside that loop, as the hand would.
    void click(int x, int y) {
        ASSERT_TRUE(pointTo(x, y));
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &StripEditorTest::letGo);
        sendButton(MOUSEEVENTF_LEFTDOWN);
        pumpMessages();
        if (GetAsyncKeyState(VK_LBUTTON) < 0) sendButton(MOUSEEVENTF_LEFTUP);
        pumpMessages();
        KillTimer(nullptr, timer);
    }
    bool pointTo(int x, int y) {
        RECT screen{};
        GetWindowRect(frameWindow, &screen);
        if (!placeCursor(screen.left + x, screen.top + y)) return false;
        sendButton(MOUSEEVENTF_MOVE);
        return true;
    }
    // Idles as a host does until the frame's pixel at (x, y) is `colour`, for two seconds at most.
    COLORREF idleUntil(int x, int y, COLORREF colour) {
        for (int round = 0; round < 40 && windowPixel(frameWindow, x, y) != colour; ++round) {
            pumpMessages();
            strip.dispatch(effEditIdle);
            Sleep(50);
        }
        return windowPixel(frameWindow, x, y);
    }
    static void sendButton(DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }
    static void CALLBACK letGo(HWND, UINT, UINT_PTR, DWORD) {
        if (GetAsyncKeyState(VK_LBUTTON) < 0) sendButton(MOUSEEVENTF_LEFTUP);
    }
    // Clicks the last of the four lines of the system's list once it shows.
    static void CALLBACK chooseLastLine(HWND, UINT, UINT_PTR, DWORD) {
        HWND list = FindWindowA("#32768", nullptr);
        if (!list || !IsWindowVisible(list) || GetAsyncKeyState(VK_LBUTTON) < 0) return;
        RECT area{};
        GetWindowRect(list, &area);
        placeCursor(area.left + 20, area.bottom - (area.bottom - area.top) / 8);
        sendButton(MOUSEEVENTF_LEFTDOWN);
        sendButton(MOUSEEVENTF_LEFTUP);
    }

    ExampleModule strip{"Strip.dll"};
    TestWindow window{0, 0, 400, 220};
    HWND frameWindow = nullptr;
};

TEST_F(StripEditorTest, HostAutomationShowsOnItsControlsAtTheNextIdle) {
    ASSERT_NE(frameWindow, nullptr);
    EXPECT_EQ(windowPixel(frameWindow, 150, 122), RGB(70, 70, 80)) << "mute off";
    EXPECT_EQ(windowPixel(frameWindow, 270, 172), RGB(60, 64, 76)) << "swap not lit";
    strip.record->setParameter(strip.record, kMute, 1.0f);
    strip.record->setParameter(strip.record, kInput, 1.0f);
    strip.dispatch(effEditIdle);
    EXPECT_EQ(windowPixel(frameWindow, 150, 122), RGB(220, 50, 50)) << "mute on";
    EXPECT_EQ(windowPixel(frameWindow, 270, 172), RGB(80, 180, 255)) << "swap lit";
    EXPECT_EQ(windowPixel(frameWindow, 150, 172), RGB(60, 64, 76)) << "stereo no longer lit";
}

TEST_F(StripEditorTest, DecibelsTypedIntoTheGainFieldAreOneEditOfTheGain) {
    ASSERT_NE(frameWindow, nullptr);
    const std::size_t before = strip.host.calls.size();
    click(52, 114);
    HWND box = FindWindowExA(frameWindow, nullptr, "Edit", nullptr);
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "-6 dB");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(strip.record->getParameter(strip.record, kGain), 0.625f);
    EXPECT_EQ(calls(before), (std::vector<std::string>{"43:0", "0:0", "44:0"}));
}

TEST_F(StripEditorTest, ADoubleClickOnTheGainKnobOrEnterOnItOpensTheGainFieldForTyping) {
    ASSERT_NE(frameWindow, nullptr);
    const auto typeInto = [this](const char* text) {
        HWND box = FindWindowExA(frameWindow, nullptr, "Edit", nullptr);
        if (!box) return false;
        SetWindowTextA(box, text);
        SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    };
    EXPECT_EQ(strip.dispatch(effEditKeyDown, 0, VKEY_TAB), 1); // the knob, the first control
    EXPECT_EQ(strip.dispatch(effEditKeyDown, 0, VKEY_RETURN), 1);
    ASSERT_TRUE(typeInto("-6")) << "no field after Enter";
    EXPECT_EQ(strip.record->getParameter(strip.record, kGain), 0.625f);

    strip.record->setParameter(strip.record, kGain, 0.0f);
    click(52, 56);
    click(52, 56);
    ASSERT_TRUE(typeInto("-6 dB")) << "no field after a double click";
    EXPECT_EQ(strip.record->getParameter(strip.record, kGain), 0.625f);
}

TEST_F(StripEditorTest, TheRoutingMenuLightensUnderThePointerAndALineOfItsListIsOneEdit) {
    ASSERT_NE(frameWindow, nullptr);
    const COLORREF field = RGB(230, 230, 230);
    EXPECT_EQ(windowPixel(frameWindow, 233, 113), field);
    ASSERT_TRUE(pointTo(260, 122));
    EXPECT_EQ(idleUntil(233, 113, RGB(236, 236, 236)), RGB(236, 236, 236)) << "a quarter towards white";

    // The system's list holds the press that opens it; its last line is chosen from a timer.
    const std::size_t before = strip.host.calls.size();
    const UINT_PTR chooser = SetTimer(nullptr, 0, 30, &StripEditorTest::chooseLastLine);
    click(260, 122);
    KillTimer(nullptr, chooser);
    EXPECT_EQ(strip.record->getParameter(strip.record, kInput), 1.0f) << "swapped, the last line";
    EXPECT_EQ(calls(before), (std::vector<std::string>{"43:5", "0:5", "44:5"}));
    EXPECT_EQ(idleUntil(270, 172, RGB(80, 180, 255)), RGB(80, 180, 255)) << "the switch shows it too";

    ASSERT_TRUE(pointTo(200, 210));
    EXPECT_EQ(idleUntil(233, 113, field), field) << "the pointer gone";
}

TEST_F(StripEditorTest, TabGoesThroughTheControlsInTheirOrderAndArrowsStepTheFocusedOneAsAnEdit) {
    ASSERT_NE(frameWindow, nullptr);
    auto key = [this](VstIntPtr virtualKey) { return strip.dispatch(effEditKeyDown, 0, virtualKey); };
    const std::size_t before = strip.host.calls.size();
    EXPECT_EQ(key(VKEY_TAB), 1); // the gain knob, the first control
    const float gain = strip.record->getParameter(strip.record, kGain);
    EXPECT_EQ(key(VKEY_UP), 1);
    EXPECT_GT(strip.record->getParameter(strip.record, kGain), gain);
    // Pan, width, mute, the input switch, the gain field, then the routing menu.
    for (int step = 0; step < 6; ++step) EXPECT_EQ(key(VKEY_TAB), 1) << step;
    EXPECT_EQ(key(VKEY_DOWN), 1); // the next routing, without opening the list
    EXPECT_EQ(strip.record->getParameter(strip.record, kInput), 1.0f / 3.0f);
    EXPECT_EQ(calls(before), (std::vector<std::string>{"43:0", "0:0", "44:0", "43:5", "0:5", "44:5"}));
    EXPECT_EQ(key('x'), 0) << "a key no control uses goes back to the host";
}

BOOL CALLBACK takeShownPopup(HWND window, LPARAM result) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strncmp(name, "Popup", 5) != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// The strip's own pop-up windows: a shown tip, or a menu's list.
HWND shownPopup() {
    HWND found = nullptr;
    EnumWindows(takeShownPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(StripEditorTest, ATipShowsOnceTheMouseRestsOnTheKnobAndGoesOnAClick) {
    ASSERT_NE(frameWindow, nullptr);
    RECT screen{};
    GetWindowRect(frameWindow, &screen);
    ASSERT_TRUE(pointTo(52, 74));
    for (int round = 0; round < 60 && !shownPopup(); ++round) {
        pumpMessages();
        strip.dispatch(effEditIdle);
        Sleep(50);
    }
    HWND tip = shownPopup();
    ASSERT_NE(tip, nullptr) << "no tip after three seconds at rest";
    RECT area{};
    GetWindowRect(tip, &area);
    EXPECT_GT(area.top, screen.top + 74) << "below the pointer";

    click(200, 210); // on the panel, away from every control
    EXPECT_EQ(shownPopup(), nullptr) << "a click takes the tip away";
}

TEST_F(StripEditorTest, TheMeterShowsTheOutputLevelOfABlockProcessedOnAnotherThread) {
    ASSERT_NE(frameWindow, nullptr);
    EXPECT_EQ(windowPixel(frameWindow, 358, 190), RGB(30, 30, 36)) << "silence";
    std::thread audio([this] {
        std::vector<float> left(256, 0.9f), right(256, -0.9f);
        strip.process(left, right);
    });
    audio.join();
    strip.dispatch(effEditIdle);
    EXPECT_EQ(windowPixel(frameWindow, 358, 190), RGB(90, 200, 120)) << "the bar at the bottom";
    EXPECT_EQ(windowPixel(frameWindow, 358, 40), RGB(30, 30, 36)) << "nothing above the level";
}

TEST_F(StripEditorTest, AtTwiceTheScaleTheSameLayoutIsTwiceAsLargeWithItsDenserImages) {
    strip.dispatch(effEditClose);
    ASSERT_EQ(strip.dispatch(effVendorSpecific, kHostScaleIndex, kHostScaleValue, nullptr, 2.0f), 1);
    ERect* rect = nullptr;
    strip.dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 800);
    EXPECT_EQ(rect->bottom, 440);
    TestWindow large{0, 0, 800, 440};
    ShowWindow(large.get(), SW_SHOWNA);
    strip.record->setParameter(strip.record, kGain, 0.0f); // the knob's first frame
    strip.dispatch(effEditOpen, 0, 0, large.get());
    frameWindow = GetWindow(large.get(), GW_CHILD);
    RedrawWindow(large.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(windowPixel(frameWindow, 2 * 150 + 1, 2 * 122 + 1), RGB(70, 70, 80)) << "mute off";
    EXPECT_EQ(windowPixel(frameWindow, 2 * 270, 2 * 172), RGB(60, 64, 76)) << "swap not lit";

    // Every opaque pixel of the knob's 2x frame shows as it is: nothing was resampled.
    CDecodedBitmap* knob = CDecodedBitmap::fromResource("knob@2x", GetModuleHandleA("Strip.dll"));
    ASSERT_NE(knob, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(knob->getBitmapHandle(), sizeof section, &section), static_cast<int>(sizeof section));
    const auto* pixels = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    const std::vector<COLORREF> shown = windowPixels(frameWindow, RECT{56, 100, 152, 196});
    int opaque = 0;
    int differing = 0;
    for (int y = 0; y < 96; ++y) {
        for (int x = 0; x < 96; ++x) {
            const std::uint32_t pixel = pixels[y * 96 + x];
            if (pixel >> 24 != 0xFF) continue;
            ++opaque;
            differing += shown[y * 96 + x] != RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
        }
    }
    knob->release();
    EXPECT_GT(opaque, 5000);
    EXPECT_EQ(differing, 0);

    // Uncovered in part, the editor paints those pixels again, not the units they number.
    RECT uncovered{2 * 130, 2 * 110, 2 * 170, 2 * 134};
    InvalidateRect(frameWindow, &uncovered, TRUE);
    UpdateWindow(frameWindow);
    EXPECT_EQ(windowPixel(frameWindow, 2 * 150 + 1, 2 * 122 + 1), RGB(70, 70, 80)) << "mute off, repainted";
    strip.dispatch(effEditClose);
}

TEST_F(StripEditorTest, AScaleGivenWhileOpenDrawsTheSameLayoutThatMuchLarger) {
    ASSERT_NE(frameWindow, nullptr);
    RECT host{0, 0, 800, 440};
    AdjustWindowRect(&host, GetWindowLongA(window.get(), GWL_STYLE), FALSE);
    SetWindowPos(window.get(), nullptr, 0, 0, host.right - host.left, host.bottom - host.top, SWP_NOMOVE);
    ASSERT_EQ(strip.dispatch(effVendorSpecific, kHostScaleIndex, kHostScaleValue, nullptr, 2.0f), 1);
    RedrawWindow(window.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(windowPixel(frameWindow, 2 * 150 + 1, 2 * 122 + 1), RGB(70, 70, 80)) << "mute off";
    EXPECT_EQ(windowPixel(frameWindow, 2 * 270, 2 * 172), RGB(60, 64, 76)) << "swap not lit";
    EXPECT_EQ(windowPixel(frameWindow, 2 * 150, 2 * 172), RGB(80, 180, 255)) << "stereo lit";
    EXPECT_EQ(windowPixel(frameWindow, 2 * 60, 2 * 210), RGB(30, 34, 42)) << "the panel, low down";
}

} // namespace
