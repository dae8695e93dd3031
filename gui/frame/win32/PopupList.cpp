// The list is the system's own pop-up menu: it stays whole on the screen, follows the user's
// settings, and reads the keys itself, while `TrackPopupMenu` holds the call.

#include "PopupList.h"

#include "CFrame.h"
#include "Drawing.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace {

struct MenuRelease {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuRelease>;


// A menu takes "&" as the mark of the key that chooses an item; "&&" is one shown as it is.
std::string asMenuText(const std::string& text) {
    std::string shown;
    for (const char character : text) {
        if (character == '&') shown += '&';
        shown += character;
    }
    return shown;
}

} // namespace

std::unique_ptr<PopupList> PopupList::open(CFrame& frame, const CRect& under, const std::vector<std::string>& items,
                                           std::int32_t current, Ended ended) {
    HWND owner = frame.getSystemWindow();
    if (!owner || items.empty()) return nullptr;
    Menu menu(CreatePopupMenu());
    if (!menu) return nullptr;
    for (std::size_t item = 0; item < items.size(); ++item) {
        const UINT checked = static_cast<std::int32_t>(item) == current ? MF_CHECKED : MF_UNCHECKED;
        // Identifiers from 1: the menu answers 0 for no choice.
        AppendMenuA(menu.get(), MF_STRING | checked, item + 1, asMenuText(items[item]).c_str());
    }
    const CRect pixels = scaledRect(under, frame.getScale());
    POINT corner{pixels.left, pixels.bottom};
    ClientToScreen(owner, &corner);
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    const auto chosen = static_cast<std::int32_t>(TrackPopupMenu(menu.get(), flags, corner.x, corner.y, 0, owner, nullptr));
    menu.reset();
    if (ended) ended(chosen - 1);
    return nullptr;
}
