#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

namespace {

struct FrameWindowTest : ::testing::Test {
    FrameWindowTest() { useProgramInstance(); }

    RecordingView* addChild(CFrame& frame, const CRect& size, CColor colour) {
        auto* view = new RecordingView(size, colour);
        frame.addView(view); // handing the creator's reference over
        return view;
    }

    // Paints everything of the frame's window now, through the window procedure.
    static void repaint(HWND window) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
};

TEST_F(FrameWindowTest, TheFrameLivesInAChildWindowOfTheHostsWindow) {
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 256, 128), host.get(), nullptr);
    HWND window = frame->getSystemWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), host.get());
    char text[32] = "";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Window");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) &
                  (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 256);
    EXPECT_EQ(client.bottom, 128);
    // The whole pointer, also where it is wider than the window's 32-bit data.
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(frame));
    EXPECT_TRUE(frame->isDropActive());
    delete frame;
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FrameWindowTest, OneClassServesAllFramesAndGoesWithTheLast) {
    HostWindow host(300, 200);
    auto* first = new TestFrame(CRect(0, 0, 100, 100), host.get(), nullptr);
    auto* second = new TestFrame(CRect(0, 0, 100, 100), host.get(), nullptr);
    EXPECT_EQ(getWindowClassUseCount(), 2);

    char expectedName[32];
    std::snprintf(expectedName, sizeof expectedName, "Plugin%0*llX",
                  static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(
                      reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_STREQ(getWindowClassName(), expectedName);
    char className[64] = "";
    GetClassNameA(second->getSystemWindow(), className, sizeof className);
    EXPECT_STREQ(className, expectedName);

    WNDCLASSA description{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), expectedName, &description));
    EXPECT_EQ(description.style, static_cast<UINT>(CS_GLOBALCLASS));
    EXPECT_EQ(description.lpfnWndProc, &frameWindowProcedure);
    EXPECT_EQ(description.hCursor, LoadCursorA(nullptr, IDC_ARROW));

    delete first;
    EXPECT_EQ(getWindowClassUseCount(), 1);
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), expectedName, &description));
    delete second;
    EXPECT_EQ(getWindowClassUseCount(), 0);
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), expectedName, &description));

    // A later frame registers the class anew.
    auto* third = new TestFrame(CRect(0, 0, 100, 100), host.get(), nullptr);
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), expectedName, &description));
    delete third;
}

TEST_F(FrameWindowTest, PaintDrawsTheFrameAndIdleRedrawsOnlyAfterThePaint) {
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    RecordingView* view = addChild(*frame, CRect(20, 10, 60, 50), kColorRed);
    HWND window = frame->getSystemWindow();

    view->colour = kColorBlue;
    view->setDirty(true);
    frame->idle(); // nothing painted yet: idle waits
    EXPECT_EQ(view->draws, 0);

    repaint(window);
    EXPECT_FALSE(frame->isFirstDraw());
    EXPECT_EQ(view->draws, 1);
    EXPECT_EQ(windowPixel(window, 30, 30), kBlue);
    EXPECT_EQ(windowPixel(window, 100, 80), kBlack);

    view->colour = kColorYellow;
    view->setDirty(true);
    frame->idle();
    EXPECT_EQ(view->draws, 2);
    EXPECT_EQ(windowPixel(window, 30, 30), RGB(255, 255, 0));
    EXPECT_FALSE(frame->isDirty());
    frame->idle(); // nothing dirty: nothing drawn
    EXPECT_EQ(view->draws, 2);

    // A paint message with nothing to paint goes to the default handling.
    ValidateRect(window, nullptr);
    SendMessageA(window, WM_PAINT, 0, 0);
    EXPECT_EQ(view->draws, 2);
    delete frame;
}

