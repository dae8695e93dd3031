#pragma once
// The editor that bridges the host's editor opcodes to the view toolkit: it owns the editor
// rectangle, holds the frame while open, forwards keys and the wheel to it, paces an idle
// pump and relays edits from controls to the effect. A plug-in's editor derives from it,
// sets its rectangle in its constructor and builds its views in `open`.
//
// Every operation runs on the host's user-interface thread.

#include "AEffEditor.h"
#include "EditorScaling.h"
#include "HostRecords.h"

#include <cstdint>

class AudioEffect;
class CFrame;

class AEffGUIEditor : public AEffEditor, public EditorScaling {
public:
    // Attaches itself to `effect`, which owns it from then on and announces an editor.
    explicit AEffGUIEditor(AudioEffect* effect);
    // A frame still held is destroyed here; subclasses close theirs first.
    ~AEffGUIEditor() override;

    // The rectangle at the editor's scale: `rect` holds it at 1.
    bool getRect(ERect** rectPointer) override;                                     // 2
    void idle() override;                                                           // 6
    bool onKeyDown(VstKeyCode& keyCode) override;                                   // 7
    bool onKeyUp(VstKeyCode& keyCode) override;                                     // 8
    bool onWheel(float distance) override;                                          // 9
    bool setKnobMode(VstInt32 mode) override;                                       // 10

    virtual void setParameter(VstInt32 index, float value);                         // 11
    virtual void beginEdit(VstInt32 index);                                         // 12
    virtual void endEdit(VstInt32 index);                                           // 13
    // For controls busy for a long time: runs idle, one pending paint and the host's idle,
    // at most about every 100 ms.
    virtual void idlePump();                                                        // 14

    CFrame* getFrame() const { return frame; }

    // Factors from 0.5 to 4; an open editor resizes at once. Until a host gives one, the
    // frame takes the screen's.
    bool takeHostScale(float factor) override;
    // The host's factor, or 0 when it gave none.
    float getHostScale() const { return hostScale; }

protected:
    ERect rect{};
    std::uint32_t lastTicks = 0; // earliest tick count at which the idle pump runs again
    bool inIdlePump = false;
    CFrame* frame = nullptr; // owned while open

private:
    // `rect` in the host's pixels, which `getRect` hands out.
    ERect scaledRect{};
    float hostScale = 0;
    // Only a successful initialisation is undone: a host thread that lives in another
    // apartment keeps its own.
    bool oleInitialized = false;
};
