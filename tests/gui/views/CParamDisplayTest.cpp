#include "CDrawContext.h"
#include "CParamDisplay.h"
#include "CTextLabel.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kGrey = RGB(127, 127, 127);
constexpr CColor kGreenColor{0, 255, 0, 255};

const CRect kBox(10, 10, 90, 35);
const RECT kBoxArea{10, 10, 90, 35};

// Draws `display` into a fresh 100 by 50 blue surface through a context on it, and notes the
// font the drawing left selected.
struct Drawing {
    explicit Drawing(CView& view) {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        view.draw(&context);
        font = selectedFont(surface.dc());
    }
    GdiSurface surface{100, 50};
    LOGFONTA font{};
};

bool sameDrawing(CView& a, CView& b) {
    return Drawing(a).surface.pixels() == Drawing(b).surface.pixels();
}

struct DisplayWithText : CParamDisplay {
    explicit DisplayWithText(const CRect& size) : CParamDisplay(size) {}
    void paint(CDrawContext* context, const char* text) { drawText(context, text); }
};

TEST(CParamDisplay, DefaultIsABlackOutlinedBoxWithTheValueInWhiteCentred) {
    CParamDisplay display(kBox);
    EXPECT_EQ(display.getFont(), kFontNormal);
    EXPECT_EQ(display.getStyle(), 8);
    EXPECT_EQ(display.getHoriAlign(), 1);
    EXPECT_TRUE(display.getTextTransparency());
    Drawing drawing(display);
    const GdiSurface& s = drawing.surface;
    // Outline on all four sides, fill inside it.
    EXPECT_EQ(s.pixel(10, 20), kBlack);
    EXPECT_EQ(s.pixel(89, 20), kBlack);
    EXPECT_EQ(s.pixel(50, 10), kBlack);
    EXPECT_EQ(s.pixel(50, 34), kBlack);
    EXPECT_EQ(s.pixel(11, 11), kBlack);
    EXPECT_EQ(s.countOutside(kBoxArea, kSurfaceBlue), 100 * 50 - 80 * 25);
    // The text 0.00 in white: centred, and in the box only.
    int white = 0;
    int left = 100;
    int right = -1;
    for (int y = 10; y < 35; ++y) {
        for (int x = 10; x < 90; ++x) {
            if (s.pixel(x, y) != kWhite) continue;
            ++white;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    EXPECT_GT(white, 10);
    EXPECT_NEAR((left + right) / 2.0, 50.0, 3.0);
    // Only black, white and the shades of the text in the box: nothing of the surface.
    EXPECT_EQ(s.count(kBoxArea, kSurfaceBlue), 0);
    EXPECT_FALSE(display.isDirty());
    EXPECT_EQ(drawing.font.lfHeight, -12);
    EXPECT_EQ(drawing.font.lfWeight, 400);

    // The text is drawn in the display's own font and face.
    display.setFont(kFontVeryBig);
    display.setTextFace(kBoldFace);
    const LOGFONTA big = Drawing(display).font;
    EXPECT_EQ(big.lfHeight, -18);
    EXPECT_EQ(big.lfWeight, 700);
}

TEST(CParamDisplay, TheDefaultTextIsTheValueWithTwoDecimals) {
    CParamDisplay display(kBox);
    display.setValue(0.5f);
    CTextLabel label(kBox, "0.50");
    EXPECT_TRUE(sameDrawing(display, label));
    CTextLabel other(kBox, "0.5");
    EXPECT_FALSE(sameDrawing(display, other));
}

TEST(CParamDisplay, NoFrameLeavesTheOutlineOut) {
    CParamDisplay display(kBox);
    display.setFrameColor(kGreenColor);
    display.setStyle(kStyleNoFrame);
    Drawing drawing(display);
    // The fill covers neither the left column nor the top row of the box.
    EXPECT_EQ(drawing.surface.pixel(10, 20), kSurfaceBlue);
    EXPECT_EQ(drawing.surface.pixel(50, 10), kSurfaceBlue);
    EXPECT_EQ(drawing.surface.pixel(89, 20), kBlack);
    EXPECT_EQ(drawing.surface.count(kBoxArea, kGreen), 0);

    display.setStyle(0);
    Drawing outlined(display);
    EXPECT_EQ(outlined.surface.pixel(10, 20), kGreen);
    EXPECT_EQ(outlined.surface.pixel(89, 20), kGreen);
    EXPECT_EQ(outlined.surface.pixel(50, 10), kGreen);
    EXPECT_EQ(outlined.surface.pixel(50, 34), kGreen);
}

// The edges alone, on a transparent display: left and top in one colour, right and bottom in
// the other, one pixel in from the top, right and bottom.
void expectEdges(const GdiSurface& s, COLORREF leftTop, COLORREF rightBottom) {
    for (int y = 12; y <= 34; ++y) EXPECT_EQ(s.pixel(10, y), leftTop) << "left, y " << y;
    for (int x = 10; x <= 88; ++x) EXPECT_EQ(s.pixel(x, 11), leftTop) << "top, x " << x;
    for (int y = 11; y <= 33; ++y) EXPECT_EQ(s.pixel(89, y), rightBottom) << "right, y " << y;
    for (int x = 11; x <= 89; ++x) EXPECT_EQ(s.pixel(x, 34), rightBottom) << "bottom, x " << x;
    EXPECT_EQ(s.count(RECT{0, 10, 100, 11}, kSurfaceBlue), 100);
    EXPECT_EQ(s.count(RECT{11, 12, 89, 34}, kSurfaceBlue), 78 * 22);
}

TEST(CParamDisplay, InsetAndRaisedEdgesSwapTheirColours) {
    CParamDisplay display(kBox);
    display.setBackColor(CColor{127, 127, 127, 255});
    display.setFrameColor(kGreenColor);
    display.setTransparency(true);
    display.setStyle(kStyle3DIn | kStyleNoText);
    expectEdges(Drawing(display).surface, kGrey, kGreen);
    display.setStyle(kStyle3DOut | kStyleNoText);
    expectEdges(Drawing(display).surface, kGreen, kGrey);
}

TEST(CParamDisplay, ThreeDimensionalEdgesReplaceTheOutlineOfAFilledBox) {
    CParamDisplay display(kBox);
    display.setFrameColor(kGreenColor);
    display.setStyle(kStyle3DIn);
    Drawing inset(display);
    EXPECT_EQ(inset.surface.pixel(50, 10), kSurfaceBlue); // no outline above the edge
    EXPECT_EQ(inset.surface.pixel(10, 20), kBlack);      // left edge in the back colour
    EXPECT_EQ(inset.surface.pixel(89, 20), kGreen);      // right edge in the frame colour
    EXPECT_EQ(inset.surface.pixel(50, 34), kGreen);

    CParamDisplay both(kBox);
    both.setFrameColor(kGreenColor);
    both.setStyle(kStyle3DIn | kStyle3DOut);
    EXPECT_TRUE(sameDrawing(display, both));
}

TEST(CParamDisplay, ShadowIsTheTextOnePixelRightAndDown) {
    CParamDisplay plain(kBox);
    plain.setFontColor(CColor{255, 0, 0, 255});
    plain.setValue(0.25f);
    Drawing text(plain);

    CParamDisplay shadowed(kBox);
    shadowed.setStyle(kStyleShadowText);
    shadowed.setValue(0.25f);
    Drawing both(shadowed);

    // Where the plain drawing has red text, the shadowed one has its shadow one pixel right
    // and down, or the white text over it; and red shows nowhere else.
    int shadowPixels = 0;
    for (int y = 10; y < 34; ++y) {
        for (int x = 10; x < 89; ++x) {
            if (text.surface.pixel(x, y) == kRed) {
                EXPECT_NE(both.surface.pixel(x + 1, y + 1), kBlack) << x << "," << y;
            }
            if (both.surface.pixel(x + 1, y + 1) == kRed) {
                ++shadowPixels;
                EXPECT_EQ(text.surface.pixel(x, y), kRed) << x << "," << y;
            }
        }
    }
    EXPECT_GT(shadowPixels, 5);
}

TEST(CParamDisplay, NoTextDrawsTheBoxAndLeavesTheClipAlone) {
    CParamDisplay display(kBox);
    display.setStyle(kStyleNoText);
    GdiSurface surface(100, 50);
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        display.draw(&context);
    }
    EXPECT_EQ(surface.count(kBoxArea, kBlack), 80 * 25);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(surface.dc(), region), 0); // never a clip region selected
    DeleteObject(region);

    display.setStyle(0);
    GdiSurface withText(100, 50);
    {
        CDrawContext context(nullptr, withText.dc(), nullptr);
        display.draw(&context);
    }
    region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(withText.dc(), region), 1);
    DeleteObject(region);
    EXPECT_GT(withText.count(kBoxArea, kWhite), 0);
}

