#pragma once
// The gain's editor: a panel inside the frame holding a title, the fader and the value in dB,
// both bound to the gain parameter.

#include "ParameterEditor.h"

class GainEffect;

class GainEditor : public ParameterEditor {
public:
    static constexpr std::int16_t kWidth = 320;
    static constexpr std::int16_t kHeight = 120;

    explicit GainEditor(GainEffect* effect);
    ~GainEditor() override;

    // False when the frame or a view cannot be made; nothing is left open then.
    bool open(void* window) override;

private:
    bool buildViews();

    GainEffect* gain;
};
