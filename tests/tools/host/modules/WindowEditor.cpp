// A test plug-in for Windows with the smallest editor a host can meet: a child window in the
// host's window. It lets the host's editor checks run against a real window. Built with LEAKS,
// every opening loses a brush and a block of memory, which the editor checks must notice.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "AEffect.h"
#include "HostRecords.h"
#include "Opcodes.h"

namespace {

struct Instance {
    AEffect record{};
    HostCallback host = nullptr;
    ERect rect{0, 0, 120, 240};
    HWND child = nullptr;
};

Instance* instanceOf(AEffect* record) { return static_cast<Instance*>(record->object); }

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    Instance* instance = instanceOf(record);
    switch (opcode) {
    case effClose:
        if (instance->child) DestroyWindow(instance->child);
        delete instance;
        return 1;
    case effEditGetRect:
        if (ptr == nullptr) return 0;
        *static_cast<ERect**>(ptr) = &instance->rect;
        return 1;
    case effEditOpen: {
        if (instance->child || ptr == nullptr) return 0;
        instance->child = CreateWindowExA(0, "STATIC", "editor", WS_CHILD | WS_VISIBLE, 0, 0, 240,
                                          120, static_cast<HWND>(ptr), nullptr, nullptr, nullptr);
#if defined(LEAKS)
        CreateSolidBrush(RGB(1, 2, 3));
        void* volatile lost = std::malloc(1024);
        (void)lost;
#endif
        char sizeWindow[] = "sizeWindow";
        if (instance->host(record, audioMasterCanDo, 0, 0, sizeWindow, 0.0f) > 0) {
            instance->host(record, audioMasterSizeWindow, 240, 120, nullptr, 0.0f);
        }
        return instance->child ? 1 : 0;
    }
    case effEditClose:
        if (instance->child) DestroyWindow(instance->child);
        instance->child = nullptr;
        return 0;
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

extern "C" __declspec(dllexport) AEffect* VST_CALL VSTPluginMain(HostCallback host) {
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    auto* instance = new Instance;
    instance->host = host;
    AEffect& record = instance->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = copy;
    record.numPrograms = 0;
    record.numParams = 1;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsHasEditor | effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = instance;
    record.uniqueID = fourCharacters('t', 'W', 'E', 'd');
    record.version = 1;
    return &record;
}
