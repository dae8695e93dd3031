// The X11 frame in a host's window on a real X server, driven by real events (XTest): drags that
// go on across the host's idle calls, drawing that reaches the window, the wheel, and the text
// field typed into from the window and from the host.

#include "AEffGUIEditor.h"
#include "AudioEffectX.h"
#include "CDial.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "CValueEntry.h"
#include "FontCaches.h"
#include "HostRecords.h"
#include "Opcodes.h"

// Before Xlib, whose macros (None, Bool) would break GoogleTest's names.
#include <gtest/gtest.h>

#include "X11TestHost.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

namespace {

// An effect whose host sizes its window when asked, and journals the sizes.
class SizedEffect : public AudioEffectX {
public:
    SizedEffect() : AudioEffectX(&SizedEffect::host, 1, 0) {}
    void processReplacing(float**, float**, VstInt32) override {}
    static VstIntPtr VST_CALL host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
        if (opcode == audioMasterSizeWindow) sizes.push_back(std::to_string(index) + " x " + std::to_string(value));
        return opcode == audioMasterVersion ? 2400 : opcode == audioMasterCanDo || opcode == audioMasterSizeWindow;
    }
    static inline std::vector<std::string> sizes;
};

class JournalEditor : public AEffGUIEditor {
public:
    explicit JournalEditor(AudioEffect* effect = nullptr) : AEffGUIEditor(effect) {}
    void beginEdit(VstInt32 index) override { journal.push_back("begin " + std::to_string(index)); }
    void endEdit(VstInt32 index) override { journal.push_back("end " + std::to_string(index)); }
    std::vector<std::string> journal;
};

struct X11Frame : ::testing::Test {
    X11Frame() {
        if (host.display) frame = new CFrame(CRect(0, 0, 200, 120), host.window, &editor);
    }
    ~X11Frame() override { delete frame; }
    void SetUp() override { ASSERT_NE(host.display, nullptr) << "no X display (DISPLAY=" << (getenv("DISPLAY") ? getenv("DISPLAY") : "") << ")"; }

    // What the host does between events: the frame reads and draws only in its idle.
    void idle(int times = 3) {
        for (int i = 0; i < times; ++i) {
            host.settle(frame->getDisplay());
            frame->idle();
        }
    }
    void pointerTo(int x, int y) {
        host.pointerTo(x, y);
        idle();
    }
    void button(unsigned int which, bool down) {
        host.button(which, down);
        idle();
    }
    void key(KeySym symbol) {
        host.key(symbol, true);
        host.key(symbol, false);
        idle();
    }
    unsigned long pixel(int x, int y) { return host.pixels(x, y, x + 1, y + 1).front(); }

    X11TestHost host{300, 180};
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
    host.settle(frame->getDisplay());
    EXPECT_EQ(pixel(102, 22), 0xFF0000UL);

    pointerTo(120, 40);
    button(4, true);
    button(4, false);
    EXPECT_GT(dial->getValue(), 0.5f);
    EXPECT_EQ(editor.journal, (std::vector<std::string>{"begin 3", "end 3"}));
}

TEST_F(X11Frame, TheDesktopsDensityScalesTheWindowWhileViewsKeepTheirUnits) {
    delete frame;
    // What a desktop set to 150% publishes for its programs; read when a connection opens.
    const Atom settings = XInternAtom(host.display, "RESOURCE_MANAGER", False);
    const char text[] = "Xft.dpi:\t144\n";
    XChangeProperty(host.display, DefaultRootWindow(host.display), settings, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), sizeof text - 1);
    XSync(host.display, False);
    auto* effect = new SizedEffect;
    auto* sized = new JournalEditor(effect); // owned by the effect
    frame = new CFrame(CRect(0, 0, 200, 120), host.window, sized);
    XDeleteProperty(host.display, DefaultRootWindow(host.display), settings);
    EXPECT_EQ(frame->getScale(), 1.5f);
    // A host that sized its window by the rectangle at 1x is asked for the editor's size.
    EXPECT_EQ(SizedEffect::sizes, std::vector<std::string>{"300 x 180"});
    XWindowAttributes window{};
    XGetWindowAttributes(host.display, frame->getSystemWindow(), &window);
    EXPECT_EQ(window.width, 300);
    EXPECT_EQ(window.height, 180);

    auto* dial = new CDial(CRect(100, 20, 140, 60), nullptr, 3);
    dial->setColors(CColor{0, 0, 255, 0}, CColor{255, 255, 255, 0});
    dial->setValue(0.5f);
    frame->addView(dial);
    idle();
    EXPECT_EQ(pixel(151, 31), 0x0000FFUL);
    EXPECT_EQ(pixel(148, 31), 0x000000UL);
    pointerTo(208, 88); // unit (138, 58): inside the dial only at this scale
    button(4, true);
    button(4, false);
    EXPECT_GT(dial->getValue(), 0.5f);
    delete frame;
    frame = nullptr;
    delete effect;
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

    // From the keyboard alone: Tab gives it the focus, Enter opens the field, Escape closes it.
    VstKeyCode tab{0, VKEY_TAB, 0}, escape{0, VKEY_ESCAPE, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->onKeyDown(enter), 1);
    EXPECT_NE(entry->getEditBox(), nullptr);
    EXPECT_EQ(frame->onKeyDown(escape), 1);
    EXPECT_EQ(entry->getEditBox(), nullptr);
}

} // namespace
