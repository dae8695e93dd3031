#include "CDrawContext.h"

#include "CFrame.h"
#include "GdiSurface.h"
#include "ProgramFolder.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include <numbers>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

struct FontExpectation {
    CFontId requested;
    std::int32_t style;
    LONG height;
    const char* face;
    LONG weight;
    BYTE italic;
    BYTE underline;
    BYTE pitchAndFamily;
};

void expectFont(HDC dc, const FontExpectation& expected) {
    const LOGFONTA font = selectedFont(dc);
    EXPECT_EQ(font.lfHeight, expected.height);
    EXPECT_STREQ(font.lfFaceName, expected.face);
    EXPECT_EQ(font.lfWeight, expected.weight);
    EXPECT_EQ(font.lfItalic, expected.italic);
    EXPECT_EQ(font.lfUnderline, expected.underline);
    EXPECT_EQ(font.lfPitchAndFamily, expected.pitchAndFamily);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(font.lfWidth, 0);
}

} // namespace

TEST(CDrawContext, ConstructionSelectsTheDefaultDrawingState) {
    GdiSurface surface(20, 20);
    SetROP2(surface.dc(), R2_XORPEN);
    SetBkMode(surface.dc(), OPAQUE);
    CDrawContext context(nullptr, surface.dc(), nullptr);

    const LOGPEN pen = selectedPen(surface.dc());
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
    const LOGBRUSH brush = selectedBrush(surface.dc());
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(0, 0, 0));
    expectFont(surface.dc(), {kFontBold, 0, -12, "Arial", 700, 0, 0, 34});
    EXPECT_EQ(GetTextColor(surface.dc()), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(surface.dc()), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(surface.dc()), TRANSPARENT);
    EXPECT_EQ(GetROP2(surface.dc()), R2_COPYPEN);

    EXPECT_EQ(context.getFrameColor(), kColorWhite);
    EXPECT_EQ(context.getFillColor(), kColorBlack);
    EXPECT_EQ(context.getFontColor(), kColorWhite);
    EXPECT_EQ(context.getFont(), kFontBold);
    EXPECT_EQ(context.getFontSize(), 12);
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.screenOffset, CPoint(0, 0));
    EXPECT_EQ(context.offset, CPoint(0, 0));

    // The clip rectangle is recorded, not selected.
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 1000, 1000));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(surface.dc(), region), 0);
    DeleteObject(region);
}

TEST(CDrawContext, DestructionSelectsTheInitialObjectsBackAndDeletesItsOwn) {
    GdiSurface surface(4, 4);
    const HGDIOBJ initialPen = GetCurrentObject(surface.dc(), OBJ_PEN);
    const HGDIOBJ initialBrush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    const HGDIOBJ initialFont = GetCurrentObject(surface.dc(), OBJ_FONT);

    auto* context = new CDrawContext(nullptr, surface.dc(), nullptr);
    const HGDIOBJ pen = GetCurrentObject(surface.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(surface.dc(), OBJ_FONT);
    ASSERT_NE(pen, initialPen);
    ASSERT_NE(brush, initialBrush);
    ASSERT_NE(font, initialFont);
    context->release();

    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), initialPen);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), initialBrush);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), initialFont);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST(CDrawContext, MakesGdiObjectsOnlyWhenAValueChanges) {
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    const HGDIOBJ pen = GetCurrentObject(surface.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(surface.dc(), OBJ_FONT);

    context.setFrameColor(kColorWhite);
    context.setLineWidth(1);
    context.setLineStyle(kLineSolid);
    context.setFillColor(kColorBlack);
    context.setFont(kFontBold, 0);
    context.setFont(kNumFonts, 0); // falls back to the current font
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), font);

    // Alpha alone counts as a change; the replaced pen is deleted.
    context.setFrameColor(CColor{255, 255, 255, 0});
    const HGDIOBJ alphaPen = GetCurrentObject(surface.dc(), OBJ_PEN);
    EXPECT_NE(alphaPen, pen);
    EXPECT_EQ(GetObjectType(pen), 0u);

    context.setLineWidth(3);
    const LOGPEN wide = selectedPen(surface.dc());
    EXPECT_EQ(wide.lopnWidth.x, 3);
    EXPECT_EQ(wide.lopnColor, RGB(255, 255, 255));
    EXPECT_EQ(GetObjectType(alphaPen), 0u);

    context.setFillColor(CColor{0, 0, 0, 254});
    EXPECT_NE(GetCurrentObject(surface.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetObjectType(brush), 0u);

    context.setFillColor(kColorRed);
    EXPECT_EQ(selectedBrush(surface.dc()).lbColor, RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(surface.dc()), RGB(255, 0, 0));

    // The font colour is set again every time.
    SetTextColor(surface.dc(), RGB(1, 2, 3));
    context.setFontColor(kColorWhite);
    EXPECT_EQ(GetTextColor(surface.dc()), RGB(255, 255, 255));
}

