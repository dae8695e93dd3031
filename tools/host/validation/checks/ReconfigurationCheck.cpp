// What hosts do between takes: suspend, set the sample rate (often several times over while
// suspended), set the block size, resume. Round after round the output must stay finite, and an
// impulse must come out no earlier than the latency the plug-in then reports, and as late after
// it at one rate whatever the block size.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Host.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

struct Round {
    int rate;
    VstInt32 block;
};
// Every rate twice, with block sizes far apart.
constexpr Round kRounds[] = {{22050, 1},    {192000, 8192}, {44100, 64},   {96000, 3},
                             {48000, 4096}, {22050, 512},   {192000, 31},  {44100, 8192},
                             {96000, 1024}, {48000, 1},     {88200, 256},  {32000, 7},
                             {176400, 2048}, {88200, 4096}, {32000, 128},  {176400, 5}};
constexpr std::size_t kImpulseAt = 64;
constexpr std::size_t kResponse = 2048;
constexpr float kImpulse = 0.5f;
const char* const kFinite = "output finite through 16 re-configurations";
const char* const kLatency = "an impulse comes out where the reported latency says";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kFinite, kLatency}; }

void reconfigure(Effect& effect, const Round& round) {
    effect.stop();
    for (const int rate : {round.rate / 2, round.rate * 2, round.rate}) {
        Host::instance().setSampleRate(static_cast<float>(rate));
        effect.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    }
    Host::instance().setBlockSize(round.block);
    effect.dispatch(effSetBlockSize, 0, round.block);
    effect.resume();
}

AudioData impulse(int rate, int channels, std::size_t frames) {
    AudioData signal;
    signal.sampleRate = rate;
    signal.channels.assign(static_cast<std::size_t>(channels), std::vector<float>(frames, 0.0f));
    for (auto& channel : signal.channels) channel[kImpulseAt] = kImpulse;
    return signal;
}

// Frames from the impulse to the first output sample of at least half the loudest; -1 when
// nothing comes out.
long arrival(const AudioData& output) {
    float loudest = 0.0f;
    for (const auto& channel : output.channels) {
        for (const float sample : channel) loudest = std::max(loudest, std::fabs(sample));
    }
    if (loudest < 1e-6f) return -1;
    long first = static_cast<long>(output.frames());
    for (const auto& channel : output.channels) {
        for (std::size_t frame = 0; frame < channel.size(); ++frame) {
            if (std::fabs(channel[frame]) >= loudest / 2) {
                first = std::min(first, static_cast<long>(frame));
                break;
            }
        }
    }
    return first - static_cast<long>(kImpulseAt);
}

std::string where(const Round& round) {
    return "at " + std::to_string(round.rate) + " Hz in blocks of " + std::to_string(round.block);
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->start(44100.0f, 512);
    const bool instrument = effect->isInstrument();
    std::string nonFinite;
    std::string misplaced;
    std::map<int, std::pair<long, Round>> lateness;  // by rate: frames after the latency
    for (const Round& round : kRounds) {
        context.step("re-configured to " + std::to_string(round.rate) + " Hz and blocks of " +
                     std::to_string(round.block));
        reconfigure(*effect, round);
        const std::size_t frames =
            kImpulseAt + static_cast<std::size_t>(std::max(effect->record().initialDelay, 0)) + kResponse;
        const AudioData output =
            processAll(*effect, impulse(round.rate, std::max(effect->record().numInputs, 1), frames), round.block, false);
        if (const SampleFault fault = firstNonFinite(output); fault && nonFinite.empty()) {
            nonFinite = fault.text() + " " + where(round);
        }
        // Some plug-ins set their latency only once they process, and tell the host so then.
        const long latency = effect->record().initialDelay;
        const long delay = arrival(output);
        if (instrument || delay < 0 || !misplaced.empty()) continue;
        if (delay < latency) {
            misplaced = "reports " + std::to_string(latency) + " frames of latency " + where(round) +
                        ", but the impulse comes out after " + std::to_string(delay);
            continue;
        }
        const auto [seen, first] = lateness.try_emplace(round.rate, delay - latency, round);
        if (!first && seen->second.first != delay - latency) {
            misplaced = "the impulse comes out " + std::to_string(seen->second.first) +
                        " frames after the latency it reports " + where(seen->second.second) + ", but " +
                        std::to_string(delay - latency) + " " + where(round);
        }
    }
    context.check(kFinite, nonFinite.empty(), nonFinite, "22050 to 192000 Hz, blocks of 1 to 8192 frames");
    if (instrument) context.skip(kLatency, "an instrument takes no impulse");
    else context.check(kLatency, misplaced.empty(), misplaced);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({107, "re-configuration", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
