#pragma once
// A drawing surface over one Windows device context, either handed in by the caller or
// obtained from a window and given back at destruction. Drawing values become GDI objects
// only when they change; every coordinate handed to GDI gets `offset` added.

#include "CColor.h"
#include "CFontId.h"
#include "CPoint.h"
#include "CRect.h"
#include "CReferenceCounter.h"
#include "CSmoothPath.h"
#include "CTextFont.h"
#include "Drawing.h"

#include <windows.h>

#include <cstdint>
#include <optional>

// cairo's own declaration: the smooth operations draw through it, unseen by callers.
typedef struct _cairo cairo_t;

class CFrame;

// True when the user has swapped the mouse buttons; read from the system when the frame's
// window class is first registered, false until then.
extern bool swappedButtons;

class CDrawContext : public CReferenceCounter {
public:
    // Any argument may be null. Without a device context but with a window, the context
    // takes the window's own device context and gives it back at destruction.
    CDrawContext(CFrame* frame, HDC deviceContext, HWND window);
    ~CDrawContext() override;

    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);
    // A one-pixel outline covering columns left to right - 1 and rows top to bottom - 1.
    void drawRect(const CRect& rect);
    // Fills inside the outline `drawRect` would draw on the left and top, up to its right and
    // bottom lines.
    void fillRect(const CRect& rect);
    // Single-line text, vertically centred; a non-zero `opaque` paints the fill colour behind.
    void drawString(const char* string, const CRect& rect, std::int16_t opaque = 0,
                    std::int32_t alignment = kCenterText);
    // How far `string` advances in the current font, in pixels.
    std::int32_t getStringWidth(const char* string) const;

    // Anti-aliased drawing in fractional coordinates of the caller's, `offset` added (whole
    // numbers fall between pixels: see CSmoothPath.h). Lines, arcs and outlines take the frame
    // colour and line width, filled shapes the fill colour; the clip applies.
    void drawSmoothLine(CFloatPoint from, CFloatPoint to);
    void drawSmoothArc(CFloatPoint centre, double radius, double fromAngle, double toAngle);
    void drawSmoothRoundRect(const CFloatRect& rect, double radius);
    void fillSmoothRoundRect(const CFloatRect& rect, double radius);
    void drawSmoothPath(const CSmoothPath& path);
    void fillSmoothPath(const CSmoothPath& path);

    void setFrameColor(CColor color);
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(CColor color);
    CColor getFillColor() const { return fillColor; }
    void setFontColor(CColor color);
    CColor getFontColor() const { return fontColor; }
    void setLineWidth(std::int32_t width);
    std::int32_t getLineWidth() const { return lineWidth; }
    void setLineStyle(std::int32_t style);
    std::int32_t getLineStyle() const { return lineStyle; }
    void setDrawMode(std::int32_t mode);
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

    HDC getDeviceContext() const { return deviceContext; }
    HWND getWindow() const { return window; }
    CFrame* getFrame() const { return frame; }
    // Device pixels per unit: the frame's scale, 1 without a frame.
    float getScale() const { return scale; }
    // A rectangle or point in the caller's coordinates, in the device's pixels.
    RECT devicePixels(const CRect& rect) const;
    POINT devicePixel(const CPoint& point) const;

    // Screen position of the window's top-left corner; containers shift it, and `offset`, by
    // their own position while their children work, and restore both afterwards.
    CPoint screenOffset;
    CPoint offset;

protected:
    void makePen();
    // Puts the recorded drawing state into `deviceContext`, for a device context that comes
    // after construction and so holds only the platform's defaults.
    void selectDrawingState();
    // `drawRect` at a scale: each side as wide as the pen's units.
    void drawScaledOutline(const CRect& rect);
    // Makes and selects the font described, `size` units high and `pixels` on the device,
    // dropping the one it replaces.
    void selectFont(LOGFONTW& description, std::int32_t size, std::int32_t pixels, std::int32_t style, bool bold);

    HDC deviceContext;
    HWND window;   // an offscreen context keeps its memory bitmap here
    CFrame* frame; // neither owned nor retained
    std::int32_t fontSize = -1;
    std::int32_t fontStyle = 0;
    CFontId fontId = kNumFonts; // no valid id: the first selection always takes effect
    std::optional<CTextFont> textFont;
    CColor fontColor;
    CPoint penPosition;
    std::int32_t lineWidth = 0;
    CColor frameColor;
    CColor fillColor;
    std::int32_t lineStyle = 1; // not the default, so applying the default takes effect
    std::int32_t drawMode = 3;  // likewise
    CRect clipRect;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HGDIOBJ initialBrush = nullptr;
    HGDIOBJ initialPen = nullptr;
    HGDIOBJ initialFont = nullptr;
    std::int32_t penStyle = PS_SOLID;
    HDC ownDeviceContext = nullptr;

private:
    // Selects `object`, deletes the one it replaces and returns `object`.
    template <typename Handle>
    Handle replaceObject(Handle current, Handle object);

    CSmoothPaint strokePaint() const;
    CSmoothPaint fillPaint() const;
    void paintSmooth(const CSmoothPath& path, const CSmoothPaint& paint);
    // Maps the caller's coordinates onto device pixels in `cairo`, for every smooth operation.
    void toDeviceSpace(cairo_t* cairo) const;
protected:
    float scale = 1;
};
