// Host services of both effect classes: what each sends, what it makes of the answer, and what
// it answers without a callback; resume() and automation, which send on their own.

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <vector>

#include "Opcodes.h"
#include "RecordingHost.h"
#include "TestEffects.h"

namespace {

constexpr VstIntPtr kAnswer = 0x5A5A;
char scratch[16];  // stands for every text, record and window the services pass on
void* const kScratch = scratch;

// Every result as a number: bools as 1 or 0, addresses as their value, rates truncated.
template <typename Result>
VstIntPtr number(Result result) {
    if constexpr (std::is_pointer_v<Result>) {
        return reinterpret_cast<VstIntPtr>(result);
    } else {
        return static_cast<VstIntPtr>(result);
    }
}

struct Service {
    const char* name;
    VstIntPtr (*call)(TestEffect& effect);
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr withHost;     // when the host answers kAnswer
    VstIntPtr withoutHost;  // when there is no callback
};

#define QUERY(expression) #expression, [](TestEffect& e) { return number(e.expression); }
#define NOTICE(expression) #expression, [](TestEffect& e) { e.expression; return VstIntPtr{0}; }

const Service kServices[] = {
    {NOTICE(setParameterAutomated(4, 0.25f)), 0, 4, 0, nullptr, 0.25f, 0, 0},
    {QUERY(getHostVersion()), 1, 0, 0, nullptr, 0.0f, kAnswer, 1},
    {QUERY(getCurrentUniqueId()), 2, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {NOTICE(hostIdle()), 3, 0, 0, nullptr, 0.0f, 0, 0},
    {QUERY(isInputConnected(6)), 4, 6, 0, nullptr, 0.0f, 0, 1},
    {QUERY(isOutputConnected(6)), 4, 6, 1, nullptr, 0.0f, 0, 1},
    {NOTICE(requestMidiEvents(9)), 6, 0, 9, nullptr, 0.0f, 0, 0},
    {QUERY(getTimeInfo(9)), 7, 0, 9, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getHostTempoAt(9)), 10, 0, 9, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getHostAutomatableCount()), 11, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getHostParameterQuantization()), 12, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(ioChanged()), 13, 0, 0, nullptr, 0.0f, 1, 0},
    {QUERY(requestIdle()), 14, 0, 0, nullptr, 0.0f, 1, 0},
    {QUERY(sizeWindow(640, 480)), 15, 640, 480, nullptr, 0.0f, 1, 0},
    {QUERY(updateSampleRate()), 16, 0, 0, nullptr, 0.0f, kAnswer, 44100},
    {QUERY(updateBlockSize()), 17, 0, 0, nullptr, 0.0f, kAnswer, 1024},
    {QUERY(getInputLatency()), 18, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getOutputLatency()), 19, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getPreviousEffect(3)), 20, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getNextEffect(3)), 21, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getHostReplaceOrAccumulate()), 22, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getCurrentProcessLevel()), 23, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getAutomationState()), 24, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(offlineStart(static_cast<VstAudioFile*>(kScratch), 2, 3)), 25, 3, 2, kScratch, 0.0f, 1, 0},
    {QUERY(offlineRead(static_cast<VstOfflineTask*>(kScratch), 4, true)), 26, 1, 4, kScratch, 0.0f, 1, 0},
    {QUERY(offlineRead(static_cast<VstOfflineTask*>(kScratch), 4, false)), 26, 0, 4, kScratch, 0.0f, 1, 0},
    {QUERY(offlineWrite(static_cast<VstOfflineTask*>(kScratch), 4)), 27, 0, 4, kScratch, 0.0f, 1, 0},
    {QUERY(offlineGetCurrentPass()), 28, 0, 0, nullptr, 0.0f, 1, 0},
    {QUERY(offlineGetCurrentMetaPass()), 29, 0, 0, nullptr, 0.0f, 1, 0},
    {NOTICE(setHostOutputSampleRate(22050.0f)), 30, 0, 0, nullptr, 22050.0f, 0, 0},
    {QUERY(getHostOutputArrangement()), 31, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(getHostVendorString(scratch)), 32, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getHostProductString(scratch)), 33, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getHostVendorVersion()), 34, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(hostVendorSpecific(7, 8, kScratch, 0.75f)), 35, 7, 8, kScratch, 0.75f, kAnswer, 0},
    {QUERY(canHostDo(scratch)), 37, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getHostLanguage()), 38, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(openHostWindow(kScratch)), 39, 0, 0, kScratch, 0.0f, kAnswer, 0},
    {QUERY(closeHostWindow(kScratch)), 40, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getDirectory()), 41, 0, 0, nullptr, 0.0f, kAnswer, 0},
    {QUERY(updateDisplay()), 42, 0, 0, nullptr, 0.0f, 1, 0},
    {QUERY(beginEdit(5)), 43, 5, 0, nullptr, 0.0f, 1, 0},
    {QUERY(endEdit(5)), 44, 5, 0, nullptr, 0.0f, 1, 0},
    {QUERY(openFileSelector(static_cast<VstFileSelect*>(kScratch))), 45, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(closeFileSelector(static_cast<VstFileSelect*>(kScratch))), 46, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getChunkFile(kScratch)), 48, 0, 0, kScratch, 0.0f, 1, 0},
    {QUERY(getHostInputArrangement()), 49, 0, 0, nullptr, 0.0f, kAnswer, 0},
};

