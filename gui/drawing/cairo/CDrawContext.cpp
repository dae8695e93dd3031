#include "CDrawContext.h"

#include "CFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

struct FontEntry {
    std::int32_t size; // pixels to the em, as the table's heights are
    const char* face;  // fontconfig stands in the nearest face where this one is missing
};

constexpr FontEntry kFontTable[kNumFonts] = {
    {12, "Arial"},  // kFontBold, always bold
    {18, "Arial"},  // kFontVeryBig
    {14, "Arial"},  // kFontBig
    {12, "Arial"},  // kFontNormal
    {11, "Arial"},  // kFontSmall
    {10, "Arial"},  // kFontSmaller
    {9, "Arial"},   // kFontVerySmall
    {13, "Symbol"}, // kFontSymbol
};

void setSource(cairo_t* cairo, CColor color) {
    // GDI draws every colour opaque, whatever its alpha says, and so do the views' pictures.
    cairo_set_source_rgb(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0);
}

// Code points cairo accepts; it puts the whole context into an error state, for good, on any
// other, so nothing else it is given is drawn afterwards.
bool acceptedCodePoint(std::uint32_t code) {
    return code < 0x110000 && (code & 0xFFFFF800) != 0xD800 && (code < 0xFDD0 || code > 0xFDEF) &&
           (code & 0xFFFE) != 0xFFFE;
}

bool isUtf8(const unsigned char* text) {
    while (*text) {
        const unsigned char lead = *text;
        int extra = 0;
        std::uint32_t code = lead;
        if (lead >= 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0x80) {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((text[i] & 0xC0) != 0x80) return false;
            code = code << 6 | (text[i] & 0x3F);
        }
        constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || !acceptedCodePoint(code)) return false;
        text += extra + 1;
    }
    return true;
}

// Text from a plug-in written for Windows comes in its 8-bit code page: anything that is no
// UTF-8 is read as Latin-1, which that code page agrees with for all printable letters but a few.
std::string asUtf8(const char* text) {
    if (isUtf8(reinterpret_cast<const unsigned char*>(text))) return text;
    std::string converted;
    for (const unsigned char* byte = reinterpret_cast<const unsigned char*>(text); *byte; ++byte) {
        if (*byte < 0x80) {
            converted += static_cast<char>(*byte);
        } else {
            converted += static_cast<char>(0xC0 | *byte >> 6);
            converted += static_cast<char>(0x80 | (*byte & 0x3F));
        }
    }
    return converted;
}

// `numerator / denominator` rounded half away from zero; `denominator` is positive.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t half = (2 * std::abs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -half : half;
}

// Half of `value`, rounded down also when it is negative: text taller or wider than its
// rectangle stands out of it evenly, as GDI places it.
std::int32_t halfDown(std::int32_t value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

} // namespace

CDrawContext::CDrawContext(CFrame* frame, cairo_surface_t* surface) : frame(frame) {
    CRect clip(0, 0, 1000, 1000);
    if (frame) {
        frame->getViewSize(clip);
        scale = frame->getScale();
    }
    if (surface) {
        this->surface.reset(cairo_surface_reference(surface));
        cairo.reset(cairo_create(surface));
        cairo_scale(cairo.get(), scale, scale);
        // GDI's pixels, not a blend of their neighbours; text keeps its own smoothing.
        cairo_set_antialias(cairo.get(), CAIRO_ANTIALIAS_NONE);
    }
    setFont(kFontBold, 0);
    setClipRect(clip);
}

void CDrawContext::setFont(CFontId newFontId, std::int32_t style) {
    if (newFontId < 0 || newFontId >= kNumFonts) newFontId = kFontBold;
    fontId = newFontId;
    fontSize = kFontTable[newFontId].size;
    fontStyle = style;
}

void CDrawContext::setClipRect(const CRect& rect) {
    clipRect = rect;
    clipRect.offset(offset.h, offset.v);
    if (!cairo) return;
    cairo_reset_clip(cairo.get());
    cairo_new_path(cairo.get());
    if (clipRect.width() > 0 && clipRect.height() > 0) {
        cairo_rectangle(cairo.get(), clipRect.left, clipRect.top, clipRect.width(), clipRect.height());
    }
    // An empty path leaves nothing drawable, as an inverted or empty rectangle should.
    cairo_clip(cairo.get());
}

CRect& CDrawContext::getClipRect(CRect& rect) const {
    rect = clipRect;
    rect.offset(-offset.h, -offset.v);
    return rect;
}

std::int32_t CDrawContext::getMouseButtons() const { return frame ? frame->heldButtons() : 0; }

void CDrawContext::fillDevice(const CRect& rect, CColor color) {
    if (!cairo || rect.width() <= 0 || rect.height() <= 0) return;
    cairo_save(cairo.get());
    setSource(cairo.get(), color);
    cairo_rectangle(cairo.get(), rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cairo.get());
    cairo_restore(cairo.get());
}

void CDrawContext::moveTo(const CPoint& point) {
    penPosition = CPoint(point.h + offset.h, point.v + offset.v);
}

