// Inside an audio call, on the audio thread, a plug-in must not allocate or release memory, take
// a lock or wait, sleep or yield, touch a file or the console, or ask the host for what belongs
// to another thread: each can stall for longer than a block lasts once the system is busy, and
// offline renders never show it. The watch hears the calls the plug-in makes; the first block
// after a resume may prepare what it needs, so what it does there is allowed and only named.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "AudioCallWatch.h"
#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "EventBatch.h"
#include "Host.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

struct KindVerdict {
    CallKind kind;
    const char* name;
};

constexpr KindVerdict kKinds[] = {
    {CallKind::memory, "no memory allocated or released in audio calls"},
    {CallKind::lock, "no locks taken or waits in audio calls"},
    {CallKind::sleep, "no sleeps or yields in audio calls"},
    {CallKind::io, "no file or console access in audio calls"},
    {CallKind::hostCall, "no host calls meant for other threads in audio calls"},
};

constexpr int kBlocksPerRun = 24;
constexpr unsigned char kNoteOn = 0x90;
constexpr unsigned char kNoteOff = 0x80;
constexpr unsigned char kMiddleC = 60;

std::vector<std::string> verdicts(const ValidationOptions&) {
    std::vector<std::string> names;
    for (const auto& kind : kKinds) names.emplace_back(kind.name);
    return names;
}

// The audio calls of one run after a resume, each inside the watch; the first block of the run
// is the one that may prepare.
class AudioRun {
public:
    AudioRun(Effect& effect, long& block) : effect_(effect), block_(block) {}

    void floats(VstInt32 frames) {
        AEffect& record = effect_.record();
        ChannelBuffers inputs(record.numInputs, static_cast<std::size_t>(frames));
        ChannelBuffers outputs(record.numOutputs, static_cast<std::size_t>(frames));
        blocks(frames, [&] { effect_.process(inputs.pointers(), outputs.pointers(), frames); });
    }

    void doubles(VstInt32 frames) {
        AEffect& record = effect_.record();
        const auto size = static_cast<std::size_t>(frames);
        std::vector<std::vector<double>> inputs(static_cast<std::size_t>(std::max(record.numInputs, 0)),
                                                std::vector<double>(size));
        std::vector<std::vector<double>> outputs(static_cast<std::size_t>(std::max(record.numOutputs, 0)),
                                                 std::vector<double>(size));
        std::vector<double*> in;
        std::vector<double*> out;
        for (auto& channel : inputs) in.push_back(channel.data());
        for (auto& channel : outputs) out.push_back(channel.data());
        blocks(frames, [&] { effect_.processDoubles(in.data(), out.data(), frames); });
    }

private:
    // The run's blocks, each its events and then `process` inside the watch.
    template <typename Process>
    void blocks(VstInt32 frames, const Process& process) {
        AEffect& record = effect_.record();
        for (int i = 0; i < kBlocksPerRun; ++i) {
            std::optional<EventBatch> events = eventsFor(i, frames);
            const AudioCallWatch::Scope inside(++block_, i == 0);
            if (events) record.dispatcher(&record, effProcessEvents, 0, 0, events->list(), 0.0f);
            process();
        }
    }

    // A note in the second block, let go in the eighth: an instrument's voice starts and ends
    // inside the watch. The list is made before the call, as a host makes it.
    static std::optional<EventBatch> eventsFor(int index, VstInt32 frames) {
        if (index != 1 && index != 7) return std::nullopt;
        const unsigned char status = index == 1 ? kNoteOn : kNoteOff;
        return std::optional<EventBatch>(std::in_place, std::vector<VstMidiEvent>{
            EventBatch::midi(frames / 2, status, kMiddleC, index == 1 ? 100 : 0)});
    }

    Effect& effect_;
    long& block_;
};

std::string times(long count) { return count == 1 ? "once" : std::to_string(count) + " times"; }

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : "; ") + part;
    return text;
}

void report(CheckContext& context, const KindVerdict& kind, const std::vector<SeenCall>& seen,
            const void* module, long blocks) {
    std::vector<std::string> found;
    std::vector<std::string> allowed;
    for (const auto& call : seen) {
        if (call.kind != kind.kind) continue;
        const std::string site = AudioCallWatch::siteOf(call, module);
        if (call.count > 0) {
            found.push_back(std::string(call.function) + " " + times(call.count) + ", first in block " +
                            std::to_string(call.firstBlock) + " of " + std::to_string(blocks) + ", at " + site);
        }
        if (call.allowed > 0) allowed.push_back(std::string(call.function) + " " + times(call.allowed) + " at " + site);
    }
    const std::string allowance =
        allowed.empty() ? "" : "allowed in the first block after a resume: " + joined(allowed);
    if (found.empty()) {
        context.pass(kind.name, allowance);
        return;
    }
    const std::string detail = joined(found) + (allowance.empty() ? "" : "; " + allowance);
    if (context.atLeast(Level::strict)) {
        context.fail(kind.name, detail);
        return;
    }
    context.warn(kind.name, detail);
    context.pass(kind.name, "found, which fails only a strict run");
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const void* module = reinterpret_cast<const void*>(effect->record().dispatcher);
    if (const std::string refused = AudioCallWatch::watchModule(module); !refused.empty()) {
        context.skipRest("not watched: " + refused);
        return;
    }
    Host::markAudioThread();
    long block = 0;
    context.step("audio calls at 44100 Hz in blocks of 512");
    effect->start(44100.0f, 512);
    AudioRun(*effect, block).floats(512);
    context.step("audio calls after a change to 48000 Hz in blocks of 256");
    effect->stop();
    Host::instance().setSampleRate(48000.0f);
    Host::instance().setBlockSize(256);
    effect->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatch(effSetBlockSize, 0, 256);
    effect->resume();
    AudioRun(*effect, block).floats(256);
    context.step("audio calls after a suspend and resume");
    effect->stop();
    effect->resume();
    AudioRun(*effect, block).floats(256);
    if (effect->canProcessDoubles()) {
        context.step("double audio calls after a change to 64-bit processing");
        effect->stop();
        effect->dispatch(effSetProcessPrecision, 0, 1);
        effect->resume();
        AudioRun(*effect, block).doubles(256);
    }
    effect->stop();
    const std::vector<SeenCall> seen = AudioCallWatch::take();
    for (const auto& kind : kKinds) report(context, kind, seen, module, block);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({73, "real-time safety", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
