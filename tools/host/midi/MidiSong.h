#pragma once
// A MIDI file as the host plays it: its channel messages at their times in seconds, its tempo
// map and its meters, and how long it lasts.

#include <array>
#include <vector>

namespace vsthost {

struct MidiSong {
    struct Event {
        double seconds = 0;
        std::array<unsigned char, 3> bytes{};  // status and its data bytes, unused ones 0
    };
    // From `seconds` (at quarter note `beat`) on, the tempo is `bpm` quarter notes a minute.
    struct TempoPoint {
        double seconds = 0;
        double beat = 0;
        double bpm = 120;
    };
    // From quarter note `beat` on, bars of numerator/denominator.
    struct Meter {
        double beat = 0;
        int numerator = 4;
        int denominator = 4;
    };

    std::vector<Event> events;
    std::vector<TempoPoint> tempos;
    std::vector<Meter> meters;
    double seconds = 0;
};

}  // namespace vsthost
