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
    // Copied before the old text goes, which may be the very text given.
    char* copy = nullptr;
    if (newText) {
        const std::size_t bytes = std::strlen(newText) + 1;
        // Without memory the label shows its box and no text.
        copy = static_cast<char*>(std::malloc(bytes));
        if (copy) std::memcpy(copy, newText, bytes);
    }
    std::free(text);
    text = copy;
}

const char* CTextLabel::getText() const { return text; }
