#pragma once
// A view that owns an ordered list of child views, one reference per entry. List order is
// drawing order; event dispatch walks it backwards. The frame derives from it.

#include "CColor.h"
#include "CView.h"

#include <cstdint>

class COffscreenContext;

struct CViewListEntry {
    CView* view;
    CViewListEntry* next;
    CViewListEntry* previous;
};

inline constexpr std::int32_t kUpdateWhole = 0;
inline constexpr std::int32_t kUpdateDirtyChildren = 1;

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Overrides of the view operations; drawing, events, focus and dirtiness follow with the
    // container's drawing.
    CPoint& frameToLocal(CPoint& point) const override;                             // 33
    CPoint& localToFrame(CPoint& point) const override;                             // 34
    std::int32_t notify(CView* sender, const char* message) override;               // 36
    bool isTypeOf(const char* className) const override;                            // 40

    virtual void addView(CView* view, const CRect& mouseableArea,
                         bool mouseEnabled = true);                                 // 42
    virtual void addView(CView* view);                                              // 43
    virtual void removeView(CView* view, bool withRelease = true);                  // 44
    virtual void removeAll(bool withRelease = true);                                // 45
    virtual bool isChild(CView* view) const;                                        // 46
    virtual std::int32_t getViewCount() const;                                      // 47
    virtual CView* getView(std::int32_t index) const;                               // 48
    virtual void setBackgroundColor(CColor color);                                  // 49
    virtual CColor getBackgroundColor() const;                                      // 50
    virtual void setBackgroundOffset(const CPoint& point);                          // 51
    virtual const CPoint& getBackgroundOffset() const;                              // 52
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);      // 53
    virtual void setMode(std::int32_t mode);                                        // 54
    virtual std::int32_t getMode() const;                                           // 55
    virtual void setOffscreenDrawing(bool flag);                                    // 56
    virtual CView* getViewUnderMouse();                                             // 57
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;         // 58
    virtual bool advanceFocus(CView* current, bool reverse = false);                // 59

protected:
    CViewListEntry* firstEntry = nullptr;
    CViewListEntry* lastEntry = nullptr;
    std::int32_t mode = kUpdateDirtyChildren;
    COffscreenContext* offscreen = nullptr; // one reference held
    CColor backgroundColor = kColorBlack;
    CPoint backgroundOffset;
    bool drawOffscreen = true;
    CView* dragOverView = nullptr; // not retained
};
