#include "CDrawContext.h"

#include "CFrame.h"
#include "FontResource.h"

#include <algorithm>
#include <cmath>
#include <cstring>

bool swappedButtons = false;

namespace {

struct FontEntry {
    std::int32_t size; // pixels
    const char* face;
    BYTE pitchAndFamily;
};

constexpr BYTE kSwissVariable = FF_SWISS | VARIABLE_PITCH;
constexpr BYTE kDecorativeDefault = FF_DECORATIVE | DEFAULT_PITCH;

constexpr FontEntry kFontTable[kNumFonts] = {
    {12, "Arial", kSwissVariable},     // kFontBold, always bold
    {18, "Arial", kSwissVariable},     // kFontVeryBig
    {14, "Arial", kSwissVariable},     // kFontBig
    {12, "Arial", kSwissVariable},     // kFontNormal
    {11, "Arial", kSwissVariable},     // kFontSmall
    {10, "Arial", kSwissVariable},     // kFontSmaller
    {9, "Arial", kSwissVariable},      // kFontVerySmall
    {13, "Symbol", kDecorativeDefault} // kFontSymbol
};

COLORREF toColorRef(CColor color) { return RGB(color.red, color.green, color.blue); }

bool keyDown(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

} // namespace

CDrawContext::CDrawContext(CFrame* frame, HDC deviceContext, HWND window)
    : deviceContext(deviceContext), window(window), frame(frame) {
    if (frame) {
        scale = frame->getScale();
        frame->getViewSize(clipRect);
    } else {
        clipRect = CRect(0, 0, 1000, 1000);
    }
    if (!this->deviceContext && window) {
        this->deviceContext = ownDeviceContext = GetDC(window);
    }
    if (this->deviceContext) {
        initialBrush = GetCurrentObject(this->deviceContext, OBJ_BRUSH);
        initialPen = GetCurrentObject(this->deviceContext, OBJ_PEN);
        initialFont = GetCurrentObject(this->deviceContext, OBJ_FONT);
        SetBkMode(this->deviceContext, TRANSPARENT);
    }
    penStyle = PS_SOLID;
    if (window) {
        RECT windowRect;
        GetWindowRect(window, &windowRect);
        screenOffset = CPoint(windowRect.left, windowRect.top);
    }
    setFrameColor(kColorWhite);
    setLineStyle(kLineSolid);
    setLineWidth(1);
    setFillColor(kColorBlack);
    setFontColor(kColorWhite);
    setFont(kFontBold, 0);
    setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext() {
    if (initialBrush) SelectObject(deviceContext, initialBrush);
    if (initialPen) SelectObject(deviceContext, initialPen);
    if (initialFont) SelectObject(deviceContext, initialFont);
    if (brush) DeleteObject(brush);
    if (pen) DeleteObject(pen);
    if (font) DeleteObject(font);
    if (ownDeviceContext) ReleaseDC(window, ownDeviceContext);
}

template <typename Handle>
Handle CDrawContext::replaceObject(Handle current, Handle object) {
    SelectObject(deviceContext, object);
    if (current) DeleteObject(current);
    return object;
}

void CDrawContext::makePen() {
    LOGPEN description{};
    description.lopnStyle = static_cast<UINT>(penStyle);
    const std::int32_t width = lineWidth > 0 ? std::max(1, scaledCoordinate(lineWidth, scale)) : lineWidth;
    description.lopnWidth = POINT{width, width};
    description.lopnColor = toColorRef(frameColor);
    pen = replaceObject(pen, CreatePenIndirect(&description));
}

void CDrawContext::selectDrawingState() {
    SelectObject(deviceContext, pen);
    SelectObject(deviceContext, brush);
    SelectObject(deviceContext, font);
    SetBkColor(deviceContext, toColorRef(fillColor));
    SetBkMode(deviceContext, TRANSPARENT);
    SetTextColor(deviceContext, toColorRef(fontColor));
    SetROP2(deviceContext, R2_COPYPEN);
}

void CDrawContext::setFrameColor(CColor color) {
    if (color == frameColor) return;
    frameColor = color;
    makePen();
}

void CDrawContext::setLineWidth(std::int32_t width) {
    if (width == lineWidth) return;
    lineWidth = width;
    makePen();
}

void CDrawContext::setLineStyle(std::int32_t style) {
    // Only solid lines are drawn; any request makes the pen solid.
    (void)style;
    if (lineStyle == kLineSolid) return;
    lineStyle = kLineSolid;
    penStyle = PS_SOLID;
    makePen();
}

void CDrawContext::setFillColor(CColor color) {
    if (color == fillColor) return;
    fillColor = color;
    SetBkColor(deviceContext, toColorRef(color));
    LOGBRUSH description{BS_SOLID, toColorRef(color), 0};
    HBRUSH made = CreateBrushIndirect(&description);
    if (made) brush = replaceObject(brush, made);
}

void CDrawContext::setFontColor(CColor color) {
    fontColor = color;
    SetTextColor(deviceContext, toColorRef(color));
}

void CDrawContext::setFont(CFontId newFontId, std::int32_t style) {
    if (newFontId < 0 || newFontId >= kNumFonts) newFontId = kFontBold;
    const FontEntry& entry = kFontTable[newFontId];
    if (newFontId == fontId && entry.size == fontSize && style == fontStyle) return;
    fontId = newFontId;
    LOGFONTW description{};
    description.lfPitchAndFamily = entry.pitchAndFamily;
    for (int i = 0; entry.face[i] && i < LF_FACESIZE - 1; ++i) description.lfFaceName[i] = entry.face[i];
    selectFont(description, entry.size, scaledCoordinate(entry.size, scale), style, newFontId == kFontBold);
    textFont.reset();
}

void CDrawContext::setFont(const CTextFont& newFont) {
    if (textFont && *textFont == newFont) return;
    // The table's size stays pixels; a CTextFont's points become pixels at the context's scale.
    fontId = kNumFonts;
    LOGFONTW description{};
    description.lfPitchAndFamily = DEFAULT_PITCH;
    if (const FontResource* resource = newFont.getResource()) {
        resource->family().copy(description.lfFaceName, LF_FACESIZE - 1);
    } else {
        const int length = MultiByteToWideChar(CP_UTF8, 0, newFont.getFace().c_str(), -1, description.lfFaceName,
                                               LF_FACESIZE);
        if (length == 0) description.lfFaceName[0] = 0;
    }
    selectFont(description, newFont.pixelSize(1), newFont.pixelSize(scale), newFont.getStyle(), false);
    textFont = newFont; // the font it replaces, and its file, go only after the GDI font made of them
}

void CDrawContext::selectFont(LOGFONTW& description, std::int32_t size, std::int32_t pixels, std::int32_t style,
                              bool bold) {
    fontSize = size;
    fontStyle = style;
    description.lfHeight = -pixels;
    description.lfWeight = (bold || (style & kBoldFace)) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & kItalicFace) ? 1 : 0;
    description.lfUnderline = (style & kUnderlineFace) ? 1 : 0;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    font = replaceObject(font, CreateFontIndirectW(&description));
}

void CDrawContext::setDrawMode(std::int32_t mode) {
    // Only copying is drawn; any request selects it.
    (void)mode;
    if (drawMode == kCopyMode) return;
    drawMode = kCopyMode;
    SetROP2(deviceContext, R2_COPYPEN);
}

RECT CDrawContext::devicePixels(const CRect& rect) const {
    const CRect pixels = scaledRect(CRect(rect).offset(offset.h, offset.v), scale);
    return RECT{pixels.left, pixels.top, pixels.right, pixels.bottom};
}

POINT CDrawContext::devicePixel(const CPoint& point) const {
    if (scale == 1) return POINT{point.h + offset.h, point.v + offset.v};
    // A line runs through the middle of its unit's pixels, as it runs through its one pixel.
    const RECT unit = devicePixels(CRect(point.h, point.v, point.h + 1, point.v + 1));
    return POINT{(unit.left + unit.right - 1) / 2, (unit.top + unit.bottom - 1) / 2};
}

void CDrawContext::moveTo(const CPoint& point) {
    const POINT pixel = devicePixel(point);
    MoveToEx(deviceContext, pixel.x, pixel.y, nullptr);
}

void CDrawContext::lineTo(const CPoint& point) {
    const POINT pixel = devicePixel(point);
    LineTo(deviceContext, pixel.x, pixel.y);
}

void CDrawContext::drawRect(const CRect& rect) {
    if (scale != 1) {
        drawScaledOutline(rect);
        return;
    }
    const int x1 = rect.left + offset.h;
    const int y1 = rect.top + offset.v;
    const int x2 = rect.right + offset.h - 1;
    const int y2 = rect.bottom + offset.v - 1;
    MoveToEx(deviceContext, x1, y1, nullptr);
    LineTo(deviceContext, x2, y1);
    LineTo(deviceContext, x2, y2);
    LineTo(deviceContext, x1, y2);
    LineTo(deviceContext, x1, y1);
}

void CDrawContext::drawScaledOutline(const CRect& rect) {
    // Bands one line wide inside the outline's units: GDI's wide pens would centre on the edge.
    const std::int32_t width = std::max<std::int32_t>(lineWidth, 1);
    const CRect bands[] = {
        CRect(rect.left, rect.top, rect.right, rect.top + width),
        CRect(rect.left, rect.bottom - width, rect.right, rect.bottom),
        CRect(rect.left, rect.top, rect.left + width, rect.bottom),
        CRect(rect.right - width, rect.top, rect.right, rect.bottom),
    };
    HBRUSH penColour = CreateSolidBrush(toColorRef(frameColor));
    for (const CRect& band : bands) {
        const RECT area = devicePixels(band);
        FillRect(deviceContext, &area, penColour);
    }
    DeleteObject(penColour);
}

void CDrawContext::fillRect(const CRect& rect) {
    const RECT area = devicePixels(CRect(rect.left + 1, rect.top + 1, rect.right, rect.bottom));
    FillRect(deviceContext, &area, brush);
}

void CDrawContext::drawString(const char* string, const CRect& rect, std::int16_t opaque,
                              std::int32_t alignment) {
    if (!string) return;
    SetBkMode(deviceContext, opaque ? OPAQUE : TRANSPARENT);
    RECT area = devicePixels(rect);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment == kCenterText) {
        format |= DT_CENTER;
    } else if (alignment == kRightText) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        area.left = devicePixels(CRect(rect.left + 1, rect.top, rect.right, rect.bottom)).left;
    }
    DrawTextA(deviceContext, string, static_cast<int>(std::strlen(string)), &area, format);
    SetBkMode(deviceContext, TRANSPARENT);
}

