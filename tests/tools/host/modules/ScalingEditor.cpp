// A test plug-in whose editor takes the host's scale factor: it answers "supportsViewDpiScaling",
// takes the factor through the vendor-specific call, answers its 1x rectangle times the factor,
// and asks the host to resize when the factor changes while it is open. Its editor is a plain
// child window: a Windows one, or on Linux an X11 one made on a connection of its own.
// IGNORES_SCALE: it still claims the capability but leaves the call unanswered and stays at 1x.
// SILENT: it takes the factor but never claims the capability, so a host must not send it.
#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstring>

#include "AEffect.h"
#include "HostRecords.h"
#include "Opcodes.h"
#include "TestExport.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 120;

// The one place where the editor's 1x sizes become device pixels.
std::int16_t devicePixels(int oneX, double scale) { return static_cast<std::int16_t>(std::lround(oneX * scale)); }

#if defined(_WIN32)
class ChildWindow {
public:
    bool open(void* parent, int width, int height) {
        window_ = CreateWindowExA(0, "STATIC", "editor", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                  static_cast<HWND>(parent), nullptr, nullptr, nullptr);
        return window_ != nullptr;
    }
    void resize(int width, int height) {
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void close() {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
    }
    bool isOpen() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
};
#else
class ChildWindow {
public:
    bool open(void* parent, int width, int height) {
        display_ = XOpenDisplay(nullptr);
        if (!display_) return false;
        const auto parentWindow = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
        window_ = XCreateSimpleWindow(display_, parentWindow, 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, 0, BlackPixel(display_, DefaultScreen(display_)));
        XMapWindow(display_, window_);
        XSync(display_, False);
        return true;
    }
    void resize(int width, int height) {
        XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(display_, False);
    }
    void close() {
        if (!display_) return;
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
        display_ = nullptr;
    }
    bool isOpen() const { return display_ != nullptr; }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};
#endif

struct Instance {
    AEffect record{};
    HostCallback host = nullptr;
    ERect rect{0, 0, kHeight, kWidth};
    ChildWindow child;
};

Instance* instanceOf(AEffect* record) { return static_cast<Instance*>(record->object); }

[[maybe_unused]] void rescale(Instance& instance, double scale) {
    instance.rect = ERect{0, 0, devicePixels(kHeight, scale), devicePixels(kWidth, scale)};
    if (!instance.child.isOpen()) return;
    const int width = instance.rect.right;
    const int height = instance.rect.bottom;
    instance.child.resize(width, height);
    instance.host(&instance.record, audioMasterSizeWindow, width, height, nullptr, 0.0f);
}

VstIntPtr canDo(const char* capability) {
#if defined(SILENT)
    (void)capability;
    return 0;
#else
    return capability && std::strcmp(capability, "supportsViewDpiScaling") == 0 ? 1 : 0;
#endif
}

VstIntPtr vendorSpecific([[maybe_unused]] Instance& instance, [[maybe_unused]] VstInt32 index,
                         [[maybe_unused]] VstIntPtr value, [[maybe_unused]] float opt) {
#if defined(IGNORES_SCALE)
    return 0;
#else
    if (index != fourCharacters('P', 'r', 'e', 'S') || value != fourCharacters('A', 'e', 'C', 's') || !(opt > 0.0f)) {
        return 0;
    }
    rescale(instance, opt);
    return 1;
#endif
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    Instance* instance = instanceOf(record);
    switch (opcode) {
    case effClose:
        instance->child.close();
        delete instance;
        return 1;
    case effEditGetRect:
        if (ptr == nullptr) return 0;
        *static_cast<ERect**>(ptr) = &instance->rect;
        return 1;
    case effEditOpen:
        if (instance->child.isOpen() || ptr == nullptr) return 0;
        return instance->child.open(ptr, instance->rect.right, instance->rect.bottom) ? 1 : 0;
    case effEditClose: instance->child.close(); return 0;
    case effCanDo: return canDo(static_cast<const char*>(ptr));
    case effVendorSpecific: return vendorSpecific(*instance, index, value, opt);
    case effGetVstVersion: return 2400;
    default: return 0;
    }
}

void VST_CALL copy(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
    if (frames <= 0) return;
    for (int channel = 0; channel < 2; ++channel) {
        std::memmove(outputs[channel], inputs[channel], static_cast<std::size_t>(frames) * sizeof(float));
    }
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.5f; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback host) {
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    auto* instance = new Instance;
    instance->host = host;
    AEffect& record = instance->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = copy;
    record.numParams = 1;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsHasEditor | effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = instance;
    record.uniqueID = fourCharacters('t', 'S', 'E', 'd');
    record.version = 1;
    return &record;
}