void CDrawContext::lineTo(const CPoint& point) {
    const CPoint start = penPosition;
    moveTo(point);
    const CPoint end = penPosition;
    if (!cairo || start == end) return;
    cairo_t* context = cairo.get();
    cairo_save(context);
    setSource(context, frameColor);
    if (lineWidth > 1) {
        // A wide pen is GDI's geometric one: round ends, the band centred on the pixels.
        cairo_set_line_width(context, lineWidth);
        cairo_set_line_cap(context, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(context, start.h + 0.5, start.v + 0.5);
        cairo_line_to(context, end.h + 0.5, end.v + 0.5);
        cairo_stroke(context);
    } else {
        // One pixel per step along the longer axis, the end left out; each straight run of
        // pixels becomes one rectangle.
        const std::int64_t dx = end.h - start.h;
        const std::int64_t dy = end.v - start.v;
        const bool alongX = std::abs(dx) >= std::abs(dy);
        const std::int64_t steps = std::max(std::abs(dx), std::abs(dy));
        const std::int64_t across = alongX ? dy : dx;
        const std::int64_t direction = (alongX ? dx : dy) < 0 ? -1 : 1;
        const std::int64_t major = alongX ? start.h : start.v;
        const std::int64_t minor = alongX ? start.v : start.h;
        std::int64_t runStart = 0;
        std::int64_t runMinor = 0;
        for (std::int64_t step = 1; step <= steps; ++step) {
            const std::int64_t next = step == steps ? runMinor + 1 : roundedQuotient(step * across, steps);
            if (next == runMinor) continue;
            const std::int64_t first = major + direction * runStart;
            const std::int64_t last = major + direction * (step - 1);
            const double low = static_cast<double>(std::min(first, last));
            const double length = static_cast<double>(step - runStart);
            const double at = static_cast<double>(minor + runMinor);
            if (alongX) {
                cairo_rectangle(context, low, at, length, 1);
            } else {
                cairo_rectangle(context, at, low, 1, length);
            }
            runStart = step;
            runMinor = next;
        }
        cairo_fill(context);
    }
    cairo_restore(context);
}

void CDrawContext::drawRect(const CRect& rect) {
    const std::int32_t x1 = rect.left;
    const std::int32_t y1 = rect.top;
    const std::int32_t x2 = rect.right - 1;
    const std::int32_t y2 = rect.bottom - 1;
    // GDI's own four lines: each leaves its end to the next, so every corner is drawn once.
    moveTo(CPoint(x1, y1));
    lineTo(CPoint(x2, y1));
    lineTo(CPoint(x2, y2));
    lineTo(CPoint(x1, y2));
    lineTo(CPoint(x1, y1));
}

void CDrawContext::fillRect(const CRect& rect) {
    CRect area = rect;
    area.offset(offset.h, offset.v);
    area.left += 1;
    area.top += 1;
    fillDevice(area, fillColor);
}

void CDrawContext::selectFace(cairo_t* context) const {
    const bool bold = fontId == kFontBold || (fontStyle & kBoldFace);
    cairo_select_font_face(context, kFontTable[fontId].face,
                           (fontStyle & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(context, fontSize);
}

std::int32_t CDrawContext::getStringWidth(const char* string) const {
    if (!string || !cairo) return 0;
    cairo_t* context = cairo.get();
    cairo_save(context);
    selectFace(context);
    cairo_text_extents_t extents;
    cairo_text_extents(context, asUtf8(string).c_str(), &extents);
    cairo_restore(context);
    return static_cast<std::int32_t>(std::lround(extents.x_advance));
}

void CDrawContext::drawString(const char* string, const CRect& rect, std::int16_t opaque,
                              std::int32_t alignment) {
    if (!string || !cairo) return;
    CRect area = rect;
    area.offset(offset.h, offset.v);
    const bool centred = alignment == kCenterText;
    const bool right = alignment == kRightText;
    if (!centred && !right) area.left += 1;
    if (area.width() <= 0 || area.height() <= 0) return;
    const std::string text = asUtf8(string);

    cairo_t* context = cairo.get();
    cairo_save(context);
    // Text stays inside its rectangle, as GDI's DrawText keeps it without being told otherwise.
    cairo_rectangle(context, area.left, area.top, area.width(), area.height());
    cairo_clip(context);
    selectFace(context);
    cairo_font_extents_t font;
    cairo_font_extents(context, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(context, text.c_str(), &extents);

    // Whole pixels throughout, as GDI places its text cell.
    const auto ascent = static_cast<std::int32_t>(std::lround(font.ascent));
    const auto lineHeight = static_cast<std::int32_t>(std::lround(font.ascent + font.descent));
    const auto advance = static_cast<std::int32_t>(std::lround(extents.x_advance));
    const std::int32_t top = area.top + halfDown(area.height() - lineHeight);
    std::int32_t x = area.left;
    if (centred) {
        x += halfDown(area.width() - advance);
    } else if (right) {
        x = area.right - advance;
    }
    if (opaque) fillDevice(CRect(x, top, x + advance, top + lineHeight), fillColor);
    setSource(context, fontColor);
    cairo_move_to(context, x, top + ascent);
    cairo_show_text(context, text.c_str());
    if (fontStyle & kUnderlineFace) {
        const std::int32_t below = std::max(1, static_cast<std::int32_t>(std::lround(fontSize / 10.0)));
        const std::int32_t thickness = std::max(1, static_cast<std::int32_t>(std::lround(fontSize / 14.0)));
        cairo_new_path(context);
        cairo_rectangle(context, x, top + ascent + below, advance, thickness);
        cairo_fill(context);
    }
    cairo_restore(context);
}
