// For a plug-in that says it processes 64-bit samples: its double entry, at the block sizes of
// the float checks, must write finite numbers into every output sample, must agree with its
// float path, and, said to pass audio through, must keep every double bit for bit. Outputs start
// as a marker, so a double entry that does nothing (what a plug-in gets when it sets the flag
// and overrides nothing) shows as samples left untouched.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

using Channels = std::vector<std::vector<double>>;

constexpr int kRate = 48000;
constexpr VstInt32 kLargestBlock = 4096;
// Four of the largest blocks, and a third of a second: long enough for a fault that takes its
// time, and every awkward value many times over, short enough for the many renders.
constexpr std::size_t kFrames = 16384;
constexpr VstInt32 kBlockSizes[] = {1, 3, 4, 5, 31, 64, 512, 1024, 4096};
// A quiet NaN with a payload no arithmetic makes; a sample still holding it was never written.
constexpr std::uint64_t kMarkerBits = 0x7FF8DEADBEEF5A5AULL;
// Float precision, relative to full scale: past it, a double path is not the float one. Past the
// gross limit, -40 dBFS, the two paths are different processing, whatever rounding did.
constexpr double kFloatPrecision = 1.0 / (1 << 20);
constexpr double kGrossDifference = 0.01;

const char* const kFinite = "double output finite, blocks of 1 to 4096 frames";
const char* const kAgrees = "double and float processing agree";
const char* const kSeparate = "bit-exact double pass-through, separate buffers";
const char* const kInPlace = "bit-exact double pass-through, in place";

std::vector<std::string> verdicts(const ValidationOptions& options) {
    std::vector<std::string> names = {kFinite, kAgrees};
    if (options.passThrough) names.insert(names.end(), {kSeparate, kInPlace});
    return names;
}

Channels toDouble(const AudioData& audio) {
    Channels channels;
    for (const auto& channel : audio.channels) channels.emplace_back(channel.begin(), channel.end());
    return channels;
}

// The awkward values of the float pass-through and those only a double holds: the largest,
// smallest and subnormal doubles, and fractions a float cannot spell.
Channels awkwardDoubles(int channels) {
    Channels audio = toDouble(TestSignal::awkward(kRate, kFrames, channels));
    using limits = std::numeric_limits<double>;
    const std::array<double, 7> specials = {limits::max(), -limits::max(), limits::min(),
                                            -limits::denorm_min(), 0.1, 1.0 / 3.0, -0.0};
    for (auto& channel : audio) {
        for (std::size_t frame = 53; frame < channel.size(); frame += 97) {
            channel[frame] = specials[(frame / 97) % specials.size()];
        }
    }
    return audio;
}

bool isMarker(double value) { return std::bit_cast<std::uint64_t>(value) == kMarkerBits; }

// Streams `input` through the double entry in blocks into outputs filled with the marker first;
// in place, the output buffers are the input's. `input` has a channel at least; an instrument
// reads none of it.
Channels processDoubles(Effect& effect, const Channels& input, std::size_t frames, VstInt32 block,
                        bool inPlace) {
    AEffect& record = effect.record();
    const auto size = static_cast<std::size_t>(block);
    const auto inputCount = static_cast<std::size_t>(std::max(record.numInputs, 0));
    const auto outputCount = static_cast<std::size_t>(std::max(record.numOutputs, 0));
    Channels inputs(std::max(inputCount, inPlace ? outputCount : 0), std::vector<double>(size));
    Channels outputs(outputCount, std::vector<double>(size));
    std::vector<double*> in;
    std::vector<double*> out;
    for (auto& channel : inputs) in.push_back(channel.data());
    for (auto& channel : outputs) out.push_back(inPlace ? in[out.size()] : channel.data());
    Channels result(outputCount);
    for (auto& channel : result) channel.reserve(frames);
    const double marker = std::bit_cast<double>(kMarkerBits);
    for (std::size_t offset = 0; offset < frames; offset += size) {
        const std::size_t count = std::min(size, frames - offset);
        for (std::size_t c = 0; c < inputs.size(); ++c) {
            const auto& source = input[c % input.size()];
            std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(offset), count, inputs[c].begin());
        }
        if (!inPlace) {
            for (auto& channel : outputs) std::fill(channel.begin(), channel.end(), marker);
        }
        record.processDoubleReplacing(&record, in.data(), out.data(), static_cast<VstInt32>(count));
        for (std::size_t c = 0; c < outputCount; ++c) result[c].insert(result[c].end(), out[c], out[c] + count);
    }
    return result;
}

std::string numberText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// "left untouched at channel 0, frame 0", "NaN at channel 1, frame 3"; empty when every sample
// is a number.
std::string firstFault(const Channels& audio) {
    for (std::size_t c = 0; c < audio.size(); ++c) {
        for (std::size_t frame = 0; frame < audio[c].size(); ++frame) {
            const double value = audio[c][frame];
            if (std::isfinite(value)) continue;
            const std::string what = isMarker(value) ? "left untouched" : numberText(value);
            return what + " at channel " + std::to_string(c) + ", frame " + std::to_string(frame);
        }
    }
    return {};
}

