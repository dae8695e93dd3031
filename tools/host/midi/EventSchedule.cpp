#include "EventSchedule.h"

#include <algorithm>
#include <cmath>

namespace vsthost {

namespace {

// Within one frame a note ends before anything else happens and starts after, so a note
// repeated without a gap, or one after its program change, sounds as written.
int rankOf(const MidiSong::Event& event) {
    const int kind = event.bytes[0] & 0xF0;
    const bool noteOff = kind == 0x80 || (kind == 0x90 && event.bytes[2] == 0);
    if (noteOff) return 0;
    return kind == 0x90 ? 2 : 1;
}

VstMidiEvent recordOf(const MidiSong::Event& event, std::int64_t delta) {
    VstMidiEvent record{};
    record.type = kVstMidiType;
    record.byteSize = sizeof(VstMidiEvent);
    record.deltaFrames = static_cast<VstInt32>(delta);
    for (std::size_t i = 0; i < event.bytes.size(); ++i) record.midiData[i] = static_cast<char>(event.bytes[i]);
    return record;
}

}  // namespace

EventSchedule::EventSchedule(const std::vector<MidiSong::Event>& events, double sampleRate) {
    placed_.reserve(events.size());
    for (const auto& event : events) {
        const auto frame = std::max<std::int64_t>(0, std::llround(event.seconds * sampleRate));
        placed_.push_back({frame, rankOf(event), event});
    }
    std::stable_sort(placed_.begin(), placed_.end(), [](const Placed& a, const Placed& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.rank < b.rank;
    });
}

std::vector<VstMidiEvent> EventSchedule::next(int frames) {
    std::vector<VstMidiEvent> due;
    const std::int64_t end = position_ + frames;
    for (; next_ < placed_.size() && placed_[next_].frame < end; ++next_) {
        due.push_back(recordOf(placed_[next_].event, placed_[next_].frame - position_));
    }
    position_ = end;
    return due;
}

}  // namespace vsthost
