// Both dispatchers: the answer to every opcode, where each opcode's arguments arrive, the
// editor opcodes, pointer checks and closing through the record.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "AEffEditor.h"
#include "Opcodes.h"
#include "RecordEntries.h"
#include "TestEffects.h"

namespace {

constexpr VstIntPtr kIdentifyAnswer = 0x4E764566;

// Opcodes that the defaults answer with something other than 0, for a given value argument.
VstIntPtr expectedAnswer(const std::map<VstInt32, VstIntPtr>& table, VstInt32 opcode) {
    const auto found = table.find(opcode);
    return found == table.end() ? 0 : found->second;
}

TEST(Dispatcher, AnswersEveryOpcodeAsTheTablesSay) {
    TestEffect effect(nullptr);
    void* slot = nullptr;  // opcode 69 stores through its value
    const auto value = reinterpret_cast<VstIntPtr>(&slot);
    alignas(8) char buffer[256] = {};
    const std::map<VstInt32, VstIntPtr> base = {{effLegacyIdentify, kIdentifyAnswer}};
    const std::map<VstInt32, VstIntPtr> extended = {
        {effLegacyIdentify, kIdentifyAnswer}, {effCanBeAutomated, 1}, {effGetVstVersion, 2400},
        {effGetCurrentMidiProgram, -1}, {effSetTotalSampleToProcess, value}};
    for (VstInt32 opcode = -1; opcode <= 81; ++opcode) {
        EXPECT_EQ(effect.AudioEffect::dispatcher(opcode, 5, value, buffer, 0.5f),
                  expectedAnswer(base, opcode)) << "base dispatcher, opcode " << opcode;
        EXPECT_EQ(effect.dispatcher(opcode, 5, value, buffer, 0.5f),
                  expectedAnswer(extended, opcode)) << "opcode " << opcode;
    }
}

TEST(Dispatcher, DefaultsKeepAndWriteWhatTheySay) {
    TestEffect effect(nullptr);
    effect.dispatcher(effSetProgram, 0, 1, nullptr, 0.0f);  // not below the count of 1
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 0);
    effect.dispatcher(effSetProgram, 0, -1, nullptr, 0.0f);  // nor below 0
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 0);

    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect.dispatcher(effSetBlockSize, 0, 256, nullptr, 0.0f);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), 256);

    int somewhere = 0;
    void* chunk = &somewhere;
    EXPECT_EQ(effect.dispatcher(effGetChunk, 1, 0, &chunk, 0.0f), 0);
    EXPECT_EQ(chunk, &somewhere);  // no chunk, nothing stored
    auto* input = reinterpret_cast<VstSpeakerArrangement*>(&somewhere);
    auto* output = input;
    EXPECT_EQ(effect.dispatcher(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                                &output, 0.0f), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);

    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        char text[8];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(effect.dispatcher(opcode, 0, 0, text, 0.0f), 0);
        EXPECT_EQ(text[0], '\0') << "opcode " << opcode;
        EXPECT_EQ(text[1], 'x') << "opcode " << opcode;
    }
}

// Notes each operation the dispatcher calls and answers 7, which bools turn into true.
class ProbeEffect : public TestEffect {
public:
    struct Call {
        std::string operation;
        VstIntPtr a = 0;
        VstIntPtr b = 0;
        const void* p = nullptr;
        float f = 0.0f;
    };
    std::vector<Call> calls;

    ProbeEffect() : TestEffect(nullptr) {}

