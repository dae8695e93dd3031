#include "AEffGUIEditor.h"
#include "CDrawContext.h"
#include "EditorTestSupport.h"
#include "Opcodes.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// A view that answers keys as told and records what reaches it.
class InputView : public CView {
public:
    explicit InputView(const CRect& size) : CView(size) {}
    void draw(CDrawContext* context) override {
        ++draws;
        CView::draw(context);
    }
    std::int32_t onKeyDown(VstKeyCode& keyCode) override {
        lastKey = keyCode;
        events += "down ";
        return keyAnswer;
    }
    std::int32_t onKeyUp(VstKeyCode& keyCode) override {
        lastKey = keyCode;
        events += "up ";
        return keyAnswer;
    }
    bool onWheel(CDrawContext*, const CPoint& where, float distance) override {
        lastWhere = where;
        lastDistance = distance;
        return true;
    }

    std::int32_t keyAnswer = -1;
    VstKeyCode lastKey{};
    std::string events;
    int draws = 0;
    CPoint lastWhere{-1, -1};
    float lastDistance = 0.0f;
};

// A GUI editor whose open builds a frame holding one input view, and which counts idles.
class TestGuiEditor : public AEffGUIEditor {
public:
    explicit TestGuiEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect.right = 200;
        rect.bottom = 100;
    }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        frame = new CFrame(CRect(0, 0, 200, 100), static_cast<HWND>(window), this);
        view = new InputView(CRect(0, 0, 100, 100));
        frame->addView(view);
        return true;
    }
    void close() override {
        delete frame;
        frame = nullptr;
        AEffGUIEditor::close();
    }
    void idle() override {
        ++idles;
        AEffGUIEditor::idle();
    }
    std::uint32_t pumpDue() const { return lastTicks; }

    InputView* view = nullptr;
    int idles = 0;
};

struct GuiEditorTest : ::testing::Test {
    GuiEditorTest() { useProgramInstance(); }
    ~GuiEditorTest() override {
        delete effect;
        RecordingHost::current = nullptr;
    }

    RecordingHost host;
    const std::uint32_t ticksBeforeEditor = GetTickCount();
    RecordingEffect* effect = new RecordingEffect(host);
    TestGuiEditor* editor = new TestGuiEditor(effect); // owned by the effect
    HostFrameWindow window{300, 200};
};

TEST_F(GuiEditorTest, ConstructionAttachesTheEditorToTheEffect) {
    EXPECT_EQ(effect->getEditor(), editor);
    EXPECT_EQ(effect->getAEffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(editor->getFrame(), nullptr);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 200);
    EXPECT_EQ(rect->bottom, 100);
    // The pump is first due when the editor is made, however long that took.
    const std::uint32_t sinceBefore = GetTickCount() - ticksBeforeEditor;
    EXPECT_LE(editor->pumpDue() - ticksBeforeEditor, sinceBefore);
}

