#pragma once
// The records of musical events and musical time that cross the host boundary: the event list
// a host hands to effProcessEvents, its MIDI event, and the time record audioMasterGetTime
// answers with. Their layouts are pinned for both pointer widths.

#include <cstddef>
#include <cstdint>

#include "AEffect.h"

enum VstEventTypes : VstInt32 {
    kVstMidiType = 1,
    kVstSysExType = 6,
};

// Any event: the common header, then 16 bytes whose meaning depends on the type.
struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;     // of the record after these first two fields
    VstInt32 deltaFrames;  // frames from the start of the block the event belongs to
    VstInt32 flags;
    char data[16];
};
static_assert(sizeof(VstEvent) == 32);
static_assert(offsetof(VstEvent, deltaFrames) == 8 && offsetof(VstEvent, data) == 16);

enum VstMidiEventFlags : VstInt32 {
    kVstMidiEventIsRealtime = 1,
};

struct VstMidiEvent {
    VstInt32 type;  // kVstMidiType
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;  // frames; 0 when unknown
    VstInt32 noteOffset;
    char midiData[4];     // status and up to two data bytes; the fourth is always 0
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};
static_assert(sizeof(VstMidiEvent) == sizeof(VstEvent));
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8 && offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, midiData) == 24 && offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29 && offsetof(VstMidiEvent, reserved2) == 31);

// The list handed over for one block. Hosts allocate it with room for `numEvents` pointers;
// the two declared ones only fix where the array starts.
struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];
};
static_assert(offsetof(VstEvents, reserved) == sizeof(void*));
static_assert(offsetof(VstEvents, events) == 2 * sizeof(void*));
static_assert(sizeof(VstEvents) == (sizeof(void*) == 8 ? 32 : 16));

// Bits of VstTimeInfo::flags: the transport's state, and which fields hold a value. A plug-in
// asks for the optional fields with the same bits in its query's filter.
enum VstTimeInfoFlags : VstInt32 {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstTimeInfo {
    double samplePos;    // frames since the transport's start
    double sampleRate;
    double nanoSeconds;  // system time
    double ppqPos;       // quarter notes since the start
    double tempo;        // quarter notes per minute
    double barStartPos;  // ppqPos of the current bar's first beat
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;
};
static_assert(sizeof(VstTimeInfo) == 88);
static_assert(offsetof(VstTimeInfo, ppqPos) == 24 && offsetof(VstTimeInfo, barStartPos) == 40);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64 && offsetof(VstTimeInfo, flags) == 84);
