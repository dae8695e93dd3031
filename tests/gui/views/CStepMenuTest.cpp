#include "CStepMenu.h"
#include "CToggle.h"

#include "ControlInFrame.h"

#include <string>

namespace {

// The menu sits 80 by 16 at (10, 60) of the panel, (20, 70) of the window, near the bottom of a
// host window that ends 130 pixels further down: eight rows reach well past it.
const CRect kMenuRect(10, 60, 90, 76);
const Spot kMenuSpot{50, 78};
const std::vector<std::string> kItems{"Sine", "Triangle", "Saw", "Square", "Pulse", "Noise", "Sample", "Off"};
constexpr int kLast = 7;

// One thing the user does while the list shows.
enum class Act { up, end, home, enter, escape, clickRow, clickOutside, letter };
struct Step {
    Act act;
    int row = 0; // of a click on a row; for a letter, the capital
};

// The list as it showed, on the screen.
struct Seen {
    bool shown = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool topLevel = false;
    // Its last row is there to be seen, though no window of the host's reaches that far.
    bool lastRowVisible = false;
};

struct StepMenuTest : ControlInFrame {
    StepMenuTest() {
        if (frame) menu = place(new CStepMenu(kMenuRect, kItems, &journal, 7));
    }

    // A point of row `row` of the list seen.
    static Spot rowSpot(const Seen& list, int row) {
        const int rows = static_cast<int>(kItems.size());
        return {list.left + 20, list.top + (list.bottom - list.top) * (2 * row + 1) / (2 * rows)};
    }

#if defined(_WIN32)
    // The system's menu holds the call that opens it: the steps run from a timer inside the
    // menu's own loop, one at each tick once the menu shows.
    Seen choose(const std::function<void()>& opener, std::vector<Step> steps) {
        script = {std::move(steps), 0, Seen{}, this};
        active = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, &StepMenuTest::tick);
        opener();
        KillTimer(nullptr, timer);
        active = nullptr;
        pumpMessages();
        return script.seen;
    }
    void click(Spot at) {
        const RECT screen = host.screenRect();
        ASSERT_TRUE(placeCursor(screen.left + at.x, screen.top + at.y));
        // The press opens the list; the list's own loop sees the release, as it would the user's.
        sendButton(MOUSEEVENTF_LEFTDOWN);
        pumpMessages();
        if (GetAsyncKeyState(VK_LBUTTON) < 0) sendButton(MOUSEEVENTF_LEFTUP);
        pumpMessages();
    }
    Spot hostSpot(int x, int y) const {
        const RECT screen = host.screenRect();
        return {x - screen.left, y - screen.top};
    }

    struct Script {
        std::vector<Step> steps;
        std::size_t next;
        Seen seen;
        StepMenuTest* test;
    };
    static inline Script* active = nullptr;
    Script script;

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND list = FindWindowA("#32768", nullptr);
        if (!active || !list || !IsWindowVisible(list) || active->next >= active->steps.size()) return;
        if (!active->seen.shown) active->seen = look(list, active->test->host.get());
        if (GetAsyncKeyState(VK_LBUTTON) < 0) {
            sendButton(MOUSEEVENTF_LEFTUP);
            return;
        }
        act(active->steps[active->next++], active->seen);
    }
    static Seen look(HWND list, HWND hostWindow) {
        RECT area{};
        GetWindowRect(list, &area);
        Seen seen{true, area.left, area.top, area.right, area.bottom};
        seen.topLevel = GetAncestor(list, GA_PARENT) == GetDesktopWindow() && GetAncestor(list, GA_ROOT) != hostWindow;
        seen.lastRowVisible = WindowFromPoint(POINT{area.right - 4, area.bottom - 5}) == list;
        return seen;
    }
    static void act(const Step& step, const Seen& list) {
        auto press = [](WORD key) {
            sendKey(key, true);
            sendKey(key, false);
        };
        auto clickScreen = [](int x, int y) {
            placeCursor(x, y);
            sendButton(MOUSEEVENTF_LEFTDOWN);
            sendButton(MOUSEEVENTF_LEFTUP);
        };
        switch (step.act) {
        case Act::up: press(VK_UP); break;
        case Act::end: press(VK_END); break;
        case Act::home: press(VK_HOME); break;
        case Act::enter: press(VK_RETURN); break;
        case Act::escape: press(VK_ESCAPE); break;
        case Act::letter: press(static_cast<WORD>(step.row)); break;
        case Act::clickRow: {
            const Spot at = rowSpot(list, step.row);
            clickScreen(at.x, at.y);
            break;
        }
        case Act::clickOutside: clickScreen(list.right + 40, list.top - 40); break;
        }
    }
    HostWindow& hostWindow() { return host; }
