#include "WindowPicture.h"

#include <cstdio>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#elif defined(LANTER5_HOST_X11)
#include <X11/Xutil.h>

#include "X11Display.h"
#endif

#include "FileName.h"

namespace vsthost {

namespace {

void putLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

#if defined(_WIN32)

Expected<WindowPicture> WindowPicture::capture(void* window) {
    HWND handle = static_cast<HWND>(window);
    RECT client{};
    if (!handle || !GetClientRect(handle, &client) || client.right <= 0 || client.bottom <= 0) {
        return Error{"the window has no client area to capture"};
    }
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowContext = GetDC(handle);
    HDC memory = CreateCompatibleDC(windowContext);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, windowContext, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels.assign(first, first + static_cast<std::size_t>(width) * height);
        for (std::uint32_t& value : pixels) value &= 0x00FFFFFF;
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(handle, windowContext);
    if (pixels.empty()) return Error{"cannot copy the window's pixels"};
    return WindowPicture(width, height, std::move(pixels));
}

#elif defined(LANTER5_HOST_X11)

Expected<WindowPicture> WindowPicture::capture(void* window) {
    Display* display = hostDisplay();
    const auto id = static_cast<Window>(reinterpret_cast<std::uintptr_t>(window));
    XWindowAttributes attributes{};
    if (!display || !id || !XGetWindowAttributes(display, id, &attributes) || attributes.width <= 0 ||
        attributes.height <= 0) {
        return Error{"the window has no client area to capture"};
    }
    XImage* image = XGetImage(display, id, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return Error{"cannot copy the window's pixels"};
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(attributes.width) * attributes.height);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0x00FFFFFF);
        }
    }
    XDestroyImage(image);
    return WindowPicture(attributes.width, attributes.height, std::move(pixels));
}

#else

Expected<WindowPicture> WindowPicture::capture(void*) {
    return Error{"this build has no native windows"};
}

#endif

Expected<std::string> WindowPicture::saveBmp(const std::string& path) const {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height_);
    std::vector<unsigned char> file;
    file.push_back('B');
    file.push_back('M');
    putLittleEndian(file, 54 + imageBytes, 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, 54, 4);   // pixel data offset
    putLittleEndian(file, 40, 4);   // info header size
    putLittleEndian(file, static_cast<std::uint32_t>(width_), 4);
    putLittleEndian(file, static_cast<std::uint32_t>(height_), 4);  // bottom-up rows
    putLittleEndian(file, 1, 2);
    putLittleEndian(file, 24, 2);
    putLittleEndian(file, 0, 4);    // uncompressed
    putLittleEndian(file, imageBytes, 4);
    putLittleEndian(file, 2835, 4); // 72 dots per inch
    putLittleEndian(file, 2835, 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, 0, 4);
    for (int y = height_ - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t value = pixel(x, y);
            putLittleEndian(file, value, 3);  // blue, green, red
            written += 3;
        }
        for (; written < rowBytes; ++written) file.push_back(0);
    }
    if (auto saved = FileName::write(path, file.data(), file.size()); !saved) {
        return Error{"cannot write '" + path + "': " + saved.error()};
    }
    return path;
}

}  // namespace vsthost
