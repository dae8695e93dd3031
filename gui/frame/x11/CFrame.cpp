#include "CFrame.h"

#include "CControl.h"
#include "CDrawContext.h"
#include "GrabbedList.h"
#include "HostRecords.h"
#include "OverrideWindow.h"
#include "TypingField.h"
#include "WindowPixels.h"
#include "XErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr long kEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                         LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;

std::int32_t modifiersOf(unsigned int state) {
    std::int32_t modifiers = 0;
    if (state & ShiftMask) modifiers |= kShiftKey;
    if (state & ControlMask) modifiers |= kControlKey;
    if (state & Mod1Mask) modifiers |= kAltKey;
    return modifiers;
}

std::int32_t buttonsOf(unsigned int state) {
    std::int32_t buttons = modifiersOf(state);
    if (state & Button1Mask) buttons |= kLeftButton;
    if (state & Button2Mask) buttons |= kMiddleButton;
    if (state & Button3Mask) buttons |= kRightButton;
    return buttons;
}

std::uint8_t keyModifiersOf(unsigned int state) {
    std::uint8_t modifiers = 0;
    if (state & ShiftMask) modifiers |= MODIFIER_SHIFT;
    if (state & Mod1Mask) modifiers |= MODIFIER_ALTERNATE;
    if (state & ControlMask) modifiers |= MODIFIER_CONTROL;
    return modifiers;
}

std::uint8_t virtualKeyOf(KeySym symbol) {
    if (symbol >= XK_F1 && symbol <= XK_F12) return static_cast<std::uint8_t>(VKEY_F1 + (symbol - XK_F1));
    if (symbol >= XK_KP_0 && symbol <= XK_KP_9) return static_cast<std::uint8_t>(VKEY_NUMPAD0 + (symbol - XK_KP_0));
    switch (symbol) {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VKEY_TAB;
    case XK_Clear: return VKEY_CLEAR;
    case XK_Return: return VKEY_RETURN;
    case XK_Pause: return VKEY_PAUSE;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_space: return VKEY_SPACE;
    case XK_End: return VKEY_END;
    case XK_Home: return VKEY_HOME;
    case XK_Left: return VKEY_LEFT;
    case XK_Up: return VKEY_UP;
    case XK_Right: return VKEY_RIGHT;
    case XK_Down: return VKEY_DOWN;
    case XK_Page_Up: return VKEY_PAGEUP;
    case XK_Page_Down: return VKEY_PAGEDOWN;
    case XK_Select: return VKEY_SELECT;
    case XK_Print: return VKEY_PRINT;
    case XK_KP_Enter: return VKEY_ENTER;
    case XK_Insert: return VKEY_INSERT;
    case XK_Delete: return VKEY_DELETE;
    case XK_Help: return VKEY_HELP;
    case XK_KP_Multiply: return VKEY_MULTIPLY;
    case XK_KP_Add: return VKEY_ADD;
    case XK_KP_Separator: return VKEY_SEPARATOR;
    case XK_KP_Subtract: return VKEY_SUBTRACT;
    case XK_KP_Decimal: return VKEY_DECIMAL;
    case XK_KP_Divide: return VKEY_DIVIDE;
    case XK_Num_Lock: return VKEY_NUMLOCK;
    case XK_Scroll_Lock: return VKEY_SCROLL;
    case XK_Shift_L:
    case XK_Shift_R: return VKEY_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VKEY_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R: return VKEY_ALT;
    case XK_KP_Equal: return VKEY_EQUALS;
    default: return 0;
    }
}

unsigned int cursorShapeFor(std::int32_t type) {
    switch (type) {
    case 1: return XC_watch;
    case 2: return XC_sb_h_double_arrow;
    case 3: return XC_sb_v_double_arrow;
    case 4: return XC_fleur;
    case 5: return XC_bottom_left_corner;
    case 6: return XC_bottom_right_corner;
    case 8: return XC_X_cursor;
    case 9: return XC_hand2;
    default: return 0;
    }
}

unsigned int cursorShapeFor(PointerShape shape) {
    switch (shape) {
    case PointerShape::hand: return XC_hand2;
    case PointerShape::upDown: return XC_sb_v_double_arrow;
    case PointerShape::leftRight: return XC_sb_h_double_arrow;
    case PointerShape::textInsert: return XC_xterm;
    default: return 0;
    }
}

// The wheel's own axis is 1; buttons 6 and 7 turn the other one.
constexpr std::int32_t kHorizontalAxis = 0;

