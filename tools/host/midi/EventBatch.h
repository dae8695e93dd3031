#pragma once
// The event list of one block, in the memory layout the plug-in reads: the header with room for
// every pointer, and the events it points at.

#include <cstddef>
#include <vector>

#include "EventRecords.h"

namespace vsthost {

class EventBatch {
public:
    explicit EventBatch(std::vector<VstMidiEvent> events);
    EventBatch(const EventBatch&) = delete;
    EventBatch& operator=(const EventBatch&) = delete;

    bool empty() const { return events_.empty(); }
    VstEvents* list() { return reinterpret_cast<VstEvents*>(memory_.data()); }

    // A MIDI message of up to three bytes at `deltaFrames` into its block.
    static VstMidiEvent midi(int deltaFrames, unsigned char status, unsigned char first, unsigned char second);

private:
    std::vector<VstMidiEvent> events_;
    std::vector<VstEvent*> memory_;  // pointer-aligned room for the header and the pointers
};
static_assert(offsetof(VstEvents, events) % sizeof(VstEvent*) == 0);

}  // namespace vsthost
