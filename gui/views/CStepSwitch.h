#pragma once
// A switch of N positions, its value stepping evenly from the minimum (the first position) to
// the maximum (the last). A press moves it to the next position, after the last back to the
// first, or, as chosen, to the position under the mouse: the positions lie side by side along
// the switch's longer side. Drawn from an image of N frames of the switch's own size stacked
// downwards when given, else as N cells with the current one lit, each with its caption when
// given.

#include "CColor.h"
#include "CControl.h"
#include "CFontId.h"
#include "CTextFont.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CBitmap;

class CStepSwitch : public CControl {
public:
    enum class Press { next, underMouse };

    CStepSwitch(const CRect& size, std::int32_t positions, CControlListener* listener = nullptr,
                std::int32_t tag = 0, Press press = Press::next);
    ~CStepSwitch() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    // Focused, Up and Right go one position on, Down and Left one back, never past the ends;
    // other keys go back.
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    void setColors(CColor cell, CColor lit);
    // One reference is held; null goes back to the cells.
    void setImage(CBitmap* frames);
    // A caption centred in each cell, the first for the first position; missing ones stay empty.
    void setCaptions(std::vector<std::string> texts, CFontId font = kFontSmall, CColor colour = kColorWhite);
    // The same in a font of the plug-in's or the system's.
    void setCaptions(std::vector<std::string> texts, const CTextFont& font, CColor colour = kColorWhite);
    // The position the value stands nearest to, 0 to positions - 1.
    std::int32_t position() const;
    std::int32_t getPositions() const { return positions; }

private:
    float valueOf(std::int32_t position) const;
    CRect cell(std::int32_t position) const;

    std::int32_t positions;
    Press press;
    CBitmap* image = nullptr;
    CColor cellColor{60, 60, 70, 255};
    CColor litColor{255, 160, 0, 255};
    std::vector<std::string> captions;
    CFontId captionFont = kFontSmall;
    std::optional<CTextFont> captionTextFont; // in place of captionFont when set
    CColor captionColor{255, 255, 255, 255};
};
