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

// What a host puts in `VstKeyCode::virt` for keys without a character of their own. The
// numbering is the format's: hosts send these numbers, so they never change.
enum VstVirtualKey : std::uint8_t {
    VKEY_BACK = 1, VKEY_TAB, VKEY_CLEAR, VKEY_RETURN, VKEY_PAUSE, VKEY_ESCAPE, VKEY_SPACE,
    VKEY_NEXT, VKEY_END, VKEY_HOME, VKEY_LEFT, VKEY_UP, VKEY_RIGHT, VKEY_DOWN, VKEY_PAGEUP,
    VKEY_PAGEDOWN, VKEY_SELECT, VKEY_PRINT, VKEY_ENTER, VKEY_SNAPSHOT, VKEY_INSERT, VKEY_DELETE,
    VKEY_HELP, VKEY_NUMPAD0, VKEY_NUMPAD1, VKEY_NUMPAD2, VKEY_NUMPAD3, VKEY_NUMPAD4,
    VKEY_NUMPAD5, VKEY_NUMPAD6, VKEY_NUMPAD7, VKEY_NUMPAD8, VKEY_NUMPAD9, VKEY_MULTIPLY,
    VKEY_ADD, VKEY_SEPARATOR, VKEY_SUBTRACT, VKEY_DECIMAL, VKEY_DIVIDE, VKEY_F1, VKEY_F2,
    VKEY_F3, VKEY_F4, VKEY_F5, VKEY_F6, VKEY_F7, VKEY_F8, VKEY_F9, VKEY_F10, VKEY_F11, VKEY_F12,
    VKEY_NUMLOCK, VKEY_SCROLL, VKEY_SHIFT, VKEY_CONTROL, VKEY_ALT, VKEY_EQUALS,
};
// Pinned where a slip in the list above would move every key after it.
static_assert(VKEY_TAB == 2 && VKEY_NUMPAD0 == 24 && VKEY_F1 == 40 && VKEY_EQUALS == 57);

// Bits of `VstKeyCode::modifier`. Command is Control on a Mac; Control is Ctrl on Windows and
// Linux (the Apple key on a Mac).
enum VstModifierKey : std::uint8_t {
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,
    MODIFIER_CONTROL = 1 << 3,
};

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
