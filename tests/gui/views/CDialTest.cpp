#include "CDial.h"
#include "CValueEntry.h"
#include "ParameterEditor.h"

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

// With its looks on, the dial shows the pointer over it and a press on it: from a strip, the
// strip's hover and pressed frames; in its plain colours, lighter. Leaving the window ends both.
TEST_F(DialTest, ItsLooksFollowThePointerOverItAndAPressOnIt) {
    knobMode = kLinearKnobs; // a press that does not move changes nothing
    const std::vector<Pixel> sets{rgb(10, 0, 0), rgb(20, 0, 0), rgb(30, 0, 0)};
    CDecodedBitmap* strip = solidStrip(40, 40, sets);
    ASSERT_NE(strip, nullptr);
    dial->setImage(strip, 1);
    strip->release();
    dial->setPointerLooks();
    hoverAt({kCentre, kCentre});
    EXPECT_EQ(at(kCentre, kCentre), sets[1]);
    Pixel whilePressed = 0;
    duringDrag = [&](std::size_t) { whilePressed = at(kCentre, kCentre); };
    press({kCentre, kCentre});
    EXPECT_EQ(whilePressed, sets[2]);
    EXPECT_EQ(at(kCentre, kCentre), sets[1]) << "released over it";
    hoverAt({250, 150}, [&] { return !dial->isHovered(); });
    EXPECT_EQ(at(kCentre, kCentre), sets[0]);

    dial->setImage(nullptr, 1);
    const Spot face{kCentre + 10, kCentre + 10};
    const Pixel plain = at(face.x, face.y);
    hoverAt({kCentre, kCentre});
    const Pixel lit = at(face.x, face.y);
    EXPECT_GT(redOf(lit), redOf(plain));
    EXPECT_GT(blueOf(lit), blueOf(plain));
    hoverAt({250, 150}, [&] { return !dial->isHovered(); });
    EXPECT_EQ(at(face.x, face.y), plain);
}

// Over the dial the cursor tells how it drags, or what its developer chose; off it, the host's.
TEST_F(DialTest, OverItTheCursorSaysHowItDragsAndOffItTheHostsComesBack) {
    knobMode = kLinearKnobs;
    const auto upDown = systemCursor(PointerShape::upDown);
    const auto hand = systemCursor(PointerShape::hand);
    const auto hosts = systemCursor(PointerShape::host);
    ASSERT_NE(upDown, hosts);
    hoverAt({kCentre, kCentre});
    EXPECT_EQ(cursorNow(), upDown);
    hoverAt({kPanel + 2, kPanel + 2});
    EXPECT_EQ(cursorNow(), hosts);
    dial->setPointerShape(PointerShape::hand);
    hoverAt({kCentre + 1, kCentre});
    EXPECT_EQ(cursorNow(), hand);
}

// Tab gives the dial the focus and a frame inside its edge; the focus a click gives shows none.
TEST_F(DialTest, TabShowsAFocusFrame) {
    knobMode = kLinearKnobs;
    const Spot edge{20, kCentre};
    const Pixel face = at(edge.x, edge.y);
    VstKeyCode tab{0, VKEY_TAB, 0};
    ASSERT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(at(edge.x, edge.y), rgb(90, 170, 255));
    EXPECT_EQ(at(edge.x + 1, edge.y), rgb(90, 170, 255));
    press({kCentre, kCentre}, {{{kCentre, kCentre - 10}, 0}});
    ASSERT_EQ(frame->getFocusView(), dial);
    EXPECT_EQ(at(edge.x, edge.y), face);
}

// A plug-in's editor that pairs a dial with a value entry for one parameter.
class PairingEditor : public ParameterEditor {
public:
    using ParameterEditor::ParameterEditor;
    ~PairingEditor() override { effect->setEditor(nullptr); }
    void pair(CDial* dial, CValueEntry* entry) {
        bind(dial);
        bind(entry);
        typeInto(dial, entry);
    }
};

// Paired with an entry, a double click on the dial opens the entry for typing instead of
// restoring the default; the typed value is one edit, and the dial shows it.
TEST_F(DialTest, PairedWithAnEntryADoubleClickOpensItForTyping) {
    knobMode = kLinearKnobs;
    PairingEditor pairing(&effect);
    auto* entry = place(new CValueEntry(CRect(60, 10, 130, 30), &pairing, 9));
    pairing.pair(dial, entry);
    frame->stopClockAt(1000);
    press({kCentre, kCentre});
    frame->stopClockAt(1100);
    press({kCentre, kCentre});
    void* box = entry->getEditBox();
    ASSERT_NE(box, nullptr);
    typeInto(box, "0.25");
    EXPECT_EQ(entry->getEditBox(), nullptr);
    EXPECT_EQ(dial->getValue(), 0.25f);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin9", "end9"}));
}

} // namespace
