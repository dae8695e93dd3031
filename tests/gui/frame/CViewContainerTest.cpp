#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A frame without a window: the parent frame that dispatch and hit searches require.
struct ContainerTest : ::testing::Test {
    ContainerTest() : frame(new TestFrame(CRect(0, 0, 200, 100), nullptr, nullptr)) {}
    ~ContainerTest() override { delete frame; }

    RecordingView* addChild(CViewContainer& container, const CRect& size, const char* name) {
        auto* view = new RecordingView(size);
        view->name = name;
        view->events = &journal;
        container.addView(view); // handing the creator's reference over
        return view;
    }

    TestFrame* frame;
    std::vector<std::string> journal;
};

TEST_F(ContainerTest, ChildListKeepsOneReferencePerEntryAndRemovesTheFirstOnly) {
    auto* view = new RecordingView(CRect(0, 0, 10, 10));
    view->retain(); // the test's own, to watch the count
    frame->addView(view);
    frame->addView(view);
    EXPECT_EQ(view->getReferenceCount(), 4);
    EXPECT_EQ(frame->getViewCount(), 2);
    EXPECT_EQ(view->getParentFrame(), frame);
    EXPECT_EQ(view->getParentView(), frame);
    EXPECT_EQ(frame->getView(-1), nullptr);
    EXPECT_EQ(frame->getView(2), nullptr);
    EXPECT_EQ(frame->getView(1), view);

    frame->removeView(view, true); // the creator's reference and the entry's
    EXPECT_EQ(view->getReferenceCount(), 2);
    EXPECT_EQ(frame->getViewCount(), 1);
    EXPECT_TRUE(frame->isChild(view));
    frame->removeView(view, false);
    EXPECT_EQ(view->getReferenceCount(), 1);
    EXPECT_FALSE(frame->isChild(view));
    frame->removeView(view, false); // no longer a child: nothing
    EXPECT_EQ(view->getReferenceCount(), 1);
    view->release();
}

TEST_F(ContainerTest, DestructionReleasesEachChildTwice) {
    auto* container = new CViewContainer(CRect(0, 0, 50, 50));
    auto* view = new RecordingView(CRect(0, 0, 10, 10));
    view->retain();
    view->retain(); // two of the test's own
    container->addView(view);
    EXPECT_EQ(view->getReferenceCount(), 4);
    container->release();
    EXPECT_EQ(view->getReferenceCount(), 2);
    EXPECT_EQ(view->ownEvents, std::vector<std::string>{"removed"});
    view->release();
    view->release();
}

TEST_F(ContainerTest, RemovingTheFocusViewClearsTheFocusEvenWhenItIsNoChild) {
    RecordingView outsider(CRect(0, 0, 5, 5));
    outsider.retain(); // never released to zero: it lives on the stack
    frame->setFocusView(&outsider);
    CViewContainer* container = new CViewContainer(CRect(0, 0, 50, 50));
    frame->addView(container);
    container->removeView(&outsider, false);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(outsider.ownEvents, std::vector<std::string>{"loseFocus"});
}

// Each view below is kept alive past its removal by a reference of the test's own, so that a
// pointer still held to it shows as a call it receives.
TEST_F(ContainerTest, RemovedViewsAreForgottenByTheFrameAndTheirContainer) {
    CDrawContext context(nullptr, nullptr, nullptr);
    RecordingView* dragged = addChild(*frame, CRect(0, 0, 50, 50), "dragged.");
    dragged->retain();
    frame->onDragEnter(&context, nullptr, CPoint(10, 10));
    frame->removeView(dragged, true);
    frame->onDragMove(&context, nullptr, CPoint(150, 80));
    EXPECT_EQ(journal, (std::vector<std::string>{"dragged.enter", "dragged.removed"}));
    dragged->release();

    auto* modal = new RecordingView(CRect(0, 0, 20, 20));
    frame->setModalView(modal);
    frame->removeView(modal, false);
    EXPECT_EQ(frame->getModalView(), nullptr);
    modal->release();

    // The focus view three containers deep inside one that goes with everything else.
    auto* outer = new CViewContainer(CRect(100, 0, 200, 100));
    frame->addView(outer);
    auto* middle = new CViewContainer(CRect(0, 0, 80, 80));
    outer->addView(middle);
    auto* inner = new CViewContainer(CRect(0, 0, 50, 50));
    middle->addView(inner);
    RecordingView* focus = addChild(*inner, CRect(0, 0, 10, 10), "focus.");
    focus->setWantsFocus(true);
    focus->retain();
    frame->setFocusView(focus);
    frame->removeAll(true);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    focus->release();
}

