#include "CTextLabel.h"

#include <cstdlib>
#include <cstring>

CTextLabel::CTextLabel(const CRect& size, const char* initialText) : CParamDisplay(size) {
    setText(initialText);
}

CTextLabel::~CTextLabel() { std::free(text); }

void CTextLabel::draw(CDrawContext* context) {
    drawText(context, text);
    setDirty(false);
}

bool CTextLabel::isTypeOf(const char* className) const {
    return (className && std::strcmp(className, "CTextLabel") == 0) ||
           CParamDisplay::isTypeOf(className);
}

void CTextLabel::setText(const char* newText) {
    std::free(text);
    text = nullptr;
    if (!newText) return;
    const std::size_t bytes = std::strlen(newText) + 1;
    // Without memory the label shows its box and no text.
    text = static_cast<char*>(std::malloc(bytes));
    if (text) std::memcpy(text, newText, bytes);
}

const char* CTextLabel::getText() const { return text; }