TEST_F(GuiEditorTest, KeysAnswerOneOnlyWhenTheFrameHandledThem) {
    // No frame: nothing to forward to.
    EXPECT_EQ(effect->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect->dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);

    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    editor->getFrame()->setFocusView(editor->view);
    editor->view->keyAnswer = -1;
    EXPECT_EQ(effect->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    editor->view->keyAnswer = 0;
    EXPECT_EQ(effect->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    editor->view->keyAnswer = 1;
    EXPECT_EQ(effect->dispatch(effEditKeyDown, 'q', 5, nullptr, 2.9f), 1);
    EXPECT_EQ(editor->view->lastKey.character, 'q');
    EXPECT_EQ(editor->view->lastKey.virt, 5);
    EXPECT_EQ(editor->view->lastKey.modifier, 2);
    EXPECT_EQ(effect->dispatch(effEditKeyUp, 'q', 5, nullptr, -1.5f), 1);
    EXPECT_EQ(editor->view->lastKey.modifier, 0xFF);
    editor->view->keyAnswer = 2;
    EXPECT_EQ(effect->dispatch(effEditKeyUp, 'q', 5, nullptr, 0.0f), 0);
    EXPECT_EQ(editor->view->events, "down down down up up ");
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, KnobModeIsOneValueForEveryFrame) {
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    CFrame other(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(effect->dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->getFrame()->getKnobMode(), 2);
    EXPECT_EQ(other.getKnobMode(), 2);
    EXPECT_EQ(effect->dispatch(effSetEditKnobMode, 0, 0), 1);
    EXPECT_EQ(other.getKnobMode(), 0);
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, EditsBecomeHostOpcodesFortyThreeAndFortyFour) {
    editor->beginEdit(3);
    editor->endEdit(3);
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    editor->getFrame()->beginEdit(1); // the road controls take
    editor->getFrame()->endEdit(1);
    EXPECT_EQ(host.journal(), (std::vector<std::string>{"43:3", "44:3", "43:1", "44:1"}));
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, IdleRedrawsDirtyViewsOnceTheFrameWasPainted) {
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    InputView* view = editor->view;
    effect->dispatch(effEditIdle); // before the first paint: nothing
    EXPECT_EQ(view->draws, 0);
    repaint(window.get());
    const int painted = view->draws;
    EXPECT_GE(painted, 1);
    view->setDirty(true);
    effect->dispatch(effEditIdle);
    EXPECT_EQ(view->draws, painted + 1);
    effect->dispatch(effEditIdle); // clean now
    EXPECT_EQ(view->draws, painted + 1);
    effect->dispatch(effEditClose);
    effect->dispatch(effEditIdle); // closed: no frame
    EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(GuiEditorTest, ThePumpIsPacedAndAsksTheHostForIdle) {
    // Right after construction the pump is due.
    const std::uint32_t start = GetTickCount();
    editor->idlePump();
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(host.count(3), 1);
    const std::uint32_t due = editor->pumpDue();

    // Soon after, a call only sleeps. The pump read the clock no earlier than `start`, so
    // within 46 ms of it by the test's own clock the host must not be asked again; a machine
    // that stalled past that proves nothing either way.
    editor->idlePump();
    if (GetTickCount() - start < 46) {
        EXPECT_EQ(editor->idles, 1);
        EXPECT_EQ(host.count(3), 1);
        EXPECT_EQ(editor->pumpDue(), due);
    }
    const int idlesBefore = editor->idles;
    const std::uint32_t nextDue = editor->pumpDue();

    // In the last 50 ms before it is due, a call sleeps and pumps.
    while (GetTickCount() + 4 < nextDue - 45) Sleep(1);
    editor->idlePump();
    EXPECT_EQ(editor->idles, idlesBefore + 1);
    EXPECT_EQ(host.count(3), idlesBefore + 1);

    Sleep(110);
    editor->idlePump();
    EXPECT_EQ(editor->idles, idlesBefore + 2);
    EXPECT_EQ(host.count(3), idlesBefore + 2);
}

TEST_F(GuiEditorTest, TheFrameDoesNotIdleAgainWhileTheHostIsAskedForIdle) {
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    repaint(window.get());
    InputView* view = editor->view;
    int drawsInside = -1;
    host.onIdle = [&] {
        view->setDirty(true);
        const int before = view->draws;
        effect->dispatch(effEditIdle); // the host idles the editor from inside its idle
        drawsInside = view->draws - before;
    };
    editor->idlePump();
    EXPECT_EQ(drawsInside, 0);
    host.onIdle = nullptr;
    effect->dispatch(effEditIdle);
    EXPECT_GE(view->draws, 1);
    EXPECT_FALSE(view->isDirty());
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, ThePumpDeliversOnePendingPaint) {
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    repaint(window.get());
    const int before = editor->view->draws;
    InvalidateRect(editor->getFrame()->getSystemWindow(), nullptr, FALSE);
    editor->idlePump();
    EXPECT_EQ(editor->view->draws, before + 1);
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, TheWheelGoesToTheViewUnderTheCursor) {
    EXPECT_FALSE(editor->onWheel(1.0f)); // no frame
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    GetSystemMetrics(SM_CXSCREEN); // the screen must exist before the cursor can move
    RECT host{};
    GetWindowRect(window.get(), &host);
    ASSERT_TRUE(SetCursorPos(host.left + 20, host.top + 30));
    EXPECT_TRUE(editor->onWheel(2.0f));
    EXPECT_EQ(editor->view->lastWhere, CPoint(20, 30));
    EXPECT_EQ(editor->view->lastDistance, 2.0f);
    // Outside every view nobody takes it.
    ASSERT_TRUE(SetCursorPos(host.left + 150, host.top + 30));
    EXPECT_FALSE(editor->onWheel(1.0f));
    effect->dispatch(effEditClose);
}

TEST_F(GuiEditorTest, AHostsScaleSizesTheEditorWhileItsViewsKeepTheirUnits) {
    char scaling[] = "supportsViewDpiScaling";
    EXPECT_EQ(effect->dispatch(effCanDo, 0, 0, scaling), 1);
    EXPECT_EQ(effect->dispatch(effVendorSpecific, kHostScaleIndex, kHostScaleValue, nullptr, 0.0f), 0);
    ASSERT_EQ(effect->dispatch(effVendorSpecific, kHostScaleIndex, kHostScaleValue, nullptr, 2.0f), 1);
    ERect* rect = nullptr;
    effect->dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 400);
    EXPECT_EQ(rect->bottom, 200);

    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, window.get()), 1);
    HWND frameWindow = GetWindow(window.get(), GW_CHILD);
    RECT pixels{};
    GetClientRect(frameWindow, &pixels);
    EXPECT_EQ(pixels.right, 400);
    EXPECT_EQ(pixels.bottom, 200);
    GetSystemMetrics(SM_CXSCREEN);
    RECT host{};
    GetWindowRect(window.get(), &host);
    ASSERT_TRUE(SetCursorPos(host.left + 41, host.top + 61));
    EXPECT_TRUE(editor->onWheel(1.0f));
    EXPECT_EQ(editor->view->lastWhere, CPoint(20, 30));

    // A new factor while open: the windows follow at once.
    ASSERT_EQ(effect->dispatch(effVendorSpecific, kHostScaleIndex, kHostScaleValue, nullptr, 1.5f), 1);
    GetClientRect(frameWindow, &pixels);
    EXPECT_EQ(pixels.right, 300);
    EXPECT_EQ(pixels.bottom, 150);
    effect->dispatch(effEditGetRect, 0, 0, &rect);
    EXPECT_EQ(rect->right, 300);
    effect->dispatch(effEditClose);
}

// Run as well where the screen has 192 dots per inch (LANTER5_SCREEN_DPI), through Wine's
// setting for it (check-screen-density).
TEST_F(GuiEditorTest, WithoutAHostsFactorTheEditorTakesTheScreensDensity) {
    using SetAwareness = HANDLE(WINAPI*)(HANDLE);
    using DpiOf = UINT(WINAPI*)(HWND);
    HMODULE user = GetModuleHandleA("user32.dll");
    const auto setAwareness = reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(GetProcAddress(user, "SetThreadDpiAwarenessContext")));
    const auto dpiOf = reinterpret_cast<DpiOf>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    ASSERT_TRUE(setAwareness && dpiOf);
    // A host aware of the system's density; its windows count real pixels.
    HANDLE before = setAwareness(reinterpret_cast<HANDLE>(-2));
    HostFrameWindow aware{600, 400};
    const UINT dpi = dpiOf(aware.get());
    host.sizesWindows = true;
    host.calls.clear();
    if (const char* expected = std::getenv("LANTER5_SCREEN_DPI")) {
        EXPECT_EQ(dpi, static_cast<UINT>(std::atoi(expected)));
    }
    ASSERT_EQ(effect->dispatch(effEditOpen, 0, 0, aware.get()), 1);
    EXPECT_EQ(editor->getFrame()->getScale(), dpi / 96.0f);
    RECT pixels{};
    GetClientRect(GetWindow(aware.get(), GW_CHILD), &pixels);
    EXPECT_EQ(pixels.right, static_cast<LONG>(200 * dpi / 96));
    // A host that sized its window by the rectangle at 1x is asked for the editor's size.
    const std::vector<std::string> asked{"37:0", "15:" + std::to_string(200 * dpi / 96)};
    EXPECT_EQ(host.journal(), dpi == 96 ? std::vector<std::string>{} : asked);

    // Left at a density no screen here has, as after a move between screens, the frame takes
    // its window's again when the system says the density changed.
    CFrame* frame = editor->getFrame();
    frame->setScale(dpi == 144 ? 1.25f : 1.5f);
    SendMessageA(GetWindow(aware.get(), GW_CHILD), 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);
    EXPECT_EQ(frame->getScale(), dpi / 96.0f);
    GetClientRect(GetWindow(aware.get(), GW_CHILD), &pixels);
    EXPECT_EQ(pixels.right, static_cast<LONG>(200 * dpi / 96));
    effect->dispatch(effEditClose);
    setAwareness(before);
}

