#pragma once
// The host's own reader of Standard MIDI Files (format 0 or 1, division in ticks per quarter
// note), for builds without portSMF: channel messages, tempo changes and meters of every track,
// on one time line in seconds through the merged tempo map.

#include <string>

#include "Expected.h"
#include "MidiSong.h"

namespace vsthost {

class MidiFileParser {
public:
    // `bytes` is the whole file; a fault names what is wrong with it.
    static Expected<MidiSong> parse(const std::string& bytes);
};

}  // namespace vsthost
