// The gain's editor as a host meets it: opened through the module's record in a window of the
// host's, its picture read back from that window, its fader driven with the real mouse.
#include "CDrawContext.h"
#include "CFrame.h"
#include "CParamDisplay.h"
#include "EditorTestSupport.h"
#include "Opcodes.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using EntryPoint = AEffect*(VST_CALL*)(HostCallback);

// Frame coordinates: the panel sits at (8, 8); the fader and the value are inside it.
constexpr int kFaderLeft = 16, kFaderTop = 48, kFaderRight = 304, kFaderBottom = 72;
constexpr int kHandleWidth = 12;
const RECT kValueArea{208, 80, 304, 104};
const COLORREF kHandle = RGB(255, 160, 0);

struct GainModule {
    GainModule() {
        module = LoadLibraryA("Gain.dll"); // beside the test program
        if (!module) return;
        const auto address = reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain"));
        record = reinterpret_cast<EntryPoint>(address)(&RecordingHost::callback);
    }
    ~GainModule() {
        if (record) dispatch(effClose);
        if (module) FreeLibrary(module);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    GainModule(const GainModule&) = delete;
    GainModule& operator=(const GainModule&) = delete;

    HMODULE module = nullptr;
    AEffect* record = nullptr;
};

// The fader's handle covers this column when the value is `value`.
int handleMiddle(float value) {
    const int travel = kFaderRight - kFaderLeft - kHandleWidth;
    return kFaderLeft + static_cast<int>(value * travel + 0.5f) + kHandleWidth / 2;
}

// The frame x at which a click sets `value`.
int clickFor(float value) {
    return kFaderLeft + kHandleWidth / 2 +
           static_cast<int>(value * (kFaderRight - kFaderLeft - kHandleWidth));
}

// What the value box shows for `text`: a display with the editor's settings, drawn directly.
std::vector<COLORREF> valueShowing(const char* text) {
    static std::string shown;
    shown = text;
    GdiSurface surface(320, 120, RGB(0, 0, 255));
    CParamDisplay display(CRect(kValueArea.left, kValueArea.top, kValueArea.right,
                                kValueArea.bottom));
    display.setTextTransparency(false);
    display.setBackColor(CColor{230, 230, 230, 255});
    display.setFontColor(kColorBlack);
    display.setStringConvert([](float, char* out) { std::strcpy(out, shown.c_str()); });
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        display.draw(&context);
    }
    return surface.pixels(kValueArea);
}

class GainEditorTest : public testing::Test {
protected:
    void SetUp() override {
        RecordingHost::current = &host;
        ASSERT_NE(gain.record, nullptr);
        ASSERT_EQ(gain.dispatch(effEditOpen, 0, 0, window.get()), 1);
        frameWindow = GetWindow(window.get(), GW_CHILD);
        ASSERT_NE(frameWindow, nullptr);
        repaint(window.get());
    }
    void TearDown() override {
        gain.dispatch(effEditClose);
        RecordingHost::current = nullptr;
    }
    COLORREF at(int x, int y) { return windowPixel(frameWindow, x, y); }
    // Host opcodes from `from` on, without the idle calls.
    std::vector<std::string> edits(std::size_t from) {
        std::vector<std::string> result = host.journal(from);
        result.erase(std::remove(result.begin(), result.end(), "3:0"), result.end());
        return result;
    }

    RecordingHost host;
    GainModule gain;
    HostFrameWindow window{320, 120};
    HWND frameWindow = nullptr;
};

TEST_F(GainEditorTest, PictureShowsTheFaderInsideThePanelAndTheValue) {
    ERect* rect = nullptr;
    ASSERT_EQ(gain.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 320);
    EXPECT_EQ(rect->bottom, 120);

    auto* frame = reinterpret_cast<CFrame*>(GetWindowLongPtrA(frameWindow, GWLP_USERDATA));
    ASSERT_EQ(frame->getViewCount(), 1);
    auto* panel = frame->getView(0);
    EXPECT_TRUE(panel->isTypeOf("CViewContainer"));
    EXPECT_EQ(static_cast<CViewContainer*>(panel)->getViewCount(), 3);

    EXPECT_EQ(at(4, 4), RGB(0, 0, 0)) << "frame background";
    EXPECT_EQ(at(12, 12), RGB(64, 64, 80)) << "panel";
    EXPECT_EQ(at(handleMiddle(0.5f), kFaderTop + 2), kHandle);
    EXPECT_EQ(at(kFaderLeft + 2, kFaderTop + 2), RGB(40, 40, 48)) << "track";
    EXPECT_EQ(windowPixels(frameWindow, kValueArea), valueShowing("0.000000 dB"));
}

TEST_F(GainEditorTest, FollowsHostAutomationAtTheNextIdle) {
    const std::size_t before = host.calls.size();
    gain.record->setParameter(gain.record, 0, 1.0f);
    gain.dispatch(effEditIdle);
    EXPECT_EQ(at(handleMiddle(1.0f), kFaderTop + 2), kHandle);
    EXPECT_NE(at(handleMiddle(0.5f), kFaderTop + 2), kHandle);
    EXPECT_EQ(windowPixels(frameWindow, kValueArea), valueShowing("12.04120 dB"));
    EXPECT_TRUE(edits(before).empty()) << "automation from the host goes back to the host";
}

// A press on the fader, a drag while the host idles, a release: one edit of the parameter,
// with the real mouse, so that the fader reads the buttons and the cursor as it does in use.
TEST_F(GainEditorTest, DraggingTheFaderIsOneAutomatedEdit) {
    RECT screen{};
    GetWindowRect(frameWindow, &screen);
    const int y = (kFaderTop + kFaderBottom) / 2;
    ASSERT_TRUE(placeCursor(screen.left + clickFor(0.25f), screen.top + y));
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    int idles = 0;
    // The fader follows the mouse until the button is up; the host's idle calls move and lift it.
    host.onIdle = [&] {
        if (++idles == 1) placeCursor(screen.left + clickFor(0.75f), screen.top + y);
        if (idles >= 3) {
            INPUT lift = press;
            lift.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &lift, sizeof lift);
        }
        // A button that never comes up would hold the fader forever: end the run instead.
        if (idles > 300) {
            std::fputs("the mouse button never came up\n", stderr);
            std::_Exit(1);
        }
    };
    const std::size_t before = host.calls.size();
    SendInput(1, &press, sizeof press);
    pumpMessages();
    host.onIdle = nullptr;

    EXPECT_EQ(edits(before), (std::vector<std::string>{"43:0", "0:0", "0:0", "44:0"}));
    EXPECT_NEAR(gain.record->getParameter(gain.record, 0), 0.75f, 0.005f);
    gain.dispatch(effEditIdle);
    EXPECT_EQ(at(handleMiddle(gain.record->getParameter(gain.record, 0)), kFaderTop + 2),
              kHandle);
}

} // namespace
