#include "EventSchedule.h"

#include <algorithm>
#include <cmath>

namespace vsthost {

namespace {

bool isNoteOff(const MidiSong::Event& event) {
    const int kind = event.bytes[0] & 0xF0;
    return kind == 0x80 || (kind == 0x90 && event.bytes[2] == 0);
}

bool isNoteOn(const MidiSong::Event& event) { return (event.bytes[0] & 0xF0) == 0x90 && event.bytes[2] != 0; }

// A note is its channel and key.
int noteOf(const MidiSong::Event& event) { return (event.bytes[0] & 0x0F) << 7 | (event.bytes[1] & 0x7F); }

VstMidiEvent recordOf(const MidiSong::Event& event, std::int64_t delta) {
    VstMidiEvent record{};
    record.type = kVstMidiType;
    record.byteSize = sizeof(VstMidiEvent);
    record.deltaFrames = static_cast<VstInt32>(delta);
    for (std::size_t i = 0; i < event.bytes.size(); ++i) record.midiData[i] = static_cast<char>(event.bytes[i]);
    return record;
}

}  // namespace

// Within one frame a note that was already sounding ends before anything else happens, and
// notes start after everything else, so a note struck again without a gap, or one after its
// program change, sounds as written. A note that starts and ends within the frame ends after
// it starts: it is short, not stuck.
EventSchedule::EventSchedule(const std::vector<MidiSong::Event>& events, double sampleRate) {
    placed_.reserve(events.size());
    for (const auto& event : events) {
        const auto frame = std::max<std::int64_t>(0, std::llround(event.seconds * sampleRate));
        placed_.push_back({frame, 0, event});
    }
    std::stable_sort(placed_.begin(), placed_.end(), [](const Placed& a, const Placed& b) { return a.frame < b.frame; });
    std::vector<int> sounding(16 * 128, 0);
    for (auto first = placed_.begin(); first != placed_.end();) {
        const auto last = std::find_if(first, placed_.end(), [&](const Placed& p) { return p.frame != first->frame; });
        std::vector<int> before = sounding;
        for (auto p = first; p != last; ++p) {
            const int note = noteOf(p->event);
            if (isNoteOff(p->event)) {
                p->rank = before[note] > 0 ? (--before[note], kEndsEarlierNote) : kEndsNoteOfThisFrame;
            } else {
                p->rank = isNoteOn(p->event) ? kStartsNote : kOther;
            }
        }
        std::stable_sort(first, last, [](const Placed& a, const Placed& b) { return a.rank < b.rank; });
        for (auto p = first; p != last; ++p) {
            int& count = sounding[noteOf(p->event)];
            if (isNoteOn(p->event)) ++count;
            else if (isNoteOff(p->event) && count > 0) --count;
        }
        first = last;
    }
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
