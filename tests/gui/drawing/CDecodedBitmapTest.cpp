#include "CDecodedBitmap.h"

#include "CDrawContext.h"
#include "CView.h"
#include "GdiSurface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The test program's own images (make-test-images): 101 a vertical strip of red, green and
// half-transparent white 4 x 4 frames; 102 a 3 x 2 BMP; 103 a broken PNG; 104 a horizontal
// strip of red, green and blue 2 x 2 frames; "STRIP" the first again, by name; 201 to 215
// one picture in each kind of BMP and PNG.
HINSTANCE program() { return GetModuleHandleA(nullptr); }

CDecodedBitmap* resource(std::int32_t id) { return CDecodedBitmap::fromResource(id, program()); }

std::vector<BYTE> resourceBytes(std::int32_t id, const char* type) {
    HRSRC found = FindResourceA(program(), MAKEINTRESOURCEA(id), type);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(program(), found)));
    return bytes ? std::vector<BYTE>(bytes, bytes + SizeofResource(program(), found)) : std::vector<BYTE>{};
}

} // namespace

TEST(CDecodedBitmap, DecodesPngAndBmpResourcesByIdAndByNameWithTheirSizes) {
    for (const auto& [image, width, height] :
         {std::tuple{resource(101), 4, 12}, std::tuple{resource(102), 3, 2}, std::tuple{resource(104), 6, 2},
          std::tuple{CDecodedBitmap::fromResource("STRIP", program()), 4, 12}}) {
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getWidth(), width);
        EXPECT_EQ(image->getHeight(), height);
        BITMAP bitmap{};
        ASSERT_EQ(GetObjectA(image->getBitmapHandle(), sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
        EXPECT_EQ(bitmap.bmBitsPixel, 32);
        // The pixels go with the last reference.
        const HBITMAP pixels = image->getBitmapHandle();
        image->release();
        EXPECT_EQ(GetObjectType(pixels), 0u);
    }
}

TEST(CDecodedBitmap, NothingToDecodeGivesNullAndNoCrash) {
    EXPECT_EQ(resource(103), nullptr); // broken data
    EXPECT_EQ(resource(999), nullptr); // no such resource
    EXPECT_EQ(resource(0), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromResource("NOSUCH", program()), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromResource(static_cast<const char*>(nullptr), program()), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromFile("Z:\\no\\such\\image.png"), nullptr);
    const char garbage[] = "\x89PNG\r\n\x1a\n but nothing after the signature";
    EXPECT_EQ(CDecodedBitmap::fromBytes(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(CDecodedBitmap::fromBytes(nullptr, 10), nullptr);
    std::vector<BYTE> cut = resourceBytes(101, "PNG");
    cut.resize(cut.size() / 2);
    EXPECT_EQ(CDecodedBitmap::fromBytes(cut.data(), cut.size()), nullptr);
}

TEST(CDecodedBitmap, ReadsAFile) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "lanter5-decoded-bitmap-test.png";
    const std::vector<BYTE> bytes = resourceBytes(104, MAKEINTRESOURCEA(10)); // RCDATA
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    CDecodedBitmap* image = CDecodedBitmap::fromFile(path.c_str());
    DeleteFileA(path.c_str());
    ASSERT_NE(image, nullptr);
    GdiSurface surface(8, 4, RGB(0, 0, 0));
    CDrawContext context(nullptr, surface.dc(), nullptr);
    image->draw(&context, CRect(0, 0, 6, 2), CPoint(0, 0));
    EXPECT_EQ(surface.pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(surface.pixel(3, 1), RGB(0, 255, 0));
    EXPECT_EQ(surface.pixel(5, 1), RGB(0, 0, 255));
    image->release();
}

// Opaque drawing copies the pixels from the offset on, clipped to the image and shifted by
// the context's offset; nothing outside is touched.
TEST(CDecodedBitmap, DrawsOpaqueFromAnOffsetIntoTheContextsCoordinates) {
    CDecodedBitmap* image = resource(102);
    ASSERT_NE(image, nullptr);
    GdiSurface surface(10, 10, RGB(0, 0, 0));
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.offset = CPoint(2, 3);
    image->draw(&context, CRect(0, 0, 3, 2), CPoint(0, 0));
    EXPECT_EQ(surface.pixels(RECT{2, 3, 5, 5}),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(10, 20, 30),
                                     RGB(200, 100, 50), RGB(255, 255, 255)}));
    EXPECT_EQ(surface.countOutside(RECT{2, 3, 5, 5}, RGB(0, 0, 0)), 100 - 6);

    surface.fill(RGB(0, 0, 0));
    // A rectangle larger than what is left of the image from the offset draws only that.
    image->draw(&context, CRect(0, 0, 9, 9), CPoint(1, 1));
    EXPECT_EQ(surface.pixels(RECT{2, 3, 4, 4}), (std::vector<COLORREF>{RGB(200, 100, 50), RGB(255, 255, 255)}));
    EXPECT_EQ(surface.countOutside(RECT{2, 3, 4, 4}, RGB(0, 0, 0)), 100 - 2);
    surface.fill(RGB(0, 0, 0));
    image->draw(&context, CRect(0, 0, 9, 9), CPoint(3, 0));
    image->draw(nullptr, CRect(0, 0, 9, 9), CPoint(0, 0));
    EXPECT_EQ(surface.count(RECT{0, 0, 10, 10}, RGB(0, 0, 0)), 100);
    image->release();
}

// Blending uses the image's own alpha: opaque frames cover, the half-transparent one mixes.
TEST(CDecodedBitmap, BlendsByItsAlphaAndDrawsOneFrameOfAStrip) {
    CDecodedBitmap* strip = resource(101);
    CDecodedBitmap* row = resource(104);
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(row, nullptr);
    GdiSurface surface(20, 20, RGB(0, 0, 200));
    CDrawContext context(nullptr, surface.dc(), nullptr);
    strip->drawTransparent(&context, CRect(0, 0, 4, 12), CPoint(0, 0));
    EXPECT_EQ(surface.pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(surface.pixel(1, 5), RGB(0, 255, 0));
    // Half of white over the blue: 128 of white, and about half of the blue.
    const COLORREF mixed = surface.pixel(1, 9);
    EXPECT_NEAR(GetRValue(mixed), 128, 1);
    EXPECT_NEAR(GetGValue(mixed), 128, 1);
    EXPECT_NEAR(GetBValue(mixed), 128 + 100, 2);

    surface.fill(RGB(0, 0, 0));
    strip->drawFrame(&context, CRect(10, 10, 20, 20), 1, 3);
    EXPECT_EQ(surface.count(RECT{10, 10, 14, 14}, RGB(0, 255, 0)), 16);
    EXPECT_EQ(surface.countOutside(RECT{10, 10, 14, 14}, RGB(0, 0, 0)), 400 - 16);
    // Past the last frame: the last one.
    strip->drawFrame(&context, CRect(0, 0, 4, 4), 7, 3);
    EXPECT_NEAR(GetRValue(surface.pixel(0, 0)), 128, 1);

    surface.fill(RGB(0, 0, 0));
    row->drawFrame(&context, CRect(5, 5, 7, 7), 2, 3, StripDirection::horizontal);
    EXPECT_EQ(surface.count(RECT{5, 5, 7, 7}, RGB(0, 0, 255)), 4);
    EXPECT_EQ(surface.countOutside(RECT{5, 5, 7, 7}, RGB(0, 0, 0)), 400 - 4);
    row->drawFrame(&context, CRect(0, 0, 2, 2), -1, 3, StripDirection::horizontal);
    EXPECT_EQ(surface.pixel(0, 0), RGB(255, 0, 0));
    strip->release();
    row->release();
}

// The picture of 201 to 215: one 5 x 3 picture written by every kind of encoder a plug-in's
// images come from. Palette indices, as make-test-images writes them.
namespace {

constexpr int kPicture[3][5] = {{0, 1, 2, 3, 4}, {5, 6, 7, 0, 1}, {2, 7, 6, 4, 3}};
constexpr int kLevels[3][5] = {{0, 64, 128, 192, 255}, {255, 192, 128, 64, 0}, {128, 0, 255, 64, 192}};

std::vector<COLORREF> expected(bool twoColours, bool grey) {
    const COLORREF palette[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),     RGB(255, 255, 0),
                                RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0)};
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int level = kLevels[y][x];
            pixels.push_back(grey ? RGB(level, level, level) : palette[twoColours ? kPicture[y][x] % 2 : kPicture[y][x]]);
        }
    }
    return pixels;
}

} // namespace