TEST(CDrawContext, FontsComeFromTheFixedTable) {
    const FontExpectation cases[] = {
        {kFontBold, 0, -12, "Arial", 700, 0, 0, 34},
        {kFontVeryBig, 0, -18, "Arial", 400, 0, 0, 34},
        {kFontBig, 0, -14, "Arial", 400, 0, 0, 34},
        {kFontNormal, 0, -12, "Arial", 400, 0, 0, 34},
        {kFontSmall, 1, -11, "Arial", 700, 0, 0, 34},
        {kFontSmaller, 0, -10, "Arial", 400, 0, 0, 34},
        {kFontVerySmall, 0, -9, "Arial", 400, 0, 0, 34},
        {kFontSymbol, 1, -13, "Symbol", 700, 0, 0, 80},
        {kFontNormal, 6, -12, "Arial", 400, 1, 1, 34},
        {9, 0, -12, "Arial", 700, 0, 0, 34},
        {-1, 0, -12, "Arial", 700, 0, 0, 34},
    };
    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.setFont(kFontSymbol, 0); // away from the font each case may ask for
    for (const FontExpectation& expected : cases) {
        SCOPED_TRACE(testing::Message() << "font " << expected.requested << " style " << expected.style);
        context.setFont(expected.requested, expected.style);
        expectFont(surface.dc(), expected);
        const HGDIOBJ font = GetCurrentObject(surface.dc(), OBJ_FONT);
        context.setFont(expected.requested, expected.style);
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), font);
    }
}

namespace {

// How far apart the left edges of the first two marks of ink stand, in pixels.
int markDistance(const GdiSurface& surface, int width, int height, COLORREF background) {
    int first = -1;
    bool gap = false;
    for (int x = 0; x < width; ++x) {
        const bool ink = surface.countOther(RECT{x, 0, x + 1, height}, background) > 0;
        if (ink && first < 0) first = x;
        if (!ink && first >= 0) gap = true;
        if (ink && gap) return x - first;
    }
    return -1;
}

int CALLBACK addFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM families) {
    reinterpret_cast<std::vector<std::wstring>*>(families)->push_back(font->lfFaceName);
    return 1;
}

// The font families GDI lists to this process.
std::vector<std::wstring> familiesHere() {
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    std::vector<std::wstring> families;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &all, addFamily, reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(nullptr, screen);
    return families;
}

// 0 when another process finds `family` among GDI's fonts, 1 when it does not.
DWORD listedElsewhere(const std::wstring& family) {
    std::wstring line = L"\"" + std::filesystem::path(programFolder()).wstring() + L"\\font-families.exe\" \"" + family + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 99;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

} // namespace

