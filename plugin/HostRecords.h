#pragma once
// Records that cross the host boundary besides the effect record, with their layouts pinned.
// Records the defaults never read are declared only; an effect that uses one defines it.

#include <cstddef>
#include <cstdint>

#include "AEffect.h"

// Editor rectangle: note top before left, unlike the toolkit's rectangle.
struct ERect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};
static_assert(sizeof(ERect) == 8);
static_assert(offsetof(ERect, top) == 0 && offsetof(ERect, left) == 2);
static_assert(offsetof(ERect, bottom) == 4 && offsetof(ERect, right) == 6);

// Key record handed to the editor; the two bytes after `modifier` carry no meaning.
struct VstKeyCode {
    VstInt32 character;
    std::uint8_t virt;
    std::uint8_t modifier;
};
static_assert(sizeof(VstKeyCode) == 8);
static_assert(offsetof(VstKeyCode, character) == 0);
static_assert(offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5);

constexpr int kSpeakerNameSize = 64;

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[kSpeakerNameSize];
    VstInt32 type;
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerProperties, azimuth) == 0);
static_assert(offsetof(VstSpeakerProperties, elevation) == 4);
static_assert(offsetof(VstSpeakerProperties, radius) == 8);
static_assert(offsetof(VstSpeakerProperties, reserved) == 12);
static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstSpeakerProperties, future) == 84);

// Header of an arrangement; `numChannels` speaker records follow it directly.
struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
};
static_assert(sizeof(VstSpeakerArrangement) == 8);
static_assert(offsetof(VstSpeakerArrangement, type) == 0);
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4);
static_assert(alignof(VstSpeakerProperties) <= alignof(VstSpeakerArrangement));

// The speaker record of channel `channel`, which lives behind the header.
inline VstSpeakerProperties* speakerOf(VstSpeakerArrangement* arrangement, VstInt32 channel) {
    auto* first = reinterpret_cast<unsigned char*>(arrangement) + sizeof(VstSpeakerArrangement);
    return reinterpret_cast<VstSpeakerProperties*>(first) + channel;
}
inline const VstSpeakerProperties* speakerOf(const VstSpeakerArrangement* arrangement,
                                             VstInt32 channel) {
    auto* first = reinterpret_cast<const unsigned char*>(arrangement) + sizeof(VstSpeakerArrangement);
    return reinterpret_cast<const VstSpeakerProperties*>(first) + channel;
}

struct VstEvents;
struct VstTimeInfo;
struct VstPinProperties;
struct VstParameterProperties;
struct VstVariableIo;
struct VstPatchChunkInfo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstFileSelect;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