TEST(CParamDisplay, NoDrawDrawsNothingAndLeavesTheDisplayClean) {
    CParamDisplay display(kBox);
    display.setStyle(kStyleNoDraw | kStyle3DIn | kStyleShadowText);
    display.setValue(0.75f);
    ASSERT_TRUE(display.isDirty());
    Drawing drawing(display);
    EXPECT_EQ(drawing.surface.countOutside(RECT{0, 0, 0, 0}, kSurfaceBlue), 100 * 50);
    EXPECT_FALSE(display.isDirty());
    EXPECT_EQ(display.getOldValue(), 0.75f);
}

TEST(CParamDisplay, TextIsCutAtTheBoxAndAtAClipAlreadySet) {
    DisplayWithText display(kBox);
    display.setHoriAlign(0);
    const char* longText = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    GdiSurface surface(100, 50, kSurfaceBlue);
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        display.paint(&context, longText);
    }
    EXPECT_EQ(surface.countOutside(kBoxArea, kWhite), 0);
    EXPECT_GT(surface.count(RECT{80, 10, 90, 35}, kWhite), 0); // reaches the right edge

    // A clip set by the caller narrows further, and comes back afterwards.
    display.setTransparency(true);
    GdiSurface narrowed(100, 50, kSurfaceBlue);
    {
        CDrawContext context(nullptr, narrowed.dc(), nullptr);
        context.setClipRect(CRect(0, 0, 40, 50));
        display.paint(&context, longText);
        CRect clip;
        context.getClipRect(clip);
        EXPECT_EQ(clip, CRect(0, 0, 40, 50));
    }
    EXPECT_EQ(narrowed.countOutside(RECT{10, 10, 40, 35}, kWhite), 0);
    EXPECT_GT(narrowed.count(RECT{10, 10, 40, 35}, kWhite), 0);
}