// Points the program's own import of one system function at `replacement` while it lives.
class ImportPatch {
public:
    ImportPatch(const char* library, const char* function, ULONG_PTR replacement) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name; ++module) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), library) != 0) continue;
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; name->u1.AddressOfData; ++name, ++entry) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
                const auto* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
                slot = &entry->u1.Function;
                original = static_cast<ULONG_PTR>(*slot);
                write(replacement);
                return;
            }
        }
    }
    ~ImportPatch() {
        if (slot) write(original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    ULONG_PTR original = 0;

private:
    void write(ULONG_PTR value) {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
    }
    decltype(IMAGE_THUNK_DATA::u1.Function)* slot = nullptr;
};

// Calls of the real OleUninitialize, counted on their way. Wine forgives an unpaired one where
// Windows undoes an initialisation of the host's: the count shows it under both.
ImportPatch* oleUninitializeImport = nullptr;
int oleUninitializeCalls = 0;

void WINAPI countedOleUninitialize() {
    ++oleUninitializeCalls;
    reinterpret_cast<void(WINAPI*)()>(oleUninitializeImport->original)();
}

// A host thread may have entered the multithreaded apartment before the editor comes: OLE
// cannot be initialised there, and the editor and its frame must not undo the host's own
// initialisation when they go.
TEST(AEffGUIEditor, AHostThreadInTheMultithreadedApartmentStaysInIt) {
    useProgramInstance();
    ImportPatch patch("ole32.dll", "OleUninitialize",
                      reinterpret_cast<ULONG_PTR>(&countedOleUninitialize));
    ASSERT_NE(patch.original, 0u);
    oleUninitializeImport = &patch;
    oleUninitializeCalls = 0;
    HRESULT afterwards = E_FAIL;
    std::thread hostThread([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        {
            RecordingHost host;
            auto* effect = new RecordingEffect(host);
            new TestGuiEditor(effect); // owned by the effect
            HostFrameWindow window(300, 200);
            effect->dispatch(effEditOpen, 0, 0, window.get());
            effect->dispatch(effEditClose);
            delete effect;
            RecordingHost::current = nullptr;
        }
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED); // S_FALSE: still in it
        CoUninitialize();
        CoUninitialize();
    });
    hostThread.join();
    oleUninitializeImport = nullptr;
    EXPECT_EQ(oleUninitializeCalls, 0);
    EXPECT_EQ(afterwards, S_FALSE);
}