    void suspend() override { note("suspend"); }
    void resume() override { note("resume"); }
    void getProgramName(char* t) override { note("getProgramName", 0, 0, t); }
    void getParameterLabel(VstInt32 i, char* t) override { note("getParameterLabel", i, 0, t); }
    void getParameterDisplay(VstInt32 i, char* t) override { note("getParameterDisplay", i, 0, t); }
    void getParameterName(VstInt32 i, char* t) override { note("getParameterName", i, 0, t); }
    VstInt32 getChunk(void** d, bool preset) override { return note("getChunk", preset, 0, d); }
    VstInt32 setChunk(void* d, VstInt32 n, bool preset) override { return note("setChunk", n, preset, d); }
    bool getProgramNameIndexed(VstInt32 c, VstInt32 i, char* t) override {
        return note("getProgramNameIndexed", c, i, t);
    }
    bool getInputProperties(VstInt32 i, VstPinProperties* r) override { return note("getInputProperties", i, 0, r); }
    bool getOutputProperties(VstInt32 i, VstPinProperties* r) override { return note("getOutputProperties", i, 0, r); }
    bool offlineNotify(VstAudioFile* f, VstInt32 n, bool start) override { return note("offlineNotify", n, start, f); }
    bool offlinePrepare(VstOfflineTask* t, VstInt32 n) override { return note("offlinePrepare", n, 0, t); }
    bool offlineRun(VstOfflineTask* t, VstInt32 n) override { return note("offlineRun", n, 0, t); }
    bool processVariableIo(VstVariableIo* r) override { return note("processVariableIo", 0, 0, r); }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override {
        return note("setSpeakerArrangement", reinterpret_cast<VstIntPtr>(in), 0, out);
    }
    bool setBypass(bool state) override { return note("setBypass", state); }
    bool getEffectName(char* t) override { return note("getEffectName", 0, 0, t); }
    bool getVendorString(char* t) override { return note("getVendorString", 0, 0, t); }
    bool getProductString(char* t) override { return note("getProductString", 0, 0, t); }
    VstIntPtr vendorSpecific(VstInt32 i, VstIntPtr v, void* p, float f) override {
        return note("vendorSpecific", i, v, p, f);
    }
    bool getParameterProperties(VstInt32 i, VstParameterProperties* r) override {
        return note("getParameterProperties", i, 0, r);
    }
    VstInt32 getMidiProgramName(VstInt32 c, MidiProgramName* r) override { return note("getMidiProgramName", c, 0, r); }
    VstInt32 getCurrentMidiProgram(VstInt32 c, MidiProgramName* r) override {
        return note("getCurrentMidiProgram", c, 0, r);
    }
    VstInt32 getMidiProgramCategory(VstInt32 c, MidiProgramCategory* r) override {
        return note("getMidiProgramCategory", c, 0, r);
    }
    bool getMidiKeyName(VstInt32 c, MidiKeyName* r) override { return note("getMidiKeyName", c, 0, r); }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override {
        return note("getSpeakerArrangement", reinterpret_cast<VstIntPtr>(in), 0, out);
    }
    VstInt32 getNextShellPlugin(char* t) override { return note("getNextShellPlugin", 0, 0, t); }
    bool setPanLaw(VstInt32 type, float v) override { return note("setPanLaw", type, 0, nullptr, v); }

private:
    VstInt32 note(const char* operation, VstIntPtr a = 0, VstIntPtr b = 0, const void* p = nullptr,
                  float f = 0.0f) {
        calls.push_back({operation, a, b, p, f});
        return 7;
    }
};

// Dispatched with index 3 (unless given), value 9 (unless given), opt 0.5 and a buffer as ptr.
struct Route {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    const char* operation;
    VstIntPtr a;
    VstIntPtr b;
    bool getsBuffer;
    float f;
    VstIntPtr answer;
};