TEST(CParamDisplay, OffsetMovesTheWholeDrawing) {
    CParamDisplay display(CRect(0, 0, 80, 25));
    GdiSurface moved(100, 50);
    {
        CDrawContext context(nullptr, moved.dc(), nullptr);
        context.offset = CPoint(10, 10);
        display.draw(&context);
    }
    CParamDisplay placed(kBox);
    EXPECT_EQ(moved.pixels(), Drawing(placed).surface.pixels());
}

TEST(CParamDisplay, SettersMarkDirtyOnlyOnChange) {
    CParamDisplay display(kBox);
    auto clean = [&] { display.setDirty(false); };
    clean();
    display.setFontColor(kColorWhite);
    display.setBackColor(kColorBlack);
    display.setFrameColor(kColorBlack);
    display.setShadowColor(kColorRed);
    display.setStyle(8);
    display.setFont(kFontNormal);
    display.setHoriAlign(1);
    display.setTextFace(0);
    display.setTextTransparency(false);
    display.setStringConvert([](float, char* text) { text[0] = 0; });
    EXPECT_FALSE(display.isDirty());

    display.setFontColor(CColor{255, 255, 255, 254}); // alpha alone
    EXPECT_TRUE(display.isDirty());
    clean();
    display.setShadowColor(kColorBlue);
    EXPECT_TRUE(display.isDirty());
    clean();
    display.setStyle(kStyleShadowText);
    EXPECT_TRUE(display.isDirty());
    EXPECT_EQ(display.getStyle(), kStyleShadowText);
    clean();
    display.setFont(kFontBig);
    EXPECT_TRUE(display.isDirty());
    clean();
    display.setTextFace(kBoldFace);
    EXPECT_TRUE(display.isDirty());
    clean();
    display.setHoriAlign(2);
    EXPECT_TRUE(display.isDirty());
}