TEST_F(ContainerTest, MouseGoesToTheTopmostEnabledChildThatHitsInInnerCoordinates) {
    auto* inner = new CViewContainer(CRect(20, 10, 120, 90));
    frame->addView(inner);
    RecordingView* lower = addChild(*inner, CRect(0, 0, 50, 50), "lower.");
    RecordingView* upper = addChild(*inner, CRect(25, 25, 75, 75), "upper.");

    frame->mouse(nullptr, CPoint(50, 40), 1); // (30, 30) inside: both overlap there
    EXPECT_EQ(journal, std::vector<std::string>{"upper.mouse"});
    EXPECT_EQ(upper->lastWhere, CPoint(30, 30));
    EXPECT_EQ(upper->lastButtons, 1);

    upper->setMouseEnabled(false);
    frame->mouse(nullptr, CPoint(50, 40), 4);
    EXPECT_EQ(journal.back(), "lower.mouse");
    EXPECT_EQ(lower->lastButtons, 4);

    journal.clear();
    frame->mouse(nullptr, CPoint(190, 95), 1); // outside both
    EXPECT_TRUE(journal.empty());
}

TEST_F(ContainerTest, KeysGoLastChildFirstUntilOneHandlesThem) {
    RecordingView* first = addChild(*frame, CRect(0, 0, 10, 10), "first.");
    RecordingView* last = addChild(*frame, CRect(0, 0, 10, 10), "last.");
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(frame->CViewContainer::onKeyDown(key), -1);
    EXPECT_EQ(journal, (std::vector<std::string>{"last.keyDown", "first.keyDown"}));

    journal.clear();
    last->keyResult = 1;
    first->keyResult = 1;
    EXPECT_EQ(frame->CViewContainer::onKeyUp(key), 1);
    EXPECT_EQ(journal, std::vector<std::string>{"last.keyUp"});
}

TEST_F(ContainerTest, WheelShiftsTheContextForTheChildAndRestoresIt) {
    auto* inner = new CViewContainer(CRect(20, 10, 120, 90));
    frame->addView(inner);
    RecordingView* child = addChild(*inner, CRect(10, 10, 30, 30), "child.");
    CDrawContext context(nullptr, nullptr, nullptr);
    context.offset = CPoint(3, 4);
    context.screenOffset = CPoint(100, 200);

    EXPECT_TRUE(frame->onWheel(&context, CPoint(45, 35), -1.0f));
    EXPECT_EQ(child->lastWhere, CPoint(25, 25));
    EXPECT_EQ(child->lastOffset, CPoint(23, 14));
    EXPECT_FLOAT_EQ(child->lastDistance, -1.0f);
    EXPECT_EQ(context.offset, CPoint(3, 4));
    EXPECT_EQ(context.screenOffset, CPoint(100, 200));
    EXPECT_FALSE(frame->onWheel(&context, CPoint(150, 5), 1.0f)); // over no child
}

TEST_F(ContainerTest, DragsMoveBetweenChildrenAndDropEndsTheDrag) {
    RecordingView* a = addChild(*frame, CRect(0, 0, 50, 50), "a.");
    RecordingView* b = addChild(*frame, CRect(60, 0, 110, 50), "b.");
    CDrawContext context(nullptr, nullptr, nullptr);
    auto* drag = reinterpret_cast<CDragContainer*>(a); // passed through, never looked into

    frame->onDragEnter(&context, drag, CPoint(10, 10));
    frame->onDragMove(&context, drag, CPoint(20, 10));
    frame->onDragMove(&context, drag, CPoint(70, 10));
    frame->onDragMove(&context, drag, CPoint(80, 10));
    EXPECT_TRUE(frame->onDrop(&context, drag, CPoint(80, 20)));
    EXPECT_EQ(journal, (std::vector<std::string>{"a.enter", "a.move", "a.leave", "b.enter",
                                                 "b.move", "b.drop", "b.leave"}));
    EXPECT_EQ(b->lastDrag, drag);
    EXPECT_EQ(b->lastWhere, CPoint(80, 20));

    journal.clear();
    frame->onDragLeave(&context, drag, CPoint(80, 20)); // the drop ended it: nobody to tell
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(frame->onDrop(&context, drag, CPoint(150, 80)));
}