#undef QUERY
#undef NOTICE

TEST(HostServices, SendExactlyTheirCallAndUseTheAnswer) {
    for (const Service& service : kServices) {
        SCOPED_TRACE(service.name);
        RecordingHost host;
        for (VstInt32 opcode = 0; opcode < 50; ++opcode) host.answer(opcode, kAnswer);
        TestEffect effect(RecordingHost::callback);
        EXPECT_EQ(service.call(effect), service.withHost);
        const HostCall sent{effect.getAEffect(), service.opcode, service.index, service.value,
                            service.ptr, service.opt};
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0], sent);
    }
}

TEST(HostServices, AnswerTheirFallbackWithoutCallback) {
    for (const Service& service : kServices) {
        TestEffect effect(nullptr);
        EXPECT_EQ(service.call(effect), service.withoutHost) << service.name;
    }
}

TEST(HostServices, ReadSpecialAnswers) {
    RecordingHost host;
    TestEffect effect(RecordingHost::callback);
    host.answer(audioMasterVersion, 0);
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));  // host answers 0
    host.answer(audioMasterLegacyPinConnected, 1);
    EXPECT_FALSE(effect.isInputConnected(0));
    host.answer(audioMasterCanDo, -1);
    EXPECT_EQ(effect.canHostDo(scratch), 1);
    host.answer(audioMasterCanDo, 0);
    EXPECT_EQ(effect.canHostDo(scratch), 0);

    host.answer(audioMasterGetSampleRate, 0);
    host.answer(audioMasterGetBlockSize, -512);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0f);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    host.answer(audioMasterGetSampleRate, 96000);
    host.answer(audioMasterGetBlockSize, 512);
    EXPECT_EQ(effect.updateSampleRate(), 96000.0f);
    EXPECT_EQ(effect.updateBlockSize(), 512);
    host.answer(audioMasterGetSampleRate, -1);
    host.answer(audioMasterGetBlockSize, 0);
    EXPECT_EQ(effect.updateSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.updateBlockSize(), 512);
    EXPECT_EQ(effect.getBlockSize(), 512);
}

TEST(HostServices, NullFileRecordsAreNotSent) {
    RecordingHost host;
    for (VstInt32 opcode = 0; opcode < 50; ++opcode) host.answer(opcode, 1);
    TestEffect effect(RecordingHost::callback);
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(host.calls.empty());
}

// Notes its parameter changes and how many host calls had been made by then.
class AutomatedEffect : public TestEffect {
public:
    AutomatedEffect(HostCallback callback, const RecordingHost& host) : TestEffect(callback), host(host) {}
    void setParameter(VstInt32 index, float value) override {
        notes.push_back({static_cast<float>(index), value, static_cast<float>(host.calls.size())});
    }
    std::vector<std::vector<float>> notes;

private:
    const RecordingHost& host;
};

TEST(HostServices, AutomationSetsTheParameterBeforeTellingTheHost) {
    RecordingHost host;
    AutomatedEffect effect(RecordingHost::callback, host);
    effect.setParameterAutomated(1, 0.5f);
    EXPECT_EQ(effect.notes, (std::vector<std::vector<float>>{{1, 0.5f, 0}}));
    EXPECT_EQ(host.calls.size(), 1u);
    AutomatedEffect alone(nullptr, host);
    alone.setParameterAutomated(1, 0.5f);
    EXPECT_EQ(alone.notes, (std::vector<std::vector<float>>{{1, 0.5f, 1}}));
}

// Answers `answer` when asked about MIDI events and 0 to everything else.
class MidiEffect : public TestEffect {
public:
    MidiEffect(VstInt32 answer) : TestEffect(RecordingHost::callback), answer(answer) {}
    VstInt32 canDo(char* text) override {
        return std::strcmp(text, "receiveVstMidiEvent") == 0 ? answer : 0;
    }

private:
    VstInt32 answer;
};

TEST(HostServices, ResumeAsksForMidiOnlyForSynthsAndMidiReceivers) {
    RecordingHost host;
    TestEffect plain(RecordingHost::callback);
    plain.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    MidiEffect almost(2);
    almost.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_TRUE(host.calls.empty());

    plain.setIsSynth(true);
    plain.dispatcher(effMainsChanged, 0, 7, nullptr, 0.0f);
    plain.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);  // suspend sends nothing
    MidiEffect receiver(1);
    receiver.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    const std::vector<HostCall> expected = {
        {plain.getAEffect(), audioMasterLegacyWantMidi, 0, 1, nullptr, 0.0f},
        {receiver.getAEffect(), audioMasterLegacyWantMidi, 0, 1, nullptr, 0.0f}};
    EXPECT_EQ(host.calls, expected);
}

}  // namespace
