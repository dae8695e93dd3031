#pragma once
// The musical time a plug-in is told: where the transport stands in frames, quarter notes and
// bars, following a tempo map and meters (a song's, or one steady tempo and meter).

#include <vector>

#include "EventRecords.h"
#include "Expected.h"
#include "MidiSong.h"

namespace vsthost {

class Transport {
public:
    Transport(std::vector<MidiSong::TempoPoint> tempos, std::vector<MidiSong::Meter> meters, double sampleRate);
    static Transport steady(double bpm, int numerator, int denominator, double sampleRate);
    // "N/D" as a meter: N from 1 to 64, D a power of two up to 64.
    static Expected<MidiSong::Meter> parseMeter(const std::string& text);

    // The time record at frame `samplePos`; the optional fields only where `filter` asks.
    VstTimeInfo at(double samplePos, VstInt32 filter) const;
    // The frame where bar `bar` reaches its beat `beat` (both from 1, beats of the meter's own
    // note value) and `ticks` of kTicksPerBeat more, bars counted across the meters.
    static constexpr int kTicksPerBeat = 960;
    double frameOf(int bar, int beat, int ticks) const;

private:
    const MidiSong::TempoPoint& tempoAt(double seconds) const;
    const MidiSong::Meter& meterAt(double beat) const;

    std::vector<MidiSong::TempoPoint> tempos_;
    std::vector<MidiSong::Meter> meters_;
    double sampleRate_;
};

}  // namespace vsthost
