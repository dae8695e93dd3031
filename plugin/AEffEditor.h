#pragma once
// The editor interface the dispatchers reach editors through. Editor operations are called
// on the host's user-interface thread only.

#include "AEffect.h"
#include "HostRecords.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    // Stores the address of the editor's rectangle through `rectPointer`; the base has none.
    virtual bool getRect(ERect** rectPointer);
    // Opens the editor inside the host's `window`.
    virtual bool open(void* window);
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    // Key handlers answer true when the key was used.
    virtual bool onKeyDown(VstKeyCode& keyCode);
    virtual bool onKeyUp(VstKeyCode& keyCode);
    virtual bool onWheel(float distance);
    virtual bool setKnobMode(VstInt32 mode);

    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

protected:
    AudioEffect* effect;          // owns this editor
    void* systemWindow = nullptr; // the host's window while open
};
