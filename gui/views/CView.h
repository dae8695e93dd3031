#pragma once
// The base of everything shown in the editor window. Containers and the frame drive views
// through the virtual operations below; their order is the binary interface that subclasses
// are built against, so new operations go only at the end of a derived class.

#include "CBitmap.h"
#include "CPoint.h"
#include "CRect.h"
#include "CReferenceCounter.h"
#include "HostRecords.h"

#include <cstdint>
#include <string>

class AEffGUIEditor;
class CDragContainer;
class CDrawContext;
class CFrame;

// Asks a view whether it is a container. Recognised by its address, never by its text.
extern const char kMsgCheckIfViewContainer[];

// One attribute of a view: a heap block of data, freed with the view.
struct CAttributeListEntry {
    CAttributeListEntry* next = nullptr;
    void* data = nullptr; // allocated with std::malloc
};

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);                                       // 3
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);          // 4
    virtual bool checkUpdate(const CRect& updateRect) const;                        // 5
    virtual void mouse(CDrawContext* context, const CPoint& where,
                       std::int32_t buttons = -1);                                  // 6
    virtual void setBackground(CBitmap* image);                                     // 7
    virtual CBitmap* getBackground() const;                                         // 8
    virtual std::int32_t onKeyDown(VstKeyCode& keyCode);                            // 9
    virtual std::int32_t onKeyUp(VstKeyCode& keyCode);                              // 10
    virtual bool onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                         float distance);                                           // 11
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance); // 12
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag,
                        const CPoint& where);                                       // 13
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag,
                             const CPoint& where);                                  // 14
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag,
                             const CPoint& where);                                  // 15
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag,
                            const CPoint& where);                                   // 16
    virtual void loseFocus(CDrawContext* context);                                  // 17
    virtual void takeFocus(CDrawContext* context);                                  // 18
    virtual bool isDirty() const;                                                   // 19
    virtual void setDirty(bool flag = true);                                        // 20
    virtual void setMouseEnabled(bool flag = true);                                 // 21
    virtual bool getMouseEnabled() const;                                           // 22
    virtual void setMouseableArea(const CRect& rect);                               // 23
    virtual CRect& getMouseableArea(CRect& rect) const;                             // 24
    virtual bool hitTest(const CPoint& where, std::int32_t buttons = -1) const;     // 25
    virtual void setTransparency(bool flag);                                        // 26
    virtual bool getTransparency() const;                                           // 27
    virtual void setViewSize(const CRect& rect);                                    // 28
    virtual CRect& getViewSize(CRect& rect) const;                                  // 29
    virtual bool removed(CView* parent);                                            // 30
    virtual bool attached(CView* parent);                                           // 31
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);            // 32
    virtual CPoint& frameToLocal(CPoint& point) const;                              // 33
    virtual CPoint& localToFrame(CPoint& point) const;                              // 34
    virtual AEffGUIEditor* getEditor() const;                                       // 35
    virtual std::int32_t notify(CView* sender, const char* message);                // 36
    virtual void redrawRect(CDrawContext* context, const CRect& rect);              // 37
    virtual bool wantsFocus() const;                                                // 38
    virtual void setWantsFocus(bool flag);                                          // 39
    virtual bool isTypeOf(const char* className) const;                             // 40
    virtual void update(CDrawContext* context);                                     // 41

    // The container that adds a view sets these; neither is reference-counted.
    void setParentFrame(CFrame* frame) { parentFrame = frame; }
    CFrame* getParentFrame() const { return parentFrame; }
    void setParentView(CView* view) { parentView = view; }
    CView* getParentView() const { return parentView; }
    // A short text the frame shows near the pointer once it rests on the view; empty for none.
    // A container's text stands for the children that have none of their own.
    void setTooltipText(const char* text) { tooltipText = text ? text : ""; }
    const std::string& getTooltipText() const { return tooltipText; }

protected:
    CRect size;
    CRect mouseableArea;
    CFrame* parentFrame = nullptr;
    CView* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparencyEnabled = false;
    bool focusWanted = false;
    CBitmap* background = nullptr; // one reference held
    CAttributeListEntry* attributeList = nullptr;

private:
    std::string tooltipText;
};
