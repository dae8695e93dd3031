#include "CFader.h"

#include "ControlInFrame.h"

#include <cmath>

namespace {

// The fader sits at (10, 20) of the panel: 100 by 12 pixels, a handle 12 long, 88 pixels of
// travel.
const CRect kFaderRect(10, 20, 110, 32);
constexpr float kPixel = 1.0f / 88.0f;

struct FaderTest : ControlInFrame {
    FaderTest() {
        fader = new CFader(kFaderRect, &journal, 7);
        fader->setValue(0.5f);
        place(fader);
    }

    // The middle of the handle, in the frame's window.
    Spot handleMiddle() const {
        const CRect handle = fader->handleRect();
        return {kPanel + (handle.left + handle.right) / 2, kPanel + (handle.top + handle.bottom) / 2};
    }

    CFader* fader = nullptr;
};

TEST_F(FaderTest, ADragMovesTheValueWithTheMouseFromWhereTheHandleWasTakenAsOneEdit) {
    const Spot taken = handleMiddle();
    const Spot right{taken.x + 22, taken.y + 5};
#if defined(_WIN32)
    // The host's window goes on getting its messages while the handle is held.
    int hostMessagesInDrag = -1;
    duringDrag = [&](std::size_t moves) {
        if (moves == 0) PostMessageA(host.get(), WM_MOUSEWHEEL, 0, 0);
        if (moves == 2) hostMessagesInDrag = host.wheelMessages;
    };
#endif
    press({taken.x + 3, taken.y}, {{{right.x + 3, right.y}, 0},
                                   {{right.x + 3, right.y}, 0},
                                   {{right.x + 3, right.y}, kShiftHeld},
                                   {{right.x + 13, right.y}, kShiftHeld}});
    // 22 pixels, then 10 more at a tenth; a move to the same place changes nothing.
    ASSERT_EQ(journal.values.size(), 2u);
    EXPECT_NEAR(journal.values[0], 0.5f + 22 * kPixel, 1e-5f);
    EXPECT_NEAR(journal.values[1], 0.5f + 23 * kPixel, 1e-5f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
#if defined(_WIN32)
    EXPECT_EQ(hostMessagesInDrag, 1);
#endif
}

TEST_F(FaderTest, AClickThatChangesNothingSendsNothingAndControlClickRestoresTheDefault) {
    press(handleMiddle());
    EXPECT_TRUE(journal.values.empty());
    EXPECT_TRUE(editor.edits.empty());

    fader->setValue(0.2f);
    holdControl(true);
    press(handleMiddle());
    holdControl(false);
    EXPECT_EQ(journal.values, (std::vector<float>{0.5f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
}

TEST_F(FaderTest, APressOnTheTrackJumpsThereOrStepsTowardIt) {
    // The handle centred under the press, and dragged on from there.
    const Spot track{kPanel + kFaderRect.left + 6 + 66, kPanel + 26};
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
    turnWheel(handleMiddle(), 1);
    turnWheel(handleMiddle(), 1);
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
    turnWheel(handleMiddle(), -1);
    EXPECT_NEAR(fader->getValue(), 0.9f, 1e-6f);

    // A range given upside down still bounds the value.
    fader->setMin(1.0f);
    fader->setMax(0.0f);
    fader->setValue(0.95f);
    turnWheel(handleMiddle(), -1);
    EXPECT_EQ(fader->getValue(), 1.0f);
}

TEST_F(FaderTest, ShowsItsHandleWhereTheValueIsHorizontalOrVertical) {
    const Pixel handle = rgb(255, 160, 0);
    const Pixel track = rgb(40, 40, 48);
    // Its corners are rounded: its ends are whole half way down.
    const int middleRow = kPanel + (kFaderRect.top + kFaderRect.bottom) / 2;
    fader->setValue(1.0f);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 1, middleRow), handle);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 12, middleRow), handle);
    EXPECT_EQ(at(kPanel + kFaderRect.right - 13, kPanel + kFaderRect.top), track);
    EXPECT_EQ(at(kPanel + kFaderRect.left, kPanel + kFaderRect.top), track);

    fader->setColors(kColorBlack, kColorBlack, kColorWhite);
    fader->setValue(0.0f);
    EXPECT_EQ(at(kPanel + kFaderRect.left, middleRow), rgb(255, 255, 255));
    EXPECT_EQ(at(kPanel + kFaderRect.left + 12, kPanel + kFaderRect.top), rgb(0, 0, 0));

    // Vertical: the minimum at the bottom, and a drag upwards raises the value.
    auto* upright = new CFader(CRect(150, 0, 162, 60), &journal, 8, CFader::Axis::vertical);
    frame->addView(upright);
    upright->setValue(0.0f);
    EXPECT_EQ(at(156, 59), handle);
    EXPECT_EQ(at(151, 47), track);
    press({151, 54}, {{{151, 30}, 0}});
    EXPECT_NEAR(upright->getValue(), 24.0f / 48.0f, 1e-5f);
    EXPECT_EQ(at(156, 30), handle);
    EXPECT_EQ(at(151, 59), track);
}

// Two plain clicks close together in time and place restore the default, as one edit; further
// apart in either, they are two clicks that change nothing.
TEST_F(FaderTest, ADoubleClickRestoresTheDefault) {
    fader->setDefaultValue(0.25f);
    fader->setValue(0.8f);
    const Spot handle = handleMiddle();
    frame->stopClockAt(1000);
    press(handle);
    frame->stopClockAt(1100);
    press(handle);
    EXPECT_EQ(journal.values, (std::vector<float>{0.25f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));

    fader->setValue(0.8f);
    journal.values.clear();
    const std::uint32_t late = 5000 + static_cast<std::uint32_t>(fader->getDoubleClickTime()) + 1;
    frame->stopClockAt(5000);
    press(handleMiddle());
    frame->stopClockAt(late);
    press(handleMiddle());
    press({handleMiddle().x + CEditGesture::kDoubleClickSlack + 1, handleMiddle().y});
    EXPECT_TRUE(journal.values.empty());
}

// Tab gives the fader the focus; then each arrow key is one edit of a wheel step, a tenth with
// Shift, and keys it does not use go back to the host.
TEST_F(FaderTest, TheFocusedFaderStepsWithTheArrowKeys) {
    VstKeyCode tab{0, VKEY_TAB, 0}, right{0, VKEY_RIGHT, 0}, fineLeft{0, VKEY_LEFT, MODIFIER_SHIFT},
        down{0, VKEY_DOWN, 0}, home{0, VKEY_HOME, 0};
    EXPECT_EQ(frame->onKeyDown(right), -1) << "nothing has the focus yet";
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), fader);
    EXPECT_EQ(frame->onKeyDown(right), 1);
    EXPECT_EQ(frame->onKeyDown(fineLeft), 1);
    EXPECT_EQ(frame->onKeyDown(down), 1);
    EXPECT_EQ(frame->onKeyDown(home), -1);
    ASSERT_EQ(journal.values.size(), 3u);
    EXPECT_NEAR(journal.values[0], 0.6f, 1e-6f);
    EXPECT_NEAR(journal.values[1], 0.59f, 1e-6f);
    EXPECT_NEAR(journal.values[2], 0.49f, 1e-6f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7", "begin7", "end7", "begin7", "end7"}));
}

// The handle is as long as its image and drawn where a plain handle would be.
TEST_F(FaderTest, AHandleImageSetsTheHandlesLengthAndShowsAtTheValue) {
    const Pixel cap = rgb(9, 99, 199);
    CDecodedBitmap* image = solidStrip(6, kFaderRect.bottom - kFaderRect.top, {cap});
    ASSERT_NE(image, nullptr);
    fader->setHandleImage(image);
    image->release();
    fader->setValue(0.5f);
    const int middle = kPanel + kFaderRect.left + 3 + (kFaderRect.right - kFaderRect.left - 6) / 2;
    EXPECT_EQ(at(middle - 3, kPanel + kFaderRect.top), cap);
    EXPECT_EQ(at(middle + 2, kPanel + kFaderRect.bottom - 1), cap);
    EXPECT_NE(at(middle - 4, kPanel + kFaderRect.top), cap);
    EXPECT_NE(at(middle + 3, kPanel + kFaderRect.top), cap);
}

} // namespace
