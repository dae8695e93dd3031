// Automation as hosts play it: parameters set and their texts read from the user interface's
// thread while the audio thread processes, and parameters swept from 0 to 1 block by block. A
// sweep should sound no rougher than the values it passes through do at rest; a click there is
// reported at the default level and fails a strict run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AudioThread.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "EventBatch.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr int kRate = 44100;
constexpr auto kThreadedTime = std::chrono::milliseconds(300);
constexpr VstInt32 kSweptParameters = 32;
constexpr int kSweepSteps = 64;    // one block each
constexpr VstInt32 kSweepBlock = 32;
constexpr int kRestEvery = 8;      // sweep steps between the values also rendered at rest
constexpr std::size_t kSettle = 2000;  // 20 periods of the tone
// A sweep may step up to twice as far as the values do at rest, and always this far.
constexpr float kStepAllowance = 1e-3f;
const char* const kThreaded = "parameters set and shown from another thread while processing";
const char* const kSweeps = "parameter sweeps no rougher than their values at rest";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kThreaded, kSweeps}; }

void threaded(CheckContext& context, Effect& effect, VstInt32 count) {
    context.step(kThreaded);
    AudioThread audio(effect, kRate, 256);
    std::size_t sets = 0;
    const auto end = std::chrono::steady_clock::now() + kThreadedTime;
    while (std::chrono::steady_clock::now() < end || audio.blocks() == 0) {
        const auto index = static_cast<VstInt32>(sets % static_cast<std::size_t>(count));
        effect.setParameter(index, static_cast<float>((sets * 7) % 11) / 10.0f);
        effect.text(effGetParamDisplay, index);
        ++sets;
    }
    audio.stop();
    context.check(kThreaded, audio.clean(), "NaN, infinity or a write past the frame count",
                  std::to_string(sets) + " values set during " + std::to_string(audio.blocks()) + " blocks");
}

// A 441 Hz tone on every input; an instrument is played a note instead.
AudioData tone(int channels, std::size_t frames) {
    AudioData signal;
    signal.sampleRate = kRate;
    signal.channels.assign(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (auto& channel : signal.channels) {
        for (std::size_t frame = 0; frame < frames; ++frame) {
            channel[frame] = 0.25f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 441.0 * static_cast<double>(frame) / kRate));
        }
    }
    return signal;
}

struct Step {
    float size = 0.0f;
    std::size_t frame = 0;
};

Step largestStep(const AudioData& audio, std::size_t from) {
    Step largest;
    for (const auto& channel : audio.channels) {
        for (std::size_t frame = std::max<std::size_t>(from, 1); frame < channel.size(); ++frame) {
            const float size = std::fabs(channel[frame] - channel[frame - 1]);
            if (size > largest.size) largest = {size, frame};
        }
    }
    return largest;
}

void append(AudioData& to, const AudioData& part) {
    to.channels.resize(part.channels.size());
    for (std::size_t c = 0; c < part.channels.size(); ++c) {
        to.channels[c].insert(to.channels[c].end(), part.channels[c].begin(), part.channels[c].end());
    }
}

AudioData slice(const AudioData& audio, std::size_t offset, std::size_t frames) {
    AudioData part;
    part.sampleRate = audio.sampleRate;
    for (const auto& channel : audio.channels) {
        const auto from = channel.begin() + static_cast<std::ptrdiff_t>(offset);
        part.channels.emplace_back(from, from + static_cast<std::ptrdiff_t>(frames));
    }
    return part;
}

float sweepValue(int step) { return static_cast<float>(step) / (kSweepSteps - 1); }

// The parameter at `value` from a reset, and the tone or a note settling through it.
AudioData settled(Effect& effect, VstInt32 index, float value, const AudioData& signal) {
    reset(effect);
    effect.setParameter(index, value);
    if (effect.isInstrument()) {
        EventBatch note({EventBatch::midi(0, 0x90, 60, 100)});
        effect.dispatch(effProcessEvents, 0, 0, note.list());
    }
    return processAll(effect, signal, kSweepBlock, false);
}

struct Sweep {
    VstInt32 index = 0;
    Step swept;
    float atRest = 0.0f;
    std::set<std::string> shown;  // the parameter's displays through the sweep
    // A parameter showing a few values only is a switch or a choice, which changes the sound at
    // once by design.
    bool switches() const { return shown.size() > 1 && shown.size() <= kSweepSteps / kRestEvery; }
    bool rough() const { return !switches() && swept.size > 2 * atRest + kStepAllowance; }
};

Sweep sweep(Effect& effect, VstInt32 index, const AudioData& signal, const AudioData& onward) {
    Sweep result{index, {}, 0.0f, {}};
    for (int step = 0; step < kSweepSteps; step += kRestEvery) {
        result.atRest = std::max(result.atRest, largestStep(settled(effect, index, sweepValue(step), signal), kSettle / 2).size);
    }
    result.atRest = std::max(result.atRest,
                             largestStep(settled(effect, index, 1.0f, signal), kSettle / 2).size);
    AudioData output = settled(effect, index, 0.0f, signal);
    for (int step = 0; step < kSweepSteps; ++step) {
        effect.setParameter(index, sweepValue(step));
        result.shown.insert(effect.text(effGetParamDisplay, index));
        const auto offset = static_cast<std::size_t>(step * kSweepBlock);
        append(output, processAll(effect, slice(onward, offset, kSweepBlock), kSweepBlock, false));
    }
    result.swept = largestStep(output, kSettle);
    result.swept.frame -= kSettle;
    return result;
}

void sweeps(CheckContext& context, Effect& effect, VstInt32 count) {
    // An instrument reads no input, but the signal still sets how long a render lasts.
    const int channels = std::max(effect.record().numInputs, 1);
    const AudioData signal = tone(channels, kSettle);
    // The tone goes on through the sweep where it left off: kSettle is a whole number of its periods.
    const AudioData onward = tone(channels, kSweepBlock * kSweepSteps);
    std::optional<Sweep> roughest;
    const VstInt32 swept = std::min(count, kSweptParameters);
    for (VstInt32 index = 0; index < swept; ++index) {
        context.step("parameter " + std::to_string(index) + " swept from 0 to 1");
        const float before = effect.getParameter(index);
        const Sweep found = sweep(effect, index, signal, onward);
        effect.setParameter(index, before);
        const auto excess = [](const Sweep& s) { return s.swept.size - 2 * s.atRest; };
        if (found.rough() && (!roughest || excess(found) > excess(*roughest))) roughest = found;
    }
    if (!roughest) {
        context.pass(kSweeps, std::to_string(swept) + " parameters swept in " + std::to_string(kSweepSteps) + " blocks");
        return;
    }
    const std::string text = parameterName(effect, roughest->index) + ": a step of " + valueText(roughest->swept.size) +
                             " at frame " + std::to_string(roughest->swept.frame) + " of its sweep (block " +
                             std::to_string(roughest->swept.frame / kSweepBlock) + "), at most " +
                             valueText(roughest->atRest) + " at rest";
    if (context.atLeast(Level::strict)) {
        context.fail(kSweeps, text);
    } else {
        context.warn(kSweeps, text);
        context.pass(kSweeps, "a click, reported above");
    }
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const VstInt32 count = parametersToWalk(context, *effect);
    if (count == 0) return;
    effect->start(static_cast<float>(kRate), 256);
    threaded(context, *effect, count);
    sweeps(context, *effect, count);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({108, "automation", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
