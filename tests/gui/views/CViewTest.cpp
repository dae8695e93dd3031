#include "CView.h"

#include "CDrawContext.h"
#include "CFrame.h"
#include "GdiSurface.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An image that records how it is asked to draw.
class RecordingImage : public CBitmap {
public:
    RecordingImage() : CBitmap(8, 8) {}

    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset) override {
        record("draw", context, rect, offset);
    }
    void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) override {
        record("drawTransparent", context, rect, offset);
    }

    struct Call {
        std::string operation;
        CDrawContext* context;
        CRect rect;
        CPoint offset;
    };
    std::vector<Call> calls;

private:
    void record(const char* operation, CDrawContext* context, const CRect& rect,
                const CPoint& offset) {
        calls.push_back({operation, context, rect, offset});
    }
};

// A view whose dirty flag and redraw requests can be watched.
class WatchedView : public CView {
public:
    using CView::CView;

    void setDirty(bool flag) override {
        dirtyCalls.push_back(flag);
        CView::setDirty(flag);
    }
    void redrawRect(CDrawContext* context, const CRect& rect) override {
        redraws.push_back({context, rect});
        CView::redrawRect(context, rect);
    }
    using CView::onWheel;
    bool onWheel(CDrawContext*, const CPoint& where, float distance) override {
        wheel.push_back({where, distance});
        return true;
    }

    struct Redraw {
        CDrawContext* context;
        CRect rect;
    };
    struct Wheel {
        CPoint where;
        float distance;
    };
    std::vector<bool> dirtyCalls;
    std::vector<Redraw> redraws;
    std::vector<Wheel> wheel;
};

// A frame that records the redraws reaching it.
class WatchedFrame : public CFrame {
public:
    explicit WatchedFrame(const CRect& size) : CFrame(size, nullptr, nullptr) {}
    void drawRect(CDrawContext* context, const CRect& rect) override {
        drawRects.push_back({context, rect});
    }
    std::vector<WatchedView::Redraw> drawRects;
};

} // namespace

TEST(CView, ConstructionGivesAPlainCleanView) {
    CView view(CRect(16, 16, 96, 41));
    CRect rect;
    EXPECT_EQ(view.getViewSize(rect), CRect(16, 16, 96, 41));
    EXPECT_EQ(view.getMouseableArea(rect), CRect(16, 16, 96, 41));
    EXPECT_EQ(view.getReferenceCount(), 1);
    EXPECT_FALSE(view.isDirty());
    EXPECT_TRUE(view.getMouseEnabled());
    EXPECT_FALSE(view.getTransparency());
    EXPECT_FALSE(view.wantsFocus());
    EXPECT_EQ(view.getBackground(), nullptr);
    EXPECT_EQ(view.getParentFrame(), nullptr);
    EXPECT_EQ(view.getParentView(), nullptr);
    EXPECT_EQ(view.getEditor(), nullptr);
}

TEST(CView, PlainOperationsAnswerNotHandled) {
    CView view(CRect(0, 0, 10, 10));
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(view.onKeyDown(key), -1);
    EXPECT_EQ(view.onKeyUp(key), -1);
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    EXPECT_FALSE(view.onWheel(&context, CPoint(1, 1), 0, 1.0f));
    EXPECT_FALSE(view.onWheel(&context, CPoint(1, 1), 1, 1.0f));
    EXPECT_FALSE(view.onWheel(&context, CPoint(1, 1), 1.0f));
    EXPECT_FALSE(view.onDrop(&context, nullptr, CPoint(1, 1)));
    EXPECT_EQ(view.notify(&view, kMsgCheckIfViewContainer), 0);
    EXPECT_TRUE(view.attached(nullptr));
    EXPECT_TRUE(view.removed(nullptr));
}

TEST(CView, WheelWithAnAxisDropsTheAxis) {
    WatchedView view(CRect(0, 0, 10, 10));
    EXPECT_TRUE(view.onWheel(nullptr, CPoint(3, 4), 0, 2.5f));
    EXPECT_TRUE(view.onWheel(nullptr, CPoint(5, 6), 1, -1.0f));
    ASSERT_EQ(view.wheel.size(), 2u);
    EXPECT_EQ(view.wheel[0].where, CPoint(3, 4));
    EXPECT_EQ(view.wheel[0].distance, 2.5f);
    EXPECT_EQ(view.wheel[1].where, CPoint(5, 6));
    EXPECT_EQ(view.wheel[1].distance, -1.0f);
}

TEST(CView, TypeQuestionsCompareTheWholeName) {
    CView view(CRect(0, 0, 1, 1));
    EXPECT_TRUE(view.isTypeOf("CView"));
    EXPECT_FALSE(view.isTypeOf("cview"));
    EXPECT_FALSE(view.isTypeOf("CViewContainer"));
    EXPECT_FALSE(view.isTypeOf("CVie"));
    EXPECT_FALSE(view.isTypeOf(""));
}