// The program's own Inconsolata gives every character the same advance, half its em: two bars
// ten characters apart stand ten half-ems apart, at 9 points 10 x 6 pixels (12 to the em) and
// at 18 points twice that. The system's fonts, and the table's, are proportional. The font is
// this process's alone. (Its release cannot be seen under Wine 8, which keeps memory fonts to
// the process's end.)
TEST(CDrawContext, DrawsTheFontFileOfTheProgramAtItsSizeInPoints) {
    auto distance = [](auto font) {
        GdiSurface surface(300, 40, kBlue);
        CDrawContext context(nullptr, surface.dc(), nullptr);
        context.setFont(font);
        context.drawString("|         |", CRect(0, 0, 300, 40), 0, kLeftText);
        return markDistance(surface, 300, 40, kBlue);
    };
    const CTextFont small("Inconsolata", 9);
    ASSERT_NE(small.getResource(), nullptr);
    EXPECT_EQ(distance(small), 60);
    EXPECT_EQ(distance(CTextFont("Inconsolata", 18)), 120);
    EXPECT_NE(distance(kFontNormal), 60);

    GdiSurface surface(4, 4);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.setFont(small);
    const LOGFONTA selected = selectedFont(surface.dc());
    EXPECT_EQ(selected.lfHeight, -12);
    EXPECT_STREQ(selected.lfFaceName, "Inconsolata");
    EXPECT_EQ(context.getFontSize(), 12);
    const HGDIOBJ font = GetCurrentObject(surface.dc(), OBJ_FONT);
    context.setFont(kFontNormal);
    EXPECT_EQ(GetObjectType(font), 0u);
    expectFont(surface.dc(), {kFontNormal, 0, -12, "Arial", 400, 0, 0, 34});

    const std::vector<std::wstring> families = familiesHere();
    ASSERT_NE(std::find(families.begin(), families.end(), L"Inconsolata"), families.end());
    EXPECT_EQ(listedElsewhere(L"Inconsolata"), 1u);
    const auto system = std::find_if(families.begin(), families.end(),
                                     [](const std::wstring& family) { return family != L"Inconsolata"; });
    ASSERT_NE(system, families.end());
    EXPECT_EQ(listedElsewhere(*system), 0u) << "the other process lists no fonts";
}

TEST(CDrawContext, RectanglesCoverTheDocumentedPixels) {
    GdiSurface surface(30, 30, kBlue);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.setFillColor(kColorRed);
    context.setFrameColor(kColorGreen);

    context.fillRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(surface.countOther(RECT{1, 1, 10, 10}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 11, 1}, kBlue), 0);  // top row untouched
    EXPECT_EQ(surface.countOther(RECT{0, 0, 1, 11}, kBlue), 0);  // left column untouched
    EXPECT_EQ(surface.countOther(RECT{10, 0, 11, 11}, kBlue), 0); // right edge excluded
    EXPECT_EQ(surface.countOther(RECT{0, 10, 11, 11}, kBlue), 0); // bottom edge excluded

    context.drawRect(CRect(0, 0, 10, 10));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(surface.pixel(i, 0), RGB(0, 255, 0)) << i;
        EXPECT_EQ(surface.pixel(i, 9), RGB(0, 255, 0)) << i;
        EXPECT_EQ(surface.pixel(0, i), RGB(0, 255, 0)) << i;
        EXPECT_EQ(surface.pixel(9, i), RGB(0, 255, 0)) << i;
    }
    EXPECT_EQ(surface.countOther(RECT{1, 1, 9, 9}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{10, 0, 11, 11}, kBlue), 0);

    // The offset moves every coordinate handed to GDI.
    surface.fill(kBlue);
    context.offset = CPoint(12, 15);
    context.fillRect(CRect(0, 0, 5, 5));
    context.moveTo(CPoint(0, 10));
    context.lineTo(CPoint(5, 10));
    EXPECT_EQ(surface.countOther(RECT{13, 16, 17, 20}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{12, 25, 17, 26}, RGB(0, 255, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 30, 15}, kBlue), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 12, 30}, kBlue), 0);
}

TEST(CDrawContext, ClipRectanglesAreSelectedOnlyWhenTheyChange) {
    GdiSurface surface(30, 30, kBlue);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.offset = CPoint(1, 1);
    context.setClipRect(CRect(2, 2, 8, 8));

    RECT box;
    EXPECT_EQ(GetClipBox(surface.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 9);
    EXPECT_EQ(box.bottom, 9);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(2, 2, 8, 8));

    context.setFillColor(kColorRed);
    context.fillRect(CRect(-1, -1, 20, 20));
    EXPECT_EQ(surface.countOther(RECT{3, 3, 9, 9}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(surface.countOther(RECT{9, 0, 30, 30}, kBlue), 0);

    // The same rectangle again selects nothing: the region removed behind the context's back
    // stays removed.
    SelectClipRgn(surface.dc(), nullptr);
    context.setClipRect(CRect(2, 2, 8, 8));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(surface.dc(), region), 0);
    DeleteObject(region);
}

TEST(CDrawContext, ClipRectangleStartsAtTheFrameSize) {
    GdiSurface surface(30, 30);
    CFrame frame(CRect(0, 0, 25, 20), nullptr, nullptr);
    CDrawContext context(&frame, surface.dc(), nullptr);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 25, 20));

    context.setClipRect(CRect(0, 0, 25, 20));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(surface.dc(), region), 0);
    context.setClipRect(CRect(0, 0, 24, 20));
    EXPECT_EQ(GetClipRgn(surface.dc(), region), 1);
    DeleteObject(region);
}

