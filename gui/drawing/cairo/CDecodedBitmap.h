#pragma once
// An image decoded by gdk-pixbuf (PNG with its alpha, every kind of BMP, and whatever else its
// loaders read) into a cairo image with premultiplied alpha, and drawn through cairo: opaque,
// blended by its own alpha, from any position, or one frame of an image strip.
//
// At a scale above 1 an image of twice the density drawn for it (`knob@2x` beside `knob`)
// is drawn instead where there is one; at any other density cairo resamples it smoothly.

#include "CBitmap.h"
#include "CDrawContext.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// How the frames of an image strip follow one another.
enum class StripDirection { vertical, horizontal };

class CDecodedBitmap : public CBitmap {
public:
    // Each gives a new image that the caller holds one reference to, or null when there is
    // nothing to decode: no such resource or file, or bytes that are no image. Resources are
    // the images built into the plug-in (EmbeddedResources.h); an id names the resource whose
    // name is its decimal text.
    static CDecodedBitmap* fromResource(std::int32_t id);
    static CDecodedBitmap* fromResource(const char* name);
    // A file `name@2x.ext` beside `name.ext` becomes the image's double density.
    static CDecodedBitmap* fromFile(const char* path);
    static CDecodedBitmap* fromBytes(const void* bytes, std::size_t size);

    // The image's pixels from `offset` on into `rect`, as they are: for opaque images.
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset) override;
    // The same, blended over what is there by the image's own alpha.
    void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) override;
    // Frame `index` of `count` equal frames, blended into `rect` from its top-left corner; an
    // index out of range draws the nearest frame.
    void drawFrame(CDrawContext* context, const CRect& rect, std::int32_t index, std::int32_t count,
                   StripDirection direction = StripDirection::vertical);

    // The ARGB32 image with premultiplied alpha that holds the pixels.
    cairo_surface_t* getSurface() const { return pixels.get(); }

    // The image at twice the width and height, drawn above scale 1; retained, null for none.
    void setDoubleDensity(CDecodedBitmap* image);
    CDecodedBitmap* getDoubleDensity() const { return doubled; }
    ~CDecodedBitmap() override;

private:
    CDecodedBitmap(std::int32_t width, std::int32_t height, cairo_surface_t* pixels);
    static CDecodedBitmap* fromOneFile(const char* path);
    void copy(CDrawContext* context, const CRect& rect, const CPoint& offset, bool blend);

    std::unique_ptr<cairo_surface_t, CairoRelease> pixels;
    CDecodedBitmap* doubled = nullptr;
};
