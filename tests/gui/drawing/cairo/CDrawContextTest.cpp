#include "CDrawContext.h"

#include "COffscreenContext.h"
#include "Canvas.h"
#include "FontCaches.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <numbers>

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// How many pixels of `area` are partly covered white on black: neither black nor white.
int partial(const Canvas& canvas, const CRect& area) {
    return area.width() * area.height() - canvas.count(area, kBlack) - canvas.count(area, kWhite);
}

} // namespace

// The views were drawn for GDI's pixels: fills leave the left and top lines out, outlines take
// all four corners, lines leave their end pixel out whichever way they run.
TEST(CDrawContext, RectanglesAndLinesCoverGdisPixels) {
    Canvas canvas(30, 30, kBlue);
    CDrawContext context(nullptr, canvas.get());
    context.setFillColor(kColorRed);
    context.setFrameColor(kColorGreen);
    context.fillRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(canvas.ink(kBlue), CRect(1, 1, 10, 10));
    EXPECT_EQ(canvas.count(CRect(1, 1, 10, 10), kRed), 81);
    context.drawRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(canvas.ink(kBlue), CRect(0, 0, 10, 10));
    EXPECT_EQ(canvas.count(CRect(1, 1, 9, 9), kRed), 64);
    EXPECT_EQ(canvas.count(CRect(0, 0, 10, 10), kGreen), 36);

    const struct {
        CPoint from, to;
        CRect ink;
    } lines[] = {
        {{20, 2}, {25, 2}, {20, 2, 25, 3}},     // rightwards
        {{28, 4}, {23, 4}, {24, 4, 29, 5}},     // leftwards
        {{12, 20}, {12, 16}, {12, 17, 13, 21}}, // upwards
        {{20, 20}, {16, 24}, {17, 20, 21, 24}}, // diagonal, down and left
    };
    for (const auto& line : lines) {
        canvas.fill(kBlue);
        context.moveTo(line.from);
        context.lineTo(line.to);
        EXPECT_EQ(canvas.ink(kBlue), line.ink) << line.to.h << "," << line.to.v;
        EXPECT_EQ(canvas.count(line.ink, kGreen), std::max(line.ink.width(), line.ink.height()));
    }
}

// Every coordinate gets the offset; the clip is set in the caller's coordinates and kept in
// the device's, and nothing is drawn outside it.
TEST(CDrawContext, OffsetMovesDrawingAndTheClipHoldsIt) {
    Canvas canvas(40, 40, kBlue);
    CDrawContext context(nullptr, canvas.get());
    context.offset = CPoint(12, 15);
    context.setFillColor(kColorRed);
    context.fillRect(CRect(0, 0, 5, 5));
    EXPECT_EQ(canvas.ink(kBlue), CRect(13, 16, 17, 20));

    canvas.fill(kBlue);
    context.setClipRect(CRect(2, 3, 8, 10));
    context.offset = CPoint(0, 0);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(14, 18, 20, 25));
    // Without a surface nothing is drawn and nothing breaks, the destination of a copy included.
    CDrawContext nowhere(nullptr, nullptr);
    nowhere.fillRect(CRect(0, 0, 5, 5));
    nowhere.drawRect(CRect(0, 0, 5, 5));
    nowhere.drawString("text", CRect(0, 0, 50, 20), 1);
    COffscreenContext(nullptr, 4, 4).copyTo(&nowhere, CRect(0, 0, 4, 4));
    COffscreenContext(nullptr, 40000, 4).copyTo(&context, CRect(0, 0, 4, 4)); // too large for cairo
    context.fillRect(CRect(-1, -1, 40, 40));
    context.moveTo(CPoint(0, 30));
    context.lineTo(CPoint(40, 30));
    EXPECT_EQ(canvas.ink(kBlue), CRect(14, 18, 20, 25));
    EXPECT_EQ(canvas.count(CRect(14, 18, 20, 25), kRed), 42);
}

