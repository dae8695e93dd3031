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

#include <cstdint>
#include <memory>

class AEffGUIEditor;
class CDrawContext;
class COffscreenContext;
class TypingField;

// The host's window as the editor receives it inside a pointer: an X11 window id.
using NativeWindow = unsigned long;
inline NativeWindow toNativeWindow(void* pointer) {
    return static_cast<NativeWindow>(reinterpret_cast<std::uintptr_t>(pointer));
}

struct _XDisplay;
struct _XGC;
union _XEvent;

// Written by any editor's `setKnobMode`, answered by every frame.
extern std::int32_t knobMode;

class CFrame : public CViewContainer {
public:
    // `parentWindow` is the host's window or 0; `editor` may be null.
    CFrame(const CRect& size, NativeWindow parentWindow, AEffGUIEditor* editor);
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

    // A context on the frame's back buffer for drawing outside an expose; what it draws
    // reaches the window at the next idle. The caller releases it; null without a window.
    CDrawContext* createDrawContext();
    NativeWindow getSystemWindow() const { return frameWindow; }
    _XDisplay* getDisplay() const { return display; }
    // The mouse buttons and modifier keys held right now, as `kLeftButton` ... `kAltKey`.
    std::int32_t heldButtons() const;
    // Called by any container of this frame for a view it removes: the modal and the focus
    // view must not outlive their place in the frame.
    void viewRemoved(CView* view);

    // Takes over a drag: `move` for each motion of the mouse, `release` and the gesture's end
    // when its button comes up.
    void followGesture(std::unique_ptr<CEditGesture> gesture, CEditGesture::Move move, CEditGesture::Release release);
    // The field being typed into gets the keys and the clicks first; null to give them back
    // to the views.
    void setTextField(TypingField* field) { typing = field; }
    // Keys go to the frame's window while true, back to the host's window after.
    void takeKeyboard(bool take);

    // A key for the field being typed into, from the host or the window: true when taken.
    bool typingTakes(const VstKeyCode& keyCode, bool down);

    // Cleared by `close`.
    NativeWindow parentWindow;

protected:
    bool createWindow();
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
    _XDisplay* display = nullptr;
    NativeWindow frameWindow = 0;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* frameContext = nullptr; // set while an expose draws
    _XGC* copier = nullptr; // copies the back buffer to the window
    CRect damage; // empty when nothing waits for the window
    unsigned long cursor = 0;

private:
    void dispatch(const _XEvent& event);
    void buttonPressed(const CPoint& where, unsigned int button, unsigned int state);
    void buttonReleased();
    void keyChanged(const _XEvent& event, bool down);
    // Makes the back buffer and the window's surface for the frame's present size.
    bool makeSurfaces();
    void freeSurfaces();
    void addDamage(const CRect& rect);
    void endGesture();

    struct Drag {
        std::unique_ptr<CEditGesture> gesture;
        CEditGesture::Move move;
        CEditGesture::Release release;
    };
    Drag drag;
    TypingField* typing = nullptr;
    std::int32_t lastModifiers = 0;
};
