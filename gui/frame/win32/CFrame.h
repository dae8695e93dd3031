#pragma once
// The top-level view of an editor: a container that owns a native child window inside the
// host's window and connects the toolkit to the platform and to the editor. Slots 60 to 87
// follow the container's 60; views, contexts, the window procedure and the editor are built
// against this order.

#include "CViewContainer.h"

#include <windows.h>

#include <cstdint>

class AEffGUIEditor;
class CDrawContext;
class CDropTarget;
class COffscreenContext;

// The host's window as the editor receives it inside a pointer.
using NativeWindow = HWND;
inline NativeWindow toNativeWindow(void* pointer) { return static_cast<HWND>(pointer); }

// Written by any editor's `setKnobMode`, answered by every frame.
extern std::int32_t knobMode;

class CFrame : public CViewContainer {
public:
    // `parentWindow` is the host's window or null; `editor` may be null.
    CFrame(const CRect& size, HWND parentWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    void draw(CDrawContext* context) override;                                      // 3
    void drawRect(CDrawContext* context, const CRect& updateRect) override;         // 4
    void mouse(CDrawContext* context, const CPoint& where,
               std::int32_t buttons = -1) override;                                 // 6
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;                           // 9
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;                             // 10
    bool onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                 float distance) override;                                          // 11
    using CViewContainer::onWheel;                                                  // 12
    void setViewSize(const CRect& rect) override;                                   // 28
    AEffGUIEditor* getEditor() const override;                                      // 35
    bool isTypeOf(const char* className) const override;                            // 40
    void update(CDrawContext* context) override;                                    // 41
    CView* getViewUnderMouse() override;                                            // 57
    bool advanceFocus(CView* current, bool reverse = false) override;               // 59

    virtual bool open(void* ignored = nullptr);                                     // 60
    virtual bool close();                                                           // 61
    virtual bool isOpen() const;                                                    // 62
    virtual void idle();                                                            // 63
    virtual void editorIdle();                                                      // 64
    virtual std::uint32_t getTicks() const;                                         // 65
    virtual std::int32_t getKnobMode() const;                                       // 66
    virtual bool setPosition(std::int32_t x, std::int32_t y);                       // 67
    virtual bool getPosition(std::int32_t& x, std::int32_t& y) const;               // 68
    virtual bool setSize(std::int32_t width, std::int32_t height);                  // 69
    virtual bool getSize(CRect* rectPointer) const;                                 // 70
    virtual bool getSize(CRect& rect) const;                                        // 71
    virtual bool setModalView(CView* view);                                         // 72
    virtual CView* getModalView() const;                                            // 73
    virtual void beginEdit(std::int32_t index);                                     // 74
    virtual void endEdit(std::int32_t index);                                       // 75
    virtual bool getCurrentLocation(CPoint& point);                                 // 76
    virtual void setCursor(std::int32_t type);                                      // 77
    virtual void setFocusView(CView* view);                                         // 78
    virtual CView* getFocusView() const;                                            // 79
    virtual bool setDropActive(bool flag);                                          // 80
    virtual bool isDropActive() const;                                              // 81
    virtual void setOpenFlag(bool flag);                                            // 82
    virtual bool getOpenFlag() const;                                               // 83
    virtual void invalidate(const CRect& rect);                                     // 84
    virtual bool setUpdatesDisabled(bool flag);                                     // 85
    virtual bool getUpdatesDisabled() const;                                        // 86
    virtual void drawView(CView* view);                                             // 87

    // A context on the frame's window for drawing outside a paint message, or null. The
    // caller releases it.
    CDrawContext* createDrawContext();
    HWND getSystemWindow() const { return frameWindow; }
    // The window that stands for the editor on screen; null without a frame window.
    HWND getOuterWindow() const;
    // Called by any container of this frame for a view it removes: the modal and the focus
    // view must not outlive their place in the frame.
    void viewRemoved(CView* view);

    // Keys for a field being typed into: Windows' own edit control takes its keys itself.
    bool typingTakes(const VstKeyCode&, bool) { return false; }

    // Cleared by `close` and when the host destroys the frame's window.
    HWND parentWindow;

protected:
    bool createWindow();
    // True when the host took the new size itself ("sizeWindow").
    bool hostSizesWindow(std::int32_t width, std::int32_t height);
    // Sizes the frame window and the host's windows around it; false when it gave up.
    bool resizeWindowChain(std::int32_t width, std::int32_t height);

    AEffGUIEditor* editor; // not owned
    CView* modalView = nullptr;
    CView* focusView = nullptr; // not retained
    bool firstDraw = true;
    bool openFlag = true;
    bool dropActive = false;
    bool updatesDisabled = false;
    HWND frameWindow = nullptr;
    HMODULE imagingLibrary = nullptr;
    CDropTarget* dropTarget = nullptr;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* frameContext = nullptr;
    bool windowAdded = false;
    void* windowRecord = nullptr; // allocated with std::malloc
    HCURSOR defaultCursor = nullptr;

private:
    // The cursor found first may be none at all; that is still the one to restore.
    void takeDefaultCursor();

    // Only a successful initialisation is undone: a host thread that lives in another
    // apartment keeps its own.
    bool oleInitialized = false;
    bool defaultCursorTaken = false;
};
