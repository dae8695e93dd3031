#pragma once
// The pixels of a native window's client area, as the window shows them, and their file.

#include <cstdint>
#include <string>
#include <vector>

#include "Expected.h"

namespace vsthost {

class WindowPicture {
public:
    // Copies the window's client area; only Windows builds have native windows.
    static Expected<WindowPicture> capture(void* window);

    // Writes a 24-bit BMP file; PNG is not needed by anything that reads these.
    Expected<std::string> saveBmp(const std::string& path) const;

    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB, rows top to bottom.
    std::uint32_t pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

private:
    WindowPicture(int width, int height, std::vector<std::uint32_t> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace vsthost
