#pragma once
// A draw context over an image of its own: views draw into it with the ordinary operations and
// the finished picture reaches another context in one copy.

#include "CDrawContext.h"

class COffscreenContext : public CDrawContext {
public:
    // The whole image starts in `backgroundColor`, which is also the fill and frame colour
    // after construction. A size that is not positive gives a context that draws nothing.
    COffscreenContext(CFrame* frame, std::int32_t width, std::int32_t height,
                      CColor backgroundColor = kColorBlack);

    // Copies the block of the image at `sourceOffset` to `destRect` of `destination`, shifted
    // by the destination's offset and within its clip, replacing what is there; this
    // context's own offset does not apply.
    void copyTo(CDrawContext* destination, const CRect& destRect,
                const CPoint& sourceOffset = CPoint(0, 0));

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }

protected:
    std::int32_t height;
    std::int32_t width;
    CColor backgroundColor;
};