const Route kRoutes[] = {
    {effMainsChanged, 3, 0, "suspend", 0, 0, false, 0.0f, 0},
    {effMainsChanged, 3, 9, "resume", 0, 0, false, 0.0f, 0},
    {effGetProgramName, 3, 9, "getProgramName", 0, 0, true, 0.0f, 0},
    {effGetParamLabel, 3, 9, "getParameterLabel", 3, 0, true, 0.0f, 0},
    {effGetParamDisplay, 3, 9, "getParameterDisplay", 3, 0, true, 0.0f, 0},
    {effGetParamName, 3, 9, "getParameterName", 3, 0, true, 0.0f, 0},
    {effGetChunk, 5, 9, "getChunk", 1, 0, true, 0.0f, 7},
    {effGetChunk, 0, 9, "getChunk", 0, 0, true, 0.0f, 7},
    {effSetChunk, 3, 9, "setChunk", 9, 1, true, 0.0f, 7},
    {effGetProgramNameIndexed, 3, 9, "getProgramNameIndexed", 9, 3, true, 0.0f, 1},
    {effGetInputProperties, 3, 9, "getInputProperties", 3, 0, true, 0.0f, 1},
    {effGetOutputProperties, 3, 9, "getOutputProperties", 3, 0, true, 0.0f, 1},
    {effOfflineNotify, 3, 9, "offlineNotify", 9, 1, true, 0.0f, 1},
    {effOfflineNotify, 0, 9, "offlineNotify", 9, 0, true, 0.0f, 1},
    {effOfflinePrepare, 3, 9, "offlinePrepare", 9, 0, true, 0.0f, 1},
    {effOfflineRun, 3, 9, "offlineRun", 9, 0, true, 0.0f, 1},
    {effProcessVarIo, 3, 9, "processVariableIo", 0, 0, true, 0.0f, 1},
    {effSetSpeakerArrangement, 3, 9, "setSpeakerArrangement", 9, 0, true, 0.0f, 1},
    {effSetBypass, 3, 9, "setBypass", 1, 0, false, 0.0f, 1},
    {effSetBypass, 3, 0, "setBypass", 0, 0, false, 0.0f, 1},
    {effGetEffectName, 3, 9, "getEffectName", 0, 0, true, 0.0f, 1},
    {effGetVendorString, 3, 9, "getVendorString", 0, 0, true, 0.0f, 1},
    {effGetProductString, 3, 9, "getProductString", 0, 0, true, 0.0f, 1},
    {effVendorSpecific, 3, 9, "vendorSpecific", 3, 9, true, 0.5f, 7},
    {effGetParameterProperties, 3, 9, "getParameterProperties", 3, 0, true, 0.0f, 1},
    {effGetMidiProgramName, 3, 9, "getMidiProgramName", 3, 0, true, 0.0f, 7},
    {effGetCurrentMidiProgram, 3, 9, "getCurrentMidiProgram", 3, 0, true, 0.0f, 7},
    {effGetMidiProgramCategory, 3, 9, "getMidiProgramCategory", 3, 0, true, 0.0f, 7},
    {effGetMidiKeyName, 3, 9, "getMidiKeyName", 3, 0, true, 0.0f, 1},
    {effGetSpeakerArrangement, 3, 9, "getSpeakerArrangement", 9, 0, true, 0.0f, 1},
    {effShellGetNextPlugin, 3, 9, "getNextShellPlugin", 0, 0, true, 0.0f, 7},
    {effSetPanLaw, 3, 9, "setPanLaw", 9, 0, false, 0.5f, 1},
};

TEST(Dispatcher, HandsEachOpcodesArgumentsToItsOperation) {
    alignas(8) char buffer[64] = {};
    for (const Route& route : kRoutes) {
        SCOPED_TRACE(route.operation);
        ProbeEffect effect;
        EXPECT_EQ(effect.dispatcher(route.opcode, route.index, route.value, buffer, 0.5f), route.answer);
        ASSERT_EQ(effect.calls.size(), 1u);
        const ProbeEffect::Call& call = effect.calls[0];
        EXPECT_EQ(call.operation, route.operation);
        EXPECT_EQ(call.a, route.a);
        EXPECT_EQ(call.b, route.b);
        EXPECT_EQ(call.p, route.getsBuffer ? buffer : nullptr);
        EXPECT_EQ(call.f, route.f);
    }
}

TEST(Dispatcher, OpcodesThatWriteThroughANullPointerDoNothing) {
    alignas(8) char buffer[64] = {};
    for (VstInt32 opcode : {5, 6, 7, 8, 23, 29, 33, 34, 38, 39, 40, 41, 45, 47, 48, 56, 62, 63, 64,
                            66, 69, 70}) {
        ProbeEffect effect;
        // Without a record there is no current MIDI program, the default's answer.
        const VstIntPtr expected = opcode == effGetCurrentMidiProgram ? -1 : 0;
        EXPECT_EQ(effect.dispatcher(opcode, 3, 9, nullptr, 0.5f), expected) << "opcode " << opcode;
        EXPECT_TRUE(effect.calls.empty()) << "opcode " << opcode;
    }
    ProbeEffect effect;
    EXPECT_EQ(effect.dispatcher(effGetSpeakerArrangement, 3, 0, buffer, 0.5f), 0);
    EXPECT_TRUE(effect.calls.empty());
}

struct EditorLog {
    int rects = 0, closes = 0, idles = 0, keyDowns = 0, keyUps = 0;
    void* window = nullptr;
    VstKeyCode key{};
    VstInt32 knobMode = 0;
    bool destroyed = false;
};

class TestEditor : public AEffEditor {
public:
    TestEditor(AudioEffect* effect, EditorLog& log, bool answer)
        : AEffEditor(effect), log(log), answer(answer) {}
    ~TestEditor() override { log.destroyed = true; }

