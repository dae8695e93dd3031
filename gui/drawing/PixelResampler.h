#pragma once
// Images drawn at a density they were not made for are resampled once, smoothly: each new
// pixel averages the old pixels it covers when shrinking, and blends its nearest four when
// growing, so that neither a 2x image shown at 1.5 nor a 1x image shown at 2 turns blocky.

#include <cstdint>
#include <vector>

// 32-bit pixels with premultiplied alpha, rows without padding, any channel order.
struct PixelImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint32_t* pixels = nullptr;
};

// `image` resampled to `width` x `height` pixels; empty for an empty image or size.
std::vector<std::uint32_t> resamplePixels(const PixelImage& image, std::int32_t width, std::int32_t height);