#else
    // The list lives on across the host's idles: the steps come as real events between them.
    Seen choose(const std::function<void()>& opener, const std::vector<Step>& steps) {
        opener();
        Seen seen = look();
        for (const Step& step : steps) act(step, seen);
        return seen;
    }
    void click(Spot at) { press(at); }

    Seen look() {
        const auto list = reinterpret_cast<Window>(menu->getListWindow());
        XWindowAttributes attributes{};
        if (!list || !XGetWindowAttributes(host.display, list, &attributes)) return Seen{};
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(host.display, list, &root, &parent, &children, &count);
        if (children) XFree(children);
        Seen seen{true, attributes.x, attributes.y, attributes.x + attributes.width, attributes.y + attributes.height};
        seen.topLevel = parent == root && attributes.override_redirect && attributes.map_state == IsViewable;
        // Read from the screen itself: a window clipped by the host's would show the root there.
        // A point past the screen's edge cannot be read, nor seen.
        const int screen = DefaultScreen(host.display);
        const bool onScreen = seen.right - 4 < DisplayWidth(host.display, screen) &&
                              seen.bottom - 5 < DisplayHeight(host.display, screen);
        XImage* image = onScreen ? XGetImage(host.display, root, seen.right - 4, seen.bottom - 5, 1, 1, AllPlanes, ZPixmap)
                                 : nullptr;
        seen.lastRowVisible = image && (XGetPixel(image, 0, 0) & 0xFFFFFF) == 0xF5F5F5;
        if (image) XDestroyImage(image);
        return seen;
    }
    void act(const Step& step, const Seen& list) {
        auto tap = [&](KeySym key) {
            host.key(key, true);
            host.key(key, false);
            idle();
        };
        auto clickScreen = [&](int x, int y) {
            host.pointerTo(x, y);
            idle();
            host.button(1, true);
            idle();
            host.button(1, false);
            idle();
        };
        switch (step.act) {
        case Act::up: tap(XK_Up); break;
        case Act::end: tap(XK_End); break;
        case Act::home: tap(XK_Home); break;
        case Act::enter: tap(XK_Return); break;
        case Act::escape: tap(XK_Escape); break;
        case Act::letter: tap(static_cast<KeySym>(XK_a + step.row - 'A')); break;
        case Act::clickRow: {
            const Spot at = rowSpot(list, step.row);
            clickScreen(at.x, at.y);
            break;
        }
        case Act::clickOutside: clickScreen(list.right + 40, list.top - 40); break;
        }
    }
#endif

    // Where the window's point `at` lies on the screen.
    Spot onScreen(Spot at) {
#if defined(_WIN32)
        const RECT screen = host.screenRect();
        return {screen.left + at.x, screen.top + at.y};
#else
        return at;
#endif
    }

    CStepMenu* menu = nullptr;
};

