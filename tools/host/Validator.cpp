#include "Validator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <set>
#include <thread>

#include "AudioThread.h"
#include "ChannelBuffers.h"
#include "CrashGuard.h"
#include "Host.h"
#include "HostRecords.h"
#include "HostWindow.h"
#include "OpcodeNames.h"
#include "ProcessResources.h"
#include "Opcodes.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kInstancesInTurn = 100;
constexpr int kInstancesAlive = 8;
constexpr std::size_t kSweepBufferSize = 1024;
constexpr std::size_t kSweepGuardSize = 64;
constexpr unsigned char kGuardByte = 0xA5;
constexpr VstInt32 kLargestProcessBlock = 4096;
constexpr int kSampleRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
constexpr VstInt32 kBlockSizes[] = {0, 1, 3, 4, 5, 31, 64, 512, 1024, 4096};
// Programs and parameters beyond these counts are not walked one by one.
constexpr VstInt32 kWalkLimit = 1024;
constexpr int kEditorCycles = 200;
// Heap growth over all cycles that still counts as none: the allocator's own bookkeeping.
constexpr long long kHeapSlackBytes = 16 * 1024;
constexpr int kEditorIdles = 50;

const char* const kEditorChecks[] = {
    "editor rectangle before open", "editor opens in a host window", "editor idles",
    "editor closes",                "editor reopens",                "editor open and close cycles",
    "editor cycles keep GDI objects", "editor cycles keep heap memory",
    "editor opens while audio runs",
};

std::vector<VstInt32> sweepOpcodes() {
    std::vector<VstInt32> opcodes;
    for (VstInt32 opcode = -1; opcode <= 100; ++opcode) opcodes.push_back(opcode);
    for (VstInt32 extreme : {std::numeric_limits<VstInt32>::min(),
                             std::numeric_limits<VstInt32>::min() + 1, -65536, -1000, 1000, 65535,
                             65536, std::numeric_limits<VstInt32>::max()}) {
        opcodes.push_back(extreme);
    }
    return opcodes;
}

// True unless the plug-in filled the zeroed buffer from its first written byte to the end
// without a terminating zero.
bool terminatedInside(const unsigned char* buffer, std::size_t size) {
    const auto* end = buffer + size;
    const auto* first = std::find_if(buffer, end, [](unsigned char c) { return c != 0; });
    return first == end || std::find(first, end, 0) != end;
}

std::string opcodeList(const std::vector<VstInt32>& opcodes) {
    std::string text;
    for (std::size_t i = 0; i < opcodes.size() && i < 8; ++i) {
        if (!text.empty()) text += ", ";
        text += std::to_string(opcodes[i]) + " " + effectOpcodeName(opcodes[i]);
    }
    if (opcodes.size() > 8) text += " and " + std::to_string(opcodes.size() - 8) + " more";
    return text;
}

bool isClean(const AudioData& audio) {
    for (const auto& channel : audio.channels) {
        for (const float sample : channel) {
            const int kind = std::fpclassify(sample);
            if (kind != FP_NORMAL && kind != FP_ZERO) return false;
        }
    }
    return true;
}

bool sameBits(const AudioData& a, const AudioData& b) {
    if (a.channels.size() != b.channels.size()) return false;
    for (std::size_t c = 0; c < a.channels.size(); ++c) {
        if (a.channels[c].size() != b.channels[c].size() ||
            std::memcmp(a.channels[c].data(), b.channels[c].data(),
                        a.channels[c].size() * sizeof(float)) != 0) {
            return false;
        }
    }
    return true;
}

