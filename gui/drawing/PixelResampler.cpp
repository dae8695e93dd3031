#include "PixelResampler.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Tap {
    std::int32_t index;
    float weight;
};

// For each new coordinate along one axis, which old ones it takes and how much of each.
std::vector<std::vector<Tap>> axisTaps(std::int32_t from, std::int32_t to) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    for (std::int32_t out = 0; out < to; ++out) {
        std::vector<Tap>& list = taps[static_cast<std::size_t>(out)];
        if (ratio > 1) {
            const double start = out * ratio;
            const double end = start + ratio;
            for (auto in = static_cast<std::int32_t>(start); in < end && in < from; ++in) {
                const double covered = std::min<double>(end, in + 1) - std::max<double>(start, in);
                if (covered > 0) list.push_back({in, static_cast<float>(covered / ratio)});
            }
        } else {
            const double centre = (out + 0.5) * ratio - 0.5;
            const auto below = static_cast<std::int32_t>(std::floor(centre));
            const auto above = static_cast<float>(centre - below);
            list.push_back({std::clamp(below, 0, from - 1), 1 - above});
            list.push_back({std::clamp(below + 1, 0, from - 1), above});
        }
    }
    return taps;
}

using Channels = std::array<float, 4>;

void addScaled(Channels& sum, std::uint32_t pixel, float weight) {
    for (int channel = 0; channel < 4; ++channel) sum[channel] += weight * ((pixel >> (8 * channel)) & 0xFF);
}

void addScaled(Channels& sum, const Channels& value, float weight) {
    for (int channel = 0; channel < 4; ++channel) sum[channel] += weight * value[channel];
}

std::uint32_t packed(const Channels& value) {
    std::uint32_t pixel = 0;
    for (int channel = 0; channel < 4; ++channel) {
        const auto byte = static_cast<std::uint32_t>(std::clamp(std::lround(value[channel]), 0L, 255L));
        pixel |= byte << (8 * channel);
    }
    return pixel;
}

} // namespace

std::vector<std::uint32_t> resamplePixels(const PixelImage& image, std::int32_t width, std::int32_t height) {
    if (image.width <= 0 || image.height <= 0 || !image.pixels || width <= 0 || height <= 0) return {};
    const auto across = axisTaps(image.width, width);
    const auto down = axisTaps(image.height, height);
    // Rows first, at their old height; then columns.
    std::vector<Channels> rows(static_cast<std::size_t>(width) * image.height);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint32_t* source = image.pixels + static_cast<std::size_t>(y) * image.width;
        for (std::int32_t x = 0; x < width; ++x) {
            Channels sum{};
            for (const Tap& tap : across[static_cast<std::size_t>(x)]) addScaled(sum, source[tap.index], tap.weight);
            rows[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    std::vector<std::uint32_t> result(static_cast<std::size_t>(width) * height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            Channels sum{};
            for (const Tap& tap : down[static_cast<std::size_t>(y)]) {
                addScaled(sum, rows[static_cast<std::size_t>(tap.index) * width + x], tap.weight);
            }
            result[static_cast<std::size_t>(y) * width + x] = packed(sum);
        }
    }
    return result;
}
