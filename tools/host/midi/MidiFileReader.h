#pragma once
// Reads a Standard MIDI File (format 0 or 1) into a song: every track's channel messages on
// one time line in seconds, through the file's tempo map.

#include <string>

#include "Expected.h"
#include "MidiSong.h"

namespace vsthost {

class MidiFileReader {
public:
    static Expected<MidiSong> read(const std::string& path);
};

}  // namespace vsthost
