// The host's wheel opcode names no position: the wheel turns whatever lies under the cursor.

#include "AEffGUIEditor.h"

#include "CDrawContext.h"
#include "CFrame.h"

#include <windows.h>

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CDrawContext context(frame, nullptr, static_cast<HWND>(systemWindow));
    POINT cursor{};
    GetCursorPos(&cursor);
    const CPoint where = unscaledPoint(
        CPoint(cursor.x - context.screenOffset.h, cursor.y - context.screenOffset.v), frame->getScale());
    return frame->onWheel(&context, where, distance);
}
