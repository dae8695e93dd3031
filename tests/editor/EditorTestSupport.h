#pragma once
// Shared by the control and editor tests: a memory surface to read drawn pixels back, a host
// that records the opcodes it receives, an effect bound to it, and a window of the host's.

#include "AEffGUIEditor.h"
#include "AudioEffectX.h"
#include "CFrame.h"
#include "WindowClass.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

inline constexpr COLORREF kSurfaceBlue = RGB(0, 0, 255);

// A memory device context over a top-down 32-bit bitmap.
class MemorySurface {
public:
    MemorySurface(int width, int height, COLORREF background = kSurfaceBlue)
        : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        deviceContext = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(deviceContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(deviceContext, bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(deviceContext, &all, brush);
        DeleteObject(brush);
    }
    ~MemorySurface() {
        SelectObject(deviceContext, previous);
        DeleteObject(bitmap);
        DeleteDC(deviceContext);
    }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    HDC dc() const { return deviceContext; }
    COLORREF pixel(int x, int y) const { return GetPixel(deviceContext, x, y); }

    // The pixels of `area`, row by row.
    std::vector<COLORREF> pixels(const RECT& area) const {
        std::vector<COLORREF> result;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) result.push_back(pixel(x, y));
        }
        return result;
    }
    std::vector<COLORREF> pixels() const { return pixels(RECT{0, 0, width, height}); }

    // Pixels of `colour` inside `area`.
    int count(const RECT& area, COLORREF colour) const {
        int n = 0;
        for (COLORREF value : pixels(area)) n += value == colour;
        return n;
    }
    // Pixels of `colour` anywhere outside `area`.
    int countOutside(const RECT& area, COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inside = x >= area.left && x < area.right && y >= area.top &&
                                    y < area.bottom;
                n += !inside && pixel(x, y) == colour;
            }
        }
        return n;
    }

    const int width;
    const int height;

private:
    HDC deviceContext;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// The pixels of a window's client area in `area`, read through the window's device context.
inline std::vector<COLORREF> windowPixels(HWND window, const RECT& area) {
    std::vector<COLORREF> result;
    HDC deviceContext = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            result.push_back(GetPixel(deviceContext, x, y));
        }
    }
    ReleaseDC(window, deviceContext);
    return result;
}

// Records every host call. `onIdle` runs when the effect asks for idle time (host opcode 3).
struct RecordingHost {
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
    };
    std::vector<Call> calls;
    std::function<void()> onIdle;

    static inline RecordingHost* current = nullptr;

    static VstIntPtr VST_CALL callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                       void*, float) {
        RecordingHost* self = current;
        if (!self) return opcode == 1 ? 2400 : 0;
        self->calls.push_back({opcode, index});
        if (opcode == 3 && self->onIdle) self->onIdle();
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

// Delivers every pending message of this thread, paints included.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Paints a window and its children now.
inline void repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Frames made by a test program belong to the program's module.
inline void useProgramInstance() { setInstanceHandle(GetModuleHandleA(nullptr)); }

// The virtual-table entry of a member function, from its member pointer as both Windows
// compilers lay it out (one plus the byte offset of the entry); -1 when not virtual.
template <typename Member>
int tableEntryOf(Member member) {
    struct Representation {
        std::ptrdiff_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(Member) == sizeof(Representation));
    Representation representation;
    std::memcpy(&representation, &member, sizeof representation);
    if ((representation.pointer & 1) == 0) return -1;
    return static_cast<int>((representation.pointer - 1) /
                            static_cast<std::ptrdiff_t>(sizeof(void*)));
}

// The slot of an operation of a class whose destructor is slot 0: the destructor takes two
// entries, so operation n >= 1 is entry n + 1.
template <typename Member>
int slotOf(Member member) {
    const int entry = tableEntryOf(member);
    return entry < 0 ? -1 : entry - 1;
}
