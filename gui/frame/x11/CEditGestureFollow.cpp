// On X11 the frame follows a drag across the host's calls, one motion event at a time, so the
// host's own loop never waits for the button to come up.

#include "CControl.h"
#include "CEditGesture.h"
#include "CFrame.h"

void CEditGesture::follow(std::unique_ptr<CEditGesture> gesture, Move move, Release release) {
    if (!gesture) return;
    CFrame* frame = gesture->getControl().getParentFrame();
    if (!frame || !frame->getSystemWindow()) {
        if (release) release(*gesture);
        return;
    }
    frame->followGesture(std::move(gesture), std::move(move), std::move(release));
}
