#include "CParamDisplay.h"

#include "CDrawContext.h"

#include <cstdio>
#include <cstring>

CParamDisplay::CParamDisplay(const CRect& size) : CControl(size) {}

bool CParamDisplay::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CParamDisplay") == 0) ||
           CControl::isTypeOf(className);
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[kTextBufferSize];
    valueText(text);
    drawText(context, text);
}

void CParamDisplay::valueText(char (&text)[kTextBufferSize]) const {
    text[0] = '\0';
    if (stringConvertWithData) {
        stringConvertWithData(value, text, userData);
    } else if (stringConvert) {
        stringConvert(value, text);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    setDirty(false);
    if (style & kStyleNoDraw) return;
    drawBox(context);
    if (style & (kStyle3DIn | kStyle3DOut)) drawEdges(context);
    if ((style & kStyleNoText) || !text) return;
    drawClippedText(context, text);
}

void CParamDisplay::drawBox(CDrawContext* context) {
    if (background) {
        if (transparencyEnabled) {
            background->drawTransparent(context, size, backOffset);
        } else {
            background->draw(context, size, backOffset);
        }
        return;
    }
    if (transparencyEnabled) return;
    context->setFillColor(backColor);
    context->fillRect(size);
    if (!(style & (kStyleNoFrame | kStyle3DIn | kStyle3DOut))) {
        context->setFrameColor(frameColor);
        context->drawRect(size);
    }
}

void CParamDisplay::drawEdges(CDrawContext* context) {
    // An inset edge is lit from the bottom right, a raised one from the top left.
    const bool inset = (style & kStyle3DIn) != 0;
    const CRect r(size.left, size.top + 1, size.right - 1, size.bottom - 1);
    context->setLineWidth(1);
    context->setFrameColor(inset ? backColor : frameColor);
    context->moveTo(CPoint(r.left, r.bottom));
    context->lineTo(CPoint(r.left, r.top));
    context->lineTo(CPoint(r.right, r.top));
    context->setFrameColor(inset ? frameColor : backColor);
    context->moveTo(CPoint(r.right, r.top));
    context->lineTo(CPoint(r.right, r.bottom));
    context->lineTo(CPoint(r.left, r.bottom));
}

void CParamDisplay::drawClippedText(CDrawContext* context, const char* text) {
    CRect savedClip;
    context->getClipRect(savedClip);
    CRect textClip = size;
    context->setClipRect(textClip.bound(savedClip));
    if (textFont) {
        context->setFont(*textFont);
    } else {
        context->setFont(fontId, textFace);
    }
    const std::int16_t opaque = textTransparencyEnabled ? 0 : 1;
    if (style & kStyleShadowText) {
        CRect shadow = size;
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, opaque, horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, opaque, horiAlign);
    context->setClipRect(savedClip);
}

void CParamDisplay::setFont(CFontId newFontId) {
    if (newFontId != fontId || textFont) setDirty(true);
    fontId = newFontId;
    textFont.reset();
}

void CParamDisplay::setTextFont(const CTextFont& font) {
    if (!textFont || !(*textFont == font)) setDirty(true);
    textFont = font;
}

void CParamDisplay::setFontColor(CColor color) {
    if (!(color == fontColor)) setDirty(true);
    fontColor = color;
}

void CParamDisplay::setBackColor(CColor color) {
    if (!(color == backColor)) setDirty(true);
    backColor = color;
}

void CParamDisplay::setFrameColor(CColor color) {
    if (!(color == frameColor)) setDirty(true);
    frameColor = color;
}

void CParamDisplay::setShadowColor(CColor color) {
    if (!(color == shadowColor)) setDirty(true);
    shadowColor = color;
}

void CParamDisplay::setHoriAlign(std::int32_t align) {
    if (align != horiAlign) setDirty(true);
    horiAlign = align;
}

void CParamDisplay::setStringConvert(CParamDisplayConvertWithData function, void* newUserData) {
    stringConvertWithData = function;
    userData = newUserData;
}

void CParamDisplay::setStringConvert(CParamDisplayConvert function) { stringConvert = function; }

void CParamDisplay::setReverseConvert(CParamDisplayReverseConvert function) {
    reverseConvert = function;
}

void CParamDisplay::setStyle(std::int32_t newStyle) {
    if (newStyle == style) return;
    style = newStyle;
    setDirty(true);
}

void CParamDisplay::setTextFace(std::int32_t face) {
    if (face != textFace) setDirty(true);
    textFace = face;
}

void CParamDisplay::setTextTransparency(bool flag) { textTransparencyEnabled = flag; }
