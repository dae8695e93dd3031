#include "CControl.h"
#include "CDrawContext.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class TestControl : public CControl {
public:
    explicit TestControl(const CRect& size, CControlListener* listener = nullptr,
                         std::int32_t tag = 0)
        : CControl(size, listener, tag) {}
    void draw(CDrawContext*) override { setDirty(false); }
    bool dirtyFlag() const { return dirty; }
};

struct CountingListener : CControlListener {
    void valueChanged(CDrawContext* context, CControl* control) override {
        ++calls;
        lastContext = context;
        lastValue = control->getValue();
    }
    int calls = 0;
    CDrawContext* lastContext = nullptr;
    float lastValue = 0.0f;
};

// An editor that counts the idle pumps the frame forwards.
class PumpCountingEditor : public AEffGUIEditor {
public:
    using AEffGUIEditor::AEffGUIEditor;
    void idlePump() override { ++pumps; }
    int pumps = 0;
};

TEST(CControl, StartsDirtyByValueWithItsDefaults) {
    TestControl control(CRect(0, 0, 10, 10));
    EXPECT_TRUE(control.isDirty());
    EXPECT_TRUE(control.dirtyFlag());
    EXPECT_EQ(control.getOldValue(), -1.0f);
    EXPECT_EQ(control.getValue(), 0.0f);
    EXPECT_EQ(control.getDefaultValue(), 0.5f);
    EXPECT_EQ(control.getMin(), 0.0f);
    EXPECT_EQ(control.getMax(), 1.0f);
    EXPECT_FLOAT_EQ(control.getWheelInc(), 0.1f);
    EXPECT_EQ(control.getTag(), 0);
    EXPECT_EQ(control.getListener(), nullptr);
    EXPECT_EQ(control.getBackground(), nullptr);
    EXPECT_EQ(control.getReferenceCount(), 1);
}

TEST(CControl, SetDirtyMovesTheOldValueSoThatTheValueTestAgrees) {
    TestControl control(CRect(0, 0, 10, 10));
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), 0.0f);
    EXPECT_TRUE(control.isDirty());

    control.setValue(0.3f);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), -1.0f);

    control.setDirty(false);
    EXPECT_EQ(control.getOldValue(), 0.3f);
    EXPECT_FALSE(control.isDirty());

    // A new value makes the control dirty without touching the flag.
    control.setValue(0.7f);
    EXPECT_TRUE(control.isDirty());
    EXPECT_FALSE(control.dirtyFlag());
    control.setValue(0.3f);
    EXPECT_FALSE(control.isDirty());
}

TEST(CControl, ANotANumberValueNeverCountsAsShown) {
    TestControl control(CRect(0, 0, 10, 10));
    control.setValue(std::numeric_limits<float>::quiet_NaN());
    control.setDirty(false);
    EXPECT_TRUE(std::isnan(control.getOldValue()));
    EXPECT_TRUE(control.isDirty());
}

TEST(CControl, BounceValueClampsIntoTheRangeAndNothingElse) {
    TestControl control(CRect(0, 0, 10, 10));
    control.setDirty(false);
    control.setValue(1.5f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), 1.0f);
    control.setValue(-0.2f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), 0.0f);
    control.setValue(0.5f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), 0.5f);
    control.setMin(-4.0f);
    control.setMax(-2.0f);
    control.setValue(0.0f);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), -2.0f);
    EXPECT_FALSE(control.dirtyFlag());
}

TEST(CControl, BackOffsetCopiesTheTopLeftCorner) {
    TestControl control(CRect(12, 34, 56, 78));
    control.setBackOffset(CPoint(3, 4));
    EXPECT_EQ(control.getBackOffset(), CPoint(3, 4));
    control.copyBackOffset();
    EXPECT_EQ(control.getBackOffset(), CPoint(12, 34));
}

TEST(CControl, AnswersForItsOwnClassAndTheView) {
    TestControl control(CRect(0, 0, 10, 10));
    EXPECT_TRUE(control.isTypeOf("CControl"));
    EXPECT_TRUE(control.isTypeOf("CView"));
    EXPECT_FALSE(control.isTypeOf("ccontrol"));
    EXPECT_FALSE(control.isTypeOf("CViewContainer"));
    EXPECT_FALSE(control.isTypeOf(nullptr));
}

TEST(CControl, DoubleClickTimeIsAtLeastAQuarterSecond) {
    const UINT saved = GetDoubleClickTime();
    ASSERT_TRUE(SetDoubleClickTime(200));
    EXPECT_EQ(TestControl(CRect()).getDoubleClickTime(), 250);
    ASSERT_TRUE(SetDoubleClickTime(500));
    EXPECT_EQ(TestControl(CRect()).getDoubleClickTime(), 500);
    SetDoubleClickTime(saved);
}

