#pragma once
// The top-level view of an editor: a container that owns a native child window inside the
// host's window and connects the toolkit to the platform and to the editor. Slots 60 to 87
// follow the container's 60; views, contexts, the window procedure and the editor are built
// against this order.

#include "CViewContainer.h"
#include "TooltipTracker.h"
#include "PointerTracker.h"

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

    // The virtual operations, slots 3 to 87, the same on every platform.
#include "CFrameSlots.h"

    // A context on the frame's window for drawing outside a paint message, or null. The
    // caller releases it.
    CDrawContext* createDrawContext();
    HWND getSystemWindow() const { return frameWindow; }
    // The window that stands for the editor on screen; null without a frame window.
    HWND getOuterWindow() const;
    // Device pixels per logical unit: the host's factor where it gave one, else the screen's.
    float getScale() const { return scale; }
    // Draws at `factor` from now on; the window, and the host's around it, take the new size.
    void setScale(float factor);
    // Called by any container of this frame for a view it removes: the modal and the focus
    // view must not outlive their place in the frame.
    void viewRemoved(CView* view);
    // The tooltips of the frame's views, fed by the window's mouse and driven by `idle`.
    TooltipTracker& tooltips() { return tips; }
    // The pointer as the frame's window reports it, in the frame's coordinates: the controls'
    // hovered and pressed state, and the cursor, follow it.
    void pointerMoved(const CPoint& where);
    void pointerLeft();
    void pointerPressed(const CPoint& where);
    void pointerReleased();
    // True while `view` has the focus and the keyboard moved it there (a click's focus shows
    // no frame).
    bool showsFocusOf(const CView* view) const { return focusShown && view == focusView; }
    // Answers the window's request for a cursor: true when the frame set one of its own.
    bool showsOwnCursor();

    // Keys for a field being typed into: Windows' own edit control takes its keys itself.
    bool typingTakes(const VstKeyCode&, bool) { return false; }
    // A view drawn outside a paint message: Windows drew it on the window itself.
    void viewDrawn(const CView&) {}

    // The window moved to a screen of another density: without the host's factor, the
    // screen's is taken.
    void screenChanged();

    // Cleared by `close` and when the host destroys the frame's window.
    HWND parentWindow;

protected:
    bool createWindow();
    // The host's factor, or 0 when it gave none.
    float hostScale() const;
    // Sizes the window, and the buffers behind it, for the frame's size at the present scale.
    void applyScale();
    // True when the host took the new size itself ("sizeWindow").
    bool hostSizesWindow(std::int32_t width, std::int32_t height);
    // Sizes the windows for `width` and `height` units at the present scale: true when the host
    // sized its own.
    bool fitWindows(std::int32_t width, std::int32_t height);
    // Sizes the frame window and the host's windows around it; false when it gave up.
    bool resizeWindowChain(std::int32_t width, std::int32_t height);

    AEffGUIEditor* editor; // not owned
    CView* modalView = nullptr;
    CView* focusView = nullptr; // not retained
    bool firstDraw = true;
    bool openFlag = true;
    bool dropActive = false;
    bool updatesDisabled = false;
    TooltipTracker tips;
    HWND frameWindow = nullptr;
    HMODULE imagingLibrary = nullptr;
    CDropTarget* dropTarget = nullptr;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* frameContext = nullptr;
    bool windowAdded = false;
    void* windowRecord = nullptr; // allocated with std::malloc
    HCURSOR defaultCursor = nullptr;
    PointerTracker pointer;
    bool focusFromKeys = false; // while Tab moves the focus
    bool focusShown = false;

private:
    // Shows the cursor for `shape` over the frame's window; the host's own for `host`.
    void showPointerShape(PointerShape shape);
    // The cursor found first may be none at all; that is still the one to restore.
    void takeDefaultCursor();

    // Only a successful initialisation is undone: a host thread that lives in another
    // apartment keeps its own.
    bool oleInitialized = false;
    bool defaultCursorTaken = false;
    float scale = 1;
};