TEST(CView, UpdatesAndHitsIncludeTheEdges) {
    CView view(CRect(10, 10, 20, 20));
    EXPECT_TRUE(view.checkUpdate(CRect(20, 20, 30, 30)));
    EXPECT_TRUE(view.checkUpdate(CRect(0, 0, 10, 10)));
    EXPECT_FALSE(view.checkUpdate(CRect(0, 0, 9, 9)));
    EXPECT_FALSE(view.checkUpdate(CRect(21, 10, 30, 20)));

    EXPECT_TRUE(view.hitTest(CPoint(20, 20)));
    EXPECT_TRUE(view.hitTest(CPoint(10, 10)));
    EXPECT_FALSE(view.hitTest(CPoint(21, 15)));

    // The mouseable area is separate from the size and is no reason to redraw.
    view.setMouseableArea(CRect(0, 0, 5, 5));
    EXPECT_FALSE(view.isDirty());
    EXPECT_TRUE(view.hitTest(CPoint(5, 5)));
    EXPECT_FALSE(view.hitTest(CPoint(15, 15)));

    view.setViewSize(CRect(1, 2, 3, 4));
    EXPECT_TRUE(view.isDirty());
    CRect rect;
    EXPECT_EQ(view.getViewSize(rect), CRect(1, 2, 3, 4));
    EXPECT_EQ(view.getMouseableArea(rect), CRect(0, 0, 5, 5));
}

TEST(CView, BackgroundHoldsOneReference) {
    auto* first = new RecordingImage;
    auto* second = new RecordingImage;
    second->retain(); // the test's own, to watch the count after the view lets go
    {
        WatchedView view(CRect(0, 0, 10, 10));
        view.setBackground(first);
        EXPECT_EQ(first->getReferenceCount(), 2);
        EXPECT_TRUE(view.isDirty());
        EXPECT_EQ(view.getBackground(), first);

        view.setDirty(false);
        view.setBackground(first);
        EXPECT_EQ(first->getReferenceCount(), 2);
        EXPECT_TRUE(view.isDirty());

        // The view alone holds the image and sets it again: it must survive.
        first->release();
        EXPECT_EQ(first->getReferenceCount(), 1);
        view.setBackground(first);
        EXPECT_EQ(first->getReferenceCount(), 1);
        EXPECT_EQ(view.getBackground(), first);

        view.setBackground(second);
        EXPECT_EQ(second->getReferenceCount(), 3);
        view.setBackground(nullptr);
        EXPECT_EQ(second->getReferenceCount(), 2);
        view.setBackground(second);
    }
    EXPECT_EQ(second->getReferenceCount(), 2);
    second->release();
    second->release();
}

TEST(CView, DrawPaintsTheBackgroundIntoTheViewSizeAndCleansTheView) {
    auto* image = new RecordingImage;
    WatchedView view(CRect(4, 5, 14, 25));
    view.setBackground(image);
    image->release();
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);

    view.draw(&context);
    view.setTransparency(true);
    view.setDirty(true);
    view.drawRect(&context, CRect(0, 0, 1, 1));

    ASSERT_EQ(image->calls.size(), 2u);
    EXPECT_EQ(image->calls[0].operation, "draw");
    EXPECT_EQ(image->calls[0].context, &context);
    EXPECT_EQ(image->calls[0].rect, CRect(4, 5, 14, 25));
    EXPECT_EQ(image->calls[0].offset, CPoint(0, 0));
    EXPECT_EQ(image->calls[1].operation, "drawTransparent");
    EXPECT_EQ(image->calls[1].rect, CRect(4, 5, 14, 25));
    EXPECT_FALSE(view.isDirty());
    // `draw` cleans through the virtual setter, so subclasses keep their own dirty rules.
    EXPECT_EQ(view.dirtyCalls.back(), false);
}

TEST(CView, UpdateRedrawsOnlyADirtyView) {
    auto* image = new RecordingImage;
    auto* parent = new WatchedView(CRect(0, 0, 100, 100));
    WatchedView view(CRect(10, 10, 20, 20));
    view.setBackground(image);
    image->release();
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);

    view.setDirty(false);
    view.update(&context);
    EXPECT_TRUE(image->calls.empty());
    EXPECT_TRUE(view.redraws.empty());

    // Without a frame and without a context there is nowhere to draw.
    view.setDirty(true);
    view.update(nullptr);
    EXPECT_FALSE(view.isDirty());
    EXPECT_TRUE(image->calls.empty());

    // With a context the request goes up the parent chain.
    view.setParentView(parent);
    view.setDirty(true);
    view.update(&context);
    EXPECT_FALSE(view.isDirty());
    ASSERT_EQ(parent->redraws.size(), 1u);
    EXPECT_EQ(parent->redraws[0].context, &context);
    EXPECT_EQ(parent->redraws[0].rect, CRect(10, 10, 20, 20));
    view.setParentView(nullptr);
    parent->release();
}

