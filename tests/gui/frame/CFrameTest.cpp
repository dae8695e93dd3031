#include "CFrame.h"

#include "CDrawContext.h"
#include "GdiSurface.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A frame given a window of the test's own, as its window class would give it one.
class WindowedFrame : public CFrame {
public:
    WindowedFrame(const CRect& size, HWND window) : CFrame(size, nullptr, nullptr) {
        frameWindow = window;
    }
    ~WindowedFrame() override { frameWindow = nullptr; } // the test owns the window
};

class FocusView : public CView {
public:
    FocusView(const CRect& size, bool wanting) : CView(size) { setWantsFocus(wanting); }
    void loseFocus(CDrawContext* context) override { lostFocus.push_back(context); }
    std::vector<CDrawContext*> lostFocus;
};

} // namespace

TEST(CFrame, AFrameWithoutAParentWindowHasNoWindow) {
    CFrame frame(CRect(0, 0, 512, 256), nullptr, nullptr);
    EXPECT_EQ(frame.getParentFrame(), &frame);
    EXPECT_EQ(frame.getSystemWindow(), nullptr);
    EXPECT_EQ(frame.getOuterWindow(), nullptr);
    EXPECT_EQ(frame.getEditor(), nullptr);
    EXPECT_TRUE(frame.isOpen());
    EXPECT_TRUE(frame.isDirty());
    EXPECT_FALSE(frame.isDropActive());
    EXPECT_FALSE(frame.open());
    EXPECT_TRUE(frame.setDropActive(false));
    EXPECT_FALSE(frame.setDropActive(true));
    EXPECT_TRUE(frame.isTypeOf("CFrame"));
    EXPECT_TRUE(frame.isTypeOf("CViewContainer"));
    EXPECT_FALSE(frame.isTypeOf("CControl"));

    // The knob mode is one value for the whole process.
    CFrame other(CRect(0, 0, 1, 1), nullptr, nullptr);
    knobMode = 2;
    EXPECT_EQ(frame.getKnobMode(), 2);
    EXPECT_EQ(other.getKnobMode(), 2);
    knobMode = 0;
}

TEST(CFrame, DrawContextsWithoutAWindowDrawNowhere) {
    CFrame frame(CRect(0, 0, 512, 256), nullptr, nullptr);
    CDrawContext* context = frame.createDrawContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->getDeviceContext(), nullptr);
    EXPECT_EQ(context->getFrame(), &frame);
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 512, 256));
    EXPECT_EQ(context->getReferenceCount(), 1);
    context->release();
}

TEST(CFrame, DrawContextsOnTheFrameWindowTakeAndGiveBackItsDeviceContext) {
    TestWindow window(40, 30, 64, 48);
    WindowedFrame frame(CRect(0, 0, 64, 48), window.get());
    EXPECT_EQ(frame.getSystemWindow(), window.get());
    EXPECT_EQ(frame.getOuterWindow(), window.get());

    CDrawContext* context = frame.createDrawContext();
    ASSERT_NE(context, nullptr);
    const HDC taken = context->getDeviceContext();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(WindowFromDC(taken), window.get());
    EXPECT_EQ(context->getWindow(), window.get());
    EXPECT_EQ(context->screenOffset, CPoint(40, 30));
    context->release();
    const HDC again = GetDC(window.get());
    EXPECT_EQ(again, taken);
    ReleaseDC(window.get(), again);

    // The current location is the cursor relative to the frame window.
    ASSERT_TRUE(placeCursor(100, 90));
    CPoint where;
    EXPECT_TRUE(frame.getCurrentLocation(where));
    EXPECT_EQ(where, CPoint(60, 60));
}

