#pragma once
// A draw context over a memory bitmap: views draw into it with the ordinary operations and
// the finished picture reaches a real device context in one copy.

#include "CDrawContext.h"

class CBitmap;

class COffscreenContext : public CDrawContext {
public:
    // The memory device context is made compatible with the frame's window (the screen without
    // one); the whole bitmap starts in `backgroundColor`.
    COffscreenContext(CFrame* frame, std::int32_t width, std::int32_t height,
                      CColor backgroundColor = kColorBlack);
    ~COffscreenContext() override;

    // Copies the part of the bitmap at `sourceOffset` to `destRect` of `destination`, shifted
    // by the destination's offset; this context's own offset does not apply.
    void copyTo(CDrawContext* destination, const CRect& destRect,
                const CPoint& sourceOffset = CPoint(0, 0));

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    HBITMAP getMemoryBitmap() const { return reinterpret_cast<HBITMAP>(window); }

protected:
    CBitmap* bitmap = nullptr; // one reference held when set
    void* reserved = nullptr;
    std::int32_t height;
    std::int32_t width;
    bool destroyBitmap = true;
    CColor backgroundColor;
    HGDIOBJ previousBitmap = nullptr; // kept, never selected back
};
