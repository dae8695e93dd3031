#include "AEffEditor.h"

bool AEffEditor::getRect(ERect** rectPointer) {
    *rectPointer = nullptr;
    return false;
}

bool AEffEditor::open(void* window) {
    systemWindow = window;
    return false;
}

bool AEffEditor::onKeyDown(VstKeyCode&) { return false; }

bool AEffEditor::onKeyUp(VstKeyCode&) { return false; }

bool AEffEditor::onWheel(float) { return false; }

bool AEffEditor::setKnobMode(VstInt32) { return false; }