// Streams `input` through the effect in blocks; in place, the output buffers are the input's.
AudioData processAll(Effect& effect, const AudioData& input, VstInt32 block, bool inPlace) {
    const auto frames = static_cast<std::size_t>(block);
    ChannelBuffers inputs(effect.record().numInputs, frames);
    ChannelBuffers outputs(effect.record().numOutputs, frames);
    AudioData result;
    result.sampleRate = input.sampleRate;
    result.channels.assign(static_cast<std::size_t>(effect.record().numOutputs), {});
    ChannelBuffers& written = inPlace ? inputs : outputs;
    for (std::size_t offset = 0; offset < input.frames(); offset += frames) {
        const std::size_t count = std::min(frames, input.frames() - offset);
        inputs.load(input, offset, count);
        outputs.mark();
        effect.process(inputs.pointers(), written.pointers(), static_cast<VstInt32>(count));
        for (std::size_t c = 0; c < result.channels.size(); ++c) {
            const float* samples = written.channel(static_cast<int>(c));
            result.channels[c].insert(result.channels[c].end(), samples, samples + count);
        }
    }
    return result;
}

}  // namespace

Validator::Validator(const PluginLibrary& library, Options options)
    : library_(library), options_(options) {}

bool Validator::run() {
    CrashGuard::install();
    if (checkEntryPoint()) {
        checkInstancesInTurn();
        checkInstancesAlive();
        checkOpcodeSweep();
        checkStartUp();
        checkProcessing();
        checkParameters();
        checkPrograms();
        checkThreads();
        checkEditor();
        if (options_.passThrough) checkPassThrough();
    }
    report_.printSummary();
    return report_.failed() == 0;
}

void Validator::step(const std::string& text) { CrashGuard::setStep(text.c_str()); }

Expected<Effect> Validator::fresh(const std::string& purpose) {
    auto effect = Effect::create(library_);
    if (!effect) report_.fail(purpose, effect.error());
    return effect;
}

bool Validator::checkEntryPoint() {
    report_.pass("entry point", library_.entryName() + " exported");
    step("entry point call");
    Host::instance().startRecording();
    AEffect* record = library_.entryPoint()(Host::callback);
    const std::vector<VstInt32> calls = Host::instance().stopRecording();
    if (calls.empty()) {
        report_.pass("version query comes first", "the entry point asked the host nothing");
    } else {
        report_.check("version query comes first", calls.front() == audioMasterVersion,
                      "first host call: " + hostOpcodeName(calls.front()),
                      "first host call: " + hostOpcodeName(calls.front()));
    }
    if (!report_.check("entry point answers a record", record != nullptr,
                       "null for a host answering version 2400")) {
        return false;
    }
    if (!report_.check("record magic", record->magic == kEffectMagic,
                       "not 'VstP'")) {
        return false;  // not a record: touching it further could crash
    }
    checkRecord(*record);
    step("closing the first instance");
    Effect::adopt(record).close();
    return true;
}

void Validator::checkRecord(const AEffect& record) {
    std::string missing;
    if (!record.dispatcher) missing += " dispatcher";
    if (!record.setParameter) missing += " setParameter";
    if (!record.getParameter) missing += " getParameter";
    if (!record.processReplacing) missing += " processReplacing";
    report_.check("record entries", missing.empty(), "null:" + missing);
    report_.check("record flags allow processReplacing", (record.flags & effFlagsCanReplacing) != 0,
                  "flag 16 clear");
    const VstInt32 knownFlags = effFlagsHasEditor | effFlagsHasClip | effFlagsHasVu |
                                effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks |
                                effFlagsIsSynth | effFlagsNoSoundInStop | effFlagsExtIsAsync |
                                effFlagsExtHasBuffer | effFlagsCanDoubleReplacing;
    report_.check("record flags known", (record.flags & ~knownFlags) == 0,
                  "unknown bits " + std::to_string(record.flags & ~knownFlags));
    const bool countsSane = record.numInputs >= 0 && record.numInputs <= 128 &&
                            record.numOutputs >= 1 && record.numOutputs <= 128 &&
                            record.numPrograms >= 0 && record.numPrograms <= 1'000'000 &&
                            record.numParams >= 0 && record.numParams <= 1'000'000;
    const std::string counts = std::to_string(record.numInputs) + " inputs, " +
                               std::to_string(record.numOutputs) + " outputs, " +
                               std::to_string(record.numPrograms) + " programs, " +
                               std::to_string(record.numParams) + " parameters";
    report_.check("record counts sane", countsSane, counts, counts);
    report_.check("record unique ID set", record.uniqueID != 0, "0");
    report_.check("record initial delay sane", record.initialDelay >= 0, "negative");
}

