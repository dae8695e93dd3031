#pragma once
// The effect record and the host callback: the binary interface a VST 2.4 host sees.
// Every field is fixed-width or pointer-sized; the layout checks below pin each offset
// for 4-byte and 8-byte pointers alike.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST_CALL __cdecl
#else
#define VST_CALL
#endif

using VstInt32 = std::int32_t;
using VstIntPtr = std::intptr_t;

struct AEffect;

// Host side: answers host opcodes. Called on whatever thread the effect calls from.
using HostCallback = VstIntPtr(VST_CALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);

// Record entries: plain functions that forward to the effect named in the record's `object`.
using DispatcherProc = VstIntPtr(VST_CALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using ProcessProc = void(VST_CALL*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
using ProcessDoubleProc = void(VST_CALL*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
using SetParameterProc = void(VST_CALL*)(AEffect* effect, VstInt32 index, float value);
using GetParameterProc = float(VST_CALL*)(AEffect* effect, VstInt32 index);

// Four characters packed most significant byte first, as the host interface spells magic numbers.
constexpr VstInt32 fourCharacters(char a, char b, char c, char d) {
    return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharacters('V', 's', 't', 'P');

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,          // legacy
    effFlagsHasVu = 1 << 2,            // legacy
    effFlagsCanMono = 1 << 3,          // legacy
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,      // legacy
    effFlagsExtHasBuffer = 1 << 11,    // legacy
    effFlagsCanDoubleReplacing = 1 << 12,
};

struct AEffect {
    VstInt32 magic;
    DispatcherProc dispatcher;
    ProcessProc process;                  // legacy accumulating processing
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;                // samples
    VstInt32 realQualities;               // legacy
    VstInt32 offQualities;                // legacy
    float ioRatio;                        // legacy
    void* object;                         // the effect object behind this record
    void* user;                           // the host's; never written by the effect
    VstInt32 uniqueID;
    VstInt32 version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

namespace aeffect_layout {
constexpr bool narrow = sizeof(void*) == 4;
constexpr std::size_t at(std::size_t narrowOffset, std::size_t wideOffset) {
    return narrow ? narrowOffset : wideOffset;
}
}  // namespace aeffect_layout

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "only 4- and 8-byte pointers are laid out");
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == aeffect_layout::at(4, 8));
static_assert(offsetof(AEffect, process) == aeffect_layout::at(8, 16));
static_assert(offsetof(AEffect, setParameter) == aeffect_layout::at(12, 24));
static_assert(offsetof(AEffect, getParameter) == aeffect_layout::at(16, 32));
static_assert(offsetof(AEffect, numPrograms) == aeffect_layout::at(20, 40));
static_assert(offsetof(AEffect, numParams) == aeffect_layout::at(24, 44));
static_assert(offsetof(AEffect, numInputs) == aeffect_layout::at(28, 48));
static_assert(offsetof(AEffect, numOutputs) == aeffect_layout::at(32, 52));
static_assert(offsetof(AEffect, flags) == aeffect_layout::at(36, 56));
static_assert(offsetof(AEffect, resvd1) == aeffect_layout::at(40, 64));
static_assert(offsetof(AEffect, resvd2) == aeffect_layout::at(44, 72));
static_assert(offsetof(AEffect, initialDelay) == aeffect_layout::at(48, 80));
static_assert(offsetof(AEffect, realQualities) == aeffect_layout::at(52, 84));
static_assert(offsetof(AEffect, offQualities) == aeffect_layout::at(56, 88));
static_assert(offsetof(AEffect, ioRatio) == aeffect_layout::at(60, 92));
static_assert(offsetof(AEffect, object) == aeffect_layout::at(64, 96));
static_assert(offsetof(AEffect, user) == aeffect_layout::at(68, 104));
static_assert(offsetof(AEffect, uniqueID) == aeffect_layout::at(72, 112));
static_assert(offsetof(AEffect, version) == aeffect_layout::at(76, 116));
static_assert(offsetof(AEffect, processReplacing) == aeffect_layout::at(80, 120));
static_assert(offsetof(AEffect, processDoubleReplacing) == aeffect_layout::at(84, 128));
static_assert(offsetof(AEffect, future) == aeffect_layout::at(88, 136));
static_assert(sizeof(AEffect) == aeffect_layout::at(144, 192));
static_assert(sizeof(float) == 4 && sizeof(double) == 8);