TEST(ContainerWithoutFrame, HitsWheelAndDragsNeedAFrame) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 50, 50));
    auto* child = new RecordingView(CRect(0, 0, 50, 50));
    container->addView(child);
    CDrawContext context(nullptr, nullptr, nullptr);
    EXPECT_EQ(container->getViewAt(CPoint(5, 5)), nullptr);
    EXPECT_EQ(container->getViewUnderMouse(), nullptr);
    EXPECT_FALSE(container->onWheel(&context, CPoint(5, 5), 1.0f));
    container->onDragEnter(&context, nullptr, CPoint(5, 5));
    EXPECT_FALSE(container->onDrop(&context, nullptr, CPoint(5, 5)));
    EXPECT_TRUE(child->ownEvents.empty());
    child->setWantsFocus(true); // but no frame to give it the focus
    EXPECT_FALSE(container->advanceFocus(nullptr, false));
    container->release();
}

TEST_F(ContainerTest, HitSearchCountsEdgesAndGoesDeepIntoContainers) {
    auto* inner = new CViewContainer(CRect(100, 0, 200, 100));
    frame->addView(inner);
    RecordingView* plain = addChild(*frame, CRect(0, 0, 40, 40), "plain.");
    RecordingView* nested = addChild(*inner, CRect(10, 10, 20, 20), "nested.");
    EXPECT_EQ(frame->getViewAt(CPoint(40, 40)), plain);
    EXPECT_EQ(frame->getViewAt(CPoint(41, 40)), nullptr);
    EXPECT_EQ(frame->getViewAt(CPoint(115, 15)), inner);
    EXPECT_EQ(frame->getViewAt(CPoint(115, 15), true), nested);
    EXPECT_EQ(frame->getViewAt(CPoint(150, 50), true), nullptr);

    CPoint point(115, 15);
    nested->frameToLocal(point);
    EXPECT_EQ(point, CPoint(15, 15));
    nested->localToFrame(point);
    EXPECT_EQ(point, CPoint(115, 15));
}

TEST_F(ContainerTest, FocusAdvancesToTheNextViewThatWantsItIntoNestedContainers) {
    RecordingView* first = addChild(*frame, CRect(0, 0, 10, 10), "first.");
    RecordingView* skipped = addChild(*frame, CRect(0, 0, 10, 10), "skipped.");
    auto* inner = new CViewContainer(CRect(100, 0, 200, 100));
    frame->addView(inner);
    RecordingView* nested = addChild(*inner, CRect(0, 0, 10, 10), "nested.");
    first->setWantsFocus(true);
    nested->setWantsFocus(true);
    (void)skipped;

    EXPECT_TRUE(frame->CViewContainer::advanceFocus(first, false));
    EXPECT_EQ(frame->getFocusView(), nested);
    EXPECT_TRUE(frame->CViewContainer::advanceFocus(nullptr, true));
    EXPECT_EQ(frame->getFocusView(), nested);
    EXPECT_TRUE(frame->CViewContainer::advanceFocus(inner, true));
    EXPECT_EQ(frame->getFocusView(), first);
    EXPECT_FALSE(frame->CViewContainer::advanceFocus(first, true));
}

// A container at (10, 10), 40 by 30, blue, with a red child at inner (5, 5, 15, 15).
struct DrawingTest : ContainerTest {
    DrawingTest() : surface(80, 60, kGreen), container(new CViewContainer(CRect(10, 10, 50, 40))) {
        container->setBackgroundColor(kColorBlue);
        child = addChild(*container, CRect(5, 5, 15, 15), "child.");
    }
    ~DrawingTest() override { container->release(); }

    void expectPicture() {
        EXPECT_EQ(surface.pixel(9, 9), kGreen);
        EXPECT_EQ(surface.pixel(11, 11), kBlue); // the fill leaves the buffer's black edge
        EXPECT_EQ(surface.pixel(49, 39), kBlue);
        EXPECT_EQ(surface.pixel(50, 40), kGreen);
        EXPECT_EQ(surface.pixel(15, 15), kRed);
        EXPECT_EQ(surface.pixel(24, 24), kRed);
        EXPECT_EQ(surface.pixel(25, 25), kBlue);
    }

    GdiSurface surface;
    CViewContainer* container;
    RecordingView* child;
};