void Validator::checkInstancesInTurn() {
    int good = 0;
    for (int i = 0; i < kInstancesInTurn; ++i) {
        step("instance " + std::to_string(i + 1) + " of 100 opened and closed in turn");
        AEffect* record = library_.entryPoint()(Host::callback);
        if (record == nullptr || record->magic != kEffectMagic) continue;
        Effect effect = Effect::adopt(record);
        effect.dispatch(effOpen);
        effect.close();
        ++good;
    }
    const std::string tally = std::to_string(good) + " of 100 good";
    report_.check("100 instances opened and closed in turn", good == kInstancesInTurn, tally, tally);
}

void Validator::checkInstancesAlive() {
    step("8 instances alive at once");
    std::vector<Effect> effects;
    for (int i = 0; i < kInstancesAlive; ++i) {
        auto effect = Effect::create(library_);
        if (!effect) break;
        effect->start(44100.0f, 512);
        effects.push_back(std::move(*effect));
    }
    const std::string created = std::to_string(effects.size()) + " created";
    if (!report_.check("8 instances alive at once", effects.size() == kInstancesAlive, created,
                       created)) {
        return;
    }
    std::vector<std::uintptr_t> starts;
    for (auto& effect : effects) starts.push_back(reinterpret_cast<std::uintptr_t>(&effect.record()));
    std::sort(starts.begin(), starts.end());
    bool disjoint = true;
    for (std::size_t i = 1; i < starts.size(); ++i) {
        disjoint = disjoint && starts[i] - starts[i - 1] >= sizeof(AEffect);
    }
    report_.check("live instances have records of their own", disjoint, "records overlap");

    const AEffect& first = effects.front().record();
    bool sameValues = true;
    for (auto& effect : effects) {
        const AEffect& record = effect.record();
        sameValues = sameValues && record.numInputs == first.numInputs &&
                     record.numOutputs == first.numOutputs &&
                     record.numParams == first.numParams && record.uniqueID == first.uniqueID;
    }
    report_.check("live instances report the same record values", sameValues, "values differ");

    // Closing one must leave the others' records and processing intact.
    const VstIntPtr version = effects.back().dispatch(effGetVstVersion);
    effects.front().close();
    bool othersWork = true;
    const AudioData signal = TestSignal::clean(44100, 512, 2);
    for (std::size_t i = 1; i < effects.size(); ++i) {
        step("instance " + std::to_string(i + 1) + " of 8 after the first was closed");
        Effect& effect = effects[i];
        ChannelBuffers inputs(effect.record().numInputs, 512);
        ChannelBuffers outputs(effect.record().numOutputs, 512);
        inputs.load(signal, 0, 512);
        effect.process(inputs.pointers(), outputs.pointers(), 512);
        othersWork = othersWork && effect.record().magic == kEffectMagic &&
                     effect.dispatch(effGetVstVersion) == version && outputs.clean(512) &&
                     outputs.guardsIntact(512);
    }
    report_.check("closing one instance leaves the others working", othersWork,
                  "a remaining instance changed or processes badly");
    step("closing 7 instances in reverse order");
    while (!effects.empty()) effects.pop_back();
    step("a new instance after all were closed");
    auto later = Effect::create(library_);
    report_.check("a new instance works after all were closed",
                  later && later->dispatch(effGetVstVersion) == version,
                  later ? "answers differently" : later.error());
}

