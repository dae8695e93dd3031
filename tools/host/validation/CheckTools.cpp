#include "CheckTools.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "ChannelBuffers.h"
#include "OpcodeNames.h"
#include "Opcodes.h"
#include "RecordText.h"

namespace vsthost {

namespace {

constexpr std::size_t kGuardSize = 64;
constexpr unsigned char kGuardByte = 0xA5;

}  // namespace

GuardedText::GuardedText() : bytes_(kSize + kGuardSize) { reset(); }

void GuardedText::reset() {
    std::fill(bytes_.begin(), bytes_.begin() + kSize, 0);
    std::fill(bytes_.begin() + kSize, bytes_.end(), kGuardByte);
}

bool GuardedText::terminated() const {
    const auto end = bytes_.begin() + kSize;
    const auto first = std::find_if(bytes_.begin(), end, [](unsigned char c) { return c != 0; });
    return first == end || std::find(first, end, 0) != end;
}

bool GuardedText::guardIntact() const {
    return std::all_of(bytes_.begin() + kSize, bytes_.end(),
                       [](unsigned char c) { return c == kGuardByte; });
}

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

std::string opcodeList(const std::vector<VstInt32>& opcodes) {
    std::string text;
    for (std::size_t i = 0; i < opcodes.size() && i < 8; ++i) {
        if (!text.empty()) text += ", ";
        text += std::to_string(opcodes[i]) + " " + effectOpcodeName(opcodes[i]);
    }
    if (opcodes.size() > 8) text += " and " + std::to_string(opcodes.size() - 8) + " more";
    return text;
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

void reset(Effect& effect) {
    effect.stop();
    effect.resume();
}

AudioData renderFromReset(Effect& effect, const AudioData& input, VstInt32 block) {
    reset(effect);
    return processAll(effect, input, block, false);
}

std::string firstDifference(const AudioData& before, const AudioData& after, float tolerance) {
    for (std::size_t c = 0; c < before.channels.size() && c < after.channels.size(); ++c) {
        const auto& a = before.channels[c];
        const auto& b = after.channels[c];
        for (std::size_t frame = 0; frame < a.size() && frame < b.size(); ++frame) {
            const bool same = tolerance == 0.0f ? std::memcmp(&a[frame], &b[frame], sizeof(float)) == 0
                                                : std::fabs(a[frame] - b[frame]) <= tolerance;
            if (!same) {
                return "channel " + std::to_string(c) + " frame " + std::to_string(frame) + ": " +
                       valueText(a[frame]) + ", then " + valueText(b[frame]);
            }
        }
    }
    return {};
}

SampleFault firstNonFinite(const AudioData& audio) {
    for (std::size_t c = 0; c < audio.channels.size(); ++c) {
        for (std::size_t frame = 0; frame < audio.channels[c].size(); ++frame) {
            const SampleFault::Kind kind = SampleFault::classify(audio.channels[c][frame]);
            if (kind != SampleFault::Kind::none && kind != SampleFault::Kind::subnormal) {
                return {kind, static_cast<int>(c), frame};
            }
        }
    }
    return {};
}

std::string valueText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string parameterName(Effect& effect, VstInt32 index) {
    const std::string name = effect.text(effGetParamName, index);
    return "parameter " + std::to_string(index) + (name.empty() ? "" : " " + quoted(name));
}

std::string parameterVerdict(const char* valueName) {
    return std::string("parameters set to ") + valueName + " and read back";
}

std::vector<std::string> parameterVerdicts(std::span<const char* const> valueNames) {
    std::vector<std::string> names;
    for (const char* value : valueNames) names.push_back(parameterVerdict(value));
    return names;
}

VstInt32 parametersToWalk(CheckContext& context, const Effect& effect) {
    const VstInt32 count = std::min(effect.record().numParams, kWalkLimit);
    if (count > 0) return count;
    context.skipRest("the plug-in has no parameters");
    return 0;
}

void walkParameters(CheckContext& context, Effect& effect, VstInt32 count, float value,
                    const char* valueName, const std::function<void(VstInt32)>& after) {
    std::string bad;
    for (VstInt32 index = 0; index < count; ++index) {
        context.step("parameter " + std::to_string(index) + " set to " + valueName);
        effect.setParameter(index, value);
        const float back = effect.getParameter(index);
        if (!(back >= 0.0f && back <= 1.0f) && bad.empty()) {
            bad = "parameter " + std::to_string(index) + " reads back " + std::to_string(back);
        }
        if (after) after(index);
    }
    context.check(parameterVerdict(valueName), bad.empty(), bad,
                  std::to_string(count) + " read back from 0 to 1");
}

}  // namespace vsthost
