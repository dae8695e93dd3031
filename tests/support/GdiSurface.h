#pragma once
// A memory device context holding a 32-bit device-independent bitmap, for drawing through
// real GDI and reading the pixels back.

#include <windows.h>

#include <vector>

class GdiSurface {
public:
    GdiSurface(int width, int height, COLORREF background = RGB(0, 0, 255))
        : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        deviceContext = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(deviceContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(deviceContext, bitmap);
        fill(background);
    }
    ~GdiSurface() {
        SelectObject(deviceContext, previous);
        DeleteObject(bitmap);
        DeleteDC(deviceContext);
    }
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    HDC dc() const { return deviceContext; }

    void fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, width, height};
        FillRect(deviceContext, &all, brush);
        DeleteObject(brush);
    }

    COLORREF pixel(int x, int y) const { return GetPixel(deviceContext, x, y); }

    // Counts the pixels of `area` that are not `colour`.
    int countOther(const RECT& area, COLORREF colour) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (pixel(x, y) != colour) ++count;
            }
        }
        return count;
    }

    // The pixels of `area`, row by row.
    std::vector<COLORREF> pixels(const RECT& area) const {
        std::vector<COLORREF> result;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) result.push_back(pixel(x, y));
        }
        return result;
    }
    std::vector<COLORREF> pixels() const { return pixels(RECT{0, 0, width, height}); }

    // Pixels of `colour` inside `area`.
    int count(const RECT& area, COLORREF colour) const {
        int n = 0;
        for (COLORREF value : pixels(area)) n += value == colour;
        return n;
    }
    // Pixels of `colour` anywhere outside `area`.
    int countOutside(const RECT& area, COLORREF colour) const {
        return count(RECT{0, 0, width, height}, colour) - count(area, colour);
    }

    bool samePixels(const GdiSurface& other) const {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixel(x, y) != other.pixel(x, y)) return false;
            }
        }
        return true;
    }

    const int width;
    const int height;

private:
    HDC deviceContext;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// The objects currently selected into a device context, read back from GDI.
inline LOGPEN selectedPen(HDC dc) {
    LOGPEN pen{};
    GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen);
    return pen;
}

inline LOGBRUSH selectedBrush(HDC dc) {
    LOGBRUSH brush{};
    GetObjectA(GetCurrentObject(dc, OBJ_BRUSH), sizeof brush, &brush);
    return brush;
}

inline LOGFONTA selectedFont(HDC dc) {
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    return font;
}