    bool getRect(ERect** rect) override { ++log.rects; *rect = &area; return answer; }
    bool open(void* window) override { log.window = window; return answer; }
    void close() override { ++log.closes; }
    void idle() override { ++log.idles; }
    bool onKeyDown(VstKeyCode& key) override { log.key = key; ++log.keyDowns; return answer; }
    bool onKeyUp(VstKeyCode& key) override { log.key = key; ++log.keyUps; return answer; }
    bool setKnobMode(VstInt32 mode) override { log.knobMode = mode; return answer; }

    ERect area{1, 2, 3, 4};

private:
    EditorLog& log;
    bool answer;
};

TEST(Dispatcher, EditorOpcodesReachTheEditorAndAnswerItsResult) {
    for (bool answer : {true, false}) {
        SCOPED_TRACE(answer);
        const VstIntPtr expected = answer ? 1 : 0;
        EditorLog log;
        TestEffect effect(nullptr);
        auto* editor = new TestEditor(&effect, log, answer);
        effect.setEditor(editor);
        EXPECT_EQ(effect.getEditor(), editor);
        EXPECT_EQ(effect.getAEffect()->flags, effFlagsCanReplacing | effFlagsHasEditor);

        ERect* rect = nullptr;
        EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), expected);
        EXPECT_EQ(rect, &editor->area);
        EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, nullptr, 0.0f), 0);
        EXPECT_EQ(log.rects, 1);
        int window = 0;
        EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, &window, 0.0f), expected);
        EXPECT_EQ(log.window, &window);
        EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0);
        EXPECT_EQ(log.idles, 1);
        EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f), 0);
        EXPECT_EQ(log.closes, 1);

        EXPECT_EQ(effect.dispatcher(effEditKeyDown, 65, 0x17, nullptr, 2.9f), expected);
        EXPECT_EQ(log.keyDowns, 1);
        EXPECT_EQ(log.key.character, 65);
        EXPECT_EQ(log.key.virt, 0x17);
        EXPECT_EQ(log.key.modifier, 2);
        EXPECT_EQ(effect.dispatcher(effEditKeyUp, -7, 0x1234, nullptr, -1.5f), expected);
        EXPECT_EQ(log.keyUps, 1);
        EXPECT_EQ(log.key.character, -7);
        EXPECT_EQ(log.key.virt, 0x34);
        EXPECT_EQ(log.key.modifier, 0xFF);  // -1 after truncation toward zero
        EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0.0f), expected);
        EXPECT_EQ(log.knobMode, 2);
    }
}

TEST(Dispatcher, PlainEditorAnswersNoAndTracksItsWindow) {
    TestEffect effect(nullptr);
    auto* editor = new AEffEditor(&effect);
    effect.setEditor(editor);
    EXPECT_EQ(editor->getEffect(), &effect);
    EXPECT_FALSE(editor->isOpen());

    ERect area{};
    ERect* rect = &area;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(rect, nullptr);
    int window = 0;
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, &window, 0.0f), 0);
    EXPECT_TRUE(editor->isOpen());
    EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_FALSE(editor->isOpen());
    for (VstInt32 opcode : {effEditKeyDown, effEditKeyUp, effSetEditKnobMode}) {
        EXPECT_EQ(effect.dispatcher(opcode, 65, 1, nullptr, 1.0f), 0) << "opcode " << opcode;
    }
    EXPECT_FALSE(editor->onWheel(1.0f));
}

// Answers 5 to everything and notes its own close and destruction.
class ClosingEffect : public TestEffect {
public:
    ClosingEffect(bool& closed, bool& destroyed)
        : TestEffect(nullptr), closed(closed), destroyed(destroyed) {}
    ~ClosingEffect() override { destroyed = true; }
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override {
        TestEffect::dispatcher(opcode, index, value, ptr, opt);
        return 5;
    }
    void close() override { closed = !destroyed; }

private:
    bool& closed;
    bool& destroyed;
};

TEST(Dispatcher, CloseThroughTheRecordDestroysEffectAndEditor) {
    EditorLog log;
    bool closed = false;
    bool destroyed = false;
    auto* effect = new ClosingEffect(closed, destroyed);
    effect->setEditor(new TestEditor(effect, log, true));
    AEffect* record = effect->getAEffect();
    EXPECT_EQ(record->object, static_cast<AudioEffect*>(effect));
    EXPECT_EQ(dispatchEntry(record, effGetVstVersion, 0, 0, nullptr, 0.0f), 5);
    EXPECT_FALSE(destroyed);

    EXPECT_EQ(dispatchEntry(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(log.destroyed);
}

}  // namespace
