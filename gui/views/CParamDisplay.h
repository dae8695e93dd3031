#pragma once
// A control that shows its value as text in a box: filled or image background, a plain or
// three-dimensional edge, optional shadowed text, in a chosen font, colours and alignment.
// Its painter `drawText` is shared with the text label.

#include "CColor.h"
#include "CControl.h"
#include "CFontId.h"
#include "CTextFont.h"

#include <cstdint>
#include <optional>

// Style bits; all others are ignored when painting.
inline constexpr std::int32_t kStyleShadowText = 0x4;
inline constexpr std::int32_t kStyle3DIn = 0x80;
inline constexpr std::int32_t kStyle3DOut = 0x100;
inline constexpr std::int32_t kStyleNoText = 0x800;
inline constexpr std::int32_t kStyleNoDraw = 0x1000;
inline constexpr std::int32_t kStyleNoFrame = 0x4000;

// Value-to-text functions write a zero-terminated string of at most 255 characters.
using CParamDisplayConvert = void (*)(float value, char* text);
using CParamDisplayConvertWithData = void (*)(float value, char* text, void* userData);
// Text-to-value; kept for the owner, never called by the display.
using CParamDisplayReverseConvert = void (*)(const char* text, float& value, void* userData);

class CParamDisplay : public CControl {
public:
    static constexpr std::int32_t kTextBufferSize = 256;

    explicit CParamDisplay(const CRect& size);

    void draw(CDrawContext* context) override;                                      // 3
    bool isTypeOf(const char* className) const override;                            // 40

    virtual void setFont(CFontId newFontId);                                        // 63
    virtual void setFontColor(CColor color);                                        // 64
    virtual void setBackColor(CColor color);                                        // 65
    virtual void setFrameColor(CColor color);                                       // 66
    virtual void setShadowColor(CColor color);                                      // 67
    virtual void setHoriAlign(std::int32_t align);                                  // 68
    virtual void setStringConvert(CParamDisplayConvertWithData function,
                                  void* newUserData);                               // 69
    virtual void setStringConvert(CParamDisplayConvert function);                   // 70
    virtual void setReverseConvert(CParamDisplayReverseConvert function);           // 71
    virtual void setStyle(std::int32_t newStyle);                                   // 72
    virtual void setTextFace(std::int32_t face);                                    // 73
    virtual void setTextTransparency(bool flag);                                    // 74

    // Draws the text in `font`, a face of the plug-in's or the system's, with the font's own
    // style, until setFont chooses from the table again.
    void setTextFont(const CTextFont& font);
    // The font set by setTextFont, or null while the text is in the table's font.
    const CTextFont* getTextFont() const { return textFont ? &*textFont : nullptr; }
    CFontId getFont() const { return fontId; }
    CColor getFontColor() const { return fontColor; }
    CColor getBackColor() const { return backColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getShadowColor() const { return shadowColor; }
    std::int32_t getHoriAlign() const { return horiAlign; }
    std::int32_t getStyle() const { return style; }
    std::int32_t getTextFace() const { return textFace; }
    bool getTextTransparency() const { return textTransparencyEnabled; }
    CParamDisplayReverseConvert getReverseConvert() const { return reverseConvert; }

protected:
    // The value as the display shows it: through the conversion set, else "%2.2f".
    void valueText(char (&text)[kTextBufferSize]) const;
    // Paints the box and `text` (null: no text) with every style of the display, and leaves
    // the display clean.
    void drawText(CDrawContext* context, const char* text);

    CParamDisplayConvert stringConvert = nullptr;
    CParamDisplayConvertWithData stringConvertWithData = nullptr;
    CParamDisplayReverseConvert reverseConvert = nullptr;
    void* userData = nullptr;
    std::int32_t horiAlign = 1; // centre
    std::int32_t style = 8;     // no bit the painter reads
    CFontId fontId = kFontNormal;
    std::optional<CTextFont> textFont;
    std::int32_t textFace = 0;
    CColor fontColor = kColorWhite;
    CColor backColor = kColorBlack;
    CColor frameColor = kColorBlack;
    CColor shadowColor = kColorRed;
    bool textTransparencyEnabled = true;

private:
    void drawBox(CDrawContext* context);
    void drawEdges(CDrawContext* context);
    void drawClippedText(CDrawContext* context, const char* text);
};
