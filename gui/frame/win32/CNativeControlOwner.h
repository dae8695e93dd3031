#pragma once
// Optional abilities of a view that owns native controls inside the frame window: the colours
// of an edit control it shows, and a painter for owner-drawn menu items. The window procedure
// asks the focus view for them; views without native controls do not derive from this.

#include "CColor.h"
#include "CPoint.h"
#include "CRect.h"

#include <windows.h>

#include <cstdint>

class CDrawContext;

// Measures and draws the owner-drawn items of a menu; `itemData` is what the menu item carries.
class CMenuPainter {
public:
    // Item state bits handed to `drawItem`.
    static constexpr std::int32_t kChecked = 1;
    static constexpr std::int32_t kDisabled = 2;
    static constexpr std::int32_t kSelected = 4;

    virtual ~CMenuPainter() = default;
    virtual void measureItem(ULONG_PTR itemData, CDrawContext* context, CPoint& size) = 0;
    virtual void drawItem(ULONG_PTR itemData, std::int32_t itemId, std::int32_t state,
                          CDrawContext* context, const CRect& rect) = 0;
};

class CNativeControlOwner {
public:
    virtual ~CNativeControlOwner() {
        if (editBrush) DeleteObject(editBrush);
    }
    virtual CColor getEditFontColor() const = 0;
    virtual CColor getEditBackColor() const = 0;
    virtual CMenuPainter* getMenuPainter() { return nullptr; }

    // The edit control's background brush, renewed at every colour request.
    HBRUSH editBrush = nullptr;
};
