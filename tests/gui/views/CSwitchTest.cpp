#include "CStepMenu.h"
#include "CStepSwitch.h"
#include "CToggle.h"

#include "ControlInFrame.h"

#include <initializer_list>
#include <limits>

namespace {

// Each switch sits 20 by 10 at (10, 10) of the panel, (20, 20) of the window.
const CRect kSwitchRect(10, 10, 30, 20);
constexpr int kLeft = 20, kTop = 20;
const Pixel kOff = rgb(60, 60, 70);
const Pixel kLit = rgb(255, 160, 0);

using SwitchTest = ControlInFrame;

TEST_F(SwitchTest, AToggleFlipsOnEachPressAsOneEditAndShowsItsState) {
    CToggle* toggle = place(new CToggle(kSwitchRect, &journal, 3));
    EXPECT_EQ(at(kLeft + 5, kTop + 5), kOff);
    press({kLeft + 5, kTop + 5});
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(at(kLeft, kTop), kLit);
    EXPECT_EQ(at(kLeft + 19, kTop + 9), kLit);
    EXPECT_EQ(at(kLeft + 20, kTop + 10), rgb(0, 0, 0)) << "the panel beside it";
    press({kLeft + 5, kTop + 5});
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin3", "end3", "begin3", "end3"}));
    EXPECT_EQ(at(kLeft + 5, kTop + 5), kOff);
}

TEST_F(SwitchTest, AMomentaryButtonIsOnWhileHeldAndOffOnRelease) {
    CToggle* button = place(new CToggle(kSwitchRect, &journal, 4, CToggle::Mode::momentary));
    bool onWhileHeld = false;
    duringDrag = [&](std::size_t) { onWhileHeld = onWhileHeld || button->isOn(); };
    press({kLeft + 5, kTop + 5}, {{{kLeft + 50, kTop + 50}, 0}});
    EXPECT_TRUE(onWhileHeld);
    EXPECT_FALSE(button->isOn());
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin4", "end4"}));
}

TEST_F(SwitchTest, AStepSwitchGoesToTheNextPositionOrToTheOneUnderTheMouse) {
    CStepSwitch* steps = place(new CStepSwitch(kSwitchRect, 4, &journal, 5));
    for (int i = 0; i < 4; ++i) press({kLeft + 2, kTop + 5});
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f / 3, 2.0f / 3, 1.0f, 0.0f}));
    EXPECT_EQ(editor.edits.size(), 8u);

    // Four cells of 5 pixels; the lit one is the position.
    steps->setValue(2.0f / 3);
    EXPECT_EQ(at(kLeft + 12, kTop + 5), kLit);
    EXPECT_EQ(at(kLeft + 7, kTop + 5), kOff);
    EXPECT_EQ(at(kLeft + 17, kTop + 5), kOff);

    auto* chooser = place(new CStepSwitch(CRect(10, 30, 30, 40), 4, &journal, 6, CStepSwitch::Press::underMouse));
    journal.values.clear();
    editor.edits.clear();
    press({kLeft + 16, kTop + 25});
    press({kLeft + 16, kTop + 25});
    EXPECT_EQ(chooser->position(), 3);
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin6", "end6"}));
    press({kLeft + 6, kTop + 25});
    EXPECT_EQ(chooser->position(), 1);
}

// A host may set any value, automation or an older preset: a switch shows the position nearest
// to it, and the next press goes on from there.
TEST_F(SwitchTest, ASwitchBetweenPositionsShowsTheNearest) {
    CStepSwitch* steps = place(new CStepSwitch(kSwitchRect, 4, &journal, 5));
    const struct {
        float value;
        int position;
    } between[] = {{0.1f, 0}, {0.2f, 1}, {0.5f, 2}, {0.6f, 2}, {0.9f, 3}};
    for (const auto& [value, position] : between) {
        steps->setValue(value);
        for (int cell = 0; cell < 4; ++cell) {
            EXPECT_EQ(at(kLeft + 5 * cell + 2, kTop + 5), cell == position ? kLit : kOff) << value << " " << cell;
        }
    }
    // Not a number shows the first; a range from 1 down to 0 runs the other way.
    steps->setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(steps->position(), 0);
    CStepMenu menu(kSwitchRect, {"a", "b", "c", "d"});
    menu.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(menu.position(), 0);
    menu.setValue(1.5f); // past the range, as a host may set it
    EXPECT_EQ(menu.position(), 3);
    for (CControl* reversed : std::initializer_list<CControl*>{steps, &menu}) {
        reversed->setMin(1.0f);
        reversed->setMax(0.0f);
        reversed->setValue(0.0f);
    }
    EXPECT_EQ(steps->position(), 3);
    EXPECT_EQ(menu.position(), 3);
    steps->setMin(0.0f);
    steps->setMax(1.0f);

    steps->setValue(0.6f);
    press({kLeft + 2, kTop + 5});
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f}));

    CToggle* toggle = place(new CToggle(CRect(10, 30, 30, 40), &journal, 3));
    toggle->setValue(0.6f);
    EXPECT_EQ(at(kLeft + 5, kTop + 25), kLit);
    toggle->setValue(0.4f);
    EXPECT_EQ(at(kLeft + 5, kTop + 25), kOff);
}