// Drawn over behind the frame's back, a part whose left differs from its top is painted again
// from the frame's buffer: it must show what the full paint showed there, and only there.
TEST_F(FrameWindowTest, APartialRepaintShowsWhatAFullPaintShows) {
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    addChild(*frame, CRect(20, 10, 60, 50), kColorRed);
    addChild(*frame, CRect(70, 5, 90, 80), kColorBlue);
    addChild(*frame, CRect(5, 60, 150, 70), kColorGreen);
    HWND window = frame->getSystemWindow();
    repaint(window);
    const RECT part{3, 11, 97, 64};
    const std::vector<COLORREF> painted = windowPixels(window, part);

    HDC windowContext = GetDC(window);
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    const RECT all{0, 0, 200, 100};
    FillRect(windowContext, &all, yellow);
    DeleteObject(yellow);
    ReleaseDC(window, windowContext);
    InvalidateRect(window, &part, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(windowPixels(window, part), painted);
    EXPECT_EQ(windowPixel(window, 2, 10), RGB(255, 255, 0));
    EXPECT_EQ(windowPixel(window, 97, 64), RGB(255, 255, 0));
    delete frame;
}

TEST_F(FrameWindowTest, ButtonsReachTheViewUnderTheClick) {
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    RecordingView* view = addChild(*frame, CRect(20, 10, 60, 50), kColorRed);
    HWND window = frame->getSystemWindow();
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        PostMessageA(window, message, 0, MAKELPARAM(25, 15));
    }
    PostMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 90)); // beside the view
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(25, 15));    // not handled
    pumpMessages();
    EXPECT_EQ(view->ownEvents, (std::vector<std::string>{"mouse", "mouse", "mouse"}));
    EXPECT_EQ(view->lastWhere, CPoint(25, 15));
    delete frame;
}

// Presses the physical right button while the buttons are swapped: the view sees the left.
TEST_F(FrameWindowTest, SwappedButtonsAreReadWhenTheClassIsRegistered) {
    ASSERT_EQ(getWindowClassUseCount(), 0);
    const BOOL wasSwapped = SwapMouseButton(TRUE);
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    SwapMouseButton(wasSwapped);
    EXPECT_TRUE(swappedButtons);
    RecordingView* view = addChild(*frame, CRect(0, 0, 200, 100), kColorRed);

    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &press, sizeof press);
    pumpMessages(); // the injected press itself may land on any window
    SendMessageA(frame->getSystemWindow(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    const std::int32_t buttons = view->lastButtons;
    INPUT lift = press;
    lift.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &lift, sizeof lift);
    pumpMessages();
    EXPECT_EQ(buttons & (kLeftButton | kRightButton), kLeftButton);
    delete frame;

    auto* unswapped = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    EXPECT_EQ(swappedButtons, wasSwapped != FALSE);
    delete unswapped;
}

TEST_F(FrameWindowTest, WheelGivesNotchesInFrameCoordinatesAndReachesTheHostToo) {
    HostWindow host(300, 200, WS_POPUP | WS_VISIBLE, nullptr, 40, 30);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    RecordingView* view = addChild(*frame, CRect(20, 10, 60, 50), kColorRed);
    HWND window = frame->getSystemWindow();
    RECT screen{};
    GetWindowRect(window, &screen);

    const LPARAM position = MAKELPARAM(screen.left + 30, screen.top + 20);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), position);
    EXPECT_FLOAT_EQ(view->lastDistance, -1.0f);
    EXPECT_EQ(view->lastWhere, CPoint(30, 20));
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), position);
    EXPECT_FLOAT_EQ(view->lastDistance, 0.5f);
    // The default handling passes the wheel on to the parent.
    EXPECT_EQ(host.wheelMessages, 2);
    delete frame;
}

TEST_F(FrameWindowTest, WhenTheHostDestroysItsWindowTheFrameIsClosed) {
    auto* host = new HostWindow(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host->get(), nullptr);
    RecordingView* view = addChild(*frame, CRect(20, 10, 60, 50), kColorRed);
    repaint(frame->getSystemWindow());
    delete host;
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getParentWindow(), nullptr);
    view->setDirty(true);
    const int draws = view->draws;
    frame->idle();
    EXPECT_EQ(view->draws, draws);
    CRect rect;
    EXPECT_FALSE(frame->getSize(rect));
    EXPECT_FALSE(frame->setSize(100, 50));
    delete frame;
    EXPECT_EQ(getWindowClassUseCount(), 0);
}

// The host's window chain: a captioned top-level window, a decorated middle window and the
// frame's window, 200 by 100.
struct ResizeTest : FrameWindowTest {
    ResizeTest()
        : effect(host), editor(new TestEditor(&effect)),
          top(400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE),
          border(2 * GetSystemMetrics(SM_CYDLGFRAME)) {}

    // After a grown frame's paint and idle, its far corner shows the frame's own background.
    static void expectDrawnTo(TestFrame& frame, int x, int y) {
        repaint(frame.getSystemWindow());
        frame.idle();
        EXPECT_EQ(windowPixel(frame.getSystemWindow(), x, y), kGreen);
    }

    HostRecorder host;
    TestEffect effect;
    TestEditor* editor;
    HostWindow top;
    const int border;
};