void Validator::checkOpcodeSweep() {
    auto effect = fresh("opcode sweep");
    if (!effect) return;
    effect->dispatch(effOpen);
    const bool hasEditor = effect->hasFlag(effFlagsHasEditor);
    const std::vector<VstInt32> opcodes = sweepOpcodes();
    std::vector<unsigned char> buffer(kSweepBufferSize + kSweepGuardSize);
    std::vector<VstInt32> unterminated;
    std::vector<VstInt32> overrun;
    int nullCalls = 0;
    int bufferCalls = 0;

    for (const bool withBuffer : {false, true}) {
        for (const VstInt32 opcode : opcodes) {
            // Closing ends the instance; it comes last. An editor opens only in a real window.
            if (opcode == effClose || (opcode == effEditOpen && hasEditor)) continue;
            step(std::string("opcode sweep with ") + (withBuffer ? "a zeroed buffer" : "a null pointer") +
                 ", opcode " + std::to_string(opcode) + " " + effectOpcodeName(opcode));
            std::fill(buffer.begin(), buffer.begin() + kSweepBufferSize, 0);
            std::fill(buffer.begin() + kSweepBufferSize, buffer.end(), kGuardByte);
            effect->dispatch(opcode, 0, 0, withBuffer ? buffer.data() : nullptr, 0.0f);
            if (!withBuffer) {
                ++nullCalls;
                continue;
            }
            ++bufferCalls;
            if (!terminatedInside(buffer.data(), kSweepBufferSize)) unterminated.push_back(opcode);
            if (std::any_of(buffer.begin() + kSweepBufferSize, buffer.end(),
                            [](unsigned char c) { return c != kGuardByte; })) {
                overrun.push_back(opcode);
            }
        }
    }
    const std::string skipped = hasEditor ? " (editor open left to the editor checks)" : "";
    report_.pass("opcodes -1 to 100 and 8 extreme ones with a null pointer",
                 std::to_string(nullCalls) + " calls answered" + skipped);
    report_.pass("opcodes -1 to 100 and 8 extreme ones with a zeroed 1024-byte buffer",
                 std::to_string(bufferCalls) + " calls answered" + skipped);
    report_.check("texts written are terminated inside the buffer", unterminated.empty(),
                  "unterminated after " + opcodeList(unterminated));
    report_.check("nothing written past the buffer", overrun.empty(),
                  "written past 1024 bytes by " + opcodeList(overrun));
    report_.check("record intact after the opcode sweep", effect->record().magic == kEffectMagic,
                  "magic overwritten");
    step("opcode sweep, effClose");
    effect->close();
}

void Validator::checkStartUp() {
    auto effect = fresh("start-up sequence");
    if (!effect) return;
    int marker = 0;
    effect->record().user = &marker;
    step("start-up sequence");
    effect->start(44100.0f, 512);
    const AudioData signal = TestSignal::clean(44100, 512, 2);
    const bool clean = isClean(processAll(*effect, signal, 512, false));
    effect->stop();
    report_.check("start-up sequence", clean, "output of the first block not clean",
                  "open, sample rate, block size, resume, start, a block, stop, suspend");

    step("suspend and resume 50 times");
    bool cycledClean = true;
    for (int i = 0; i < 50; ++i) {
        effect->dispatch(effMainsChanged, 0, 1);
        ChannelBuffers inputs(effect->record().numInputs, 64);
        ChannelBuffers outputs(effect->record().numOutputs, 64);
        inputs.load(signal, 0, 64);
        effect->process(inputs.pointers(), outputs.pointers(), 64);
        cycledClean = cycledClean && outputs.clean(64) && outputs.guardsIntact(64);
        effect->dispatch(effMainsChanged, 0, 0);
    }
    report_.check("suspend and resume 50 times", cycledClean, "output not clean after a resume");
    report_.check("record's user field left to the host", effect->record().user == &marker,
                  "the plug-in overwrote it");
    effect->record().user = nullptr;
}

