#include "CColor.h"
#include "CRect.h"
#include "CReferenceCounter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(CRect, BoundClipsToTheOtherRectangleAndNeverTurnsInsideOut) {
    CRect apart(0, 0, 10, 10);
    EXPECT_EQ(apart.bound(CRect(20, 30, 40, 50)), CRect(20, 30, 20, 30));
    CRect overlapping(0, 0, 10, 10);
    EXPECT_EQ(overlapping.bound(CRect(5, 5, 15, 15)), CRect(5, 5, 10, 10));
    CRect inside(3, 4, 6, 7);
    EXPECT_EQ(inside.bound(CRect(0, 0, 10, 10)), CRect(3, 4, 6, 7));
    CRect below(0, 20, 10, 30);
    EXPECT_EQ(below.bound(CRect(0, 0, 10, 10)), CRect(0, 20, 10, 20));
}

TEST(CRect, SharedEdgesOverlapAndEdgesAreInside) {
    const CRect square(0, 0, 10, 10);
    EXPECT_TRUE(square.overlaps(CRect(10, 10, 20, 20)));
    EXPECT_TRUE(square.overlaps(CRect(-5, -5, 0, 0)));
    EXPECT_FALSE(square.overlaps(CRect(11, 0, 20, 10)));
    EXPECT_FALSE(square.overlaps(CRect(0, 11, 10, 20)));
    EXPECT_FALSE(square.overlaps(CRect(-10, 0, -1, 10)));
    EXPECT_FALSE(square.overlaps(CRect(0, -10, 10, -1)));

    const CRect label(16, 16, 96, 41);
    EXPECT_EQ(label.width(), 80);
    EXPECT_EQ(label.height(), 25);
    EXPECT_TRUE(label.pointInside(CPoint(96, 41)));
    EXPECT_TRUE(label.pointInside(CPoint(16, 16)));
    EXPECT_FALSE(label.pointInside(CPoint(97, 20)));
    EXPECT_FALSE(label.pointInside(CPoint(20, 15)));

    CRect moved = label;
    EXPECT_EQ(moved.offset(-16, 4), CRect(0, 20, 80, 45));
}

TEST(CColor, TravelsAsOneWordWithRedLowestAndComparesAlpha) {
    std::uint32_t word = 0;
    std::memcpy(&word, &kColorRed, sizeof word);
    EXPECT_EQ(word, 0xFF0000FFu);
    std::memcpy(&word, &kColorTransparent, sizeof word);
    EXPECT_EQ(word, 0x00FFFFFFu);
    std::memcpy(&word, &kColorGrey, sizeof word);
    EXPECT_EQ(word, 0xFF7F7F7Fu);
    std::memcpy(&word, &kColorCyan, sizeof word);
    EXPECT_EQ(word, 0xFFFFFF00u);

    EXPECT_NE(kColorWhite, kColorTransparent);
    EXPECT_EQ(kColorBlack, (CColor{0, 0, 0, 255}));
    EXPECT_NE(kColorBlack, (CColor{0, 0, 0, 254}));
}

namespace {

class Tracked : public CReferenceCounter {
public:
    explicit Tracked(bool& destroyed) : destroyed(destroyed) {}
    ~Tracked() override { destroyed = true; }

private:
    bool& destroyed;
};

} // namespace

TEST(CReferenceCounter, TheLastReleaseDestroysTheMostDerivedObject) {
    bool destroyed = false;
    CReferenceCounter* object = new Tracked(destroyed);
    EXPECT_EQ(object->getReferenceCount(), 1);
    object->retain();
    EXPECT_EQ(object->getReferenceCount(), 2);
    object->release();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(object->getReferenceCount(), 1);
    object->release();
    EXPECT_TRUE(destroyed);
}