TEST(CControl, OperationsKeepTheirSlots) {
    EXPECT_EQ(virtualSlot(&CControl::draw), 3);
    EXPECT_EQ(virtualSlot(&CControl::isDirty), 19);
    EXPECT_EQ(virtualSlot(&CControl::setDirty), 20);
    EXPECT_EQ(virtualSlot(&CControl::isTypeOf), 40);
    EXPECT_EQ(virtualSlot(&CControl::editorIdle), 42);
    EXPECT_EQ(virtualSlot(&CControl::setValue), 43);
    EXPECT_EQ(virtualSlot(&CControl::getOldValue), 50);
    EXPECT_EQ(virtualSlot(&CControl::getTag), 54);
    EXPECT_EQ(virtualSlot(&CControl::beginEdit), 55);
    EXPECT_EQ(virtualSlot(&CControl::endEdit), 56);
    EXPECT_EQ(virtualSlot(&CControl::getWheelInc), 60);
    EXPECT_EQ(virtualSlot(&CControl::bounceValue), 61);
    EXPECT_EQ(virtualSlot(&CControl::checkDefaultValue), 62);
    EXPECT_EQ(tableEntryOf(&CControlListener::valueChanged), 0);
    EXPECT_EQ(tableEntryOf(&CControlListener::reservedNotify), 1);
}

// A control inside a frame whose editor belongs to an effect that records its host calls.
struct ControlInFrame : ::testing::Test {
    ControlInFrame() {
        control = new TestControl(CRect(10, 10, 50, 30), &listener, 7);
        frame.addView(control);
    }
    ~ControlInFrame() override { RecordingHost::current = nullptr; }

    RecordingHost host;
    RecordingEffect* effect = new RecordingEffect(host); // owns the editor
    PumpCountingEditor* editor = new PumpCountingEditor(effect);
    CFrame frame{CRect(0, 0, 100, 100), nullptr, editor};
    CountingListener listener;
    TestControl* control;

    void TearDown() override { delete effect; }
};

TEST_F(ControlInFrame, EditsReachTheHostWithTheTag) {
    control->beginEdit();
    EXPECT_EQ(frame.getFocusView(), control);
    control->endEdit();
    EXPECT_EQ(host.journal(), (std::vector<std::string>{"43:7", "44:7"}));
}

TEST_F(ControlInFrame, ControlClickRestoresTheDefaultBetweenBeginAndEndOfAnEdit) {
    control->setValue(0.9f);
    control->setDirty(false);
    const std::size_t before = host.calls.size();

    EXPECT_FALSE(control->checkDefaultValue(nullptr, kLeftButton));
    EXPECT_FALSE(control->checkDefaultValue(nullptr, kLeftButton | kControlKey | kShiftKey));
    EXPECT_EQ(control->getValue(), 0.9f);
    EXPECT_EQ(host.calls.size(), before);
    EXPECT_EQ(listener.calls, 0);

    CDrawContext* context = reinterpret_cast<CDrawContext*>(&listener); // passed through only
    EXPECT_TRUE(control->checkDefaultValue(context, kLeftButton | kControlKey));
    EXPECT_EQ(control->getValue(), 0.5f);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.lastContext, context);
    EXPECT_EQ(listener.lastValue, 0.5f);
    EXPECT_EQ(host.journal(before), (std::vector<std::string>{"43:7", "44:7"}));
}

TEST_F(ControlInFrame, TheListenerHearsOnlyWhenTheDefaultIsNotAlreadyShown) {
    control->setValue(0.5f);
    control->setDirty(false);
    EXPECT_TRUE(control->checkDefaultValue(nullptr, 17));
    EXPECT_EQ(listener.calls, 0);
    // The flag alone is enough to count as a change.
    control->setDirty(false);
    control->setOldValue(0.5f);
    control->CView::setDirty(true);
    EXPECT_TRUE(control->checkDefaultValue(nullptr, 17));
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(host.count(43), 2);
    EXPECT_EQ(host.count(44), 2);
}

TEST_F(ControlInFrame, EditorIdleRunsTheEditorsPump) {
    control->editorIdle();
    control->editorIdle();
    EXPECT_EQ(editor->pumps, 2);
    TestControl outside(CRect(0, 0, 5, 5));
    outside.editorIdle(); // nobody to tell
    outside.beginEdit();
    outside.endEdit();
    EXPECT_EQ(editor->pumps, 2);
}

} // namespace
