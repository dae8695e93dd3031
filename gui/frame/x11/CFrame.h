#pragma once
// The top-level view of an editor on Linux: a container that owns a plain X11 child window
// inside the host's window, on a display connection of its own. Nothing reads that connection
// but the host's own calls on its user-interface thread (`idle` and the editor opcodes), so no
// other thread ever touches Xlib. Slots 60 to 87 follow the container's 60, as on Windows.
//
// The frame draws into a back buffer and copies what changed to the window; a drag goes on
// across the host's calls, one event at a time, so the host's own loop never waits for it.

#include "CEditGesture.h"
#include "CViewContainer.h"
#include "TooltipTracker.h"
#include "PointerTracker.h"

#include <cstdint>
#include <memory>
#include <vector>

class AEffGUIEditor;
class CDrawContext;
class WindowPixels;
class TypingField;
class OverrideWindow;
class GrabbedList;

// The host's window as the editor receives it inside a pointer: an X11 window id.
using NativeWindow = unsigned long;
inline NativeWindow toNativeWindow(void* pointer) {
    return static_cast<NativeWindow>(reinterpret_cast<std::uintptr_t>(pointer));
}

struct _XDisplay;
union _XEvent;

// Written by any editor's `setKnobMode`, answered by every frame.
extern std::int32_t knobMode;

class CFrame : public CViewContainer {
public:
    // `parentWindow` is the host's window or 0; `editor` may be null.
    CFrame(const CRect& size, NativeWindow parentWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    // The virtual operations, slots 3 to 87, the same on every platform.
#include "CFrameSlots.h"

    // A context on the frame's back buffer for drawing outside an expose; what it draws
    // reaches the window at the next idle. The caller releases it; null without a window.
    CDrawContext* createDrawContext();
    NativeWindow getSystemWindow() const { return frameWindow; }
    _XDisplay* getDisplay() const { return display; }
    // The mouse buttons and modifier keys held right now, as `kLeftButton` ... `kAltKey`.
    std::int32_t heldButtons() const;
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

    // Takes over a drag: `move` for each motion of the mouse, `release` and the gesture's end
    // when its button comes up.
    void followGesture(std::unique_ptr<CEditGesture> gesture, CEditGesture::Move move, CEditGesture::Release release);
    // The field being typed into gets the keys and the clicks first; null to give them back
    // to the views.
    void setTextField(TypingField* field) { typing = field; }
    // The list being chosen from takes every key while it is open; null when none is.
    void setOpenList(GrabbedList* list) { openList = list; }
    // The frame's pop-up windows, whose events arrive on the frame's connection.
    void addPopup(OverrideWindow* popup) { popups.push_back(popup); }
    void removePopup(OverrideWindow* popup);
    // Keys go to the frame's window while true, back to the host's window after.
    void takeKeyboard(bool take);

    // A key for the field being typed into, from the host or the window: true when taken.
    bool typingTakes(const VstKeyCode& keyCode, bool down);
    // A view drawn outside an idle: what it drew goes from the back buffer to the window now.
    void viewDrawn(const CView& view);

    // Cleared by `close`.
    NativeWindow parentWindow;

protected:
    bool createWindow();
    // The host's factor, or 0 when it gave none.
    float hostScale() const;
    // Sizes the window, and the buffers behind it, for the frame's size at the present scale.
    void applyScale();
    // True when the host took the new size itself ("sizeWindow").
    bool hostSizesWindow(std::int32_t width, std::int32_t height);
    void handlePendingEvents();
    // Copies what changed since the last copy from the back buffer to the window.
    void flushDamage();

    AEffGUIEditor* editor; // not owned
    CView* modalView = nullptr;
    CView* focusView = nullptr; // not retained
    bool firstDraw = true;
    bool openFlag = true;
    bool updatesDisabled = false;
    TooltipTracker tips;
    _XDisplay* display = nullptr;
    NativeWindow frameWindow = 0;
    std::unique_ptr<WindowPixels> pixels; // the back buffer, and its copies to the window
    CDrawContext* frameContext = nullptr; // set while an expose draws
    CRect damage; // empty when nothing waits for the window
    unsigned long cursor = 0;
    PointerTracker pointer;
    bool focusFromKeys = false; // while Tab moves the focus
    bool focusShown = false;

private:
    // Shows the cursor for `shape` over the frame's window; the host's own for `host`.
    void showPointerShape(PointerShape shape);
    void dispatch(const _XEvent& event);
    void buttonPressed(const CPoint& where, unsigned int button, unsigned int state);
    void buttonReleased();
    void keyChanged(const _XEvent& event, bool down);
    // Hands an event of a pop-up window to it; false for any other window's.
    bool toPopup(const _XEvent& event);
    // Sizes the window and its back buffer for the frame's size at its scale.
    void fitWindow();
    // Makes the back buffer and the window's surface for the frame's present size.
    bool makeSurfaces();
    void freeSurfaces();
    void addDamage(const CRect& rect);
    // The pointer in the frame window's coordinates and the buttons and keys held.
    bool queryPointer(CPoint& where, unsigned int& state) const;
    void endGesture();

    struct Drag {
        std::unique_ptr<CEditGesture> gesture;
        CEditGesture::Move move;
        CEditGesture::Release release;
    };
    Drag drag;
    TypingField* typing = nullptr;
    GrabbedList* openList = nullptr;
    std::vector<OverrideWindow*> popups;
    std::int32_t lastModifiers = 0;
    float scale = 1;
};
