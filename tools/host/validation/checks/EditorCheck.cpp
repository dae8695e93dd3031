// The editor in a real window of the host: its rectangle, opening, idling, closing, many
// cycles without losing GDI objects, X resources or memory, and opening while audio runs.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "AudioThread.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "EditorSession.h"
#include "Host.h"
#include "HostRecords.h"
#include "HostWindow.h"
#include "Opcodes.h"
#include "ProcessResources.h"
#include "XResourceCount.h"

namespace vsthost {

namespace {

constexpr int kEditorCycles = EditorSession::kCycles;
// Heap growth over all cycles that still counts as none: the allocator's own bookkeeping.
constexpr long long kHeapSlackBytes = 16 * 1024;
constexpr int kEditorIdles = EditorSession::kIdles;

const char* const kChecks[] = {
    "editor rectangle before open", "editor opens in a host window", "editor idles",
    "editor closes",                "editor reopens",                "editor open and close cycles",
    "editor cycles keep GDI objects", "editor cycles keep X resources", "editor cycles keep heap memory",
    "editor opens while audio runs",
};

std::vector<std::string> verdicts(const ValidationOptions&) {
    return std::vector<std::string>(std::begin(kChecks), std::end(kChecks));
}

struct HeldResources {
    ProcessResources process = ProcessResources::measure();
    long long xResources = xResourcesOfThisProcess();
};

void checkXResources(CheckContext& context, long long before, long long after) {
    if (before < 0 || after < 0) return context.skip("editor cycles keep X resources", whyXResourcesAreNotCounted());
    const std::string held = std::to_string(before) + " X resources before, " + std::to_string(after) + " after";
    context.check("editor cycles keep X resources", after <= before, held, held);
}

void checkResources(CheckContext& context, const HeldResources& held, const HeldResources& now) {
    checkXResources(context, held.xResources, now.xResources);
    const ProcessResources& before = held.process;
    const ProcessResources& after = now.process;
    if (!ProcessResources::available()) {
        context.skip("editor cycles keep GDI objects", "this build cannot count them");
        context.skip("editor cycles keep heap memory", "this build cannot measure it");
        return;
    }
    if (before.gdiObjects < 0 || after.gdiObjects < 0) {
        context.skip("editor cycles keep GDI objects", "this platform has no GDI objects");
    } else {
        const std::string objects = std::to_string(before.gdiObjects) + " GDI objects before, " +
                                    std::to_string(after.gdiObjects) + " after";
        context.check("editor cycles keep GDI objects", after.gdiObjects <= before.gdiObjects, objects, objects);
    }
    const long long heapGrowth = after.heapBytesInUse - before.heapBytesInUse;
    const long long privateGrowth = after.privateBytes - before.privateBytes;
    const std::string privateText = after.privateBytes < 0 || before.privateBytes < 0
                                        ? "private bytes not reported"
                                        : "private " + std::to_string(privateGrowth) + " bytes";
    const std::string memory = "heap in use " + std::to_string(heapGrowth) + " bytes, " +
                               privateText + ", over " + std::to_string(kEditorCycles) + " cycles";
    context.check("editor cycles keep heap memory", heapGrowth <= kHeapSlackBytes, memory, memory);
}

void checkCycles(CheckContext& context, EditorSession& editor) {
    // Measured after two complete cycles, so that what an editor makes once per process (its
    // window class, cached fonts) is already there.
    const HeldResources before;
    const int goodCycles = editor.cycles(context, kEditorCycles, "editor open and close cycle");
    HeldResources after;
    // The server forgets a closed connection when it reads its end, which may come a moment after.
    for (int wait = 0; wait < 20 && after.xResources > before.xResources; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        after = HeldResources();
    }
    const std::string cycles =
        std::to_string(goodCycles) + " of " + std::to_string(kEditorCycles) + " good";
    context.check("editor open and close cycles", goodCycles == kEditorCycles, cycles, cycles);
    checkResources(context, before, after);
}

void checkInWindow(CheckContext& context, Effect& effect, HostWindow& host) {
    EditorSession editor(effect, host);
    context.step("editor opens in a host window");
    const bool opened = context.check("editor opens in a host window", editor.open(),
                                      "answered 0 and made no window");
    context.step("editor idles");
    editor.idle(kEditorIdles);
    context.check("editor idles", host.hasChildWindow(), "its window is gone after idle calls",
                  std::to_string(kEditorIdles) + " idle calls, window still open");
    context.step("editor closes");
    context.check("editor closes", editor.close(), "its window is still there");
    context.step("editor reopens");
    const bool reopened = editor.open();
    editor.idle(3);
    context.check("editor reopens", reopened && editor.close(), "second open failed");
    checkCycles(context, editor);
    context.step("editor opens while audio runs");
    AudioThread audio(effect, 44100, 512);
    audio.waitForBlocks(1);
    const bool ok = editor.open();
    editor.idle(kEditorIdles);
    const bool closed = editor.close();
    audio.stop();
    const std::string blocks = std::to_string(audio.blocks()) + " blocks while open";
    context.check("editor opens while audio runs", opened && ok && closed && audio.clean(), blocks,
                  blocks);
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    if (!HostWindow::available()) return context.skipRest("this build has no native windows");
    if (!effect->hasFlag(effFlagsHasEditor)) return context.skipRest("the plug-in has no editor (flag 1 clear)");
    effect->start(44100.0f, 512);

    context.step("editor rectangle before open");
    ERect* rect = nullptr;
    effect->dispatch(effEditGetRect, 0, 0, &rect);
    const int width = rect ? rect->right - rect->left : 0;
    const int height = rect ? rect->bottom - rect->top : 0;
    const bool rectSane = width > 0 && height > 0 && width <= 16384 && height <= 16384;
    const std::string size = rect ? std::to_string(width) + " x " + std::to_string(height) : "no rectangle";
    context.check("editor rectangle before open", rectSane, size, size);

    auto window = HostWindow::create("vsthost editor", rectSane ? width : 640, rectSane ? height : 480);
    if (!window) {
        for (std::size_t i = 1; i < std::size(kChecks); ++i) context.fail(kChecks[i], window.error());
        return;
    }
    HostWindow& host = *window;
    Host::instance().setWindowSizer([&host](int w, int h) { return host.resizeClient(w, h); });
    checkInWindow(context, *effect, host);
    Host::instance().setWindowSizer({});
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({120, "editor", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
