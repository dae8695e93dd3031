// The editor base that the frame calls, defined here for the frame tests only: the frame
// needs an editor to forward edits, idle and the effect's resize to, and the editor itself is
// built later. Behaviour follows the editor's own rules where the frame can reach it.
#include "AEffGUIEditor.h"

#include "AudioEffectX.h"
#include "CFrame.h"

#include <ole2.h>

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    lastTicks = GetTickCount();
    if (effect) effect->setEditor(this);
    OleInitialize(nullptr);
}

AEffGUIEditor::~AEffGUIEditor() { OleUninitialize(); }

bool AEffGUIEditor::getRect(ERect** rectPointer) {
    if (!rectPointer) return false;
    *rectPointer = &rect;
    return true;
}

void AEffGUIEditor::idle() {
    if (!inIdlePump && frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyCode) == 1; }

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::onWheel(float) { return false; }

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (effect) static_cast<AudioEffectX*>(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (effect) static_cast<AudioEffectX*>(effect)->endEdit(index);
}

void AEffGUIEditor::idlePump() {
    idle();
    if (effect) effect->hostIdle();
}
