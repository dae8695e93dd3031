#pragma once
// The strip's editor: a background image with a knob for the gain and a field to type it,
// faders for balance and width, mute and dim buttons, and a switch for the input, every one
// drawn from the plug-in's own images and bound to its parameter.

#include "CRect.h"
#include "ParameterEditor.h"

class CBitmap;
class CTextLabel;
class CViewContainer;
class StripEffect;

class StripEditor : public ParameterEditor {
public:
    static constexpr std::int16_t kWidth = 400;
    static constexpr std::int16_t kHeight = 220;

    explicit StripEditor(StripEffect* effect);
    ~StripEditor() override;

    // False when the frame cannot be made; nothing is left open then. A missing image leaves
    // its control in its plain drawing.
    bool open(void* window) override;

private:
    CTextLabel* addLabel(const CRect& where, const char* text);
    void addDisplays();
    void addControls(CBitmap* background);

    CViewContainer* panel = nullptr; // owned by the frame while open
    StripEffect* strip;
    CControl* gainDial = nullptr; // owned by the panel while open
};