void Validator::checkProcessing() {
    auto effect = fresh("processing");
    if (!effect) return;
    effect->start(44100.0f, kLargestProcessBlock);
    const auto capacity = static_cast<std::size_t>(kLargestProcessBlock);
    ChannelBuffers inputs(effect->record().numInputs, capacity);
    ChannelBuffers outputs(effect->record().numOutputs, capacity);
    std::vector<std::string> overruns;
    for (const int rate : kSampleRates) {
        effect->dispatch(effStopProcess);
        effect->dispatch(effMainsChanged, 0, 0);
        Host::instance().setSampleRate(static_cast<float>(rate));
        effect->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        effect->dispatch(effSetBlockSize, 0, kLargestProcessBlock);
        effect->dispatch(effMainsChanged, 0, 1);
        effect->dispatch(effStartProcess);
        const AudioData signal = TestSignal::clean(rate, capacity * 2, 2);
        std::string dirty;
        for (const VstInt32 block : kBlockSizes) {
            step("processing at " + std::to_string(rate) + " Hz in blocks of " + std::to_string(block));
            const auto frames = static_cast<std::size_t>(block);
            for (std::size_t round = 0; round < 3; ++round) {
                inputs.load(signal, round * frames, frames);
                outputs.mark();
                effect->process(inputs.pointers(), outputs.pointers(), block);
                if (!outputs.clean(frames) && dirty.empty()) {
                    dirty = "NaN, infinity or subnormal in blocks of " + std::to_string(block);
                }
                if (!outputs.guardsIntact(frames)) {
                    overruns.push_back(std::to_string(rate) + " Hz, block " + std::to_string(block));
                }
            }
        }
        report_.check("processing at " + std::to_string(rate) + " Hz, blocks of 0 to 4096 frames",
                      dirty.empty(), dirty);
    }
    report_.check("nothing written past the frame count", overruns.empty(),
                  overruns.empty() ? std::string() : "at " + overruns.front());
}

void Validator::checkParameters() {
    auto effect = fresh("parameters");
    if (!effect) return;
    const VstInt32 count = std::min(effect->record().numParams, kWalkLimit);
    if (count <= 0) {
        for (const char* value : {"0", "1", "0.5", "-1", "2", "NaN"}) {
            report_.skip(std::string("parameters set to ") + value + " and read back",
                         "the plug-in has no parameters");
        }
        return;
    }
    effect->start(44100.0f, 512);
    std::vector<unsigned char> buffer(kSweepBufferSize);
    bool textsTerminated = true;
    const float values[] = {0.0f, 1.0f, 0.5f, -1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()};
    const char* names[] = {"0", "1", "0.5", "-1", "2", "NaN"};
    for (std::size_t v = 0; v < std::size(values); ++v) {
        std::string bad;
        for (VstInt32 index = 0; index < count; ++index) {
            step(std::string("parameter ") + std::to_string(index) + " set to " + names[v]);
            effect->setParameter(index, values[v]);
            const float back = effect->getParameter(index);
            if (!(back >= 0.0f && back <= 1.0f) && bad.empty()) {
                bad = "parameter " + std::to_string(index) + " reads back " + std::to_string(back);
            }
            for (const VstInt32 opcode : {effGetParamDisplay, effGetParamName, effGetParamLabel}) {
                std::fill(buffer.begin(), buffer.end(), 0);
                effect->dispatch(opcode, index, 0, buffer.data());
                textsTerminated = textsTerminated && terminatedInside(buffer.data(), buffer.size());
            }
        }
        report_.check(std::string("parameters set to ") + names[v] + " and read back", bad.empty(),
                      bad, std::to_string(count) + " read back from 0 to 1");
    }
    report_.check("parameter names, labels and displays terminated", textsTerminated,
                  "a text fills the whole buffer");
}

void Validator::checkPrograms() {
    auto effect = fresh("programs");
    if (!effect) return;
    const VstInt32 count = std::min(effect->record().numPrograms, kWalkLimit);
    if (count <= 0) {
        report_.skip("every program selected", "the plug-in has no programs");
        return;
    }
    effect->start(44100.0f, 512);
    std::vector<unsigned char> buffer(kSweepBufferSize);
    std::string wrong;
    bool namesTerminated = true;
    for (VstInt32 program = 0; program < count; ++program) {
        step("program " + std::to_string(program) + " selected");
        effect->dispatch(effBeginSetProgram);
        effect->dispatch(effSetProgram, 0, program);
        effect->dispatch(effEndSetProgram);
        const VstIntPtr current = effect->dispatch(effGetProgram);
        if (current != program && wrong.empty()) {
            wrong = "program " + std::to_string(program) + " selected, " + std::to_string(current) +
                    " reported";
        }
        for (const VstInt32 opcode : {effGetProgramName, effGetProgramNameIndexed}) {
            std::fill(buffer.begin(), buffer.end(), 0);
            effect->dispatch(opcode, opcode == effGetProgramName ? 0 : program, opcode == effGetProgramName ? 0 : -1,
                             buffer.data());
            namesTerminated = namesTerminated && terminatedInside(buffer.data(), buffer.size());
        }
    }
    report_.check("every program selected", wrong.empty(), wrong,
                  std::to_string(count) + " programs");
    report_.check("program names terminated", namesTerminated, "a name fills the whole buffer");
}