TEST_F(DrawingTest, DrawsBackgroundAndChildrenThroughTheBufferOrDirectly) {
    CDrawContext context(nullptr, surface.dc(), nullptr);
    container->draw(&context);
    expectPicture();
    EXPECT_FALSE(container->isDirty());

    GdiSurface direct(80, 60, kGreen);
    CDrawContext directContext(nullptr, direct.dc(), nullptr);
    container->setOffscreenDrawing(false);
    directContext.offset = CPoint(0, 0);
    container->draw(&directContext);
    EXPECT_EQ(directContext.offset, CPoint(0, 0));
    EXPECT_EQ(direct.pixel(15, 15), kRed);
    EXPECT_EQ(direct.pixel(12, 12), kBlue);
    EXPECT_EQ(direct.pixel(9, 9), kGreen);
}

TEST_F(DrawingTest, AClipCuttingTheContainerLeavesItsInsideWhole) {
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.setClipRect(CRect(20, 15, 45, 35));
    container->draw(&context);
    EXPECT_EQ(surface.count(RECT{20, 15, 45, 35}, kBlue), 25 * 20 - 5 * 10); // the child's
    EXPECT_EQ(surface.count(RECT{20, 15, 25, 25}, kRed), 5 * 10);
    EXPECT_EQ(surface.countOutside(RECT{20, 15, 45, 35}, kGreen), 80 * 60 - 25 * 20);
}

TEST_F(DrawingTest, TransparentContainerDrawsNoBackground) {
    container->setTransparency(true);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    container->setOffscreenDrawing(false);
    container->draw(&context);
    EXPECT_EQ(surface.pixel(12, 12), kGreen);
    EXPECT_EQ(surface.pixel(15, 15), kRed);
}

TEST_F(DrawingTest, DrawRectCopiesOnlyTheUpdateAreaAndKeepsPartlyDrawnChildrenDirty) {
    CDrawContext context(nullptr, surface.dc(), nullptr);
    child->setDirty(true);
    // A corner of the child only, further down than across: copied from where it was drawn.
    container->drawRect(&context, CRect(10, 13, 22, 20));
    EXPECT_EQ(surface.pixel(15, 15), kRed);
    EXPECT_EQ(surface.pixel(21, 19), kRed);
    EXPECT_EQ(surface.pixel(12, 14), kBlue);
    EXPECT_EQ(surface.pixel(12, 12), kGreen); // outside the update area: untouched
    EXPECT_EQ(surface.pixel(21, 21), kGreen);
    EXPECT_EQ(child->lastUpdateRect, CRect(0, 3, 12, 10));
    EXPECT_TRUE(child->isDirty());

    container->drawRect(&context, CRect(0, 0, 80, 60));
    expectPicture();
    EXPECT_FALSE(child->isDirty());
}

TEST_F(DrawingTest, DrawRectRedrawsAllOfANestedContainerInTheUpdateArea) {
    // At (22, 16) on the surface, wholly covered by its one child.
    auto* nested = new CViewContainer(CRect(12, 6, 36, 26));
    container->addView(nested);
    RecordingView* inside = addChild(*nested, CRect(0, 0, 24, 20), "inside.");
    CDrawContext context(nullptr, surface.dc(), nullptr);
    container->draw(&context);
    inside->colour = kColorYellow;
    container->drawRect(&context, CRect(24, 18, 44, 34));
    const COLORREF yellow = RGB(255, 255, 0);
    EXPECT_EQ(surface.count(RECT{24, 18, 44, 34}, yellow), 20 * 16);
    EXPECT_EQ(surface.pixel(23, 17), kRed); // drawn before, outside the update area
}

TEST_F(DrawingTest, UpdateRedrawsByMode) {
    CDrawContext context(nullptr, surface.dc(), nullptr);
    container->draw(&context);
    RecordingView* outside = addChild(*container, CRect(100, 100, 120, 120), "outside.");
    outside->setDirty(true);
    EXPECT_FALSE(container->isDirty()); // a dirty child wholly outside does not count
    child->draws = outside->draws = 0;

    container->update(&context);
    EXPECT_EQ(child->draws, 0);
    EXPECT_EQ(outside->draws, 0);

    child->setDirty(true);
    container->setMode(2);
    container->update(&context);
    EXPECT_EQ(child->draws, 0);

    container->setMode(kUpdateDirtyChildren);
    child->colour = kColorYellow;
    container->update(&context);
    EXPECT_EQ(child->draws, 1);
    EXPECT_EQ(outside->draws, 0);
    EXPECT_EQ(surface.pixel(15, 15), RGB(255, 255, 0));

    container->setMode(kUpdateWhole);
    container->setBackgroundColor(kColorBlack);
    container->update(&context);
    EXPECT_EQ(surface.pixel(12, 12), kBlack);
    EXPECT_FALSE(container->isDirty());
}

} // namespace