TEST(CDecodedBitmap, DecodesEveryKindOfBmpAndPngToTheSamePixels) {
    struct Variant {
        std::int32_t id;
        const char* kind;
        bool twoColours = false;
        bool grey = false;
    };
    const Variant variants[] = {
        {201, "1-bit BMP, full palette", true},  {202, "1-bit BMP, colours counted", true},
        {203, "4-bit BMP, full palette"},        {204, "4-bit BMP, 8 colours counted"},
        {205, "8-bit BMP, full palette"},        {206, "8-bit BMP, 8 colours counted"},
        {207, "8-bit BMP, top-down"},            {208, "16-bit BMP, 5-6-5 masks"},
        {209, "16-bit BMP, 5-5-5"},              {210, "32-bit BMP, large header with masks"},
        {211, "24-bit BMP, top-down"},           {212, "PNG with a palette"},
        {213, "grey PNG", false, true},          {214, "PNG of 16 bits per channel"},
        {215, "interlaced PNG"},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.kind);
        CDecodedBitmap* image = resource(variant.id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getWidth(), 5);
        EXPECT_EQ(image->getHeight(), 3);
        GdiSurface surface(5, 3, RGB(1, 2, 3));
        CDrawContext context(nullptr, surface.dc(), nullptr);
        image->draw(&context, CRect(0, 0, 5, 3), CPoint(0, 0));
        EXPECT_EQ(surface.pixels(RECT{0, 0, 5, 3}), expected(variant.twoColours, variant.grey));
        image->release();
    }
}

// A view shows the image as its background, blended when it is transparent.
TEST(CDecodedBitmap, IsAViewsBackground) {
    CDecodedBitmap* image = resource(102);
    ASSERT_NE(image, nullptr);
    CView view(CRect(1, 1, 4, 3));
    view.setBackground(image);
    image->release(); // the view holds it now
    GdiSurface surface(6, 6, RGB(0, 0, 0));
    CDrawContext context(nullptr, surface.dc(), nullptr);
    view.draw(&context);
    EXPECT_EQ(surface.pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(surface.pixel(3, 2), RGB(255, 255, 255));
}