TEST_F(ResizeTest, AHostThatSizesTheWindowLeavesTheChainAlone) {
    host.canSizeWindow = true;
    host.acceptsSize = true;
    HostWindow middle(200 + border, 100 + border, WS_CHILD | WS_VISIBLE, top.get(), 0, 0);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), middle.get(), editor);
    frame->setBackgroundColor(kColorGreen);
    repaint(frame->getSystemWindow()); // the buffer exists from now on
    EXPECT_FALSE(frame->setSize(200, 100));
    EXPECT_TRUE(host.calls.empty());

    EXPECT_TRUE(frame->setSize(260, 140));
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ(host.calls[0].opcode, 37);
    EXPECT_EQ(host.calls[0].text, "sizeWindow");
    EXPECT_EQ(host.calls[1].opcode, 15);
    EXPECT_EQ(host.calls[1].index, 260);
    EXPECT_EQ(host.calls[1].value, 140);
    RECT frameRect{};
    GetWindowRect(frame->getSystemWindow(), &frameRect);
    EXPECT_EQ(frameRect.right - frameRect.left, 260);
    EXPECT_EQ(frameRect.bottom - frameRect.top, 140);
    EXPECT_EQ(middle.width(), 200 + border);
    CRect size;
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 260, 140));
    expectDrawnTo(*frame, 204, 104); // the host's window, still small, hides the rest

    // One side changed is a change too, either side.
    for (const auto& [width, height] : {std::pair{260, 100}, std::pair{200, 100}}) {
        EXPECT_TRUE(frame->setSize(width, height)) << width << " x " << height;
        GetWindowRect(frame->getSystemWindow(), &frameRect);
        EXPECT_EQ(frameRect.right - frameRect.left, width);
        EXPECT_EQ(frameRect.bottom - frameRect.top, height);
        EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, width, height));
    }
    delete frame;
}

TEST_F(ResizeTest, RefusedByTheHostTheChainGrowsUpToTheDialogFrame) {
    host.canSizeWindow = true; // but refuses the size itself
    HostWindow middle(200 + border, 100 + border, WS_CHILD | WS_VISIBLE, top.get(), 0, 0);
    const int topWidth = top.width();
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), middle.get(), editor);
    EXPECT_TRUE(frame->setSize(260, 140));
    EXPECT_EQ(host.count(15), 1);
    RECT frameRect{};
    GetWindowRect(frame->getSystemWindow(), &frameRect);
    EXPECT_EQ(frameRect.right - frameRect.left, 260);
    EXPECT_EQ(middle.width(), 260 + border);
    EXPECT_EQ(middle.height(), 140 + border);
    EXPECT_EQ(top.width(), topWidth); // the walk ended at the dialog frame
    delete frame;
}

TEST_F(ResizeTest, WithoutAnEditorTheWalkStopsBelowAnMdiClientArea) {
    HostWindow client(380, 260, WS_CHILD | WS_VISIBLE, top.get(), 0, 0, "MDIClient");
    HostWindow middle(210, 110, WS_CHILD | WS_VISIBLE, client.get(), 0, 0);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), middle.get(), nullptr);
    EXPECT_TRUE(frame->setSize(150, 60));
    EXPECT_EQ(middle.width(), 160);
    EXPECT_EQ(middle.height(), 70);
    EXPECT_EQ(client.width(), 380);
    CRect size;
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 150, 60));
    delete frame;
}

TEST_F(ResizeTest, LargeDecorationsStopTheWalk) {
    HostWindow middle(300, 150, WS_CHILD | WS_VISIBLE, top.get(), 0, 0);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), middle.get(), nullptr);
    frame->setBackgroundColor(kColorGreen);
    repaint(frame->getSystemWindow());
    EXPECT_TRUE(frame->setSize(220, 120));
    RECT frameRect{};
    GetWindowRect(frame->getSystemWindow(), &frameRect);
    EXPECT_EQ(frameRect.right - frameRect.left, 220);
    EXPECT_EQ(middle.width(), 300);
    expectDrawnTo(*frame, 210, 110);
    delete frame;
}

TEST_F(ResizeTest, AWindowWithoutParentIsSizedWithItsOwnDecoration) {
    HostWindow popup(200, 100, WS_POPUP | WS_VISIBLE);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), popup.get(), nullptr);
    EXPECT_TRUE(frame->setSize(120, 80));
    EXPECT_EQ(popup.width(), 120);
    EXPECT_EQ(popup.height(), 80);
    delete frame;
}

