// The cost of drawing a plug-in's editor as its host sees it: the module loaded from its file,
// the editor opened in a window of ours, then timed through the host's own calls:
// - a full redraw: the whole editor window invalidated and painted at once (on X11 the exposure
//   and the idle call that shows it, the editor painting from its back buffer);
// - one changed knob: the gain parameter set as automation does, then the idle call that shows
//   it (the strip example's parameter 0 is its gain knob);
// - an idle call with nothing changed;
// - on X11, where an exposure is shown from the editor's back buffer, every view drawn: the
//   first idle after the editor opened.
// A plug-in that draws at a host's scale is measured again at 2.
// It reports medians and fastest times; it asserts nothing, since the machines are shared.
//   editor_benchmark [MODULE [ROUNDS]]    MODULE defaults to Strip.dll (Strip.so), ROUNDS to 300
#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <dlfcn.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AEffect.h"
#include "HostRecords.h"
#include "Opcodes.h"

namespace {

// How hosts give their scale: effVendorSpecific with these, the factor in `opt`.
constexpr VstInt32 kScaleIndex = 0x50726553;  // 'PreS'
constexpr VstIntPtr kScaleValue = 0x41654373; // 'AeCs'

VstIntPtr VST_CALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

double now() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

#if defined(_WIN32)

constexpr const char* kDefaultModule = "Strip.dll";

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void* entryOf(const char* path) {
    HMODULE module = LoadLibraryA(path);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")) : nullptr;
}

void* hostWindow(int width, int height) {
    WNDCLASSA description{};
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = "Lanter5EditorBenchmark";
    RegisterClassA(&description);
    return CreateWindowExA(0, description.lpszClassName, "editor benchmark", WS_POPUP | WS_VISIBLE, 0, 0, width,
                           height, nullptr, nullptr, description.hInstance, nullptr);
}

// Invalidates the whole editor and has it painted now.
void redrawAll(void* window) {
    RedrawWindow(GetWindow(static_cast<HWND>(window), GW_CHILD), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

#else

constexpr const char* kDefaultModule = "./Strip.so"; // dlopen looks in the folder only when told
Display* display = nullptr;

void pumpMessages() {
    if (display) XSync(display, True);
}

void* entryOf(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    return module ? dlsym(module, "VSTPluginMain") : nullptr;
}

void* hostWindow(int width, int height) {
    display = XOpenDisplay(nullptr);
    if (!display || width <= 0 || height <= 0) return nullptr;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
}

// Exposes the whole editor window; the editor paints in the idle call that follows.
void redrawAll(void* window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, static_cast<Window>(reinterpret_cast<std::uintptr_t>(window)), &root, &parent, &children, &count);
    if (count > 0) XClearArea(display, children[0], 0, 0, 0, 0, True);
    if (children) XFree(children);
    XSync(display, False);
}

#endif

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
    std::printf("%-34s median %8.1f us, fastest %8.1f us over %d\n", what, costs[costs.size() / 2], costs.front(),
                rounds);
}

bool measureAt(AEffect* effect, const char* path, int rounds, float scale) {
    auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    };
    if (scale != 1.0f) effect->dispatcher(effect, effVendorSpecific, kScaleIndex, kScaleValue, nullptr, scale);
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, &rect);
    const int width = rect ? rect->right - rect->left : 0;
    const int height = rect ? rect->bottom - rect->top : 0;
    void* window = width > 0 && height > 0 ? hostWindow(width, height) : nullptr;
    if (!window || !dispatch(effEditOpen, 0, window)) {
        std::fprintf(stderr, "editor_benchmark: %s: the editor did not open\n", path);
        return false;
    }
    dispatch(effEditIdle);
    redrawAll(window);
    dispatch(effEditIdle);
    pumpMessages();
    std::printf("editor_benchmark: %s, %d x %d (scale %.1f)\n", path, width, height, static_cast<double>(scale));

#if defined(_WIN32)
    report("full redraw", rounds, [](int) {}, [window] { redrawAll(window); });
#else
    report("full redraw (exposed, shown at idle)", rounds, [window](int) { redrawAll(window); },
           [&dispatch] { dispatch(effEditIdle); });
#endif
    report("one changed knob, shown at idle", rounds,
           [effect](int round) { effect->setParameter(effect, 0, round % 2 ? 0.2f : 0.8f); },
           [&dispatch] { dispatch(effEditIdle); });
    report("idle with nothing changed", rounds, [](int) {}, [&dispatch] { dispatch(effEditIdle); });
#if !defined(_WIN32)
    // An exposure shows the back buffer; every view is drawn when the editor is first shown.
    report("every view drawn at the first idle", std::max(1, rounds / 10), [&dispatch, window](int) {
        dispatch(effEditClose);
        dispatch(effEditOpen, 0, window);
        pumpMessages();
    }, [&dispatch] { dispatch(effEditIdle); });
#endif

    dispatch(effEditClose);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : kDefaultModule;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    auto* entry = reinterpret_cast<AEffect*(VST_CALL*)(HostCallback)>(entryOf(path));
    AEffect* effect = entry ? entry(&host) : nullptr;
    if (!effect || !(effect->flags & effFlagsHasEditor) || effect->numParams < 1) {
        std::fprintf(stderr, "editor_benchmark: %s: no plug-in with an editor and a parameter\n", path);
        return 1;
    }
    auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    };
    dispatch(effOpen);
    // At 1, and at twice the density where the plug-in draws at a host's scale.
    char scaling[] = "supportsViewDpiScaling";
    const bool scales = effect->dispatcher(effect, effCanDo, 0, 0, scaling, 0.0f) == 1;
    for (const float scale : {1.0f, 2.0f}) {
        if (scale != 1.0f && !scales) break;
        if (!measureAt(effect, path, rounds, scale)) return 1;
    }
    dispatch(effEditClose);
    dispatch(effClose);
    return 0;
}
