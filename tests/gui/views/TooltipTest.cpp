#include "CStepSwitch.h"

#include "ControlInFrame.h"

#include <string>

namespace {

// A pop-up window as the screen shows it.
struct OnScreen {
    bool topLevel = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    Pixel inside = 0; // a pixel near its right edge, halfway down, as the window shows it
};

struct TooltipTest : ControlInFrame {
    TooltipTest() {
        if (!frame) return;
        view = place(new CStepSwitch(CRect(10, 10, 60, 30), 2, &journal, 3));
        view->setTooltipText("Gain in decibels");
        frame->stopClockAt(1000);
    }

#if defined(_WIN32)
    // Moves the real pointer to `at` of the window; the host idles after.
    void hover(Spot at) {
        const RECT screen = host.screenRect();
        ASSERT_TRUE(placeCursor(screen.left + at.x, screen.top + at.y));
        idleAt(frame->getTicks());
    }
    void idleAt(std::uint32_t ticks) {
        frame->stopClockAt(ticks);
        pumpMessages();
        frame->idle();
        pumpMessages();
    }
    Spot onScreen(Spot at) {
        const RECT screen = host.screenRect();
        return {screen.left + at.x, screen.top + at.y};
    }
    OnScreen tip() {
        auto window = static_cast<HWND>(frame->tooltips().tipWindow());
        if (!window) return OnScreen{};
        RECT area{};
        GetWindowRect(window, &area);
        OnScreen seen{IsWindowVisible(window) && GetAncestor(window, GA_PARENT) == GetDesktopWindow(), area.left,
                      area.top, area.right, area.bottom};
        seen.inside = windowPixel(window, area.right - area.left - 3, (area.bottom - area.top) / 2);
        return seen;
    }
    // Windows reports the mouse's leave from a timer of its own: the host idles until the
    // tip is gone, or long past that timer.
    void idleUntilTipGone() {
        for (int round = 0; round < 100 && frame->tooltips().tipWindow(); ++round) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            idleAt(frame->getTicks());
        }
    }
#else
    void hover(Spot at) {
        host.pointerTo(at.x, at.y);
        idle();
    }
    void idleAt(std::uint32_t ticks) {
        frame->stopClockAt(ticks);
        idle();
    }
    Spot onScreen(Spot at) { return at; }
    void idleUntilTipGone() { idle(); }
    OnScreen tip() {
        const auto window = reinterpret_cast<Window>(frame->tooltips().tipWindow());
        XWindowAttributes attributes{};
        if (!window || !XGetWindowAttributes(host.display, window, &attributes)) return OnScreen{};
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(host.display, window, &root, &parent, &children, &count);
        if (children) XFree(children);
        OnScreen seen{parent == root && attributes.map_state == IsViewable, attributes.x, attributes.y,
                      attributes.x + attributes.width, attributes.y + attributes.height};
        XImage* image = XGetImage(host.display, root, seen.right - 3, (seen.top + seen.bottom) / 2, 1, 1, AllPlanes,
                                  ZPixmap);
        if (image) seen.inside = XGetPixel(image, 0, 0) & 0xFFFFFF;
        if (image) XDestroyImage(image);
        return seen;
    }
#endif

    CStepSwitch* view = nullptr;
};

TEST_F(TooltipTest, ATipShowsOnceTheMouseRestsOnAViewAndGoesOnLeaveClickAndKey) {
    hover({40, 30});
    idleAt(1499);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr) << "the mouse has not rested long enough";
    idleAt(1500);
    const OnScreen shown = tip();
    EXPECT_TRUE(shown.topLevel);
    const Spot pointer = onScreen({40, 30});
    EXPECT_EQ(shown.left, pointer.x);
    EXPECT_GT(shown.top, pointer.y);
    EXPECT_LT(shown.top, pointer.y + 40);
    EXPECT_EQ(shown.inside, rgb(255, 255, 225));
    EXPECT_EQ(frame->tooltips().tipText(), "Gain in decibels");

    // Out of the frame into the host's window.
    hover({250, 150});
    idleUntilTipGone();
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr);
    idleAt(3000);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr) << "no view under the mouse";

    hover({42, 30});
    idleAt(3500);
    ASSERT_NE(frame->tooltips().tipWindow(), nullptr);
    press({42, 30});
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr);
    idleAt(5000);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr) << "after a click the mouse must move again";

    hover({44, 30});
    idleAt(5500);
    ASSERT_NE(frame->tooltips().tipWindow(), nullptr);
    VstKeyCode key{'a', 0, 0};
    frame->onKeyDown(key);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr);
}

#if defined(_WIN32)
// A host may destroy its window before it closes the editor, and idle in between.
TEST_F(TooltipTest, NoTipShowsOnceTheHostDestroyedItsWindow) {
    hover({40, 30});
    DestroyWindow(host.get());
    idleAt(2000);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr);
}
#endif

// A tip shown at the old scale would keep its size and place over the window resized: it goes,
// and the next is drawn at the new scale.
TEST_F(TooltipTest, AScaleChangeDismissesTheTipAndTheNextIsThatMuchLarger) {
    hover({40, 30});
    idleAt(1500);
    const OnScreen single = tip();
    ASSERT_TRUE(single.topLevel);
    frame->setScale(2);
    EXPECT_EQ(frame->tooltips().tipWindow(), nullptr);
    hover({80, 60}); // the same spot of the view
    idleAt(2500);
    const OnScreen doubled = tip();
    ASSERT_TRUE(doubled.topLevel);
    // Glyphs hinted at each size are not exactly twice as wide.
    const int width = single.right - single.left;
    EXPECT_NEAR(doubled.right - doubled.left, 2 * width, width / 10);
    EXPECT_NEAR(doubled.bottom - doubled.top, 2 * (single.bottom - single.top), 2);
}

} // namespace
