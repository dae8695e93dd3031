#include "Drawing.h"

#include "CDrawContext.h"

void fillExactly(CDrawContext* context, const CRect& rect, CColor colour) {
    context->setFillColor(colour);
    context->fillRect(CRect(rect.left - 1, rect.top - 1, rect.right, rect.bottom));
}
