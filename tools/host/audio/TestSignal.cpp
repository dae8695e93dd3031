#include "TestSignal.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace vsthost {

namespace {

// A small fixed generator: the same signal on every platform and every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }

private:
    std::uint32_t state_;
};

}  // namespace

AudioData TestSignal::clean(int sampleRate, std::size_t frames, int channels) {
    AudioData audio;
    audio.sampleRate = sampleRate;
    audio.channels.assign(static_cast<std::size_t>(channels), std::vector<float>(frames));
    Noise noise(0x5EED);
    const double step = 2.0 * std::numbers::pi / sampleRate;
    for (int channel = 0; channel < channels; ++channel) {
        const double tone = 440.0 * (channel + 1);
        for (std::size_t frame = 0; frame < frames; ++frame) {
            const double t = static_cast<double>(frame) * step;
            const double value = 0.4 * std::sin(tone * t) + 0.1 * std::sin(3.1 * tone * t) +
                                 0.02 * noise.next();
            audio.channels[static_cast<std::size_t>(channel)][frame] = static_cast<float>(value);
        }
    }
    return audio;
}

AudioData TestSignal::awkward(int sampleRate, std::size_t frames, int channels) {
    AudioData audio = clean(sampleRate, frames, channels);
    using limits = std::numeric_limits<float>;
    const std::array<float, 9> specials = {-0.0f, limits::max(), -limits::max(), limits::min(),
                                           -limits::min(), limits::denorm_min(), 1.0f, -1.0f,
                                           limits::epsilon()};
    for (auto& channel : audio.channels) {
        for (std::size_t frame = 0; frame < channel.size(); frame += 97) {
            channel[frame] = specials[(frame / 97) % specials.size()];
        }
        if (!channel.empty()) channel.back() = -0.0f;
    }
    return audio;
}

}  // namespace vsthost