TEST(CDrawContext, StringsAreAlignedLikeDrawTextWithTheLeftEdgeMovedIn) {
    const char* text = "Wg8";
    const CRect rect(10, 2, 70, 22);
    auto drawWithContext = [&](GdiSurface& surface, std::int32_t alignment) {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        context.setFont(kFontNormal, 0);
        context.drawString(text, rect, 0, alignment);
    };
    auto drawWithGdi = [&](GdiSurface& surface, RECT area, UINT format) {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        context.setFont(kFontNormal, 0);
        DrawTextA(surface.dc(), text, 3, &area, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };

    GdiSurface left(80, 24, RGB(0, 0, 0));
    drawWithContext(left, kLeftText);
    ASSERT_GT(left.countOther(RECT{0, 0, 80, 24}, RGB(0, 0, 0)), 0) << "no text was rendered";
    EXPECT_EQ(left.countOther(RECT{0, 0, 11, 24}, RGB(0, 0, 0)), 0);
    GdiSurface leftReference(80, 24, RGB(0, 0, 0));
    drawWithGdi(leftReference, RECT{11, 2, 70, 22}, DT_LEFT);
    EXPECT_TRUE(left.samePixels(leftReference));

    GdiSurface unknown(80, 24, RGB(0, 0, 0));
    drawWithContext(unknown, 3);
    EXPECT_TRUE(unknown.samePixels(leftReference));

    GdiSurface centre(80, 24, RGB(0, 0, 0));
    drawWithContext(centre, kCenterText);
    GdiSurface centreReference(80, 24, RGB(0, 0, 0));
    drawWithGdi(centreReference, RECT{10, 2, 70, 22}, DT_CENTER);
    EXPECT_TRUE(centre.samePixels(centreReference));
    EXPECT_FALSE(centre.samePixels(leftReference));

    GdiSurface right(80, 24, RGB(0, 0, 0));
    drawWithContext(right, kRightText);
    GdiSurface rightReference(80, 24, RGB(0, 0, 0));
    drawWithGdi(rightReference, RECT{10, 2, 70, 22}, DT_RIGHT);
    EXPECT_TRUE(right.samePixels(rightReference));
}

TEST(CDrawContext, OpaqueStringsPaintTheFillColourAndLeaveTheModeTransparent) {
    GdiSurface surface(80, 24, RGB(0, 0, 0));
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.setFillColor(kColorRed);
    context.drawString("Wg8", CRect(0, 0, 80, 24), 1, kLeftText);
    EXPECT_GT(surface.countOther(RECT{0, 0, 80, 24}, RGB(0, 0, 0)), 0);
    int red = 0;
    for (int x = 0; x < 80; ++x) {
        for (int y = 0; y < 24; ++y) red += surface.pixel(x, y) == RGB(255, 0, 0);
    }
    EXPECT_GT(red, 0);
    EXPECT_EQ(GetBkMode(surface.dc()), TRANSPARENT);

    // A null string changes nothing, not even the background mode.
    surface.fill(RGB(0, 0, 0));
    SetBkMode(surface.dc(), OPAQUE);
    context.drawString(nullptr, CRect(0, 0, 80, 24), 1, kLeftText);
    EXPECT_EQ(GetBkMode(surface.dc()), OPAQUE);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 80, 24}, RGB(0, 0, 0)), 0);
}

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Pixels of `area` partly covered white on black: neither black nor white.
int partial(const GdiSurface& surface, const RECT& area) {
    return (area.right - area.left) * (area.bottom - area.top) - surface.count(area, kBlack) -
           surface.count(area, kWhite);
}

} // namespace

