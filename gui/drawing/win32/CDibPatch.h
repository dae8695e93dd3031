#pragma once
// A copy of a rectangle of a device context in a 32-bit DIB section, with a cairo context on
// it, written back at destruction. Reading first and writing back through the device context
// serves window and memory device contexts alike, and the copy back honours their clip region.

#include <windows.h>

#include <cairo.h>

class CDibPatch {
public:
    // `area` in the target's device coordinates.
    CDibPatch(HDC target, const RECT& area);
    ~CDibPatch();
    CDibPatch(const CDibPatch&) = delete;
    CDibPatch& operator=(const CDibPatch&) = delete;

    // Null when the copy could not be made. Its user space is the target's device space.
    cairo_t* cairo() const { return context; }

private:
    HDC target;
    RECT area;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    cairo_surface_t* surface = nullptr;
    cairo_t* context = nullptr;
};
