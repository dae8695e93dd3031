// The editor as a host meets it: the plug-in library loaded, its entry point called, and the
// editor driven only through the effect record's dispatcher.
#include "CControl.h"
#include "CDrawContext.h"
#include "CTextLabel.h"
#include "EditorTestSupport.h"
#include "Opcodes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const RECT kLabelArea{16, 16, 96, 41};

using EntryPoint = AEffect*(VST_CALL*)(HostCallback);

// The plug-in library, which the build puts next to this program.
class PluginLibrary {
public:
    PluginLibrary() {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, sizeof path);
        std::string directory(path);
        directory.erase(directory.find_last_of("\\/") + 1);
        module = LoadLibraryA((directory + "Lanter5.dll").c_str());
        if (!module) return;
        // Through a plain pointer: the export's real type is known only to us.
        const auto address = reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain"));
        entry = reinterpret_cast<EntryPoint>(address);
    }
    ~PluginLibrary() {
        if (module) FreeLibrary(module);
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    HMODULE module = nullptr;
    EntryPoint entry = nullptr;
};

struct Plugin {
    explicit Plugin(EntryPoint entry) : record(entry(&RecordingHost::callback)) {}
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    // The frame window the editor made inside `parent`.
    static HWND frameWindowIn(HWND parent) { return GetWindow(parent, GW_CHILD); }
    // The frame behind its window; its operations run in the plug-in's own code.
    static CFrame* frameIn(HWND parent) {
        return reinterpret_cast<CFrame*>(GetWindowLongPtrA(frameWindowIn(parent), GWLP_USERDATA));
    }
    AEffect* record;
};

// What the label draws for `text`, on the frame's black background.
std::vector<COLORREF> labelShowing(const char* text) {
    GdiSurface surface(512, 256, RGB(0, 0, 0));
    CTextLabel label(CRect(16, 16, 96, 41), text);
    {
        CDrawContext context(nullptr, surface.dc(), nullptr);
        label.draw(&context);
    }
    return surface.pixels(kLabelArea);
}

std::vector<COLORREF> labelIn(HWND parent) {
    return windowPixels(Plugin::frameWindowIn(parent), kLabelArea);
}

// One scenario, so that the library's count starts at 0 in this process.
TEST(PluginEditor, OpensCountsAndClosesThroughTheDispatcher) {
    PluginLibrary library;
    ASSERT_NE(library.entry, nullptr);
    RecordingHost host;
    RecordingHost::current = &host;
    Plugin plugin(library.entry);
    ASSERT_NE(plugin.record, nullptr);
    EXPECT_EQ(plugin.record->flags, 0x11);

    ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 256);
    EXPECT_EQ(rect->right, 512);

    // Keys and knob mode before the editor is open.
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0), 0);
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, 1), 1);

    HostFrameWindow window(512, 256);
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.get()), 1);
    HWND frameWindow = Plugin::frameWindowIn(window.get());
    ASSERT_NE(frameWindow, nullptr);
    char className[64] = "";
    GetClassNameA(frameWindow, className, sizeof className);
    EXPECT_EQ(std::string(className).rfind("Plugin", 0), 0u) << className;
    RECT client{};
    GetClientRect(frameWindow, &client);
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 256);
    CFrame* frame = Plugin::frameIn(window.get());
    ASSERT_EQ(frame->getViewCount(), 1);
    auto* label = static_cast<CTextLabel*>(frame->getView(0));
    ASSERT_TRUE(label->isTypeOf("CTextLabel"));
    EXPECT_STREQ(label->getText(), "TextLabel");
    EXPECT_EQ(frame->getKnobMode(), 1);

    repaint(window.get());
    EXPECT_EQ(labelIn(window.get()), labelShowing("TextLabel"));
    plugin.dispatch(effEditIdle); // writes 0
    EXPECT_EQ(labelIn(window.get()), labelShowing("TextLabel"));
    plugin.dispatch(effEditIdle); // shows 0, writes 1
    EXPECT_EQ(labelIn(window.get()), labelShowing("0"));
    plugin.dispatch(effEditIdle); // shows 1, writes 2
    EXPECT_EQ(labelIn(window.get()), labelShowing("1"));

    // Keys nobody takes answer 0; the knob mode reaches every frame.
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 0, 2, nullptr, 1.0f), 0); // shift-tab, no focus
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(frame->getKnobMode(), 2);

    // A control's edit reaches the host as opcodes 43 and 44.
    const std::size_t before = host.calls.size();
    label->setTag(1);
    label->beginEdit();
    label->endEdit();
    EXPECT_TRUE(label->checkDefaultValue(nullptr, kLeftButton | kControlKey));
    EXPECT_EQ(host.journal(before), (std::vector<std::string>{"43:1", "44:1", "43:1", "44:1"}));

    // Close and reopen: the label starts over, the count goes on.
    EXPECT_EQ(plugin.dispatch(effEditClose), 0);
    EXPECT_FALSE(IsWindow(frameWindow));
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.get()), 1);
    repaint(window.get());
    EXPECT_EQ(labelIn(window.get()), labelShowing("TextLabel"));
    plugin.dispatch(effEditIdle); // writes 3
    plugin.dispatch(effEditIdle);
    EXPECT_EQ(labelIn(window.get()), labelShowing("3"));

    // A second effect of the same library continues the same count.
    Plugin second(library.entry);
    ASSERT_NE(second.record, nullptr);
    HostFrameWindow secondWindow(512, 256);
    ASSERT_EQ(second.dispatch(effEditOpen, 0, 0, secondWindow.get()), 1);
    repaint(secondWindow.get());
    second.dispatch(effEditIdle); // writes 5
    second.dispatch(effEditIdle);
    EXPECT_EQ(labelIn(secondWindow.get()), labelShowing("5"));
    plugin.dispatch(effEditIdle); // shows the 4 it wrote last
    EXPECT_EQ(labelIn(window.get()), labelShowing("4"));

    second.dispatch(effEditClose);
    EXPECT_EQ(second.dispatch(effClose), 1);
    // This one the host ends without closing its editor: the window goes with it.
    HWND lastFrame = Plugin::frameWindowIn(window.get());
    EXPECT_EQ(plugin.dispatch(effClose), 1);
    EXPECT_FALSE(IsWindow(lastFrame));
    pumpMessages();
    RecordingHost::current = nullptr;
}

} // namespace
