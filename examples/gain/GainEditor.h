#pragma once
// The gain's editor: a panel inside the frame holding a title, the fader and the value in dB.
// Fader edits reach the host as one automated edit; host automation moves the fader at the
// next idle call.

#include "AEffGUIEditor.h"
#include "CControlListener.h"

class CParamDisplay;
class CTextLabel;
class CViewContainer;
class GainEffect;
class CFader;

class GainEditor : public AEffGUIEditor, public CControlListener {
public:
    static constexpr std::int16_t kWidth = 320;
    static constexpr std::int16_t kHeight = 120;

    explicit GainEditor(GainEffect* effect);
    ~GainEditor() override;

    // False when the frame or a view cannot be made; nothing is left open then.
    bool open(void* window) override;
    void close() override;
    // Shows the parameter's value when the host changed it, then redraws what is dirty.
    void idle() override;
    // Moves the fader and the value to `value`; the host is not told.
    void setParameter(VstInt32 index, float value) override;

    void valueChanged(CDrawContext* context, CControl* control) override;

    CFader* getFader() const { return fader; }
    CParamDisplay* getDisplay() const { return display; }

private:
    bool buildViews();

    GainEffect* gain;
    // Owned by the frame; meaningful only while open.
    CViewContainer* panel = nullptr;
    CFader* fader = nullptr;
    CParamDisplay* display = nullptr;
};