// The first frame where the paths differ by more than `tolerance`, and how much they differ there.
std::string firstDisagreement(const AudioData& floats, const Channels& doubles, double tolerance) {
    for (std::size_t c = 0; c < floats.channels.size() && c < doubles.size(); ++c) {
        for (std::size_t frame = 0; frame < floats.channels[c].size() && frame < doubles[c].size(); ++frame) {
            const double single = floats.channels[c][frame];
            const double wide = doubles[c][frame];
            if (std::fabs(single - wide) <= tolerance) continue;
            return "channel " + std::to_string(c) + " frame " + std::to_string(frame) + ": float " +
                   numberText(single) + ", double " + (isMarker(wide) ? "left untouched" : numberText(wide));
        }
    }
    return {};
}

std::string firstBitDifference(const Channels& expected, const Channels& got) {
    for (std::size_t c = 0; c < expected.size(); ++c) {
        for (std::size_t frame = 0; frame < expected[c].size(); ++frame) {
            const double want = expected[c][frame];
            const double have = c < got.size() && frame < got[c].size() ? got[c][frame] : 0.0;
            if (std::bit_cast<std::uint64_t>(want) == std::bit_cast<std::uint64_t>(have)) continue;
            return "channel " + std::to_string(c) + " frame " + std::to_string(frame) + ": " +
                   numberText(want) + " came out as " + (isMarker(have) ? "nothing" : numberText(have));
        }
    }
    return {};
}

void checkFinite(CheckContext& context, Effect& effect, const Channels& signal) {
    std::string fault;
    for (const VstInt32 block : kBlockSizes) {
        context.step("double processing in blocks of " + std::to_string(block));
        const std::string found = firstFault(processDoubles(effect, signal, signal.front().size(), block, false));
        if (!found.empty() && fault.empty()) fault = found + " in blocks of " + std::to_string(block);
    }
    context.check(kFinite, fault.empty(), fault);
}

// Both paths from a reset, each in blocks of 512 with separate buffers, once the float path is
// known to render alike twice. A plug-in whose float path is the double one rounded agrees to
// float precision; a small difference can be honest (a filter keeping its state in the wider
// type), so it warns, and fails only a strict run.
void checkAgreement(CheckContext& context, Effect& effect, const AudioData& signal) {
    context.step("float processing of the signal the double path gets");
    const AudioData floats = renderFromReset(effect, signal, 512);
    // Noise on purpose, or state a reset keeps, would be blamed on the double path.
    context.step("float processing of the same signal again");
    if (!firstDifference(floats, renderFromReset(effect, signal, 512), static_cast<float>(kFloatPrecision)).empty()) {
        context.skip(kAgrees, "not compared: the float path does not render alike twice from a reset");
        return;
    }
    context.step("double processing of the same signal");
    reset(effect);
    const Channels doubles = processDoubles(effect, toDouble(signal), signal.frames(), 512, false);
    const std::string gross = firstDisagreement(floats, doubles, kGrossDifference);
    const std::string fine = firstDisagreement(floats, doubles, kFloatPrecision);
    if (!gross.empty() || fine.empty() || context.atLeast(Level::strict)) {
        context.check(kAgrees, gross.empty() && fine.empty(), gross.empty() ? fine : gross,
                      "within 2^-20 of full scale");
        return;
    }
    context.warn(kAgrees, fine);
    context.pass(kAgrees, "within -40 dBFS, not within float precision");
}

void checkPassThrough(CheckContext& context, Effect& effect) {
    const AEffect& record = effect.record();
    if (record.numInputs != record.numOutputs || record.numInputs < 1) {
        const std::string counts = std::to_string(record.numInputs) + " inputs but " +
                                   std::to_string(record.numOutputs) + " outputs";
        context.fail(kSeparate, counts);
        context.fail(kInPlace, counts);
        return;
    }
    const Channels signal = awkwardDoubles(record.numInputs);
    const std::size_t frames = signal.front().size();
    std::string differs;
    for (const VstInt32 block : kBlockSizes) {
        context.step("bit-exact double pass-through in blocks of " + std::to_string(block));
        const std::string found = firstBitDifference(signal, processDoubles(effect, signal, frames, block, false));
        if (!found.empty() && differs.empty()) differs = found + " in blocks of " + std::to_string(block);
    }
    context.check(kSeparate, differs.empty(), differs,
                  "-0.0, largest, smallest and subnormal doubles kept, blocks of 1 to 4096");
    context.step("bit-exact double pass-through in place");
    const std::string inPlace = firstBitDifference(signal, processDoubles(effect, signal, frames, 512, true));
    context.check(kInPlace, inPlace.empty(), inPlace);
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    if (!effect->hasFlag(effFlagsCanDoubleReplacing)) {
        context.skipRest("the plug-in does not claim double processing (flag 4096 not set)");
        return;
    }
    if (!effect->record().processDoubleReplacing) {
        for (const auto& name : verdicts(context.options())) {
            context.fail(name, "claims double processing (flag 4096) with a null processDoubleReplacing");
        }
        return;
    }
    effect->start(static_cast<float>(kRate), kLargestBlock);
    const AudioData signal = TestSignal::clean(kRate, kFrames, std::max(effect->record().numInputs, 1));
    checkFinite(context, *effect, toDouble(signal));
    checkAgreement(context, *effect, signal);
    if (context.options().passThrough) checkPassThrough(context, *effect);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({72, "double processing", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