void Validator::checkThreads() {
    auto effect = fresh("audio thread with opcodes from another thread");
    if (!effect) return;
    step("audio on a second thread while the first sends parameter and idle opcodes");
    effect->start(48000.0f, 256);
    const VstInt32 parameters = std::min(effect->record().numParams, kWalkLimit);
    std::size_t calls = 0;
    AudioThread audio(*effect, 48000, 256);
    audio.waitForBlocks(1);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    char text[kSweepBufferSize];
    while ((audio.blocks() < 200 || calls < 2000) && Clock::now() < deadline) {
        const auto index = parameters > 0 ? static_cast<VstInt32>(calls % parameters) : 0;
        if (parameters > 0) {
            effect->setParameter(index, static_cast<float>(calls % 11) / 10.0f);
            effect->getParameter(index);
            std::memset(text, 0, sizeof text);
            effect->dispatch(effGetParamDisplay, index, 0, text);
        }
        effect->dispatch(effLegacyIdle);
        effect->dispatch(effEditIdle);
        calls += parameters > 0 ? 5 : 2;
    }
    audio.stop();
    const std::string tally =
        std::to_string(audio.blocks()) + " blocks, " + std::to_string(calls) + " calls";
    report_.check("audio on a second thread while the first sends parameter and idle opcodes",
                  audio.blocks() > 0 && calls > 0, tally, tally);
    report_.check("output clean while opcodes arrive from another thread", audio.clean(),
                  "NaN, infinity, subnormal or a write past the frame count");
}

void Validator::checkEditor() {
    std::string reason;
    auto effect = fresh("editor");
    if (!effect) return;
    if (!HostWindow::available()) reason = "this build has no native windows";
    else if (!effect->hasFlag(effFlagsHasEditor)) reason = "the plug-in has no editor (flag 1 clear)";
    if (!reason.empty()) {
        for (const char* name : kEditorChecks) report_.skip(name, reason);
        return;
    }
    effect->start(44100.0f, 512);

    step("editor rectangle before open");
    ERect* rect = nullptr;
    effect->dispatch(effEditGetRect, 0, 0, &rect);
    const int width = rect ? rect->right - rect->left : 0;
    const int height = rect ? rect->bottom - rect->top : 0;
    const bool rectSane = width > 0 && height > 0 && width <= 16384 && height <= 16384;
    const std::string size =
        rect ? std::to_string(width) + " x " + std::to_string(height) : "no rectangle";
    report_.check("editor rectangle before open", rectSane, size, size);

    auto window = HostWindow::create("vsthost editor", rectSane ? width : 640, rectSane ? height : 480);
    if (!window) {
        for (std::size_t i = 1; i < std::size(kEditorChecks); ++i) report_.fail(kEditorChecks[i], window.error());
        return;
    }
    HostWindow& host = *window;
    Host::instance().setWindowSizer([&host](int w, int h) { return host.resizeClient(w, h); });

    auto openEditor = [&] {
        const VstIntPtr answer = effect->dispatch(effEditOpen, 0, 0, host.handle());
        HostWindow::pumpMessages();
        return answer != 0 || host.hasChildWindow();
    };
    auto idleEditor = [&](int times) {
        for (int i = 0; i < times; ++i) {
            effect->dispatch(effEditIdle);
            HostWindow::pumpMessages();
        }
    };
    auto closeEditor = [&] {
        effect->dispatch(effEditClose);
        HostWindow::pumpMessages();
        return !host.hasChildWindow();
    };

    step("editor opens in a host window");
    const bool opened = report_.check("editor opens in a host window", openEditor(),
                                      "answered 0 and made no window");
    step("editor idles");
    idleEditor(kEditorIdles);
    report_.check("editor idles", host.hasChildWindow(), "its window is gone after idle calls",
                  std::to_string(kEditorIdles) + " idle calls, window still open");
    step("editor closes");
    report_.check("editor closes", closeEditor(), "its window is still there");
    step("editor reopens");
    const bool reopened = openEditor();
    idleEditor(3);
    report_.check("editor reopens", reopened && closeEditor(), "second open failed");
    // Measured after two complete cycles, so that what an editor makes once per process (its
    // window class, cached fonts) is already there.
    const ProcessResources before = ProcessResources::measure();
    int goodCycles = 0;
    for (int cycle = 0; cycle < kEditorCycles; ++cycle) {
        step("editor open and close cycle " + std::to_string(cycle + 1));
        const bool ok = openEditor();
        idleEditor(3);
        if (closeEditor() && ok) ++goodCycles;
    }
    const ProcessResources after = ProcessResources::measure();
    const std::string cycles =
        std::to_string(goodCycles) + " of " + std::to_string(kEditorCycles) + " good";
    report_.check("editor open and close cycles", goodCycles == kEditorCycles, cycles, cycles);
    checkEditorResources(before, after);
    step("editor opens while audio runs");
    {
        AudioThread audio(*effect, 44100, 512);
        audio.waitForBlocks(1);
        const bool ok = openEditor();
        idleEditor(kEditorIdles);
        const bool closed = closeEditor();
        audio.stop();
        const std::string blocks = std::to_string(audio.blocks()) + " blocks while open";
        report_.check("editor opens while audio runs", opened && ok && closed && audio.clean(),
                      blocks, blocks);
    }
    Host::instance().setWindowSizer({});
}