// The smallest rectangle holding both; an empty one holds nothing.
CRect united(const CRect& a, const CRect& b) {
    if (a.width() <= 0 || a.height() <= 0) return b;
    if (b.width() <= 0 || b.height() <= 0) return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

// The scale the desktop asks of its programs, as its font settings say it ("Xft.dpi"), or 0.
float desktopScale(Display* display) {
    const char* settings = XResourceManagerString(display);
    if (!settings) return 0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(settings);
    if (!database) return 0;
    char* type = nullptr;
    XrmValue value{};
    float scale = 0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        scale = static_cast<float>(std::atof(value.addr) / 96.0);
    }
    XrmDestroyDatabase(database);
    return scale >= 0.5f && scale <= 4.0f ? scale : 0;
}

} // namespace

CFrame::CFrame(const CRect& size, NativeWindow parentWindow, AEffGUIEditor* editor)
    : CViewContainer(size), parentWindow(parentWindow), editor(editor) {
    parentFrame = this;
    // The frame's back buffer is offscreen already; a second image of the whole editor would
    // only be one more copy of every pixel.
    drawOffscreen = false;
    // A host that sized its window before the editor opened saw it at 1x.
    if (parentWindow && createWindow() && hostScale() <= 0 && scale != 1) {
        hostSizesWindow(scaledCoordinate(size.width(), scale), scaledCoordinate(size.height(), scale));
    }
}

CFrame::~CFrame() {
    tips.dismiss();
    endGesture();
    if (typing) typing->cancel();
    // The views go while the frame is whole: a view's end may still ask its frame.
    if (modalView) CViewContainer::removeView(modalView, false);
    removeAll(true);
    freeSurfaces();
    if (!display) return;
    {
        // The host may have destroyed its window, and ours with it, already.
        XErrorTrap trap(display);
        if (cursor) XFreeCursor(display, cursor);
        if (frameWindow) XDestroyWindow(display, frameWindow);
    }
    XCloseDisplay(display);
}

bool CFrame::createWindow() {
    display = XOpenDisplay(nullptr);
    if (!display) return false;
    const float host = hostScale();
    const float desktop = host > 0 ? 0 : desktopScale(display);
    scale = host > 0 ? host : (desktop > 0 ? desktop : 1);
    XErrorTrap trap(display);
    XSetWindowAttributes attributes{};
    attributes.event_mask = kEvents;
    // Everything is painted from the back buffer; a background would flash before each copy.
    attributes.background_pixmap = None;
    frameWindow = XCreateWindow(display, parentWindow, 0, 0, static_cast<unsigned>(scaledCoordinate(size.width(), scale)),
                                static_cast<unsigned>(scaledCoordinate(size.height(), scale)), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWEventMask | CWBackPixmap, &attributes);
    if (!trap.succeeded() || !makeSurfaces()) {
        if (frameWindow) XDestroyWindow(display, frameWindow);
        frameWindow = 0;
        freeSurfaces();
        return false;
    }
    XMapWindow(display, frameWindow);
    XFlush(display);
    return true;
}

bool CFrame::makeSurfaces() {
    pixels = WindowPixels::make(display, frameWindow, scaledCoordinate(size.width(), scale),
                                scaledCoordinate(size.height(), scale));
    return pixels != nullptr;
}

void CFrame::freeSurfaces() { pixels.reset(); }

CDrawContext* CFrame::createDrawContext() {
    if (frameContext) {
        frameContext->retain();
        return frameContext;
    }
    if (!pixels) return nullptr;
    pixels->settle();
    return new (std::nothrow) CDrawContext(this, pixels->surface());
}

bool CFrame::queryPointer(CPoint& where, unsigned int& state) const {
    if (!display || !frameWindow) return false;
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    if (!XQueryPointer(display, frameWindow, &root, &child, &rootX, &rootY, &x, &y, &state)) return false;
    where = CPoint(x, y);
    return true;
}

std::int32_t CFrame::heldButtons() const {
    CPoint where;
    unsigned int state = 0;
    return queryPointer(where, state) ? buttonsOf(state) : 0;
}

bool CFrame::open(void*) { return false; }

bool CFrame::close() {
    if (!getOpenFlag() || !parentWindow) return false;
    parentWindow = 0;
    return true;
}

void CFrame::addDamage(const CRect& rect) {
    CRect bounded = rect;
    bounded.bound(CRect(0, 0, size.width(), size.height()));
    damage = united(damage, bounded);
}

void CFrame::idle() {
    if (!display || !frameWindow) return;
    handlePendingEvents();
    tips.idle(*this);
    if (!getOpenFlag() || !pixels || getUpdatesDisabled()) {
        XFlush(display);
        return;
    }
    CDrawContext* context = createDrawContext();
    if (context) {
        if (firstDraw) {
            drawRect(context, CRect(0, 0, size.width(), size.height()));
            addDamage(CRect(0, 0, size.width(), size.height()));
        } else if (isDirty()) {
            if (dirty) addDamage(CRect(0, 0, size.width(), size.height()));
            for (CViewListEntry* entry = firstEntry; entry; entry = entry->next) {
                CRect area;
                if (entry->view->isDirty()) addDamage(entry->view->getViewSize(area));
            }
            update(context);
        }
        if (typing) {
            typing->draw(context);
            addDamage(typing->area());
        }
        context->release();
    }
    flushDamage();
}