TEST(CFrame, ContainerListHoldsOneReferencePerEntry) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* twice = new CView(CRect(0, 0, 10, 10));
    auto* other = new CView(CRect(20, 20, 30, 30));
    twice->retain(); // the test's own, to watch the count after the frame lets go
    frame.addView(twice);
    frame.addView(other, CRect(21, 21, 29, 29), false);
    frame.addView(twice);
    frame.addView(nullptr);
    EXPECT_EQ(frame.getViewCount(), 3);
    EXPECT_EQ(twice->getReferenceCount(), 4);
    EXPECT_EQ(frame.getView(0), twice);
    EXPECT_EQ(frame.getView(1), other);
    EXPECT_EQ(frame.getView(2), twice);
    EXPECT_EQ(frame.getView(-1), nullptr);
    EXPECT_EQ(frame.getView(3), nullptr);
    EXPECT_EQ(other->getParentView(), &frame);
    EXPECT_EQ(other->getParentFrame(), &frame);
    EXPECT_FALSE(other->getMouseEnabled());
    CRect area;
    EXPECT_EQ(other->getMouseableArea(area), CRect(21, 21, 29, 29));
    EXPECT_TRUE(other->isDirty());

    // Only the first entry goes; with release the creator's reference goes too.
    frame.removeView(twice, true);
    EXPECT_EQ(frame.getViewCount(), 2);
    EXPECT_EQ(frame.getView(0), other);
    EXPECT_EQ(frame.getView(1), twice);
    EXPECT_EQ(twice->getReferenceCount(), 2);
    EXPECT_TRUE(frame.isChild(twice));

    frame.removeView(twice, false);
    EXPECT_FALSE(frame.isChild(twice));
    EXPECT_EQ(twice->getReferenceCount(), 1);
    EXPECT_EQ(frame.getViewCount(), 1);
    frame.addView(twice);
    frame.removeAll(false);
    EXPECT_EQ(twice->getReferenceCount(), 1);
    EXPECT_EQ(frame.getViewCount(), 0);
    EXPECT_EQ(frame.getView(0), nullptr);
    frame.addView(twice); // handed over: the frame's destruction releases both references
}

TEST(CFrame, FocusMovesBetweenViewsAndMarksThoseThatWantIt) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* wanting = new FocusView(CRect(0, 0, 10, 10), true);
    auto* indifferent = new FocusView(CRect(10, 0, 20, 10), false);
    frame.addView(wanting);
    frame.addView(indifferent);
    wanting->setDirty(false);
    indifferent->setDirty(false);

    frame.setFocusView(wanting);
    EXPECT_EQ(frame.getFocusView(), wanting);
    EXPECT_TRUE(wanting->isDirty());
    wanting->setDirty(false);

    frame.setFocusView(indifferent);
    EXPECT_FALSE(indifferent->isDirty());
    ASSERT_EQ(wanting->lostFocus.size(), 1u);
    EXPECT_EQ(wanting->lostFocus[0], nullptr);
    EXPECT_TRUE(wanting->isDirty());

    // Removing the focus view clears the focus, even from a container it is not in.
    CView stranger(CRect(0, 0, 1, 1));
    frame.setFocusView(&stranger);
    frame.removeView(&stranger, false);
    EXPECT_EQ(frame.getFocusView(), nullptr);
    EXPECT_EQ(indifferent->lostFocus.size(), 1u);
}

TEST(CFrame, ModalViewIsAChildThatOnlyOneViewCanBe) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* first = new CView(CRect(0, 0, 10, 10));
    auto* second = new CView(CRect(0, 0, 10, 10));
    EXPECT_TRUE(frame.setModalView(first));
    EXPECT_FALSE(frame.setModalView(second));
    EXPECT_EQ(frame.getModalView(), first);
    EXPECT_TRUE(frame.isChild(first));
    EXPECT_FALSE(frame.isChild(second));
    EXPECT_EQ(first->getReferenceCount(), 2);

    EXPECT_TRUE(frame.setModalView(nullptr));
    EXPECT_EQ(frame.getModalView(), nullptr);
    EXPECT_FALSE(frame.isChild(first));
    EXPECT_EQ(first->getReferenceCount(), 1);
    first->release();
    second->release();
}

TEST(CFrame, InvalidateMarksChildrenThatTouchTheRectangle) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* touching = new CView(CRect(10, 10, 20, 20));
    auto* apart = new CView(CRect(21, 21, 30, 30));
    frame.addView(touching);
    frame.addView(apart);
    touching->setDirty(false);
    apart->setDirty(false);
    frame.invalidate(CRect(0, 0, 10, 10));
    EXPECT_TRUE(touching->isDirty());
    EXPECT_FALSE(apart->isDirty());
}
