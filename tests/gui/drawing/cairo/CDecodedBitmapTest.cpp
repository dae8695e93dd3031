#include "CDecodedBitmap.h"

#include "CFrame.h"
#include "Canvas.h"
#include "EmbeddedResources.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The program's embedded images (make-test-images): 101 and "STRIP" a vertical strip of red,
// green and half-transparent white 4 x 4 frames; 103 a broken PNG; 104 a horizontal strip of
// red, green and blue 2 x 2 frames; 201 to 215 one 5 x 3 picture in each kind of BMP and PNG.

TEST(CDecodedBitmap, EveryKindOfBmpAndPngDecodesToTheSamePixels) {
    constexpr std::uint32_t kPalette[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                          0x00FFFF, 0xFF00FF, 0xFFFFFF, 0x000000};
    constexpr int kPicture[3][5] = {{0, 1, 2, 3, 4}, {5, 6, 7, 0, 1}, {2, 7, 6, 4, 3}};
    constexpr int kLevels[3][5] = {{0, 64, 128, 192, 255}, {255, 192, 128, 64, 0}, {128, 0, 255, 64, 192}};
    for (std::int32_t id = 201; id <= 215; ++id) {
        SCOPED_TRACE(id);
        const bool twoColours = id <= 202;
        const bool grey = id == 213;
        CDecodedBitmap* image = CDecodedBitmap::fromResource(id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getWidth(), 5);
        EXPECT_EQ(image->getHeight(), 3);
        Canvas canvas(5, 3, 0x010203);
        CDrawContext context(nullptr, canvas.get());
        image->draw(&context, CRect(0, 0, 5, 3), CPoint(0, 0));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const std::uint32_t level = static_cast<std::uint32_t>(kLevels[y][x]);
                const std::uint32_t expected =
                    grey ? level * 0x010101 : kPalette[twoColours ? kPicture[y][x] % 2 : kPicture[y][x]];
                EXPECT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
            }
        }
        image->release();
    }
}

TEST(CDecodedBitmap, NothingToDecodeGivesNullAndAFileDecodes) {
    EXPECT_EQ(CDecodedBitmap::fromResource(103), nullptr); // broken data
    EXPECT_EQ(CDecodedBitmap::fromResource(999), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromResource(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromFile(LANTER5_TEST_IMAGES), nullptr); // a folder
    const char garbage[] = "\x89PNG\r\n\x1a\n but nothing after the signature";
    EXPECT_EQ(CDecodedBitmap::fromBytes(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromBytes(nullptr, 10), nullptr);
    // Cut short: a PNG in its pixel data, a BMP in its palette. Copied, so that reading past
    // the end shows.
    for (const auto& [name, half] : {std::pair{"101", true}, std::pair{"203", false}}) {
        const EmbeddedResource* whole = findEmbeddedResource(name);
        ASSERT_NE(whole, nullptr);
        const std::vector<unsigned char> cut(whole->bytes, whole->bytes + (half ? whole->size / 2 : 60));
        EXPECT_EQ(CDecodedBitmap::fromBytes(cut.data(), cut.size()), nullptr) << name;
    }

    CDecodedBitmap* image = CDecodedBitmap::fromFile(LANTER5_TEST_IMAGES "/row.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 6);
    EXPECT_EQ(image->getHeight(), 2);
    image->release();
}

// Opaque drawing copies the pixels as they are, from the offset on and clipped to the image;
// blending mixes by the image's own alpha; a strip shows one frame, the nearest one when the
// index is out of range.
TEST(CDecodedBitmap, DrawsCopiedOrBlendedAndOneFrameOfAStrip) {
    CDecodedBitmap* strip = CDecodedBitmap::fromResource("STRIP");
    CDecodedBitmap* row = CDecodedBitmap::fromResource(104);
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(row, nullptr);
    Canvas canvas(20, 20, 0x0000C8);
    CDrawContext context(nullptr, canvas.get());
    context.offset = CPoint(2, 3);
    strip->draw(&context, CRect(0, 0, 9, 9), CPoint(1, 7));
    EXPECT_EQ(canvas.ink(0x0000C8), CRect(2, 3, 5, 8));
    EXPECT_EQ(canvas.count(CRect(2, 3, 5, 4), 0x00FF00), 3);
    EXPECT_EQ(canvas.count(CRect(2, 4, 5, 8), 0x808080), 12); // premultiplied half white, as it is

    canvas.fill(0x0000C8);
    context.offset = CPoint(0, 0);
    strip->drawTransparent(&context, CRect(0, 0, 4, 12), CPoint(0, 0));
    EXPECT_EQ(canvas.pixel(1, 1), 0xFF0000);
    const std::uint32_t mixed = canvas.pixel(1, 9); // half white over the blue
    EXPECT_NEAR(mixed >> 16, 128, 1);
    EXPECT_NEAR(mixed & 0xFF, 128 + 100, 2);

    canvas.fill(0x000000);
    strip->drawFrame(&context, CRect(10, 10, 20, 20), 1, 3);
    EXPECT_EQ(canvas.ink(0x000000), CRect(10, 10, 14, 14));
    EXPECT_EQ(canvas.count(CRect(10, 10, 14, 14), 0x00FF00), 16);
    strip->drawFrame(&context, CRect(0, 0, 4, 4), 7, 3);
    EXPECT_NEAR(canvas.pixel(0, 0) >> 16, 128, 1);
    row->drawFrame(&context, CRect(5, 5, 7, 7), 2, 3, StripDirection::horizontal);
    EXPECT_EQ(canvas.count(CRect(5, 5, 7, 7), 0x0000FF), 4);
    row->drawFrame(&context, CRect(16, 0, 20, 4), -1, 3, StripDirection::horizontal);
    EXPECT_EQ(canvas.count(CRect(16, 0, 20, 4), 0xFF0000), 4);
    strip->release();
    row->release();
}

// At another density an image is resampled from the pixels it shows alone: a frame's edges are
// not blended with what lies beyond the image, nor with the next frames of its strip.
TEST(CDecodedBitmap, AtAScaleAFrameIsResampledFromItsOwnPixelsAlone) {
    CFrame frame(CRect(0, 0, 20, 20), 0, nullptr);
    frame.setScale(1.5f);
    CDecodedBitmap* strip = CDecodedBitmap::fromResource("STRIP");
    ASSERT_NE(strip, nullptr);
    Canvas canvas(20, 20, 0x000000);
    CDrawContext context(&frame, canvas.get());
    strip->drawFrame(&context, CRect(2, 2, 6, 6), 1, 3);
    EXPECT_EQ(canvas.ink(0x000000), CRect(3, 3, 9, 9));
    EXPECT_EQ(canvas.count(CRect(3, 3, 9, 9), 0x00FF00), 36);
    strip->release();
}
