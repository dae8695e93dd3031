#include "CDial.h"

#include "ControlInFrame.h"

namespace {

// The dial is 40 by 40 at (10, 10) of the panel: its centre is (40, 40) of the window.
constexpr int kCentre = 40;
const Pixel kPointer = rgb(255, 160, 0);

struct DialTest : ControlInFrame {
    DialTest() {
        dial = place(new CDial(CRect(10, 10, 50, 50), &journal, 9));
        dial->setValue(0.5f);
    }
    ~DialTest() override { knobMode = kCircularKnobs; }

    // Pointer pixels in the window's square from (left, top), 18 wide.
    int pointerPixels(int left, int top) {
        int count = 0;
        for (Pixel pixel : pixelsIn(left, top, left + 18, top + 18)) count += pixel == kPointer;
        return count;
    }

    CDial* dial = nullptr;
};

TEST_F(DialTest, InCircularModeThePointerGoesWhereTheMouseIs) {
    knobMode = kCircularKnobs;
    press({kCentre + 15, kCentre}, {{{kCentre, kCentre - 15}, 0},
                                    {{kCentre - 3, kCentre + 15}, 0},
                                    {{kCentre + 3, kCentre + 15}, 0}});
    // Right of the centre is 225 of the 270 degrees, the top halfway; in the gap at the bottom
    // the nearer end: the minimum left of the middle, the maximum right of it.
    ASSERT_EQ(journal.values.size(), 4u);
    EXPECT_NEAR(journal.values[0], 225.0f / 270, 1e-5f);
    EXPECT_NEAR(journal.values[1], 0.5f, 1e-5f);
    EXPECT_EQ(journal.values[2], 0.0f);
    EXPECT_EQ(journal.values[3], 1.0f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin9", "end9"}));
}

TEST_F(DialTest, InLinearModeMovingUpRaisesItAndShiftIsFine) {
    knobMode = kLinearKnobs;
    press({kCentre, kCentre}, {{{kCentre + 30, kCentre - 20}, 0}, {{kCentre + 30, kCentre - 30}, kShiftHeld}});
    ASSERT_EQ(journal.values.size(), 2u);
    EXPECT_NEAR(journal.values[0], 0.6f, 1e-5f);
    EXPECT_NEAR(journal.values[1], 0.605f, 1e-5f);
}

TEST_F(DialTest, InRelativeCircularModeItTurnsAsMuchAsTheMouseTurns) {
    knobMode = kRelativeCircularKnobs;
    // From the top a quarter turn clockwise: no jump at the press, then a third of the sweep.
    press({kCentre, kCentre - 15}, {{{kCentre + 15, kCentre}, 0}});
    ASSERT_EQ(journal.values.size(), 1u);
    EXPECT_NEAR(journal.values[0], 0.5f + 90.0f / 270, 1e-5f);
}

TEST_F(DialTest, ThePointerShowsTheValue) {
    dial->setValue(0.0f);
    EXPECT_GT(pointerPixels(20, 40), 5) << "lower left";
    EXPECT_EQ(pointerPixels(41, 41), 0) << "lower right";
    dial->setValue(1.0f);
    EXPECT_EQ(pointerPixels(20, 41), 0);
    EXPECT_GT(pointerPixels(40, 40), 5);
}

// Without a strip the track and the pointer are blended into the face along their edges, and
// the track runs round the sweep: at the far left, half way up the dial, it is whole.
TEST_F(DialTest, ThePlainStyleIsSmoothedWithATrackRoundTheSweep) {
    const Pixel face = rgb(40, 40, 48);
    const Pixel track = rgb(111, 80, 32);
    int blended = 0;
    for (Pixel pixel : pixelsIn(kCentre - 20, kCentre - 20, kCentre + 20, kCentre + 20)) {
        blended += pixel != face && pixel != track && pixel != kPointer;
    }
    EXPECT_GT(blended, 40);
    for (int x : {kCentre - 19, kCentre - 18}) {
        const Pixel pixel = at(x, kCentre);
        EXPECT_NEAR(redOf(pixel), redOf(track), 4) << x;
        EXPECT_NEAR(greenOf(pixel), greenOf(track), 4) << x;
    }
    EXPECT_EQ(at(kCentre - 16, kCentre), face);
    EXPECT_EQ(at(kCentre, kCentre + 19), face) << "the gap at the bottom";
}

TEST_F(DialTest, FromAStripItShowsTheFrameNearestTheValue) {
    const std::vector<Pixel> frames{rgb(10, 0, 0), rgb(20, 0, 0), rgb(30, 0, 0),
                                       rgb(40, 0, 0), rgb(50, 0, 0)};
    CDecodedBitmap* strip = solidStrip(40, 40, frames);
    ASSERT_NE(strip, nullptr);
    dial->setImage(strip, 5);
    strip->release();
    for (const auto& [value, frame] : {std::pair{0.0f, 0}, {0.5f, 2}, {0.74f, 3}, {1.0f, 4}}) {
        dial->setValue(value);
        EXPECT_EQ(at(kCentre, kCentre), frames[frame]) << value;
        EXPECT_EQ(at(kCentre - 19, kCentre + 19), frames[frame]) << value;
    }
}

} // namespace