// Smooth shapes are blended into the device context's pixels and land at the offset, whole
// numbers falling between pixels, as on cairo's own surfaces.
TEST(CDrawContext, SmoothLinesAndArcsAreAntiAliasedWhereTheyBelong) {
    GdiSurface surface(60, 60, kBlack);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    context.offset = CPoint(5, 7);
    context.drawSmoothLine({2, 3.5}, {12, 3.5});
    EXPECT_EQ(surface.countOther(RECT{7, 10, 17, 11}, kWhite), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 60, 60}, kBlack), 10);

    surface.fill(kBlack);
    context.setLineWidth(2);
    context.drawSmoothArc({25, 25}, 15, 0, std::numbers::pi / 2); // right, then down to the bottom
    EXPECT_EQ(surface.countOther(RECT{0, 0, 60, 31}, kBlack), 0);
    EXPECT_EQ(surface.countOther(RECT{0, 0, 29, 60}, kBlack), 0);
    EXPECT_GE(GetBValue(surface.pixel(40, 42)), 0xC0);
    EXPECT_GT(partial(surface, RECT{29, 31, 47, 49}), 20);
}

// Only what the device context's clip region lets through is painted, a hole in it included.
TEST(CDrawContext, SmoothShapesKeepToTheClipRegion) {
    GdiSurface surface(40, 40, kBlack);
    CDrawContext context(nullptr, surface.dc(), nullptr);
    HRGN region = CreateRectRgn(5, 5, 35, 35);
    HRGN hole = CreateRectRgn(15, 15, 25, 25);
    CombineRgn(region, region, hole, RGN_DIFF);
    SelectClipRgn(surface.dc(), region);
    DeleteObject(hole);
    DeleteObject(region);
    context.setFillColor(kColorWhite);
    context.fillSmoothRoundRect(CFloatRect(0, 0, 40, 40), 6);
    SelectClipRgn(surface.dc(), nullptr);
    EXPECT_EQ(surface.countOther(RECT{15, 15, 25, 25}, kBlack), 0);
    EXPECT_EQ(surface.count(RECT{5, 5, 35, 35}, kWhite), 30 * 30 - 10 * 10);
    EXPECT_EQ(surface.countOutside(RECT{5, 5, 35, 35}, kBlack), 40 * 40 - 30 * 30);
}

TEST(CDrawContext, AWindowContextGivesBackTheDeviceContextItTook) {
    TestWindow window(120, 70, 50, 40);
    ASSERT_NE(window.get(), nullptr);
    auto* context = new CDrawContext(nullptr, nullptr, window.get());
    const HDC taken = context->getDeviceContext();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(WindowFromDC(taken), window.get());
    RECT placement;
    GetWindowRect(window.get(), &placement);
    EXPECT_EQ(context->screenOffset, CPoint(placement.left, placement.top));
    EXPECT_EQ(selectedPen(taken).lopnColor, RGB(255, 255, 255));

    // The window's device contexts come from a cache: one given back is handed out again,
    // one still held is not.
    context->release();
    const HDC again = GetDC(window.get());
    EXPECT_EQ(again, taken);

    auto* borrowing = new CDrawContext(nullptr, again, window.get());
    EXPECT_EQ(borrowing->getDeviceContext(), again);
    borrowing->release();
    const HDC another = GetDC(window.get());
    EXPECT_NE(another, again);
    ReleaseDC(window.get(), another);
    ReleaseDC(window.get(), again);
}

namespace {

void sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

} // namespace

TEST(CDrawContext, MouseButtonsFollowTheSwappedButtonsFlag) {
    CDrawContext context(nullptr, nullptr, nullptr);
    ASSERT_EQ(context.getMouseButtons(), 0);

    sendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(context.getMouseButtons(), kLeftButton);
    swappedButtons = true;
    EXPECT_EQ(context.getMouseButtons(), kRightButton);
    sendMouse(MOUSEEVENTF_LEFTUP);

    sendMouse(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(context.getMouseButtons(), kLeftButton);
    swappedButtons = false;
    EXPECT_EQ(context.getMouseButtons(), kRightButton);
    sendMouse(MOUSEEVENTF_RIGHTUP);

    sendMouse(MOUSEEVENTF_MIDDLEDOWN);
    sendKey(VK_SHIFT, true);
    sendKey(VK_CONTROL, true);
    sendKey(VK_MENU, true);
    EXPECT_EQ(context.getMouseButtons(), kMiddleButton | kShiftKey | kControlKey | kAltKey);
    sendKey(VK_MENU, false);
    sendKey(VK_CONTROL, false);
    sendKey(VK_SHIFT, false);
    sendMouse(MOUSEEVENTF_MIDDLEUP);
    EXPECT_EQ(context.getMouseButtons(), 0);
}
