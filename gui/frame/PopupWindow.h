#pragma once
// A small window of the editor's own above every other window of the host: placed in the
// frame's coordinates, but a top-level window, so neither the frame nor the host's windows clip
// it. It shows what its painter draws; of itself it takes neither the keyboard's focus nor the
// mouse's clicks from the host.

#include "CRect.h"

#include <functional>
#include <memory>

class CDrawContext;
class CFrame;

class PopupWindow {
public:
    // Draws the whole window; `area` is the window's own rectangle, from (0, 0).
    using Paint = std::function<void(CDrawContext* context, const CRect& area)>;

    // `where` is in the frame's coordinates and may lie outside the frame; null when the frame
    // has no window.
    static std::unique_ptr<PopupWindow> open(CFrame& frame, const CRect& where, Paint paint);
    virtual ~PopupWindow() = default;

    // The platform's own handle of the window, for tests.
    virtual void* nativeHandle() const = 0;

protected:
    PopupWindow() = default;
};
