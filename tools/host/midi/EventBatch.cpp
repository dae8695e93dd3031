#include "EventBatch.h"

#include <algorithm>
#include <utility>

namespace vsthost {

EventBatch::EventBatch(std::vector<VstMidiEvent> events) : events_(std::move(events)) {
    const std::size_t pointers = std::max<std::size_t>(events_.size(), 2);
    memory_.resize(offsetof(VstEvents, events) / sizeof(VstEvent*) + pointers);
    auto* header = list();
    header->numEvents = static_cast<VstInt32>(events_.size());
    header->reserved = 0;
    for (std::size_t i = 0; i < events_.size(); ++i) {
        header->events[i] = reinterpret_cast<VstEvent*>(&events_[i]);
    }
}

VstMidiEvent EventBatch::midi(int deltaFrames, unsigned char status, unsigned char first, unsigned char second) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(first);
    event.midiData[2] = static_cast<char>(second);
    return event;
}

}  // namespace vsthost
