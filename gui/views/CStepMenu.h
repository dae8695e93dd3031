#pragma once
// A control of N named steps that shows the current step's name and lets the user pick another
// from a list that pops up below it, over the host's windows. The value steps evenly from the
// minimum (the first item) to the maximum (the last), as a step switch's does. A click opens the
// list; an item is chosen by a click or by the keys (Up, Down, Home, End, then Enter; Escape
// chooses nothing). With the keyboard's focus, Enter or Space opens the list, and Down and Up
// go to the next and the previous item without it. Each choice that changes the value is one
// edit for the host.

#include "CColor.h"
#include "CControl.h"
#include "CFontId.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PopupList;

class CStepMenu : public CControl {
public:
    // The items are the steps' names, the first for the minimum.
    CStepMenu(const CRect& size, std::vector<std::string> items, CControlListener* listener = nullptr,
              std::int32_t tag = 0);
    ~CStepMenu() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons = -1) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool isTypeOf(const char* className) const override;

    void setItems(std::vector<std::string> texts);
    const std::vector<std::string>& getItems() const { return items; }
    void setColors(CColor back, CColor text);
    void setFont(CFontId id);
    // The item the value stands nearest to, 0 to the number of items - 1.
    std::int32_t position() const;
    // The open list's window as the platform knows it, null while none is open.
    void* getListWindow() const;

private:
    void open();
    void choose(std::int32_t item);
    float valueOf(std::int32_t item) const;
    std::int32_t lastItem() const { return static_cast<std::int32_t>(items.size()) - 1; }

    std::vector<std::string> items;
    std::unique_ptr<PopupList> list;
    CColor backColor{40, 40, 48, 255};
    CColor textColor{255, 255, 255, 255};
    CFontId font = kFontNormal;
};