TEST(CView, UpdateWithoutAContextAsksTheFrameToDrawTheView) {
    CFrame frame(CRect(0, 0, 50, 50), nullptr, nullptr);
    auto* image = new RecordingImage;
    auto* view = new CView(CRect(10, 10, 20, 20));
    view->setBackground(image);
    image->release();
    frame.addView(view);
    EXPECT_EQ(view->getParentFrame(), &frame);
    EXPECT_TRUE(view->isDirty());

    view->update(nullptr);
    EXPECT_FALSE(view->isDirty());
    ASSERT_EQ(image->calls.size(), 1u);
    EXPECT_EQ(image->calls[0].operation, "draw");
    ASSERT_NE(image->calls[0].context, nullptr);
    EXPECT_EQ(image->calls[0].rect, CRect(10, 10, 20, 20));
    EXPECT_EQ(view->getEditor(), nullptr);
}

TEST(CView, RedrawRequestsClimbToTheParentOrTheFrame) {
    WatchedFrame frame(CRect(0, 0, 50, 50));
    WatchedView view(CRect(1, 2, 3, 4));
    view.redrawRect(nullptr, CRect(0, 0, 5, 5)); // no parent: nothing to reach

    view.setParentFrame(&frame);
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    view.redrawRect(&context, CRect(5, 6, 7, 8));
    ASSERT_EQ(frame.drawRects.size(), 1u);
    EXPECT_EQ(frame.drawRects[0].context, &context);
    EXPECT_EQ(frame.drawRects[0].rect, CRect(5, 6, 7, 8));

    WatchedView parent(CRect(0, 0, 40, 40));
    view.setParentView(&parent);
    view.redrawRect(&context, CRect(9, 9, 10, 10));
    EXPECT_EQ(frame.drawRects.size(), 1u);
    ASSERT_EQ(parent.redraws.size(), 1u);
    EXPECT_EQ(parent.redraws[0].rect, CRect(9, 9, 10, 10));
}

TEST(CView, MouseLocationIsTheCursorRelativeToTheContextAndEachContainer) {
    ASSERT_TRUE(placeCursor(200, 150));

    CView view(CRect(0, 0, 10, 10));
    CPoint point(-7, -8);
    view.getMouseLocation(nullptr, point);
    EXPECT_EQ(point, CPoint(-7, -8));

    CDrawContext context(nullptr, nullptr, nullptr);
    context.screenOffset = CPoint(30, 20);
    context.offset = CPoint(3, 4);
    view.getMouseLocation(&context, point);
    EXPECT_EQ(point, CPoint(170, 130));

    // A plain parent is no container: the view answers for itself.
    CView plainParent(CRect(50, 50, 60, 60));
    view.setParentView(&plainParent);
    view.getMouseLocation(&context, point);
    EXPECT_EQ(point, CPoint(170, 130));

    // Each container level subtracts its own origin; the context comes back unchanged.
    CFrame frame(CRect(0, 0, 400, 300), nullptr, nullptr);
    auto* inner = new CViewContainer(CRect(10, 5, 110, 105));
    auto* child = new CView(CRect(1, 1, 9, 9));
    frame.addView(inner); // the containers take over the creator's references
    inner->addView(child);
    child->getMouseLocation(&context, point);
    EXPECT_EQ(point, CPoint(160, 125));
    EXPECT_EQ(context.screenOffset, CPoint(30, 20));
    EXPECT_EQ(context.offset, CPoint(3, 4));
    view.setParentView(nullptr);
}

TEST(CView, CoordinatesConvertThroughTheContainersAbove) {
    CFrame frame(CRect(3, 4, 403, 304), nullptr, nullptr);
    auto* inner = new CViewContainer(CRect(10, 20, 110, 120));
    auto* child = new CView(CRect(1, 1, 9, 9));
    frame.addView(inner);
    inner->addView(child); // the containers take over the creator's references

    CPoint point(50, 60);
    EXPECT_EQ(&child->frameToLocal(point), &point);
    EXPECT_EQ(point, CPoint(37, 36));
    EXPECT_EQ(&child->localToFrame(point), &point);
    EXPECT_EQ(point, CPoint(50, 60));

    CView parentless(CRect(5, 5, 10, 10));
    parentless.frameToLocal(point);
    EXPECT_EQ(point, CPoint(50, 60));
    CView plainParent(CRect(5, 5, 10, 10));
    parentless.setParentView(&plainParent);
    parentless.localToFrame(point);
    EXPECT_EQ(point, CPoint(50, 60));
}