void CFrame::flushDamage() {
    if (pixels && frameWindow) pixels->copy(scaledRect(damage, scale));
    damage = CRect();
    XFlush(display);
}

void CFrame::handlePendingEvents() {
    while (display && frameWindow && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        dispatch(event);
    }
}

void CFrame::removePopup(OverrideWindow* popup) {
    popups.erase(std::remove(popups.begin(), popups.end(), popup), popups.end());
}

bool CFrame::toPopup(const XEvent& event) {
    const auto found = std::find_if(popups.begin(), popups.end(),
                                    [&](const OverrideWindow* popup) { return popup->id() == event.xany.window; });
    if (found == popups.end()) return false;
    // Keys go the way the host's own keys go, so that both reach the open list alike.
    if (event.type == KeyPress || event.type == KeyRelease) keyChanged(event, event.type == KeyPress);
    else (*found)->handle(event);
    // A list that grabbed the pointer as it opened takes the release of the press that opened it.
    if (event.type == ButtonRelease && event.xbutton.button == Button1) pointerReleased();
    return true;
}

void CFrame::dispatch(const XEvent& event) {
    if (pixels && pixels->takes(event)) return;
    if (toPopup(event)) return;
    // A pop-up closed since the server queued its events: their coordinates are the pop-up's,
    // and a press or a move among them would land on whatever control lies at those numbers.
    if (event.xany.window != frameWindow) return;
    switch (event.type) {
    case Expose:
        addDamage(coveringRect(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                     event.xexpose.y + event.xexpose.height),
                               scale));
        break;
    case ButtonPress:
        buttonPressed(unscaledPoint(CPoint(event.xbutton.x, event.xbutton.y), scale), event.xbutton.button,
                      event.xbutton.state);
        break;
    case ButtonRelease:
        if (event.xbutton.button == Button1) pointerReleased();
        if (event.xbutton.button <= Button3) buttonReleased();
        break;
    case MotionNotify: {
        if (!drag.gesture) {
            pointerMoved(unscaledPoint(CPoint(event.xmotion.x, event.xmotion.y), scale));
            break;
        }
        // Only the newest position matters; older ones would only slow the drag down.
        XEvent newest = event;
        while (XCheckTypedWindowEvent(display, frameWindow, MotionNotify, &newest)) {}
        CPoint where = unscaledPoint(CPoint(newest.xmotion.x, newest.xmotion.y), scale);
        drag.gesture->getControl().frameToLocal(where);
        drag.move(*drag.gesture, where, modifiersOf(newest.xmotion.state));
        break;
    }
    case EnterNotify: pointerMoved(unscaledPoint(CPoint(event.xcrossing.x, event.xcrossing.y), scale)); break;
    case LeaveNotify:
        if (event.xcrossing.detail != NotifyInferior) pointerLeft();
        break;
    case KeyPress: keyChanged(event, true); break;
    case KeyRelease: keyChanged(event, false); break;
    case FocusOut:
        // Taking the focus from the pointer's window (ours) says so too, as do grabs: only a
        // real move of the focus elsewhere ends the typing.
        if (typing && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyPointer &&
            event.xfocus.detail != NotifyInferior) {
            typing->cancel();
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == frameWindow) {
            frameWindow = 0;
            freeSurfaces();
        }
        break;
    default: break;
    }
}

void CFrame::buttonPressed(const CPoint& where, unsigned int button, unsigned int state) {
    if (button >= 4 && button <= 7) {
        const float distance = (button == 4 || button == 6) ? 1.0f : -1.0f;
        CDrawContext* context = createDrawContext();
        if (button <= 5) onWheel(context, where, distance);
        else onWheel(context, where, kHorizontalAxis, distance);
        if (context) context->release();
        return;
    }
    // A press while a drag goes on means its release was lost (outside any window of ours).
    endGesture();
    if (typing && typing->takesClickAt(where)) return;
    if (button == Button1) pointerPressed(where);
    std::int32_t buttons = modifiersOf(state);
    if (button == Button1) buttons |= kLeftButton;
    else if (button == Button2) buttons |= kMiddleButton;
    else if (button == Button3) buttons |= kRightButton;
    CDrawContext* context = createDrawContext();
    mouse(context, where, buttons);
    if (context) context->release();
}

void CFrame::buttonReleased() { endGesture(); }

void CFrame::followGesture(std::unique_ptr<CEditGesture> gesture, CEditGesture::Move move,
                           CEditGesture::Release release) {
    endGesture();
    drag = Drag{std::move(gesture), std::move(move), std::move(release)};
    // Called outside a real press (a test's or a host's own call): nothing will ever come up.
    if (!(heldButtons() & (kLeftButton | kMiddleButton | kRightButton))) endGesture();
}

