#include "CDrawContext.h"
#include "CTextLabel.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
const CRect kBox(10, 10, 90, 35);
const RECT kBoxArea{10, 10, 90, 35};

bool hasClipRegion(HDC dc) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool result = GetClipRgn(dc, region) == 1;
    DeleteObject(region);
    return result;
}

TEST(CTextLabel, KeepsItsOwnCopyOfTheText) {
    char buffer[16] = "first";
    CTextLabel label(kBox, buffer);
    std::strcpy(buffer, "changed");
    EXPECT_STREQ(label.getText(), "first");
    EXPECT_NE(label.getText(), buffer);

    // Its own text given back: copied before the old copy goes.
    label.setText("a text long enough to show whether freed memory was read");
    label.setText(label.getText());
    EXPECT_STREQ(label.getText(), "a text long enough to show whether freed memory was read");

    label.setText("");
    ASSERT_NE(label.getText(), nullptr);
    EXPECT_STREQ(label.getText(), "");
    label.setText(nullptr);
    EXPECT_EQ(label.getText(), nullptr);
    EXPECT_EQ(CTextLabel(kBox).getText(), nullptr);
}

TEST(CTextLabel, SetTextDoesNotMarkTheLabelDirty) {
    CTextLabel label(kBox, "a");
    label.setDirty(false);
    label.setText("b");
    EXPECT_FALSE(label.isDirty());
}

TEST(CTextLabel, ShowsItsTextNotItsValue) {
    CTextLabel label(kBox, "abc");
    label.setValue(0.3f);
    GdiSurface surface(100, 50);
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        label.draw(&context);
    }
    EXPECT_FALSE(label.isDirty());
    EXPECT_EQ(label.getOldValue(), 0.3f);

    CParamDisplay display(kBox);
    display.setStringConvert([](float, char* text) { std::strcpy(text, "abc"); });
    GdiSurface expected(100, 50);
    {
        CDrawContext context(nullptr, expected.dc(), nullptr);
        display.draw(&context);
    }
    EXPECT_EQ(surface.pixels(), expected.pixels());
    EXPECT_GT(surface.count(kBoxArea, kWhite), 0);
}

TEST(CTextLabel, WithoutTextOnlyTheBoxIsDrawnAndTheClipIsLeftAlone) {
    CTextLabel label(kBox, nullptr);
    GdiSurface surface(100, 50);
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        label.draw(&context);
    }
    EXPECT_EQ(surface.count(kBoxArea, kBlack), 80 * 25);
    EXPECT_FALSE(hasClipRegion(surface.dc()));

    // An empty text is a text: the clip is set for it.
    label.setText("");
    GdiSurface empty(100, 50);
    {
        CDrawContext context(nullptr, empty.dc(), nullptr);
        label.draw(&context);
    }
    EXPECT_EQ(empty.count(kBoxArea, kBlack), 80 * 25);
    EXPECT_TRUE(hasClipRegion(empty.dc()));
}

TEST(CTextLabel, AnswersForItsClassAndAllItsBases) {
    CTextLabel label(kBox, "x");
    EXPECT_TRUE(label.isTypeOf("CTextLabel"));
    EXPECT_TRUE(label.isTypeOf("CParamDisplay"));
    EXPECT_TRUE(label.isTypeOf("CControl"));
    EXPECT_TRUE(label.isTypeOf("CView"));
    EXPECT_FALSE(label.isTypeOf("CViewContainer"));
    EXPECT_FALSE(label.isTypeOf("CTextLabel "));
}

} // namespace
