#pragma once
// A one-line field for typing, laid by the platform over a part of the frame: it opens holding
// a text, all of it selected, with the keyboard's focus. Enter ends it applying what was typed;
// Escape and losing the focus end it without. `ended` runs once, after the field has left the
// screen; the field may be destroyed from inside it. Destroying an open field closes it
// without `ended`.

#include "CRect.h"

#include <functional>
#include <memory>

class CFrame;

class TextField {
public:
    using Ended = std::function<void(bool apply, const char* text)>;

    // `where` is in the frame's coordinates; null when the frame has no window to hold it.
    static std::unique_ptr<TextField> open(CFrame& frame, const CRect& where, const char* text, Ended ended);
    virtual ~TextField() = default;

    // The platform's own handle of the field (the edit window on Windows), for tests.
    virtual void* nativeHandle() const = 0;

protected:
    TextField() = default;
};
