#pragma once
// An image decoded by the system's own imaging components (PNG with its alpha, BMP, and
// whatever else they read) into a 32-bit bitmap with premultiplied alpha, and drawn through
// GDI: opaque, blended by its own alpha, from any position, or one frame of an image strip.
// Nothing but system DLLs is needed to read it, so a plug-in DLL stays free of others.
//
// At a scale above 1 an image of twice the density drawn for it (`knob@2x` beside `knob`)
// is drawn instead where there is one; at any other density the pixels are resampled once.

#include "CBitmap.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// How the frames of an image strip follow one another.
enum class StripDirection { vertical, horizontal };

class CDecodedBitmap : public CBitmap {
public:
    // Each gives a new image that the caller holds one reference to, or null when there is
    // nothing to decode: no such resource or file, or bytes that are no image. Resources are
    // looked up in `module` (the plug-in's own when null) as type "PNG", RCDATA or BITMAP.
    static CDecodedBitmap* fromResource(std::int32_t id, HINSTANCE module = nullptr);
    static CDecodedBitmap* fromResource(const char* name, HINSTANCE module = nullptr);
    // A file `name@2x.ext` beside `name.ext` becomes the image's double density.
    static CDecodedBitmap* fromFile(const char* path);
    static CDecodedBitmap* fromBytes(const void* bytes, std::size_t size);
    ~CDecodedBitmap() override;

    // The image's pixels from `offset` on into `rect`, as they are: for opaque images.
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset) override;
    // The same, blended over what is there by the image's own alpha.
    void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) override;
    // Frame `index` of `count` equal frames, blended into `rect` from its top-left corner; an
    // index out of range draws the nearest frame.
    void drawFrame(CDrawContext* context, const CRect& rect, std::int32_t index, std::int32_t count,
                   StripDirection direction = StripDirection::vertical);

    // The 32-bit top-down bitmap with premultiplied alpha that holds the pixels.
    HBITMAP getBitmapHandle() const { return pixels; }

    // The image at twice the width and height, drawn above scale 1; retained, null for none.
    void setDoubleDensity(CDecodedBitmap* image);
    CDecodedBitmap* getDoubleDensity() const { return doubled; }

private:
    CDecodedBitmap(std::int32_t width, std::int32_t height, HBITMAP pixels);
    static CDecodedBitmap* fromOneFile(const char* path);
    void copy(CDrawContext* context, const CRect& rect, const CPoint& offset, bool blend);
    // The pixels to draw at `scale`: the image's own, its double density, or a resampled copy.
    HBITMAP pixelsAt(float scale);

    HBITMAP pixels;
    CDecodedBitmap* doubled = nullptr;
    HBITMAP resampled = nullptr;
    float resampledScale = 0;
};
