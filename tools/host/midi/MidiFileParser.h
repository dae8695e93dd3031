#pragma once
// The host's reader of Standard MIDI Files (format 0 or 1, division in ticks per quarter note):
// channel messages as written, tempo changes and meters of every track, on one time line in
// seconds through the merged tempo map. Anything the format does not allow is refused with
// one line that says what, never read as something else.

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