// An effect without the extended operations.
class PlainEffect : public AudioEffect {
public:
    PlainEffect() : AudioEffect(&RecordingHost::callback, 1, 0) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Its editor sizes the windows itself.
TEST(AEffGUIEditor, AnEditorOfAPlainEffectResizesWithoutAskingTheHost) {
    useProgramInstance();
    RecordingHost host;
    RecordingHost::current = &host;
    auto* plain = new PlainEffect;
    auto* editor = new TestGuiEditor(plain); // owned by the effect
    HostFrameWindow window{300, 200};
    ASSERT_TRUE(editor->open(window.get()));
    EXPECT_TRUE(editor->getFrame()->setSize(250, 120));
    RECT pixels{};
    GetClientRect(editor->getFrame()->getSystemWindow(), &pixels);
    EXPECT_EQ(pixels.right, 250);
    EXPECT_EQ(host.count(audioMasterCanDo), 0);
    editor->close();
    delete plain;
    RecordingHost::current = nullptr;
}

TEST(AEffGUIEditor, OperationsKeepTheirSlots) {
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::getEffect), 1);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::getRect), 2);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::idle), 6);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::onWheel), 9);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::setKnobMode), 10);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::setParameter), 11);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::beginEdit), 12);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::endEdit), 13);
    EXPECT_EQ(virtualSlot(&AEffGUIEditor::idlePump), 14);
}

} // namespace