TEST_F(ResizeTest, PositionAndSizeComeFromTheHostsWindows) {
    HostWindow middle(200 + border, 100 + border, WS_CHILD | WS_VISIBLE, top.get(), 15, 25);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), middle.get(), nullptr);
    std::int32_t x = -1;
    std::int32_t y = -1;
    EXPECT_TRUE(frame->getPosition(x, y));
    // The middle window fits the frame closely, the top window does not: the middle one
    // stands for the editor, placed in its parent's client area.
    EXPECT_EQ(frame->getOuterWindow(), middle.get());
    EXPECT_EQ(x, 15);
    EXPECT_EQ(y, 25);

    CRect rect;
    EXPECT_TRUE(frame->getSize(rect));
    POINT corner{middle.screenRect().left, middle.screenRect().top};
    EXPECT_EQ(rect.width(), 200 + border);
    EXPECT_EQ(rect.height(), 100 + border);
    EXPECT_EQ(rect.left, corner.x); // the top window's grandparent is the screen
    EXPECT_EQ(rect.top, corner.y);
    EXPECT_FALSE(frame->setPosition(0, 0));
    delete frame;
}

} // namespace

namespace {

class MenuRecorder : public CMenuPainter {
public:
    void measureItem(ULONG_PTR itemData, CDrawContext* context, CPoint& size) override {
        measured = itemData;
        hadContext = context != nullptr;
        size = CPoint(70, 18);
    }
    void drawItem(ULONG_PTR itemData, std::int32_t itemId, std::int32_t state, CDrawContext*,
                  const CRect& rect) override {
        drawn = itemData;
        drawnId = itemId;
        drawnState = state;
        drawnRect = rect;
    }
    ULONG_PTR measured = 0;
    bool hadContext = false;
    ULONG_PTR drawn = 0;
    std::int32_t drawnId = 0;
    std::int32_t drawnState = 0;
    CRect drawnRect;
};

// A focus view with an edit control and owner-drawn menus of its own.
class NativeControlsView : public RecordingView, public CNativeControlOwner {
public:
    NativeControlsView() : RecordingView(CRect(0, 0, 10, 10)) {}
    CColor getEditFontColor() const override { return kColorYellow; }
    CColor getEditBackColor() const override { return kColorBlue; }
    CMenuPainter* getMenuPainter() override { return &menus; }
    MenuRecorder menus;
};

TEST_F(FrameWindowTest, EditColoursAndMenuItemsGoToTheFocusViewsNativeControls) {
    HostWindow host(300, 200);
    auto* frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
    HWND window = frame->getSystemWindow();
    GdiSurface surface(4, 4, kBlack);
    const WPARAM editDc = reinterpret_cast<WPARAM>(surface.dc());
    EXPECT_EQ(SendMessageA(window, WM_CTLCOLOREDIT, editDc, 0),
              DefWindowProcA(window, WM_CTLCOLOREDIT, editDc, 0)); // no focus view

    auto* view = new NativeControlsView;
    frame->addView(view);
    frame->setFocusView(view);
    const auto firstBrush = reinterpret_cast<HBRUSH>(SendMessageA(window, WM_CTLCOLOREDIT, editDc, 0));
    EXPECT_EQ(firstBrush, view->editBrush);
    EXPECT_EQ(GetTextColor(surface.dc()), RGB(255, 255, 0));
    EXPECT_EQ(GetBkColor(surface.dc()), kBlue);
    LOGBRUSH brush{};
    GetObjectA(firstBrush, sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, kBlue);
    SendMessageA(window, WM_CTLCOLOREDIT, editDc, 0);
    EXPECT_EQ(GetObjectType(firstBrush), 0u); // replaced and deleted

    MEASUREITEMSTRUCT measure{ODT_MENU, 0, 5, 0, 0, 42};
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_EQ(view->menus.measured, 42u);
    EXPECT_TRUE(view->menus.hadContext);
    EXPECT_EQ(measure.itemWidth, 70u);
    EXPECT_EQ(measure.itemHeight, 18u);

    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = 7;
    item.itemState = ODS_CHECKED | ODS_SELECTED;
    item.hDC = surface.dc();
    item.rcItem = RECT{1, 2, 30, 20};
    item.itemData = 43;
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(view->menus.drawn, 43u);
    EXPECT_EQ(view->menus.drawnId, 7);
    EXPECT_EQ(view->menus.drawnState, CMenuPainter::kChecked | CMenuPainter::kSelected);
    EXPECT_EQ(view->menus.drawnRect, CRect(1, 2, 30, 21));

    item.itemData = 0; // not one of the view's items
    view->menus.drawn = 0;
    SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(view->menus.drawn, 0u);
    delete frame;
}

} // namespace