void CFrame::endGesture() {
    if (!drag.gesture) return;
    Drag ending = std::move(drag);
    drag = Drag{};
    if (ending.release) ending.release(*ending.gesture);
}

void CFrame::keyChanged(const XEvent& event, bool down) {
    XKeyEvent copy = event.xkey;
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&copy, text, sizeof text, &symbol, nullptr);
    VstKeyCode key{};
    key.virt = virtualKeyOf(symbol);
    key.character = (length == 1 && key.virt == 0) ? static_cast<unsigned char>(text[0]) : 0;
    key.modifier = keyModifiersOf(event.xkey.state);
    if (down) onKeyDown(key);
    else onKeyUp(key);
}

void CFrame::takeKeyboard(bool take) {
    if (!display || !frameWindow) return;
    XErrorTrap trap(display);
    const Window to = take ? frameWindow : parentWindow;
    if (to) XSetInputFocus(display, to, RevertToParent, CurrentTime);
    XFlush(display);
}

bool CFrame::typingTakes(const VstKeyCode& keyCode, bool down) {
    // While typing or choosing, key releases belong to the field or the list too.
    if (typing) return down ? typing->key(keyCode) : true;
    if (openList) return down ? openList->key(keyCode) : true;
    return false;
}

bool CFrame::setPosition(std::int32_t, std::int32_t) { return false; }

bool CFrame::getPosition(std::int32_t& x, std::int32_t& y) const {
    if (!getOpenFlag() || !display || !parentWindow) return false;
    XErrorTrap trap(display);
    XWindowAttributes parent{};
    if (!XGetWindowAttributes(display, parentWindow, &parent) || !trap.succeeded()) return false;
    x = parent.x;
    y = parent.y;
    return true;
}

bool CFrame::setSize(std::int32_t width, std::int32_t height) {
    if (!getOpenFlag() || !display || !frameWindow) return false;
    if (width == size.width() && height == size.height()) return false;
    CViewContainer::setViewSize(CRect(size.left, size.top, size.left + width, size.top + height));
    fitWindow();
    return true;
}

void CFrame::fitWindow() {
    const std::int32_t pixelWidth = scaledCoordinate(size.width(), scale);
    const std::int32_t pixelHeight = scaledCoordinate(size.height(), scale);
    hostSizesWindow(pixelWidth, pixelHeight);
    XResizeWindow(display, frameWindow, static_cast<unsigned>(pixelWidth), static_cast<unsigned>(pixelHeight));
    freeSurfaces();
    makeSurfaces();
    firstDraw = true;
}

void CFrame::applyScale() {
    // The list's window keeps the pixels it opened with, while its clicks and its drawing would
    // read the new scale: a click would choose another row than the one under it.
    if (openList) openList->cancel();
    if (!getOpenFlag() || !display || !frameWindow) return;
    scaleChanged();
    fitWindow();
}

bool CFrame::getSize(CRect& rect) const {
    if (!getOpenFlag() || !display || !parentWindow) return false;
    XErrorTrap trap(display);
    XWindowAttributes parent{};
    if (!XGetWindowAttributes(display, parentWindow, &parent) || !trap.succeeded()) return false;
    rect = CRect(parent.x, parent.y, parent.x + parent.width, parent.y + parent.height);
    return true;
}

bool CFrame::getCurrentLocation(CPoint& point) {
    unsigned int state = 0;
    if (!queryPointer(point, state)) return false;
    point = unscaledPoint(point, scale);
    return true;
}

void CFrame::setCursor(std::int32_t type) {
    if (!display || !frameWindow) return;
    if (cursor) XFreeCursor(display, cursor);
    cursor = 0;
    const unsigned int shape = cursorShapeFor(type);
    if (shape) {
        cursor = XCreateFontCursor(display, shape);
        XDefineCursor(display, frameWindow, cursor);
    } else {
        XUndefineCursor(display, frameWindow);
    }
    XFlush(display);
}

void CFrame::showPointerShape(PointerShape shape) {
    const unsigned int font = cursorShapeFor(shape);
    if (!font) {
        // Undefined, the window shows its parent's cursor: the host's.
        setCursor(0);
        return;
    }
    if (!display || !frameWindow) return;
    if (cursor) XFreeCursor(display, cursor);
    cursor = XCreateFontCursor(display, font);
    XDefineCursor(display, frameWindow, cursor);
    XFlush(display);
}

// Drag and drop from the desktop is not offered on X11 yet.
bool CFrame::setDropActive(bool) { return false; }

bool CFrame::isDropActive() const { return false; }

void CFrame::viewDrawn(const CView& view) {
    CRect area;
    addDamage(view.getViewSize(area));
    flushDamage();
}
