// An instrument played one note through effProcessEvents, in each block size of the level, the
// note-on and the note-off inside their blocks: the note must sound, start within a block of its
// frame, and every sample must be a number, through the note and its release.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "EventBatch.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr unsigned char kNoteOn = 0x90;
constexpr unsigned char kNoteOff = 0x80;
constexpr unsigned char kMiddleC = 60;
constexpr unsigned char kVelocity = 100;
// Time for an instrument to settle after it starts; what it plays meanwhile, with no note, is the
// floor its note must rise above.
constexpr std::int64_t kLeadInFrames = 2048;
constexpr std::int64_t kHoldFrames = 4410;      // 0.1 s
constexpr std::int64_t kReleaseFrames = 11025;  // 0.25 s, where a faulty release shows
// A latency beyond a second is taken as a mistake of the record, not waited for.
constexpr VstInt32 kLongestDelay = 44100;
// Below this (-80 dBFS) an instrument counts as silent.
constexpr float kSilence = 1e-4f;
// Most attacks rise from 0, so even in blocks of a frame or three a note gets this many frames
// to climb above silence before it counts as late.
constexpr std::int64_t kLeastWindow = 32;

const char* const kSounds = "a note sounds in every block size";
const char* const kOnTime = "a note starts within a block of its frame";
const char* const kFinite = "output finite through a note and its release";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kSounds, kOnTime, kFinite}; }

// Hosts use a few powers of two; the stricter levels add sizes no host prefers, and 1 frame.
std::vector<VstInt32> blockSizes(Level level) {
    std::vector<VstInt32> sizes = {64, 512, 4096};
    if (level >= Level::strict) sizes.insert(sizes.end(), {3, 1000});
    if (level >= Level::hostile) sizes.push_back(1);
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

std::string sizeList(const std::vector<VstInt32>& sizes) {
    std::string text;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (i > 0) text += i + 1 == sizes.size() ? " and " : ", ";
        text += std::to_string(sizes[i]);
    }
    return "blocks of " + text + " frames";
}

std::int64_t blocksFor(std::int64_t frames, VstInt32 block) { return (frames + block - 1) / block; }

// One note played in blocks of one size, and what came out; frames count from the first block.
struct Take {
    VstInt32 block = 0;
    std::int64_t noteBlockStart = 0;
    std::int64_t noteOn = 0;
    std::int64_t noteOff = 0;
    std::int64_t latency = 0;
    std::vector<float> loudness;  // each frame's largest magnitude over the channels, numbers only
    SampleFault fault;            // the first NaN or infinity

    std::string inBlocks() const { return "in blocks of " + std::to_string(block); }
    std::string noteOnText() const { return "the note-on at frame " + std::to_string(noteOn); }
};

class Performance {
public:
    Performance(CheckContext& context, Effect& effect, VstInt32 block)
        : context_(context), effect_(effect),
          inputs_(effect.record().numInputs, static_cast<std::size_t>(block)),
          outputs_(effect.record().numOutputs, static_cast<std::size_t>(block)) {
        silence_.channels.assign(1, std::vector<float>(static_cast<std::size_t>(block), 0.0f));
        take_.block = block;
        take_.latency = std::clamp(effect.record().initialDelay, 0, kLongestDelay);
    }

    // A block of 1 frame has no frame but 0; every larger one gets its events halfway in.
    Take play() {
        const VstInt32 block = take_.block;
        const VstInt32 delta = block / 2;
        const std::int64_t leadBlocks = std::max<std::int64_t>(2, blocksFor(kLeadInFrames, block));
        const std::int64_t holdBlocks = std::max<std::int64_t>(2, blocksFor(kHoldFrames, block));
        const std::int64_t releaseBlocks = blocksFor(kReleaseFrames + take_.latency, block);
        take_.noteBlockStart = leadBlocks * block;
        take_.noteOn = take_.noteBlockStart + delta;
        take_.noteOff = take_.noteOn + holdBlocks * block;
        take_.loudness.reserve(static_cast<std::size_t>((leadBlocks + holdBlocks + releaseBlocks) * block));
        step("silence before the note");
        render(leadBlocks, std::nullopt);
        step(take_.noteOnText());
        render(1, EventBatch::midi(delta, kNoteOn, kMiddleC, kVelocity));
        render(holdBlocks - 1, std::nullopt);
        step("the note-off at frame " + std::to_string(take_.noteOff));
        render(1, EventBatch::midi(delta, kNoteOff, kMiddleC, 0));
        step("the release after the note-off at frame " + std::to_string(take_.noteOff));
        render(releaseBlocks - 1, std::nullopt);
        return take_;
    }

private:
    void step(const std::string& what) { context_.step(take_.inBlocks() + ": " + what); }

