#pragma once
// A drawing surface over one cairo surface: a window's, an offscreen image's, or any other the
// caller hands in. Lines and rectangles land on whole pixels exactly where GDI puts them, for
// views drawn once for both platforms; every coordinate gets `offset` added.

#include "CColor.h"
#include "CFontId.h"
#include "CPoint.h"
#include "CRect.h"
#include "CReferenceCounter.h"
#include "CTextFont.h"
#include "CSmoothPath.h"
#include "Drawing.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>

class CFrame;

struct CairoRelease {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

class CDrawContext : public CReferenceCounter {
public:
    // Either argument may be null; without a surface every drawing call does nothing. The
    // surface is referenced for the context's lifetime, and has the frame's scale.
    CDrawContext(CFrame* frame, cairo_surface_t* surface);

    void moveTo(const CPoint& point);
    // From the pen position to `point`, which itself stays unpainted.
    void lineTo(const CPoint& point);
    // A one-pixel outline covering columns left to right - 1 and rows top to bottom - 1.
    void drawRect(const CRect& rect);
    // Fills inside the outline `drawRect` would draw on the left and top, up to its right and
    // bottom lines.
    void fillRect(const CRect& rect);
    // Single-line text, vertically centred and kept inside `rect`; a non-zero `opaque` paints
    // the fill colour behind.
    // How far `string` advances in the current font, in pixels.
    std::int32_t getStringWidth(const char* string) const;
    void drawString(const char* string, const CRect& rect, std::int16_t opaque = 0,
                    std::int32_t alignment = kCenterText);

    // Anti-aliased drawing in fractional coordinates of the caller's, `offset` added (whole
    // numbers fall between pixels: see CSmoothPath.h). Lines, arcs and outlines take the frame
    // colour and line width, filled shapes the fill colour; the clip applies.
    void drawSmoothLine(CFloatPoint from, CFloatPoint to);
    void drawSmoothArc(CFloatPoint centre, double radius, double fromAngle, double toAngle);
    void drawSmoothRoundRect(const CFloatRect& rect, double radius);
    void fillSmoothRoundRect(const CFloatRect& rect, double radius);
    void drawSmoothPath(const CSmoothPath& path);
    void fillSmoothPath(const CSmoothPath& path);

    void setFrameColor(CColor color) { frameColor = color; }
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(CColor color) { fillColor = color; }
    CColor getFillColor() const { return fillColor; }
    void setFontColor(CColor color) { fontColor = color; }
    CColor getFontColor() const { return fontColor; }
    void setLineWidth(std::int32_t width) { lineWidth = width; }
    std::int32_t getLineWidth() const { return lineWidth; }
    // Only solid lines are drawn; any request gives them.
    void setLineStyle(std::int32_t) { lineStyle = kLineSolid; }
    std::int32_t getLineStyle() const { return lineStyle; }
    // Only copying is drawn; any request gives it.
    void setDrawMode(std::int32_t) { drawMode = kCopyMode; }
    std::int32_t getDrawMode() const { return drawMode; }
    // Ids outside the table fall back to `kFontBold`; the size always comes from the table.
    void setFont(CFontId fontId, std::int32_t style = 0);
    // A font of the plug-in's or the system's, in place of the table's until the next setFont;
    // the context holds it while selected.
    void setFont(const CTextFont& font);
    // The table's id; `kNumFonts` while a CTextFont is selected.
    CFontId getFont() const { return fontId; }
    // The selected CTextFont, or null while the font is the table's.
    const CTextFont* getTextFont() const { return textFont ? &*textFont : nullptr; }
    // Pixels to the em, of the table's font or the selected CTextFont.
    std::int32_t getFontSize() const { return fontSize; }
    std::int32_t getFontStyle() const { return fontStyle; }

    // `rect` is in the caller's coordinates; the clip is kept in device coordinates.
    void setClipRect(const CRect& rect);
    CRect& getClipRect(CRect& rect) const;

    // The mouse buttons and modifier keys held right now, as `kLeftButton` ... `kAltKey`.
    std::int32_t getMouseButtons() const;

    CFrame* getFrame() const { return frame; }
    // Device pixels per unit: the frame's scale, 1 without a frame. Everything the context
    // draws is scaled by it; its coordinates stay in units.
    float getScale() const { return scale; }
    cairo_t* getCairo() const { return cairo.get(); }
    cairo_surface_t* getSurface() const { return surface.get(); }

    // Screen position of the window's top-left corner; containers shift it, and `offset`, by
    // their own position while their children work, and restore both afterwards.
    CPoint screenOffset;
    CPoint offset;

protected:
    // Fills whole pixels in `color`, within the clip: `rect` in device coordinates.
    void fillDevice(const CRect& rect, CColor color);
    // Sets the current font's face, weight, slant and size on `context`.
    void selectFace(cairo_t* context) const;

    CFrame* frame; // neither owned nor retained
    std::unique_ptr<cairo_surface_t, CairoRelease> surface;
    std::unique_ptr<cairo_t, CairoRelease> cairo;
    CColor frameColor = kColorWhite;
    CColor fillColor = kColorBlack;
    CColor fontColor = kColorWhite;
    std::int32_t lineWidth = 1;
    std::int32_t lineStyle = kLineSolid;
    std::int32_t drawMode = kCopyMode;
    CFontId fontId = kFontBold;
    std::int32_t fontSize = 12;
    std::int32_t fontStyle = 0;
    std::optional<CTextFont> textFont;
    CPoint penPosition; // in device coordinates
    CRect clipRect;     // likewise
    float scale = 1;

private:
    CSmoothPaint strokePaint() const;
    CSmoothPaint fillPaint() const;
    void paintSmooth(const CSmoothPath& path, const CSmoothPaint& paint);
    // Maps the caller's coordinates onto device pixels in `cairo`, for every smooth operation.
    void toDeviceSpace(cairo_t* cairo) const;
};