std::int32_t CDrawContext::getStringWidth(const char* string) const {
    SIZE extent{};
    if (!string || !deviceContext ||
        !GetTextExtentPoint32A(deviceContext, string, static_cast<int>(std::strlen(string)), &extent)) {
        return 0;
    }
    // The font was chosen at the device's size; callers lay out in units.
    return static_cast<std::int32_t>(std::ceil(static_cast<float>(extent.cx) / scale));
}

void CDrawContext::setClipRect(const CRect& rect) {
    CRect device = rect;
    device.offset(offset.h, offset.v);
    if (device == clipRect) return;
    clipRect = device;
    const CRect pixels = scaledRect(device, scale);
    HRGN region = CreateRectRgn(pixels.left, pixels.top, pixels.right, pixels.bottom);
    SelectClipRgn(deviceContext, region);
    DeleteObject(region);
}

CRect& CDrawContext::getClipRect(CRect& rect) const {
    rect = clipRect;
    rect.offset(-offset.h, -offset.v);
    return rect;
}

std::int32_t CDrawContext::getMouseButtons() const {
    std::int32_t buttons = 0;
    if (keyDown(VK_LBUTTON)) buttons |= swappedButtons ? kRightButton : kLeftButton;
    if (keyDown(VK_MBUTTON)) buttons |= kMiddleButton;
    if (keyDown(VK_RBUTTON)) buttons |= swappedButtons ? kLeftButton : kRightButton;
    if (keyDown(VK_SHIFT)) buttons |= kShiftKey;
    if (keyDown(VK_CONTROL)) buttons |= kControlKey;
    if (keyDown(VK_MENU)) buttons |= kAltKey;
    return buttons;
}
