#include "CValueEntry.h"

#include "ControlInFrame.h"

#include <cstdlib>
#include <limits>

namespace {

struct ValueEntryTest : ControlInFrame {
    ValueEntryTest() {
        entry = place(new CValueEntry(CRect(10, 10, 80, 30), &journal, 11));
        entry->setValue(0.5f);
    }

    // Clicks the field, types `text` into the box it opens and ends with `key`; the box must be
    // gone after.
    void type(const char* text, WPARAM key) {
        press({40, 30});
        auto box = static_cast<HWND>(entry->getEditBox());
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(GetParent(box), window);
        SetWindowTextA(box, text);
        SendMessageA(box, WM_KEYDOWN, key, 0);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_EQ(entry->getEditBox(), nullptr);
    }

    CValueEntry* entry = nullptr;
};

TEST_F(ValueEntryTest, EnterAppliesTheTypedValueAsOneEdit) {
    press({40, 30});
    auto box = static_cast<HWND>(entry->getEditBox());
    ASSERT_NE(box, nullptr);
    char shown[32] = {};
    GetWindowTextA(box, shown, sizeof shown);
    EXPECT_STREQ(shown, "0.50");
    RECT area{};
    GetWindowRect(box, &area);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 20);
    EXPECT_EQ(area.top, 20);
    EXPECT_EQ(GetFocus(), box);
    SetWindowTextA(box, " 0.25 ");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(journal.values, (std::vector<float>{0.25f}));
    EXPECT_EQ(editor.edits, (std::vector<std::string>{"begin11", "end11"}));

    // Out of range: the nearest end.
    type("7", VK_RETURN);
    EXPECT_EQ(entry->getValue(), 1.0f);
}

TEST_F(ValueEntryTest, BadTextEscapeAndLosingTheFocusChangeNothing) {
    type("abc", VK_RETURN);
    type("0.25x", VK_RETURN);
    type("", VK_RETURN);
    type("0.9", VK_ESCAPE);
    press({40, 30});
    auto box = static_cast<HWND>(entry->getEditBox());
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "0.9");
    SetFocus(host.get());
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(entry->getValue(), 0.5f);
    EXPECT_TRUE(journal.values.empty());
    EXPECT_TRUE(editor.edits.empty());
}

// Percent, as a plug-in's own conversion might read it; anything else is no value.
void fromPercent(const char* text, float& value, void*) {
    char* end = nullptr;
    const float percent = std::strtof(text, &end);
    if (end != text && *end == '%') value = percent / 100.0f;
}

TEST_F(ValueEntryTest, TabAndEnterOpenItFromTheKeyboard) {
    VstKeyCode tab{0, VKEY_TAB, 0}, enter{0, VKEY_RETURN, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->onKeyDown(enter), 1);
    auto box = static_cast<HWND>(entry->getEditBox());
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "0.25");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(journal.values, (std::vector<float>{0.25f}));
}

TEST_F(ValueEntryTest, ThePluginsOwnConversionReadsTheText) {
    entry->setReverseConvert(fromPercent);
    type("75%", VK_RETURN);
    EXPECT_FLOAT_EQ(entry->getValue(), 0.75f);
    type("0.25", VK_RETURN);
    EXPECT_FLOAT_EQ(entry->getValue(), 0.75f);
    EXPECT_EQ(editor.edits.size(), 2u);
}

} // namespace
