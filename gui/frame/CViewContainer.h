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

    void draw(CDrawContext* context) override;                                      // 3
    void drawRect(CDrawContext* context, const CRect& updateRect) override;         // 4
    void mouse(CDrawContext* context, const CPoint& where,
               std::int32_t buttons = -1) override;                                 // 6
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;                           // 9
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;                             // 10
    bool onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                 float distance) override;                                          // 11
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override; // 12
    bool onDrop(CDrawContext* context, CDragContainer* drag,
                const CPoint& where) override;                                      // 13
    void onDragEnter(CDrawContext* context, CDragContainer* drag,
                     const CPoint& where) override;                                 // 14
    void onDragLeave(CDrawContext* context, CDragContainer* drag,
                     const CPoint& where) override;                                 // 15
    void onDragMove(CDrawContext* context, CDragContainer* drag,
                    const CPoint& where) override;                                  // 16
    void loseFocus(CDrawContext* context) override;                                 // 17
    void takeFocus(CDrawContext* context) override;                                 // 18
    bool isDirty() const override;                                                  // 19
    void setViewSize(const CRect& rect) override;                                   // 28
    bool removed(CView* parent) override;                                           // 30
    bool attached(CView* parent) override;                                          // 31
    CPoint& frameToLocal(CPoint& point) const override;                             // 33
    CPoint& localToFrame(CPoint& point) const override;                             // 34
    std::int32_t notify(CView* sender, const char* message) override;               // 36
    void redrawRect(CDrawContext* context, const CRect& rect) override;             // 37
    bool isTypeOf(const char* className) const override;                            // 40
    void update(CDrawContext* context) override;                                    // 41

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

    // True when `view` is a child of this container or lies inside one of its containers.
    bool holds(CView* view) const;
    // The frame draws at another scale: this container's buffer, and those of the containers
    // inside it, are made again at the next draw.
    void scaleChanged();

protected:
    // Drops every pointer this container and its frame keep to `view`, which is leaving.
    void dropReferencesTo(CView* view);
    void removeChildren(bool withRelease, bool dropReferences);
    // Makes `offscreen` when drawing offscreen and there is none yet.
    void ensureOffscreen();
    // The rectangle of the container's own inner coordinates: (0, 0, width, height).
    CRect innerRect() const { return CRect(0, 0, size.width(), size.height()); }
    // `where`, given in this container's own coordinates, as its children see it.
    CPoint toChildCoordinates(const CPoint& where) const {
        return CPoint(where.h - size.left, where.v - size.top);
    }

    CViewListEntry* firstEntry = nullptr;
    CViewListEntry* lastEntry = nullptr;
    std::int32_t mode = kUpdateDirtyChildren;
    COffscreenContext* offscreen = nullptr; // one reference held
    CColor backgroundColor = kColorBlack;
    CPoint backgroundOffset;
    bool drawOffscreen = true;
    CView* dragOverView = nullptr; // not retained
};
