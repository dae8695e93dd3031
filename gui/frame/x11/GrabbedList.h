#pragma once
// The list chosen from on X11, the toolkit's own: rows of text in an override-redirect window
// under the control, or above it where the screen has no room below, one row lit. The window
// holds the pointer and the keyboard while it shows, so a click anywhere on the screen reaches
// it: outside the list it ends the list, choosing nothing. The host's keys reach it too, through
// the frame.

#include "OverrideWindow.h"
#include "PopupList.h"

#include <memory>

struct VstKeyCode;

class GrabbedList final : public PopupList, private OverrideWindow::Input {
public:
    GrabbedList(CFrame& frame, std::vector<std::string> items, std::int32_t current, Ended ended);
    ~GrabbedList() override;

    // Shows the list under `under` (the frame's coordinates), or above it near the screen's
    // bottom, and takes the pointer and the keyboard; false when it could not.
    bool show(const CRect& under);
    void* nativeHandle() const override { return window ? window->nativeHandle() : nullptr; }
    // Every key is the list's while it is open; it may have ended (and been destroyed) after.
    bool key(const VstKeyCode& key);
    // Closes the list choosing nothing, as Escape does; it may have been destroyed after.
    void cancel() { finish(-1); }

private:
    void moved(const CPoint& where) override;
    void pressed(const CPoint& where, bool inside) override;
    void released(const CPoint& where) override;
    void paint(CDrawContext* context, const CRect& area) const;
    // The row under `where`, -1 for none.
    std::int32_t rowAt(const CPoint& where) const;
    void light(std::int32_t row);
    void finish(std::int32_t chosen);

    CFrame& frame;
    std::vector<std::string> items;
    std::int32_t current;
    std::int32_t lit;
    CRect rows; // in the window's coordinates
    Ended ended;
    std::unique_ptr<OverrideWindow> window;
};
