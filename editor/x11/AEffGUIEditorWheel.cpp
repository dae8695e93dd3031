// The host's wheel opcode names no position: the wheel turns whatever lies under the pointer.

#include "AEffGUIEditor.h"

#include "CDrawContext.h"
#include "CFrame.h"

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CPoint where;
    if (!frame->getCurrentLocation(where)) return false;
    CDrawContext* context = frame->createDrawContext();
    const bool turned = frame->onWheel(context, where, distance);
    if (context) context->release();
    return turned;
}
