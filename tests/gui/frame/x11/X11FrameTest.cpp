// The X11 frame in a host's window on a real X server, driven by real events (XTest): drags that
// go on across the host's idle calls, drawing that reaches the window, the wheel, and the text
// field typed into from the window and from the host.

#include "AEffGUIEditor.h"
#include "CDial.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "CValueEntry.h"
#include "FontCaches.h"
#include "HostRecords.h"

// Before Xlib, whose macros (None, Bool) would break GoogleTest's names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

namespace {

class JournalEditor : public AEffGUIEditor {
public:
    JournalEditor() : AEffGUIEditor(nullptr) {}
    void beginEdit(VstInt32 index) override { journal.push_back("begin " + std::to_string(index)); }
    void endEdit(VstInt32 index) override { journal.push_back("end " + std::to_string(index)); }
    std::vector<std::string> journal;
};

struct X11Frame : ::testing::Test {
    X11Frame() {
        host = XOpenDisplay(nullptr);
        if (!host) return;
        // No window manager: the window sits at the root's origin, so root and window
        // coordinates agree.
        window = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 200, 120, 0, 0, 0);
        XMapWindow(host, window);
        XSync(host, False);
        frame = new CFrame(CRect(0, 0, 200, 120), window, &editor);
    }
    ~X11Frame() override {
        delete frame;
        if (!host) return;
        XTestFakeButtonEvent(host, 1, False, CurrentTime);
        XDestroyWindow(host, window);
        XCloseDisplay(host);
    }
    void SetUp() override { ASSERT_NE(host, nullptr) << "no X display (DISPLAY=" << (getenv("DISPLAY") ? getenv("DISPLAY") : "") << ")"; }

    // What the host does between events: the frame reads and draws only in its idle. The two
    // round trips make sure the server has acted on the host's requests and that the events
    // they caused have reached the frame's connection.
    void idle(int times = 3) {
        for (int i = 0; i < times; ++i) {
            XSync(host, False);
            if (frame->getDisplay()) XSync(frame->getDisplay(), False);
            frame->idle();
        }
    }
    void pointerTo(int x, int y) {
        XTestFakeMotionEvent(host, -1, x, y, CurrentTime);
        idle();
    }
    void button(unsigned int which, bool down) {
        XTestFakeButtonEvent(host, which, down ? True : False, CurrentTime);
        idle();
    }
    void key(KeySym symbol) {
        const KeyCode code = XKeysymToKeycode(host, symbol);
        XTestFakeKeyEvent(host, code, True, CurrentTime);
        XTestFakeKeyEvent(host, code, False, CurrentTime);
        idle();
    }
    unsigned long pixel(int x, int y) {
        XImage* image = XGetImage(host, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0UL;
        const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return value;
    }

    Display* host = nullptr;
    Window window = 0;
    JournalEditor editor;
    CFrame* frame = nullptr;
};

TEST_F(X11Frame, ADragIsOneEditThatGoesOnAcrossTheHostsIdles) {
    knobMode = kLinearKnobs;
    auto* dial = new CDial(CRect(20, 20, 60, 60), nullptr, 7);
    dial->setValue(0.5f);
    frame->addView(dial);
    idle();
    pointerTo(40, 40);
    button(1, true);
    // Each idle returned with the button still held: the host's loop was never kept waiting.
    for (int y = 36; y >= 20; y -= 4) pointerTo(40, y);
    EXPECT_GT(dial->getValue(), 0.5f);
    EXPECT_EQ(editor.journal, (std::vector<std::string>{"begin 7"}));
    button(1, false);
    EXPECT_EQ(editor.journal, (std::vector<std::string>{"begin 7", "end 7"}));
    // Moves after the release belong to no gesture.
    const float released = dial->getValue();
    pointerTo(40, 10);
    EXPECT_EQ(dial->getValue(), released);
    knobMode = kCircularKnobs;
}

TEST_F(X11Frame, WhatTheViewsDrawReachesTheHostsWindowAndTheWheelTurnsTheViewUnderIt) {
    auto* dial = new CDial(CRect(100, 20, 140, 60), nullptr, 3);
    dial->setColors(CColor{0, 0, 255, 0}, CColor{255, 255, 255, 0});
    dial->setValue(0.5f);
    frame->addView(dial);
    idle();
    EXPECT_EQ(pixel(102, 22), 0x0000FFUL);
    EXPECT_EQ(pixel(90, 22), 0x000000UL);
    // A view drawn on request, outside any idle, reaches the window at once.
    dial->setColors(CColor{255, 0, 0, 0}, CColor{255, 255, 255, 0});
    frame->drawView(dial);
    XSync(frame->getDisplay(), False);
    EXPECT_EQ(pixel(102, 22), 0xFF0000UL);

    pointerTo(120, 40);
    button(4, true);
    button(4, false);
    EXPECT_GT(dial->getValue(), 0.5f);
    EXPECT_EQ(editor.journal, (std::vector<std::string>{"begin 3", "end 3"}));
}

TEST_F(X11Frame, AValueEntryTakesKeysFromTheWindowAndFromTheHost) {
    auto* entry = new CValueEntry(CRect(20, 80, 120, 100), nullptr, 5);
    entry->setValue(0.5f);
    frame->addView(entry);
    idle();
    pointerTo(30, 90);
    button(1, true);
    button(1, false);
    ASSERT_NE(entry->getEditBox(), nullptr);

    // The whole text was selected: the first key replaces it.
    key(XK_0);
    VstKeyCode point{'.', 0, 0};
    EXPECT_EQ(frame->onKeyDown(point), 1);
    key(XK_2);
    key(XK_BackSpace);
    key(XK_7);
    VstKeyCode enter{0, VKEY_RETURN, 0};
    EXPECT_EQ(frame->onKeyDown(enter), 1);
    EXPECT_EQ(entry->getEditBox(), nullptr);
    EXPECT_FLOAT_EQ(entry->getValue(), 0.7f);
    EXPECT_EQ(editor.journal, (std::vector<std::string>{"begin 5", "end 5"}));

    // Escape, and a click elsewhere, leave the value as it was.
    button(1, true);
    button(1, false);
    key(XK_1);
    key(XK_Escape);
    EXPECT_EQ(entry->getEditBox(), nullptr);
    pointerTo(30, 90);
    button(1, true);
    button(1, false);
    key(XK_1);
    pointerTo(150, 20);
    button(1, true);
    button(1, false);
    EXPECT_EQ(entry->getEditBox(), nullptr);
    EXPECT_FLOAT_EQ(entry->getValue(), 0.7f);
    EXPECT_EQ(editor.journal.size(), 2u);
}

} // namespace
