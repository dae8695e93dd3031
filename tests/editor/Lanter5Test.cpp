#include "CDrawContext.h"
#include "CTextLabel.h"
#include "EditorTestSupport.h"
#include "Lanter5.h"
#include "Opcodes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const RECT kLabelArea{16, 16, 96, 41};

struct Lanter5Test : ::testing::Test {
    Lanter5Test() {
        useProgramInstance();
        Lanter5::setIdleCounter(0);
    }
    ~Lanter5Test() override {
        delete effect;
        RecordingHost::current = nullptr;
    }

    std::string labelText() const {
        const char* text = editor->getLabel()->getText();
        return text ? text : "(null)";
    }
    HWND frameWindow() const { return editor->getFrame()->getSystemWindow(); }

    RecordingHost host;
    RecordingEffect* effect = new RecordingEffect(host);
    Lanter5* editor = new Lanter5(effect); // owned by the effect
    HostFrameWindow window{600, 300};
};

TEST_F(Lanter5Test, ReportsItsSizeBeforeAndAfterOpening) {
    EXPECT_EQ(effect->getAEffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 256);
    EXPECT_EQ(rect->right, 512);
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    ERect* again = nullptr;
    effect->dispatch(effEditGetRect, 0, 0, &again);
    EXPECT_EQ(again, rect);
    EXPECT_EQ(again->right, 512);
    effect->dispatch(effEditClose);
}

TEST_F(Lanter5Test, OpenPutsOneLabelIntoAFrameInTheHostsWindow) {
    ASSERT_TRUE(editor->open(window.get()));
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(editor->isOpen());
    EXPECT_EQ(frame->getEditor(), editor);
    EXPECT_EQ(GetParent(frameWindow()), window.get());
    RECT client{};
    GetClientRect(frameWindow(), &client);
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 256);

    ASSERT_EQ(frame->getViewCount(), 1);
    EXPECT_EQ(frame->getView(0), editor->getLabel());
    CTextLabel* label = editor->getLabel();
    CRect size;
    EXPECT_EQ(label->getViewSize(size), CRect(16, 16, 96, 41));
    EXPECT_EQ(labelText(), "TextLabel");
    EXPECT_EQ(label->getParentFrame(), frame);
    EXPECT_EQ(label->getTag(), 0);
    EXPECT_EQ(label->getListener(), nullptr);
    EXPECT_EQ(label->getFont(), kFontNormal);
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_FALSE(editor->isOpen());
}

TEST_F(Lanter5Test, EachIdleWritesTheNextCountWhichTheFollowingIdleShows) {
    ASSERT_TRUE(editor->open(window.get()));
    HWND frame = frameWindow();
    repaint(window.get());
    const auto initial = windowPixels(frame, kLabelArea);

    editor->idle();
    EXPECT_EQ(labelText(), "0");
    EXPECT_TRUE(editor->getLabel()->isDirty());
    EXPECT_EQ(windowPixels(frame, kLabelArea), initial); // still "TextLabel"

    editor->idle();
    const auto showingZero = windowPixels(frame, kLabelArea);
    EXPECT_NE(showingZero, initial);
    editor->idle();
    EXPECT_NE(windowPixels(frame, kLabelArea), showingZero);
    EXPECT_EQ(labelText(), "2");
    EXPECT_EQ(Lanter5::getIdleCounter(), 3);

    // The window shows exactly what the label draws for "0".
    GdiSurface expected(512, 256, RGB(0, 0, 0));
    {
        CTextLabel reference(CRect(16, 16, 96, 41), "0");
        CDrawContext context(nullptr, expected.dc(), nullptr);
        reference.draw(&context);
    }
    EXPECT_EQ(showingZero, expected.pixels(kLabelArea));
    editor->close();
}

TEST_F(Lanter5Test, ReopeningStartsFromTheInitialTextButKeepsCounting) {
    ASSERT_TRUE(editor->open(window.get()));
    for (int i = 0; i < 3; ++i) editor->idle();
    editor->close();
    ASSERT_TRUE(editor->open(window.get()));
    EXPECT_EQ(labelText(), "TextLabel");
    editor->idle();
    EXPECT_EQ(labelText(), "3");
    editor->close();
}

TEST_F(Lanter5Test, EditorsShareOneCount) {
    RecordingHost otherHost;
    auto* otherEffect = new RecordingEffect(otherHost);
    auto* other = new Lanter5(otherEffect);
    HostFrameWindow otherWindow(600, 300);
    ASSERT_TRUE(editor->open(window.get()));
    ASSERT_TRUE(other->open(otherWindow.get()));
    editor->idle();
    editor->idle();
    other->idle();
    EXPECT_STREQ(other->getLabel()->getText(), "2");
    editor->idle();
    EXPECT_EQ(labelText(), "3");
    other->close();
    delete otherEffect;
    RecordingHost::current = &host;
    editor->close();
}

TEST_F(Lanter5Test, TheCountWrapsAroundAtThirtyTwoBits) {
    ASSERT_TRUE(editor->open(window.get()));
    Lanter5::setIdleCounter(INT_MAX);
    editor->idle();
    EXPECT_EQ(labelText(), "2147483647");
    EXPECT_EQ(Lanter5::getIdleCounter(), INT_MIN);
    editor->idle();
    EXPECT_EQ(labelText(), "-2147483648");
    editor->close();
}

TEST_F(Lanter5Test, WhileClosedIdleTouchesNothingAndCloseDoesNothing) {
    editor->close();
    editor->idle();
    EXPECT_EQ(Lanter5::getIdleCounter(), 0);
    ASSERT_TRUE(editor->open(window.get()));
    editor->close();
    effect->dispatch(effEditIdle);
    EXPECT_EQ(Lanter5::getIdleCounter(), 0);
    EXPECT_EQ(editor->getLabel(), nullptr);
}

TEST_F(Lanter5Test, OpeningAnOpenEditorReplacesItsFrame) {
    ASSERT_TRUE(editor->open(window.get()));
    HWND first = frameWindow();
    HostFrameWindow second(600, 300);
    ASSERT_TRUE(editor->open(second.get()));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(GetParent(frameWindow()), second.get());
    EXPECT_EQ(getWindowClassUseCount(), 1);
    EXPECT_EQ(labelText(), "TextLabel");
    editor->close();
    EXPECT_EQ(getWindowClassUseCount(), 0);
}

TEST_F(Lanter5Test, AnEditorDestroyedWhileOpenTakesItsWindowWithIt) {
    ASSERT_TRUE(editor->open(window.get()));
    HWND frame = frameWindow();
    ASSERT_TRUE(IsWindow(frame));
    delete effect; // the host closed the effect without closing the editor
    effect = nullptr;
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(getWindowClassUseCount(), 0);
    pumpMessages();
}

TEST_F(Lanter5Test, IdleDuringThePumpStillCounts) {
    ASSERT_TRUE(editor->open(window.get()));
    host.onIdle = [&] { effect->dispatch(effEditIdle); };
    editor->idlePump(); // its own idle, then the host's, which idles the editor again
    EXPECT_EQ(Lanter5::getIdleCounter(), 2);
    EXPECT_EQ(labelText(), "1");
    host.onIdle = nullptr;
    editor->close();
}

TEST_F(Lanter5Test, HostDestroyingItsWindowFirstLeavesACloseableEditor) {
    ASSERT_TRUE(editor->open(window.get()));
    DestroyWindow(window.get());
    editor->idle(); // the frame is closed; the label still takes the text
    EXPECT_EQ(labelText(), "0");
    editor->close();
    EXPECT_EQ(getWindowClassUseCount(), 0);
}

} // namespace
