#include "ParameterEditor.h"
#include "CFader.h"
#include "EditorTestSupport.h"
#include "Opcodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// Keeps its two parameters in quarters, as an effect with steps does.
class SteppedEffect : public RecordingEffect {
public:
    explicit SteppedEffect(RecordingHost& host) : RecordingEffect(host) {}
    void setParameter(VstInt32 index, float value) override {
        if (index >= 0 && index < 2) values[index] = std::round(value * 4.0f) / 4.0f;
    }
    float getParameter(VstInt32 index) override {
        return index >= 0 && index < 2 ? values[index] : 0.0f;
    }
    void getParameterDisplay(VstInt32 index, char* text) override {
        static const char* const names[] = {"Off", "Low", "Mid", "High", "Full"};
        std::strcpy(text, names[static_cast<int>(getParameter(index) * 4.0f)]);
    }

    float values[2]{0.25f, 0.5f};
};

// A fader that counts how often it was drawn.
class CountingFader : public CFader {
public:
    using CFader::CFader;
    void draw(CDrawContext* context) override {
        ++draws;
        CFader::draw(context);
    }
    int draws = 0;
};

// Two faders on parameter 1 and one on parameter 0, and a fader on parameter 0 that depends on
// parameter 1 as well.
class TwoParameterEditor : public ParameterEditor {
public:
    explicit TwoParameterEditor(AudioEffect* effect) : ParameterEditor(effect) {
        rect.right = 200;
        rect.bottom = 100;
    }
    using ParameterEditor::stepTexts;
    bool open(void* window) override {
        if (!openFrame(window)) return false;
        for (int i = 0; i < 3; ++i) {
            faders[i] = new CFader(CRect(0, 30 * i, 200, 30 * i + 20), this, i == 0 ? 0 : 1);
            frame->addView(faders[i]);
            bind(faders[i]);
        }
        dependent = new CountingFader(CRect(0, 90, 200, 100), this, 0);
        frame->addView(dependent);
        bind(dependent);
        dependOn(dependent, 1);
        return true;
    }

    CFader* faders[3]{};
    CountingFader* dependent = nullptr;
};

struct ParameterEditorTest : ::testing::Test {
    ParameterEditorTest() {
        useProgramInstance();
        effect->dispatch(effEditOpen, 0, 0, window.get());
    }
    ~ParameterEditorTest() override {
        effect->dispatch(effEditClose);
        delete effect;
        RecordingHost::current = nullptr;
    }
    float shown(int fader) const { return editor->faders[fader]->getValue(); }

    RecordingHost host;
    SteppedEffect* effect = new SteppedEffect(host);
    TwoParameterEditor* editor = new TwoParameterEditor(effect); // owned by the effect
    HostFrameWindow window{200, 100};
};

TEST_F(ParameterEditorTest, AnEditReachesTheHostOnceAndShowsOnTheParametersOtherControls) {
    EXPECT_EQ(shown(0), 0.25f) << "bound controls start at the effect's values";
    EXPECT_EQ(shown(2), 0.5f);
    const std::size_t before = host.calls.size();
    editor->faders[1]->setValue(0.7f);
    editor->valueChanged(nullptr, editor->faders[1]);
    EXPECT_EQ(host.journal(before), (std::vector<std::string>{"0:1"}));
    EXPECT_EQ(shown(2), 0.7f);
    EXPECT_EQ(shown(0), 0.25f);
    effect->dispatch(effEditIdle); // the effect keeps quarters: the controls show its value
    EXPECT_EQ(shown(1), 0.75f);
    EXPECT_EQ(shown(2), 0.75f);
}

TEST_F(ParameterEditorTest, AutomationShowsAtTheNextIdleExceptDuringTheParametersGesture) {
    effect->setParameter(0, 1.0f);
    effect->setParameter(1, 0.0f);
    editor->beginEdit(1);
    effect->dispatch(effEditIdle);
    EXPECT_EQ(shown(0), 1.0f);
    EXPECT_EQ(shown(1), 0.5f) << "the dragged control follows the mouse, not the effect";
    editor->endEdit(1);
    effect->dispatch(effEditIdle);
    EXPECT_EQ(shown(1), 0.0f);
    EXPECT_EQ(host.journal(), (std::vector<std::string>{"43:1", "44:1"}));
}

TEST_F(ParameterEditorTest, AViewThatDependsOnAnotherParameterIsDrawnAgainWhenItChanges) {
    // Idle redraws only a frame that was painted once.
    const HWND painted = editor->getFrame()->getSystemWindow();
    InvalidateRect(painted, nullptr, FALSE);
    UpdateWindow(painted);
    effect->dispatch(effEditIdle);
    const int drawn = editor->dependent->draws;
    effect->dispatch(effEditIdle);
    EXPECT_EQ(editor->dependent->draws, drawn) << "nothing changed";
    effect->setParameter(1, 1.0f);
    effect->dispatch(effEditIdle);
    EXPECT_EQ(editor->dependent->draws, drawn + 1);
    EXPECT_EQ(shown(0), 0.25f) << "its own parameter stayed";
    effect->dispatch(effEditIdle);
    EXPECT_EQ(editor->dependent->draws, drawn + 1);
}

TEST_F(ParameterEditorTest, StepTextsAreTheEffectsOwnAtEachStepAndLeaveTheValue) {
    EXPECT_EQ(editor->stepTexts(1, 5), (std::vector<std::string>{"Off", "Low", "Mid", "High", "Full"}));
    EXPECT_EQ(editor->stepTexts(0, 3), (std::vector<std::string>{"Off", "Mid", "Full"}));
    EXPECT_EQ(effect->values[0], 0.25f);
    EXPECT_EQ(effect->values[1], 0.5f);
}

} // namespace
