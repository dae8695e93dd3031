#include "CDibPatch.h"

CDibPatch::CDibPatch(HDC target, const RECT& area) : target(target), area(area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first, as cairo's image rows are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    memory = CreateCompatibleDC(target);
    bitmap = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!memory || !bitmap || !bits) return;
    previousBitmap = SelectObject(memory, bitmap);
    if (!BitBlt(memory, 0, 0, width, height, target, area.left, area.top, SRCCOPY)) return;
    GdiFlush();
    // A DIB's 32-bit pixels are cairo's RGB24 ones, blue in the lowest byte; rows have no gaps.
    surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(bits), CAIRO_FORMAT_RGB24,
                                                  width, height, width * 4);
    context = cairo_create(surface);
    cairo_translate(context, -area.left, -area.top);
}

CDibPatch::~CDibPatch() {
    if (context) {
        cairo_destroy(context);
        cairo_surface_flush(surface);
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0, 0,
               SRCCOPY);
    }
    if (surface) cairo_surface_destroy(surface);
    if (previousBitmap) SelectObject(memory, previousBitmap);
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
}