// Text lands inside its rectangle, vertically centred, where its alignment puts it.
TEST(CDrawContext, TextIsAlignedInsideItsRectangle) {
    const CRect rect(10, 4, 90, 40);
    auto inkOf = [&](const char* text, std::int32_t alignment, std::int32_t style = 0,
                     std::int16_t opaque = 0) {
        Canvas canvas(100, 44, kBlack);
        CDrawContext context(nullptr, canvas.get());
        context.setFont(kFontNormal, style);
        context.setFillColor(kColorRed);
        context.drawString(text, rect, opaque, alignment);
        return canvas.ink(kBlack);
    };
    const CRect left = inkOf("Wg8", kLeftText);
    const CRect centre = inkOf("Wg8", kCenterText);
    const CRect right = inkOf("Wg8", kRightText);
    ASSERT_GT(left.width(), 10) << "no text was drawn";
    EXPECT_TRUE(left.left >= rect.left + 1 && left.left <= rect.left + 3) << left.left;
    EXPECT_NEAR(centre.left + centre.right, rect.left + rect.right, 3);
    EXPECT_TRUE(right.right <= rect.right && right.right >= rect.right - 3) << right.right;
    EXPECT_NEAR(left.top - rect.top, rect.bottom - left.bottom, 3);

    // The style bits reach the font; an opaque string is backed by the fill colour; a string
    // that is no UTF-8 still draws, read as Latin-1.
    const CRect plain = inkOf("ACE", kLeftText);
    EXPECT_GT(inkOf("ACE", kLeftText, kBoldFace).width(), plain.width());
    EXPECT_GT(inkOf("ACE", kLeftText, kUnderlineFace).bottom, plain.bottom);
    EXPECT_GT(inkOf("ACE", kLeftText, 0, 1).height(), plain.height());
    EXPECT_EQ(inkOf("\xB0" "C", kLeftText).width(), inkOf("\xC2\xB0" "C", kLeftText).width());
    EXPECT_EQ(inkOf(nullptr, kLeftText), CRect());

    // Text too wide for its rectangle is cut by it, and by the clip.
    Canvas canvas(100, 44, kBlack);
    CDrawContext context(nullptr, canvas.get());
    context.setClipRect(CRect(0, 0, 50, 44));
    context.drawString("WWWWWWWWWWWW", rect, 0, kCenterText);
    EXPECT_EQ(canvas.ink(kBlack).left, rect.left);
    EXPECT_EQ(canvas.ink(kBlack).right, 50);
}

// How far apart the left edges of the first two marks of ink stand, in pixels.
int markDistance(const Canvas& canvas, std::uint32_t background) {
    int first = -1;
    bool gap = false;
    for (int x = 0; x < canvas.width; ++x) {
        bool ink = false;
        for (int y = 0; y < canvas.height && !ink; ++y) ink = canvas.pixel(x, y) != background;
        if (ink && first < 0) first = x;
        if (!ink && first >= 0) gap = true;
        if (ink && gap) return x - first;
    }
    return -1;
}

// The plug-in's own Inconsolata gives every character the same advance, half its em: two bars
// ten characters apart stand ten half-ems apart, at 9 points 10 x 6 pixels (12 to the em) and
// at 18 points twice that. The system's fonts, and the table's, are proportional.
TEST(CDrawContext, DrawsTheFontFileOfThePluginAtItsSizeInPoints) {
    auto distance = [](auto font) {
        Canvas canvas(300, 40, kBlack);
        CDrawContext context(nullptr, canvas.get());
        context.setFont(font);
        context.drawString("|         |", CRect(0, 0, 300, 40), 0, kLeftText);
        return markDistance(canvas, kBlack);
    };
    const CTextFont small("Inconsolata", 9);
    ASSERT_NE(small.getResource(), nullptr);
    EXPECT_EQ(distance(small), 60);
    EXPECT_EQ(distance(CTextFont("Inconsolata", 18)), 120);
    EXPECT_NE(distance(kFontNormal), 60);

    Canvas canvas(10, 10, kBlack);
    CDrawContext context(nullptr, canvas.get());
    context.setFont(small);
    EXPECT_EQ(context.getFontSize(), 12);
    EXPECT_EQ(context.getFont(), kNumFonts);
    context.setFont(kFontNormal);
    EXPECT_EQ(context.getTextFont(), nullptr);
    EXPECT_EQ(small.pixelSize(2.0), 24);

    // Loaded for this process alone: fontconfig's list in another has no such family.
    FILE* list = popen("fc-list : family", "r");
    ASSERT_NE(list, nullptr);
    std::string families;
    char line[512];
    while (std::fgets(line, sizeof line, list)) families += line;
    EXPECT_EQ(pclose(list), 0);
    EXPECT_NE(families.find("DejaVu"), std::string::npos);
    EXPECT_EQ(families.find("Inconsolata"), std::string::npos);
}

