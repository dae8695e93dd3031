#include "CToggle.h"
#include "FrameTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct FrameTest : ::testing::Test {
    FrameTest() : effect(host), editor(new TestEditor(&effect)) {
        frame = new TestFrame(CRect(0, 0, 200, 100), nullptr, editor);
    }
    ~FrameTest() override { delete frame; }

    RecordingView* addChild(const CRect& size, const char* name) {
        auto* view = new RecordingView(size);
        view->name = name;
        view->events = &journal;
        frame->addView(view); // handing the creator's reference over
        return view;
    }

    HostRecorder host;
    TestEffect effect; // owns the editor
    TestEditor* editor;
    TestFrame* frame;
    std::vector<std::string> journal;
};

TEST_F(FrameTest, WithoutAParentWindowThereIsNoWindowAndNothingOpens) {
    EXPECT_EQ(frame->getSystemWindow(), nullptr);
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_FALSE(frame->setDropActive(true));
    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_FALSE(frame->open(nullptr));
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isOpen());
    EXPECT_EQ(frame->getParentFrame(), frame);
    EXPECT_TRUE(frame->isTypeOf("CFrame"));
    EXPECT_TRUE(frame->isTypeOf("CViewContainer"));
    EXPECT_FALSE(frame->isTypeOf("CScrollContainer"));
}

TEST_F(FrameTest, EditsIdleAndTicksReachTheEditor) {
    RecordingView* view = addChild(CRect(0, 0, 10, 10), "v.");
    EXPECT_EQ(view->getEditor(), editor);
    frame->beginEdit(3);
    frame->endEdit(3);
    frame->editorIdle();
    EXPECT_EQ(editor->edits, (std::vector<std::string>{"begin3", "end3"}));
    EXPECT_EQ(editor->pumps, 1);
    EXPECT_NE(frame->getTicks(), 0u);

    TestFrame alone(CRect(0, 0, 10, 10), nullptr, nullptr);
    alone.beginEdit(1); // no editor: nothing to reach
    EXPECT_EQ(alone.getTicks(), 0u);
}

TEST_F(FrameTest, AClickTakesTheFocusAwayAndAModalViewTakesAllClicks) {
    RecordingView* below = addChild(CRect(0, 0, 200, 100), "below.");
    below->setWantsFocus(true);
    frame->setFocusView(below);
    frame->mouse(nullptr, CPoint(5, 5), 1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"below.loseFocus", "below.mouse"}));

    journal.clear();
    auto* modal = new RecordingView(CRect(50, 20, 100, 60));
    modal->name = "modal.";
    modal->events = &journal;
    EXPECT_TRUE(frame->setModalView(modal));
    EXPECT_EQ(frame->getViewUnderMouse(), modal);
    frame->mouse(nullptr, CPoint(5, 5), 1); // outside the modal view: nobody
    frame->mouse(nullptr, CPoint(60, 30), 1);
    EXPECT_EQ(journal, std::vector<std::string>{"modal.mouse"});

    auto* second = new RecordingView(CRect(0, 0, 5, 5));
    EXPECT_FALSE(frame->setModalView(second));
    EXPECT_EQ(frame->getModalView(), modal);
    second->release();

    EXPECT_TRUE(frame->setModalView(nullptr)); // removed, not released
    EXPECT_FALSE(frame->isChild(modal));
    EXPECT_EQ(modal->getReferenceCount(), 1);
    modal->release();
}

TEST_F(FrameTest, AControlTakenOutIsNeitherHoveredNorPressedWhenItComesBack) {
    auto* toggle = new CToggle(CRect(10, 10, 50, 30));
    frame->addView(toggle);
    frame->pointerPressed(CPoint(20, 20));
    ASSERT_TRUE(toggle->isPressed());
    ASSERT_TRUE(toggle->isHovered());
    frame->removeView(toggle, false);
    EXPECT_FALSE(toggle->isPressed());
    EXPECT_FALSE(toggle->isHovered());
    toggle->release();
}

