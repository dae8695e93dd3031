// The frame's calls into its editor and the editor's effect. They are built with the editor
// bridge, not with the toolkit, so that the toolkit compiles without the bridge's headers; a
// frame is only ever linked together with the bridge.
#include "AEffGUIEditor.h"
#include "AudioEffectX.h"
#include "CFrame.h"

void CFrame::editorIdle() {
    if (editor) editor->idlePump();
}

bool CFrame::hostSizesWindow(std::int32_t width, std::int32_t height) {
    if (!editor) return false;
    // Only an extended effect can ask its host; the frame sizes the windows for any other.
    auto* effect = dynamic_cast<AudioEffectX*>(editor->getEffect());
    if (!effect) return false;
    char capability[] = "sizeWindow";
    return effect->canHostDo(capability) && effect->sizeWindow(width, height);
}

void CFrame::beginEdit(std::int32_t index) {
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(std::int32_t index) {
    if (editor) editor->endEdit(index);
}

float CFrame::hostScale() const { return editor ? editor->getHostScale() : 0; }