TEST_F(StepMenuTest, AClickOpensTheListWholeBelowTheControlAndAClickOnAnItemChoosesIt) {
    const Seen list = choose([&] { click(kMenuSpot); }, {{Act::clickRow, 5}});
    ASSERT_TRUE(list.shown);
    const Spot corner = onScreen({20, 86});
    EXPECT_EQ(list.left, corner.x);
    EXPECT_EQ(list.top, corner.y);
    EXPECT_GT(list.bottom, onScreen({0, 200}).y) << "longer than the host's window reaches";
    EXPECT_TRUE(list.topLevel);
    EXPECT_TRUE(list.lastRowVisible);
    EXPECT_EQ(menu->getListWindow(), nullptr);
    EXPECT_EQ(menu->position(), 5);
    EXPECT_EQ(journal.values, (std::vector<float>{5.0f / kLast}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
    EXPECT_FALSE(menu->isPressed()) << "the list took the release, yet the press is over";
}

TEST_F(StepMenuTest, KeysChooseInTheListWhileEscapeAndAClickOutsideChooseNothing) {
    auto clickOpens = [&] { click(kMenuSpot); };
    choose(clickOpens, {{Act::end}, {Act::up}, {Act::enter}});
    EXPECT_EQ(menu->position(), 6);
    choose(clickOpens, {{Act::home}, {Act::escape}});
    choose(clickOpens, {{Act::home}, {Act::clickOutside}});
    EXPECT_EQ(menu->position(), 6);
    EXPECT_EQ(menu->getListWindow(), nullptr);
    EXPECT_EQ(journal.values, (std::vector<float>{6.0f / kLast}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
}

// An ampersand in an item is part of its text, not a mark of a key that chooses it.
TEST_F(StepMenuTest, AnAmpersandInAnItemIsTextNotAKeyThatChoosesIt) {
    menu->setItems({"Stereo", "L&R"});
    choose([&] { click(kMenuSpot); }, {{Act::letter, 'R'}, {Act::escape}});
    EXPECT_EQ(menu->position(), 0);
    EXPECT_TRUE(editor.edits.empty());
}

// Focused, Down and Up step to the next and the previous item, one edit each and never past
// the ends; Enter opens the list.
TEST_F(StepMenuTest, TheFocusedMenuStepsWithTheArrowsAndOpensWithEnter) {
    VstKeyCode tab{0, VKEY_TAB, 0}, down{0, VKEY_DOWN, 0}, up{0, VKEY_UP, 0}, enter{0, VKEY_RETURN, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), menu);
    EXPECT_EQ(frame->onKeyDown(down), 1);
    EXPECT_EQ(frame->onKeyDown(down), 1);
    EXPECT_EQ(frame->onKeyDown(up), 1);
    EXPECT_EQ(frame->onKeyDown(up), 1);
    EXPECT_EQ(frame->onKeyDown(up), 1);
    EXPECT_EQ(journal.values, (std::vector<float>{1.0f / kLast, 2.0f / kLast, 1.0f / kLast, 0.0f}));
    EXPECT_EQ(editor.edits.size(), 8u);
    const Seen list = choose([&] { EXPECT_EQ(frame->onKeyDown(enter), 1); }, {{Act::end}, {Act::enter}});
    EXPECT_TRUE(list.shown);
    EXPECT_EQ(menu->position(), kLast);
}

// At a scale of 2 the control covers (40, 140) to (200, 172) of the window's pixels, and the
// list opens below that.
TEST_F(StepMenuTest, AtAScaleTheListOpensBelowTheControlsPixels) {
    frame->setScale(2);
    const Seen list = choose([&] { click({60, 150}); }, {{Act::clickRow, 2}});
    ASSERT_TRUE(list.shown);
    const Spot corner = onScreen({40, 172});
    EXPECT_EQ(list.left, corner.x);
    EXPECT_EQ(list.top, corner.y);
    EXPECT_EQ(menu->position(), 2);
}

#if !defined(_WIN32)
// A press and release on a row end the list at once; a press made before the host's next idle
// was still the list's, in its coordinates, and must not click whatever lies at those
// coordinates in the frame.
TEST_F(StepMenuTest, APressQueuedForTheClosedListReachesNoControlOfTheFrame) {
    // Covers (10, 20) to (40, 40) of the frame, where row 1's point lies in the list's coordinates.
    CToggle* toggle = place(new CToggle(CRect(0, 10, 30, 30), &journal, 3));
    click(kMenuSpot);
    const Seen list = look();
    ASSERT_TRUE(list.shown);
    const Spot row = rowSpot(list, 1);
    CView* under = frame->getViewAt(CPoint(row.x - list.left, row.y - list.top), true);
    ASSERT_EQ(under, toggle);
    host.pointerTo(row.x, row.y);
    idle();
    host.button(1, true);
    host.button(1, false);
    host.button(1, true);
    idle();
    host.button(1, false);
    idle();
    EXPECT_EQ(menu->position(), 1);
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
}

// The list's window keeps the size it opened at while its clicks would read the new scale: the
// change closes it, and a click where a row was chooses nothing.
TEST_F(StepMenuTest, AScaleChangeClosesTheOpenListChoosingNothing) {
    click(kMenuSpot);
    const Seen list = look();
    ASSERT_TRUE(list.shown);
    frame->setScale(2);
    idle();
    EXPECT_EQ(menu->getListWindow(), nullptr);
    act({Act::clickRow, 2}, list);
    EXPECT_EQ(menu->getListWindow(), nullptr);
    EXPECT_TRUE(journal.values.empty());
    EXPECT_TRUE(editor.edits.empty());
}

// The host's window sits 60 pixels from the screen's right and 120 from its bottom: the list
// would run past both, so it opens above the control, pushed left onto the screen.
TEST_F(StepMenuTest, NearTheScreensCornerTheListOpensAboveTheControlWhollyOnTheScreen) {
    const int screenWidth = DisplayWidth(host.display, DefaultScreen(host.display));
    const int screenHeight = DisplayHeight(host.display, DefaultScreen(host.display));
    const Spot origin{screenWidth - 60, screenHeight - 120};
    XMoveWindow(host.display, host.window, origin.x, origin.y);
    idle();
    const Seen list = choose([&] { click({origin.x + kMenuSpot.x, origin.y + kMenuSpot.y}); }, {{Act::clickRow, kLast}});
    ASSERT_TRUE(list.shown);
    EXPECT_EQ(list.bottom, origin.y + 70) << "its bottom on the control's top";
    EXPECT_GE(list.top, 0);
    EXPECT_EQ(list.right, screenWidth);
    EXPECT_TRUE(list.lastRowVisible);
    EXPECT_EQ(menu->getListWindow(), nullptr);
    EXPECT_EQ(menu->position(), kLast);
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin7", "end7"}));
}
#endif

} // namespace
