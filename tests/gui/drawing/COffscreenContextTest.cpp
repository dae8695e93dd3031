#include "COffscreenContext.h"

#include "CFrame.h"
#include "GdiSurface.h"

#include <gtest/gtest.h>

namespace {

int pixelsNot(const COffscreenContext& context, const RECT& area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(context.getDeviceContext(), x, y) != colour) ++count;
        }
    }
    return count;
}

} // namespace

TEST(COffscreenContext, StartsAsAWholeBitmapInTheBackgroundColour) {
    CFrame frame(CRect(0, 0, 200, 100), nullptr, nullptr);
    auto* context = new COffscreenContext(&frame, 100, 50, kColorBlack);
    ASSERT_NE(context->getDeviceContext(), nullptr);
    EXPECT_EQ(GetObjectType(context->getDeviceContext()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(context->getDeviceContext(), OBJ_BITMAP),
              context->getMemoryBitmap());
    BITMAP bitmap{};
    GetObjectA(context->getMemoryBitmap(), sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 100);
    EXPECT_EQ(bitmap.bmHeight, 50);

    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 100, 50));
    EXPECT_EQ(context->screenOffset, CPoint(0, 0));
    EXPECT_EQ(pixelsNot(*context, RECT{0, 0, 100, 50}, RGB(0, 0, 0)), 0);

    // Destruction takes the memory device context and the bitmap with it.
    const HDC memory = context->getDeviceContext();
    const HBITMAP memoryBitmap = context->getMemoryBitmap();
    context->release();
    EXPECT_EQ(GetObjectType(memory), 0u);
    EXPECT_EQ(GetObjectType(memoryBitmap), 0u);
}

// The memory device context comes after the base recorded its defaults; drawing with those
// defaults must not fall back on the platform's own (white text background, black pen,
// system font).
TEST(COffscreenContext, TheMemoryDeviceContextHoldsTheStateTheContextReports) {
    for (const CColor background : {kColorBlack, kColorWhite, kColorRed}) {
        const COLORREF colour = RGB(background.red, background.green, background.blue);
        SCOPED_TRACE(colour);
        COffscreenContext context(nullptr, 30, 20, background);
        const HDC memory = context.getDeviceContext();
        EXPECT_EQ(pixelsNot(context, RECT{0, 0, 30, 20}, colour), 0);
        EXPECT_EQ(selectedPen(memory).lopnColor, colour);
        EXPECT_EQ(selectedBrush(memory).lbColor, colour);
        EXPECT_EQ(GetBkColor(memory), colour);
        EXPECT_EQ(GetBkMode(memory), TRANSPARENT);
        EXPECT_EQ(GetTextColor(memory), RGB(255, 255, 255));
        EXPECT_EQ(GetROP2(memory), R2_COPYPEN);
        const LOGFONTA font = selectedFont(memory);
        EXPECT_EQ(font.lfHeight, -12);
        EXPECT_EQ(font.lfWeight, 700);
        EXPECT_STREQ(font.lfFaceName, "Arial");
    }
}

TEST(COffscreenContext, ClipRectangleIsTheNormalisedBitmapArea) {
    COffscreenContext narrow(nullptr, -10, 20, kColorBlack);
    CRect clip;
    EXPECT_EQ(narrow.getClipRect(clip), CRect(-10, 0, 0, 20));
    COffscreenContext flat(nullptr, 10, -4, kColorBlack);
    EXPECT_EQ(flat.getClipRect(clip), CRect(0, -4, 10, 0));
}

TEST(COffscreenContext, CopiesOneBlockToTheDestinationOffset) {
    // Red border, green inside: the copied block shows where its source corner was.
    COffscreenContext source(nullptr, 40, 30, kColorRed);
    source.setFillColor(kColorGreen);
    source.fillRect(CRect(0, 0, 40, 30));
    source.setFillColor(kColorYellow); // a mark 3 across and 11 down
    source.fillRect(CRect(2, 10, 5, 13));

    GdiSurface surface(100, 100, RGB(0, 0, 255));
    CDrawContext destination(nullptr, surface.dc(), nullptr);
    destination.offset = CPoint(30, 40);
    source.offset = CPoint(7, 7); // not applied to the source position
    source.copyTo(&destination, CRect(5, 5, 25, 15), CPoint(0, 0));

    EXPECT_EQ(surface.countOther(RECT{35, 45, 55, 46}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{35, 45, 36, 55}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{36, 46, 55, 55}, RGB(0, 255, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 100, 45}, RGB(0, 0, 255)), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 55, 100, 100}, RGB(0, 0, 255)), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 35, 100}, RGB(0, 0, 255)), 0);
    EXPECT_EQ(surface.countOther(RECT{55, 0, 100, 100}, RGB(0, 0, 255)), 0);

    // A source offset picks the block from further inside the bitmap: here, the mark.
    surface.fill(RGB(0, 0, 255));
    source.copyTo(&destination, CRect(0, 0, 2, 2), CPoint(3, 11));
    EXPECT_EQ(surface.countOther(RECT{30, 40, 32, 42}, RGB(255, 255, 0)), 0);
}