TEST_F(FrameTest, KeysGoToFocusThenModalAndTabMovesTheFocus) {
    RecordingView* a = addChild(CRect(0, 0, 10, 10), "a.");
    RecordingView* b = addChild(CRect(0, 0, 10, 10), "b.");
    RecordingView* c = addChild(CRect(0, 0, 10, 10), "c.");
    a->setWantsFocus(true);
    c->setWantsFocus(true);
    (void)b;
    frame->setFocusView(a);
    journal.clear();

    VstKeyCode tab{0, 2, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(journal, (std::vector<std::string>{"a.keyDown", "a.loseFocus"}));

    VstKeyCode shiftTab{0, 2, 1};
    EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(shiftTab), -1); // nothing before a: the focus goes
    EXPECT_EQ(frame->getFocusView(), nullptr);

    VstKeyCode letter{'x', 0, 0};
    EXPECT_EQ(frame->onKeyDown(letter), -1);
    EXPECT_EQ(frame->onKeyUp(letter), -1);

    c->keyResult = 1;
    frame->setFocusView(c);
    journal.clear();
    EXPECT_EQ(frame->onKeyUp(letter), 1);
    EXPECT_EQ(journal, std::vector<std::string>{"c.keyUp"}); // the other children never see it
}

TEST_F(FrameTest, FocusClimbsOutOfNestedContainers) {
    auto* inner = new CViewContainer(CRect(0, 0, 50, 50));
    frame->addView(inner);
    auto* nested = new RecordingView(CRect(0, 0, 10, 10));
    inner->addView(nested);
    RecordingView* after = addChild(CRect(0, 0, 10, 10), "after.");
    nested->setWantsFocus(true);
    after->setWantsFocus(true);
    frame->setFocusView(nested);

    EXPECT_TRUE(frame->advanceFocus(nullptr, false));
    EXPECT_EQ(frame->getFocusView(), after);
    EXPECT_TRUE(frame->advanceFocus(nullptr, true));
    EXPECT_EQ(frame->getFocusView(), nested);

    auto* modal = new RecordingView(CRect(0, 0, 5, 5));
    frame->setModalView(modal);
    EXPECT_FALSE(frame->advanceFocus(nullptr, false));
    frame->setModalView(nullptr);
    modal->release();
}

TEST_F(FrameTest, InvalidateMarksDirectChildrenThatTouchTheRectangle) {
    RecordingView* touching = addChild(CRect(10, 10, 20, 20), "t.");
    RecordingView* apart = addChild(CRect(30, 30, 40, 40), "a.");
    touching->setDirty(false);
    apart->setDirty(false);
    frame->invalidate(CRect(0, 0, 10, 10));
    EXPECT_TRUE(touching->isDirty());
    EXPECT_FALSE(apart->isDirty());
}

TEST_F(FrameTest, UpdatesWaitForTheOpenFlagAndTheUpdateSwitch) {
    GdiSurface surface(200, 100, kGreen);
    CDrawContext context(frame, surface.dc(), nullptr);
    RecordingView* view = addChild(CRect(10, 10, 20, 20), "v.");
    frame->draw(&context); // the frame is dirty from its construction
    EXPECT_EQ(surface.pixel(15, 15), kRed);
    EXPECT_FALSE(frame->isFirstDraw());

    view->colour = kColorBlue;
    view->setDirty(true);
    EXPECT_FALSE(frame->setUpdatesDisabled(true));
    frame->update(&context);
    EXPECT_EQ(surface.pixel(15, 15), kRed);
    EXPECT_TRUE(frame->setUpdatesDisabled(false));
    frame->setOpenFlag(false);
    frame->update(&context);
    EXPECT_EQ(surface.pixel(15, 15), kRed);
    frame->setOpenFlag(true);
    frame->update(nullptr); // nothing to draw with: it all waits for a context
    EXPECT_TRUE(view->isDirty());
    frame->update(&context);
    EXPECT_EQ(surface.pixel(15, 15), kBlue);
    EXPECT_FALSE(view->isDirty());
    frame->setDirty(true);
    frame->update(nullptr);
    EXPECT_TRUE(frame->isDirty());
}

TEST_F(FrameTest, KnobModeAndCursorsAreProcessWide) {
    editor->setKnobMode(2);
    TestFrame other(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(other.getKnobMode(), 2);
    editor->setKnobMode(0);

    // No cursor at all is the hardest one to restore.
    SetCursor(nullptr);
    HCURSOR before = GetCursor();
    frame->setCursor(1);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    frame->setCursor(9);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    frame->setCursor(12);
    EXPECT_EQ(GetCursor(), before);
    frame->setCursor(3);
    frame->setCursor(7);
    EXPECT_EQ(GetCursor(), before);
    frame->setCursor(5);
    delete frame; // restores the cursor it found first
    frame = nullptr;
    EXPECT_EQ(GetCursor(), before);
}

} // namespace