// A font given by face and points takes the table's place, style and all, until setFont
// picks from the table again; labels and value entries draw as displays.
TEST(CParamDisplay, DrawsInAFontGivenByFaceAndPoints) {
    CTextLabel label(kBox, "Text");
    label.setDirty(false);
    label.setTextFont(CTextFont("Courier New", 15, kItalicFace));
    EXPECT_TRUE(label.isDirty());
    const LOGFONTA font = Drawing(label).font;
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfItalic, 1);
    label.setFont(kFontNormal);
    EXPECT_TRUE(label.isDirty());
    EXPECT_EQ(label.getTextFont(), nullptr);
    EXPECT_STREQ(Drawing(label).font.lfFaceName, "Arial");
}

struct ConvertCalls {
    int plain = 0;
    int withData = 0;
    float value = 0.0f;
    void* data = nullptr;
};
ConvertCalls convertCalls;

TEST(CParamDisplay, TheConversionWithDataWinsOverThePlainOne) {
    convertCalls = {};
    CParamDisplay display(kBox);
    display.setValue(0.3f);
    display.setStringConvert([](float, char* text) {
        ++convertCalls.plain;
        std::strcpy(text, "plain");
    });
    int data = 0;
    display.setStringConvert(
        [](float value, char* text, void* userData) {
            ++convertCalls.withData;
            convertCalls.value = value;
            convertCalls.data = userData;
            std::strcpy(text, "abc");
        },
        &data);
    CTextLabel label(kBox, "abc");
    EXPECT_TRUE(sameDrawing(display, label));
    EXPECT_EQ(convertCalls.plain, 0);
    EXPECT_EQ(convertCalls.withData, 1);
    EXPECT_EQ(convertCalls.value, 0.3f);
    EXPECT_EQ(convertCalls.data, &data);

    display.setStringConvert(nullptr, nullptr);
    CTextLabel plainLabel(kBox, "plain");
    EXPECT_TRUE(sameDrawing(display, plainLabel));
    EXPECT_EQ(convertCalls.plain, 1);
}

TEST(CParamDisplay, OpaqueTextPaintsTheFillColourBehindIt) {
    CParamDisplay display(kBox);
    display.setTransparency(true); // no box, so only the text's own background shows
    auto greenPixels = [&] {
        GdiSurface surface(100, 50);
        CDrawContext context(nullptr, surface.dc(), nullptr);
        context.setFillColor(kGreenColor);
        display.draw(&context);
        return surface.count(kBoxArea, kGreen);
    };
    display.setTextTransparency(false);
    EXPECT_GT(greenPixels(), 50);
    display.setTextTransparency(true);
    EXPECT_EQ(greenPixels(), 0);
}

TEST(CParamDisplay, OperationsKeepTheirSlots) {
    EXPECT_EQ(virtualSlot(&CParamDisplay::draw), 3);
    EXPECT_EQ(virtualSlot(&CParamDisplay::isTypeOf), 40);
    EXPECT_EQ(virtualSlot(&CParamDisplay::setFont), 63);
    EXPECT_EQ(virtualSlot(&CParamDisplay::setHoriAlign), 68);
    EXPECT_EQ(virtualSlot(static_cast<void (CParamDisplay::*)(CParamDisplayConvertWithData, void*)>(
                  &CParamDisplay::setStringConvert)),
              69);
    EXPECT_EQ(virtualSlot(static_cast<void (CParamDisplay::*)(CParamDisplayConvert)>(
                  &CParamDisplay::setStringConvert)),
              70);
    EXPECT_EQ(virtualSlot(&CParamDisplay::setReverseConvert), 71);
    EXPECT_EQ(virtualSlot(&CParamDisplay::setStyle), 72);
    EXPECT_EQ(virtualSlot(&CParamDisplay::setTextTransparency), 74);
    EXPECT_EQ(virtualSlot(&CTextLabel::setText), 75);
    EXPECT_EQ(virtualSlot(&CTextLabel::getText), 76);
}

TEST(CParamDisplay, AnswersForItsClassAndItsBases) {
    CParamDisplay display(kBox);
    EXPECT_TRUE(display.isTypeOf("CParamDisplay"));
    EXPECT_TRUE(display.isTypeOf("CControl"));
    EXPECT_TRUE(display.isTypeOf("CView"));
    EXPECT_FALSE(display.isTypeOf("CTextLabel"));
}

} // namespace