// Smooth shapes are blended into their edge pixels and land at the offset, whole numbers falling
// between pixels: a line along a pixel row's middle fills that row exactly.
TEST(CDrawContext, SmoothLinesAndArcsAreAntiAliasedWhereTheyBelong) {
    Canvas canvas(60, 60, kBlack);
    CDrawContext context(nullptr, canvas.get());
    context.offset = CPoint(5, 7);
    context.setFrameColor(kColorWhite);
    context.drawSmoothLine({2, 3.5}, {12, 3.5});
    EXPECT_EQ(canvas.ink(kBlack), CRect(7, 10, 17, 11));
    EXPECT_EQ(canvas.count(CRect(7, 10, 17, 11), kWhite), 10);

    canvas.fill(kBlack);
    context.setLineWidth(2);
    context.drawSmoothArc({25, 25}, 15, 0, std::numbers::pi / 2); // right, then down to the bottom
    const CRect ink = canvas.ink(kBlack);
    EXPECT_TRUE(ink.left >= 29 && ink.left <= 30 && ink.right >= 46 && ink.right <= 47) << ink.left << " " << ink.right;
    EXPECT_TRUE(ink.top >= 31 && ink.top <= 32 && ink.bottom >= 48 && ink.bottom <= 49) << ink.top << " " << ink.bottom;
    // Half way round, at 45 degrees, the pixel the arc runs through is painted nearly whole.
    EXPECT_GE(canvas.pixel(40, 42) & 0xFF, 0xC0);
    EXPECT_GT(partial(canvas, ink), 20);
}

// A filled rounded rectangle is whole inside and blended at its corners; a path's arc pieces
// bound its filled area.
TEST(CDrawContext, SmoothFillsHaveRoundedBlendedCorners) {
    Canvas canvas(40, 40, kBlack);
    CDrawContext context(nullptr, canvas.get());
    context.setFillColor(kColorWhite);
    context.fillSmoothRoundRect(CFloatRect(CRect(10, 10, 30, 20)), 4);
    EXPECT_EQ(canvas.ink(kBlack), CRect(10, 10, 30, 20));
    EXPECT_EQ(canvas.pixel(10, 10), kBlack);
    EXPECT_EQ(canvas.count(CRect(14, 10, 26, 20), kWhite), 12 * 10);
    EXPECT_GT(partial(canvas, CRect(10, 10, 14, 14)), 2);

    canvas.fill(kBlack);
    context.fillSmoothPath(CSmoothPath().moveTo({20, 20}).arc({20, 20}, 10, 0, std::numbers::pi / 2).close());
    EXPECT_EQ(canvas.ink(kBlack), CRect(20, 20, 30, 30));
    EXPECT_EQ(canvas.pixel(22, 22), kWhite);
    EXPECT_EQ(canvas.pixel(28, 28), kBlack); // outside the quarter circle, inside its square
}

// A copy takes the block at the source offset to the destination rectangle moved by the
// destination's offset; the source's own offset is left out, and pixels are replaced.
TEST(COffscreenContext, StartsInItsBackgroundAndCopiesABlockToTheDestination) {
    COffscreenContext source(nullptr, 40, 30, kColorRed);
    source.setFillColor(kColorGreen);
    source.fillRect(CRect(0, 0, 40, 30));
    source.setFillColor(kColorYellow); // a mark 3 across and 3 down at (2, 10)
    source.fillRect(CRect(1, 9, 5, 13));

    Canvas canvas(100, 100, kBlue);
    CDrawContext destination(nullptr, canvas.get());
    destination.offset = CPoint(30, 40);
    source.offset = CPoint(7, 7);
    source.copyTo(&destination, CRect(5, 5, 25, 15));
    EXPECT_EQ(canvas.ink(kBlue), CRect(35, 45, 55, 55));
    EXPECT_EQ(canvas.count(CRect(35, 45, 55, 55), kRed), 20 + 9); // its top row and left column
    EXPECT_EQ(canvas.count(CRect(36, 46, 55, 55), kGreen), 19 * 9);

    canvas.fill(kBlue);
    source.copyTo(&destination, CRect(0, 0, 2, 2), CPoint(3, 11));
    EXPECT_EQ(canvas.count(CRect(30, 40, 32, 42), kYellow), 4);
    // Past the image's edge the destination keeps its own pixels.
    source.copyTo(&destination, CRect(10, 10, 12, 12), CPoint(39, 29));
    EXPECT_EQ(canvas.pixel(40, 50), kGreen);
    EXPECT_EQ(canvas.count(CRect(0, 0, 100, 100), kBlue), 10000 - 5);
}
