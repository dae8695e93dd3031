#include "MidiFileReader.h"

#include "FileName.h"
#include "MidiFileParser.h"

namespace vsthost {

Expected<MidiSong> MidiFileReader::read(const std::string& path) {
    std::string bytes;
    if (!FileName::read(path, bytes)) return Error{"cannot open the MIDI file " + path};
    auto song = MidiFileParser::parse(bytes);
    if (!song) return Error{path + " " + song.error()};
    return song;
}

}  // namespace vsthost
