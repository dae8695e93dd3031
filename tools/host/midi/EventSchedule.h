#pragma once
// Places a song's events on frames and hands them out block by block, each in the block its
// frame falls in, with its offset into that block. The blocks follow each other from frame 0,
// so no event can come late or overtake another.

#include <cstdint>
#include <vector>

#include "EventRecords.h"
#include "MidiSong.h"

namespace vsthost {

class EventSchedule {
public:
    EventSchedule(const std::vector<MidiSong::Event>& events, double sampleRate);

    // The events of the next `frames` frames, in order; advances past them.
    std::vector<VstMidiEvent> next(int frames);
    std::int64_t position() const { return position_; }

private:
    // The order of events within one frame.
    enum Rank { kEndsEarlierNote, kOther, kStartsNote, kEndsNoteOfThisFrame };
    struct Placed {
        std::int64_t frame;
        int rank;
        MidiSong::Event event;
    };

    std::vector<Placed> placed_;
    std::size_t next_ = 0;
    std::int64_t position_ = 0;
};

}  // namespace vsthost