#if defined(_WIN32)
// Windows sends the release of a press let go outside the editor to the window there: the press
// is over once the pointer is back without the button.
TEST_F(SwitchTest, APressLetGoOutsideTheEditorIsOverOnceThePointerIsBack) {
    CToggle* toggle = place(new CToggle(kSwitchRect, &journal, 3));
    hoverAt({kLeft + 5, kTop + 5});
    sendButton(MOUSEEVENTF_LEFTDOWN);
    pumpMessages();
    ASSERT_TRUE(toggle->isPressed());
    hoverAt({250, 150}, [&] { return !toggle->isHovered(); });
    sendButton(MOUSEEVENTF_LEFTUP);
    pumpMessages();
    hoverAt({kLeft + 5, kTop + 5});
    EXPECT_FALSE(toggle->isPressed());
    EXPECT_TRUE(toggle->isHovered());
}
#endif

// Tab goes from switch to switch in the order they were added, past a momentary button, which
// has no state to step; Up and Right step a switch on, Down and Left back, never past its ends.
TEST_F(SwitchTest, TabAndTheArrowKeysWorkTheSwitches) {
    CToggle* toggle = place(new CToggle(kSwitchRect, &journal, 3));
    place(new CToggle(CRect(40, 10, 60, 20), &journal, 4, CToggle::Mode::momentary));
    CStepSwitch* steps = place(new CStepSwitch(CRect(10, 30, 30, 40), 3, &journal, 6));
    VstKeyCode tab{0, VKEY_TAB, 0}, backTab{0, VKEY_TAB, MODIFIER_SHIFT}, up{0, VKEY_UP, 0},
        left{0, VKEY_LEFT, MODIFIER_SHIFT};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->onKeyDown(up), 1);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), steps) << "a momentary button takes no focus";
    for (int i = 0; i < 3; ++i) frame->onKeyDown(up);
    EXPECT_EQ(steps->position(), 2);
    frame->onKeyDown(left);
    EXPECT_EQ(steps->position(), 1);
    EXPECT_EQ(frame->onKeyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), toggle);
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f, 0.5f, 1.0f, 0.5f}));
    EXPECT_EQ(editor.edits.size(), 8u);
}

// Light pixels (all three colours bright) in each cell: captions, which neither cell colour has.
TEST_F(SwitchTest, AStepSwitchShowsACaptionInEachCell) {
    CStepSwitch* steps = place(new CStepSwitch(CRect(10, 30, 70, 46), 3, &journal, 6));
    auto lightInCells = [&] {
        std::vector<int> counts;
        for (int cell = 0; cell < 3; ++cell) {
            int light = 0;
            for (Pixel pixel : pixelsIn(20 + 20 * cell, 40, 40 + 20 * cell, 56)) {
                light += redOf(pixel) > 180 && greenOf(pixel) > 180 && blueOf(pixel) > 180;
            }
            counts.push_back(light);
        }
        return counts;
    };
    EXPECT_EQ(lightInCells(), (std::vector<int>{0, 0, 0}));
    steps->setCaptions({"A", "B", "C"});
    const std::vector<int> small = lightInCells();
    for (int light : small) EXPECT_GE(light, 3);
    // In a font of 12 points, bold, where the table's small one has 11 pixels.
    steps->setCaptions({"A", "B", "C"}, CTextFont("Arial", 12, kBoldFace));
    const std::vector<int> large = lightInCells();
    for (int cell = 0; cell < 3; ++cell) EXPECT_GT(large[cell], small[cell]) << cell;
}

TEST_F(SwitchTest, FromImagesASwitchShowsTheFrameOfItsStateOrPosition) {
    const std::vector<Pixel> frames{rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9)};
    CDecodedBitmap* strip = solidStrip(20, 10, frames);
    ASSERT_NE(strip, nullptr);
    CToggle* toggle = place(new CToggle(kSwitchRect, &journal, 3));
    auto* steps = place(new CStepSwitch(CRect(10, 30, 30, 40), 3, &journal, 6));
    toggle->setImage(strip);
    steps->setImage(strip);
    strip->release();
    EXPECT_EQ(at(kLeft + 19, kTop + 9), frames[0]);
    press({kLeft + 5, kTop + 5});
    EXPECT_EQ(at(kLeft, kTop), frames[1]);
    for (std::size_t position = 0; position < 3; ++position) {
        steps->setValue(static_cast<float>(position) / 2);
        EXPECT_EQ(at(kLeft + 2, kTop + 21), frames[position]);
        EXPECT_EQ(at(kLeft + 19, kTop + 29), frames[position]);
    }
}

} // namespace