void Validator::checkEditorResources(const ProcessResources& before,
                                     const ProcessResources& after) {
    if (!ProcessResources::available()) {
        report_.skip("editor cycles keep GDI objects", "this build cannot count them");
        report_.skip("editor cycles keep heap memory", "this build cannot measure it");
        return;
    }
    const std::string objects = std::to_string(before.gdiObjects) + " GDI objects before, " +
                                std::to_string(after.gdiObjects) + " after";
    report_.check("editor cycles keep GDI objects", after.gdiObjects <= before.gdiObjects, objects,
                  objects);
    const long long heapGrowth = after.heapBytesInUse - before.heapBytesInUse;
    const long long privateGrowth = after.privateBytes - before.privateBytes;
    const std::string privateText = after.privateBytes < 0 || before.privateBytes < 0
                                        ? "private bytes not reported"
                                        : "private " + std::to_string(privateGrowth) + " bytes";
    const std::string memory = "heap in use " + std::to_string(heapGrowth) + " bytes, " +
                               privateText + ", over " + std::to_string(kEditorCycles) + " cycles";
    report_.check("editor cycles keep heap memory", heapGrowth <= kHeapSlackBytes, memory, memory);
}

void Validator::checkPassThrough() {
    auto effect = fresh("bit-exact pass-through");
    if (!effect) return;
    const AEffect& record = effect->record();
    if (record.numInputs != record.numOutputs || record.numInputs < 1) {
        report_.fail("bit-exact pass-through", std::to_string(record.numInputs) + " inputs but " +
                                                   std::to_string(record.numOutputs) + " outputs");
        return;
    }
    effect->start(48000.0f, kLargestProcessBlock);
    const AudioData signal = TestSignal::awkward(48000, 48000, record.numInputs);
    std::string differs;
    for (const VstInt32 block : {1, 3, 64, 512, 4096}) {
        step("bit-exact pass-through in blocks of " + std::to_string(block));
        if (!sameBits(processAll(*effect, signal, block, false), signal) && differs.empty()) {
            differs = "differs in blocks of " + std::to_string(block);
        }
    }
    report_.check("bit-exact pass-through, separate buffers", differs.empty(), differs,
                  "-0.0, largest, smallest and subnormal values kept, blocks of 1 to 4096");
    step("bit-exact pass-through in place");
    report_.check("bit-exact pass-through, in place",
                  sameBits(processAll(*effect, signal, 512, true), signal), "output differs");
}

}  // namespace vsthost
