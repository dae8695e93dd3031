#pragma once
// The plug-in's editor: a 512 by 256 window holding one text label that shows a number
// growing by one on every idle call. The count is shared by every editor in the process.

#include "AEffGUIEditor.h"
#include "CControlListener.h"

#include <cstdint>

class CTextLabel;

class Lanter5 : public AEffGUIEditor, public CControlListener {
public:
    static constexpr std::int16_t kWidth = 512;
    static constexpr std::int16_t kHeight = 256;

    explicit Lanter5(AudioEffect* effect);
    // Closes an editor the host left open.
    ~Lanter5() override;

    // Opens in the host's `window`; an editor already open is closed first, so its frame is
    // not left behind. False when the frame or the label cannot be made.
    bool open(void* window) override;
    void close() override;
    // Lets the frame redraw what is dirty, then writes the next count into the label, which
    // the following idle call shows. While closed it does nothing, not even count.
    void idle() override;

    void valueChanged(CDrawContext* context, CControl* control) override;

    CTextLabel* getLabel() const { return label; }

    // The next number to show; process-wide and never reset.
    static std::int32_t getIdleCounter();
    static void setIdleCounter(std::int32_t value);

private:
    CTextLabel* label = nullptr; // owned by the frame; meaningful only while open
};
