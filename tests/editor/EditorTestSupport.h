#pragma once
// Shared by the control and editor tests: a memory surface to read drawn pixels back, a host
// that records the opcodes it receives, an effect bound to it, and a window of the host's.

#include "AEffGUIEditor.h"
#include "FrameWindowHelpers.h"
#include "GdiSurface.h"
#include "VirtualSlot.h"
#include "AudioEffectX.h"
#include "CFrame.h"
#include "WindowClass.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

inline constexpr COLORREF kSurfaceBlue = RGB(0, 0, 255);


// Records every host call. `onIdle` runs when the effect asks for idle time (host opcode 3).
struct RecordingHost {
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
    };
    std::vector<Call> calls;
    std::function<void()> onIdle;
    // Says it can do everything asked of it, and sizes its window when asked.
    bool sizesWindows = false;

    static inline RecordingHost* current = nullptr;

    static VstIntPtr VST_CALL callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                       void*, float) {
        RecordingHost* self = current;
        if (!self) return opcode == 1 ? 2400 : 0;
        self->calls.push_back({opcode, index});
        if (opcode == 3 && self->onIdle) self->onIdle();
        if (self->sizesWindows && (opcode == 37 || opcode == 15)) return 1; // canDo, sizeWindow
        return opcode == 1 ? 2400 : 0; // audioMasterVersion
    }

    int count(VstInt32 opcode) const {
        int n = 0;
        for (const Call& call : calls) n += call.opcode == opcode;
        return n;
    }
    // The opcodes received from index `from` on, as "43:7" (opcode and index).
    std::vector<std::string> journal(std::size_t from = 0) const {
        std::vector<std::string> result;
        for (std::size_t i = from; i < calls.size(); ++i) {
            result.push_back(std::to_string(calls[i].opcode) + ":" +
                             std::to_string(calls[i].index));
        }
        return result;
    }
};

class RecordingEffect : public AudioEffectX {
public:
    explicit RecordingEffect(RecordingHost& host) : AudioEffectX(bind(host), 1, 2) {}
    void processReplacing(float**, float**, VstInt32) override {}

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return dispatcher(opcode, index, value, ptr, opt);
    }

private:
    static HostCallback bind(RecordingHost& host) {
        RecordingHost::current = &host;
        return &RecordingHost::callback;
    }
};

// A top-level window standing in for the host's editor window.
class HostFrameWindow {
public:
    HostFrameWindow(int width, int height) {
        static const ATOM atom = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = DefWindowProcA;
            description.hInstance = GetModuleHandleA(nullptr);
            description.lpszClassName = "Lanter5EditorTestHost";
            return RegisterClassA(&description);
        }();
        (void)atom;
        handle = CreateWindowExA(0, "Lanter5EditorTestHost", "host", WS_POPUP | WS_VISIBLE, 40,
                                 30, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    }
    ~HostFrameWindow() {
        if (IsWindow(handle)) DestroyWindow(handle);
    }
    HostFrameWindow(const HostFrameWindow&) = delete;
    HostFrameWindow& operator=(const HostFrameWindow&) = delete;

    HWND get() const { return handle; }

private:
    HWND handle;
};


// Paints a window and its children now.
inline void repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}


