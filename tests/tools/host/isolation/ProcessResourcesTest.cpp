// The measurements the validator's editor checks rest on must see what they claim to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ProcessResources.h"

#if defined(_WIN32)
#include <windows.h>

namespace {

// Makes eight GDI objects and deletes them again; `during` sees the count in between.
template <typename Probe>
void makeEightObjects(Probe during) {
    std::vector<HGDIOBJ> objects;
    for (int i = 0; i < 5; ++i) objects.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    objects.push_back(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    objects.push_back(CreateRectRgn(0, 0, 4, 4));
    HDC memory = CreateCompatibleDC(nullptr);
    during();
    DeleteDC(memory);
    for (HGDIOBJ object : objects) DeleteObject(object);
}

TEST(ProcessResources, CountsEveryGdiObjectMadeAndDeleted) {
    ASSERT_TRUE(vsthost::ProcessResources::available());
    makeEightObjects([] {}); // first uses make the stock objects GDI keeps for good
    const long before = vsthost::ProcessResources::measure().gdiObjects;
    ASSERT_GT(before, 0);
    long during = -1;
    makeEightObjects([&] { during = vsthost::ProcessResources::measure().gdiObjects; });
    EXPECT_EQ(during, before + 8);
    EXPECT_EQ(vsthost::ProcessResources::measure().gdiObjects, before);
}

}  // namespace
#else
TEST(ProcessResources, CountsNoGdiObjectsWhereThereAreNone) {
    EXPECT_TRUE(vsthost::ProcessResources::available());
    EXPECT_EQ(vsthost::ProcessResources::measure().gdiObjects, -1);
}
#endif

TEST(ProcessResources, SeesHeapBlocksInUse) {
    const long long before = vsthost::ProcessResources::measure().heapBytesInUse;
    ASSERT_GT(before, 0);
    void* block = std::malloc(256 * 1024);
    ASSERT_NE(block, nullptr);
    const long long during = vsthost::ProcessResources::measure().heapBytesInUse;
    std::free(block);
    const long long after = vsthost::ProcessResources::measure().heapBytesInUse;
    EXPECT_GE(during - before, 256 * 1024);
    EXPECT_LT(after - before, 16 * 1024);
#if defined(_WIN32)
    EXPECT_GT(vsthost::ProcessResources::measure().privateBytes, 0);
#endif
}
