#include "ChannelMap.h"

namespace vsthost {

namespace {

const char* modeName(ChannelMap::Mode mode) {
    switch (mode) {
    case ChannelMap::Mode::automatic: return "auto";
    case ChannelMap::Mode::direct: return "direct";
    case ChannelMap::Mode::repeat: return "repeat";
    case ChannelMap::Mode::mix: return "mix";
    }
    return "auto";
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

Expected<ChannelMap::Mode> ChannelMap::parse(const std::string& text) {
    for (const Mode mode : {Mode::automatic, Mode::direct, Mode::repeat, Mode::mix}) {
        if (text == modeName(mode)) return mode;
    }
    return Error{"--map wants auto, direct, repeat or mix, not '" + text + "'"};
}

ChannelMap::ChannelMap(Mode mode, int fileChannels, int inputs)
    : mode_(mode), fileChannels_(fileChannels), inputs_(inputs) {}

ChannelMap::Mode ChannelMap::resolved() const {
    if (mode_ != Mode::automatic) return mode_;
    if (fileChannels_ == 1) return Mode::repeat;
    return fileChannels_ > inputs_ ? Mode::mix : Mode::direct;
}

AudioData ChannelMap::apply(const AudioData& file) const {
    AudioData inputs;
    inputs.sampleRate = file.sampleRate;
    const std::size_t frames = file.frames();
    const auto count = static_cast<std::size_t>(inputs_ > 0 ? inputs_ : 0);
    const auto available = file.channels.size();
    inputs.channels.assign(count, std::vector<float>(frames, 0.0f));
    if (available == 0) return inputs;
    for (std::size_t input = 0; input < count; ++input) {
        auto& to = inputs.channels[input];
        switch (resolved()) {
        case Mode::direct:
            if (input < available) to = file.channels[input];
            break;
        case Mode::repeat: to = file.channels[input % available]; break;
        case Mode::mix:
        case Mode::automatic: {
            int sources = 0;
            for (std::size_t from = input; from < available; from += count, ++sources) {
                for (std::size_t i = 0; i < frames; ++i) to[i] += file.channels[from][i];
            }
            if (sources > 1) {
                for (float& sample : to) sample /= static_cast<float>(sources);
            }
            break;
        }
        }
    }
    return inputs;
}

std::string ChannelMap::note() const {
    if (fileChannels_ == inputs_) return {};
    const std::string counts = "the file has " + counted(fileChannels_, "channel", "channels") +
                               ", the plug-in " + counted(inputs_, "input", "inputs");
    std::string what;
    switch (resolved()) {
    case Mode::direct:
        what = fileChannels_ > inputs_ ? "channels beyond " + std::to_string(inputs_) + " are dropped"
                                       : "inputs beyond " + std::to_string(fileChannels_) + " get silence";
        break;
    case Mode::repeat: what = "input n takes channel n modulo " + std::to_string(fileChannels_); break;
    case Mode::mix:
    case Mode::automatic:
        what = inputs_ < fileChannels_ ? "channels are mixed down, input n the mean of channels n, n+" +
                                             std::to_string(inputs_) + ", ..."
                                       : "inputs beyond " + std::to_string(fileChannels_) + " get silence";
        break;
    }
    return counts + "; --map " + modeName(resolved()) + ": " + what +
           " (choose with --map auto|direct|repeat|mix)";
}

}  // namespace vsthost