    // The event list stays alive until the block it belongs to has been processed.
    void render(std::int64_t blocks, std::optional<VstMidiEvent> event) {
        for (std::int64_t i = 0; i < blocks; ++i) {
            std::optional<EventBatch> batch;
            if (event && i == 0) {
                batch.emplace(std::vector<VstMidiEvent>{*event});
                effect_.dispatch(effProcessEvents, 0, 0, batch->list());
            }
            inputs_.load(silence_, 0, static_cast<std::size_t>(take_.block));
            outputs_.mark();
            effect_.process(inputs_.pointers(), outputs_.pointers(), take_.block);
            listen();
        }
    }

    void listen() {
        for (VstInt32 i = 0; i < take_.block; ++i) {
            float loudest = 0.0f;
            for (int channel = 0; channel < outputs_.channels(); ++channel) {
                const float sample = outputs_.channel(channel)[i];
                const SampleFault found{SampleFault::classify(sample), channel, take_.loudness.size()};
                if (!found.nonFinite()) loudest = std::max(loudest, std::fabs(sample));
                else if (!take_.fault) take_.fault = found;
            }
            take_.loudness.push_back(loudest);
        }
    }

    CheckContext& context_;
    Effect& effect_;
    ChannelBuffers inputs_;
    ChannelBuffers outputs_;
    AudioData silence_;
    Take take_;
};

// Where the note's sound begins: the first frame from the note's block on that rises above twice
// the loudest the instrument played before it, and above silence. Real instruments may hiss or
// hum with no note, so the floor is their own; and a plug-in that starts every event at its
// block's first frame is sloppy but never more than a block off, so frames of the note's block
// before the note-on count as on time.
std::optional<std::int64_t> onset(const Take& take) {
    const auto noteBlock = take.loudness.begin() + take.noteBlockStart;
    const float floor = *std::max_element(take.loudness.begin(), noteBlock);
    const float threshold = std::max(kSilence, 2.0f * floor);
    const auto found = std::find_if(noteBlock, take.loudness.end(), [&](float v) { return v > threshold; });
    if (found == take.loudness.end()) return std::nullopt;
    return found - take.loudness.begin();
}

// The sound may begin as late as one block after the note-on, plus the latency the plug-in
// reports, which a host makes up for.
bool onTime(const Take& take, std::int64_t start) {
    return start < take.noteOn + std::max<std::int64_t>(take.block, kLeastWindow) + take.latency;
}

std::string faultText(const Take& take) {
    std::string text = take.fault.text() + " " + take.inBlocks();
    if (static_cast<std::int64_t>(take.fault.frame) >= take.noteOff) {
        text += ", after the note-off at frame " + std::to_string(take.noteOff);
    }
    return text;
}

void run(CheckContext& context) {
    {
        auto probe = context.fresh();
        if (!probe) return;
        const AEffect& record = probe->record();
        if (!probe->isInstrument()) {
            context.skipRest("an effect: " + std::to_string(record.numInputs) + " inputs and no synth flag");
            return;
        }
        if (record.numOutputs < 1) {
            context.skipRest("an instrument without outputs");
            return;
        }
    }
    const std::vector<VstInt32> sizes = blockSizes(context.options().level);
    std::string silent;
    std::string late;
    std::string fault;
    std::optional<std::int64_t> latest;  // frames from a note-on to its sound; a sloppy one is early
    for (const VstInt32 block : sizes) {
        auto effect = context.fresh();
        if (!effect) return;
        effect->start(kSampleRate, block);
        const Take take = Performance(context, *effect, block).play();
        effect->stop();
        const auto start = onset(take);
        if (!start && silent.empty()) silent = "no sound from " + take.noteOnText() + " " + take.inBlocks();
        if (start && !onTime(take, *start) && late.empty()) {
            late = take.inBlocks() + ", " + take.noteOnText() + " sounds from frame " +
                   std::to_string(*start) + ", " + std::to_string(*start - take.noteOn) + " frames after it";
        }
        if (start) latest = std::max(latest.value_or(*start - take.noteOn), *start - take.noteOn);
        if (take.fault && fault.empty()) fault = faultText(take);
    }
    context.check(kSounds, silent.empty(), silent, sizeList(sizes));
    if (!latest) context.fail(kOnTime, "no note sounded");
    else context.check(kOnTime, late.empty(), late, "at most " + std::to_string(*latest) + " frames after it");
    context.check(kFinite, fault.empty(), fault, "middle C, velocity 100, and its release");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({75, "instrument", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
