#pragma once
// An opaque cairo image to draw on and read back, pixel by pixel as 0xRRGGBB.

#include "CDrawContext.h"

#include <algorithm>
#include <cstdint>

struct Canvas {
    Canvas(int width, int height, std::uint32_t colour)
        : width(width), height(height),
          surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {
        fill(colour);
    }
    void fill(std::uint32_t colour) {
        cairo_t* cairo = cairo_create(surface.get());
        cairo_set_source_rgb(cairo, (colour >> 16) / 255.0, (colour >> 8 & 0xFF) / 255.0,
                             (colour & 0xFF) / 255.0);
        cairo_paint(cairo);
        cairo_destroy(cairo);
    }
    cairo_surface_t* get() const { return surface.get(); }
    std::uint32_t pixel(int x, int y) const {
        cairo_surface_flush(surface.get());
        const unsigned char* row =
            cairo_image_surface_get_data(surface.get()) + y * cairo_image_surface_get_stride(surface.get());
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
    // How many pixels of `area` are `colour`.
    int count(const CRect& area, std::uint32_t colour) const {
        int found = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) found += pixel(x, y) == colour;
        }
        return found;
    }
    // The smallest rectangle holding every pixel that is not `background`; empty if none.
    CRect ink(std::uint32_t background) const {
        CRect found(width, height, 0, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixel(x, y) == background) continue;
                found = CRect(std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                              std::max(found.bottom, y + 1));
            }
        }
        return found.right > found.left ? found : CRect();
    }

    int width;
    int height;
    std::unique_ptr<cairo_surface_t, CairoRelease> surface;
};
