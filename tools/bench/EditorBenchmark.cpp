// The cost of drawing a plug-in's editor as its host sees it: the module loaded from its file,
// the editor opened in a window of ours, then timed through the host's own calls:
// - a full redraw: the whole editor window invalidated and painted at once;
// - one changed knob: the gain parameter set as automation does, then the idle call that shows
//   it (the strip example's parameter 0 is its gain knob);
// - an idle call with nothing changed.
// It reports medians and fastest times; it asserts nothing, since the machines are shared.
//   editor_benchmark [MODULE [ROUNDS]]    MODULE defaults to Strip.dll, ROUNDS to 300
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AEffect.h"
#include "HostRecords.h"
#include "Opcodes.h"

namespace {

VstIntPtr VST_CALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double now() {
    static const double frequency = [] {
        LARGE_INTEGER ticks;
        QueryPerformanceFrequency(&ticks);
        return static_cast<double>(ticks.QuadPart);
    }();
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return static_cast<double>(ticks.QuadPart) * 1e6 / frequency;
}

// Runs `prepare` then times `measured`, `rounds` times; prints the median and the fastest.
template <typename Prepare, typename Measured>
void report(const char* what, int rounds, Prepare prepare, Measured measured) {
    std::vector<double> costs;
    for (int round = 0; round < rounds; ++round) {
        prepare(round);
        const double start = now();
        measured();
        costs.push_back(now() - start);
        pumpMessages();
    }
    std::sort(costs.begin(), costs.end());
    std::printf("%-34s median %8.1f us, fastest %8.1f us over %d\n", what,
                costs[costs.size() / 2], costs.front(), rounds);
}

HWND hostWindow(int width, int height) {
    WNDCLASSA description{};
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = "Lanter5EditorBenchmark";
    RegisterClassA(&description);
    return CreateWindowExA(0, description.lpszClassName, "editor benchmark",
                           WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           description.hInstance, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "Strip.dll";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    HMODULE module = LoadLibraryA(path);
    auto* entry = module ? reinterpret_cast<AEffect*(VST_CALL*)(HostCallback)>(
                               reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")))
                         : nullptr;
    AEffect* effect = entry ? entry(&host) : nullptr;
    if (!effect || !(effect->flags & effFlagsHasEditor) || effect->numParams < 1) {
        std::fprintf(stderr, "editor_benchmark: %s: no plug-in with an editor and a parameter\n",
                     path);
        return 1;
    }
    auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    };
    dispatch(effOpen);
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, &rect);
    const int width = rect ? rect->right - rect->left : 0;
    const int height = rect ? rect->bottom - rect->top : 0;
    HWND window = hostWindow(width, height);
    if (width <= 0 || height <= 0 || !dispatch(effEditOpen, 0, window)) {
        std::fprintf(stderr, "editor_benchmark: %s: the editor did not open\n", path);
        return 1;
    }
    HWND editor = GetWindow(window, GW_CHILD);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages();
    std::printf("editor_benchmark: %s, %d x %d\n", path, width, height);

    report("full redraw", rounds, [](int) {}, [editor] {
        RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    report("one changed knob, shown at idle", rounds,
           [effect](int round) { effect->setParameter(effect, 0, round % 2 ? 0.2f : 0.8f); },
           [&dispatch] { dispatch(effEditIdle); });
    report("idle with nothing changed", rounds, [](int) {}, [&dispatch] { dispatch(effEditIdle); });

    dispatch(effEditClose);
    DestroyWindow(window);
    dispatch(effClose);
    FreeLibrary(module);
    return 0;
}
