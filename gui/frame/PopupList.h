#pragma once
// A list of texts to choose one from, shown by the platform in a pop-up window just below a
// part of the frame (a control), above the host's windows. The mouse chooses by a click on an
// item; the keys by Up, Down, Home and End, then Enter; Escape and a click outside the list
// choose nothing. `ended` runs once, after the list has left the screen, with the index chosen
// or -1; the list may be destroyed inside it. Destroying an open list closes it without `ended`.
//
// On Windows the list is the system's pop-up menu, which holds the call until the user has
// chosen: `open` returns null there, after `ended` ran. On X11 it returns at once and the list
// lives on across the host's calls, with the pointer and the keyboard held for it.

#include "CRect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFrame;

class PopupList {
public:
    using Ended = std::function<void(std::int32_t chosen)>;

    // `under` is in the frame's coordinates; `current` is the item marked as chosen, -1 for
    // none. Null, without `ended`, when there is nothing to show or nowhere to show it.
    static std::unique_ptr<PopupList> open(CFrame& frame, const CRect& under, const std::vector<std::string>& items,
                                           std::int32_t current, Ended ended);
    virtual ~PopupList() = default;

    // The platform's own handle of the list's window, for tests.
    virtual void* nativeHandle() const = 0;

protected:
    PopupList() = default;
};
