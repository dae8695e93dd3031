#pragma once
// An image a view can hold as its background. Nothing in the plug-in loads one; the toolkit
// only draws images it is given and reads their size.

#include "CPoint.h"
#include "CRect.h"
#include "CReferenceCounter.h"

#include <cstdint>

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    CBitmap(std::int32_t width, std::int32_t height) : width(width), height(height) {}

    // Paints the image into `rect`, starting at image position `offset`.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset) = 0;
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset) = 0;

    // Lets `held` hold `image` instead: the old one released, the new one retained.
    static void exchange(CBitmap*& held, CBitmap* image) {
        if (held) held->release();
        held = image;
        if (held) held->retain();
    }

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }

private:
    std::int32_t width;
    std::int32_t height;
};
