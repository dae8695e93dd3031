#pragma once
// The records a plug-in fills for effGetInputProperties (33), effGetOutputProperties (34) and
// effGetParameterProperties (56), field by field as the interface passes them. The effect's own
// operations take them as opaque pointers; hosts, vsthost among them, read them through these.

#include <cstddef>
#include <cstdint>

#include "AEffect.h"

namespace vsthost {

struct PinProperties {
    static constexpr VstInt32 kIsActive = 1;
    static constexpr VstInt32 kIsStereo = 2;
    static constexpr VstInt32 kUseSpeaker = 4;

    char label[64];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[8];
    char future[48];
};
static_assert(sizeof(PinProperties) == 128);
static_assert(offsetof(PinProperties, flags) == 64);
static_assert(offsetof(PinProperties, arrangementType) == 68);
static_assert(offsetof(PinProperties, shortLabel) == 72);

struct ParameterProperties {
    static constexpr VstInt32 kIsSwitch = 1;
    static constexpr VstInt32 kUsesIntegerMinMax = 2;
    static constexpr VstInt32 kUsesFloatStep = 4;
    static constexpr VstInt32 kUsesIntStep = 8;
    static constexpr VstInt32 kSupportsDisplayIndex = 16;
    static constexpr VstInt32 kSupportsDisplayCategory = 32;
    static constexpr VstInt32 kCanRamp = 64;

    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    VstInt32 flags;
    VstInt32 minInteger;
    VstInt32 maxInteger;
    VstInt32 stepInteger;
    VstInt32 largeStepInteger;
    char shortLabel[8];
    std::int16_t displayIndex;
    std::int16_t category;
    std::int16_t numParametersInCategory;
    std::int16_t reserved;
    char categoryLabel[24];
    char future[16];
};
static_assert(sizeof(ParameterProperties) == 152);
static_assert(offsetof(ParameterProperties, label) == 12);
static_assert(offsetof(ParameterProperties, flags) == 76);
static_assert(offsetof(ParameterProperties, shortLabel) == 96);
static_assert(offsetof(ParameterProperties, displayIndex) == 104);
static_assert(offsetof(ParameterProperties, categoryLabel) == 112);

}  // namespace vsthost
