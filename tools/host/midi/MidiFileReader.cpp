#include "MidiFileReader.h"

#include <fstream>
#include <sstream>

#include "MidiFileParser.h"

namespace vsthost {

Expected<MidiSong> MidiFileReader::read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Error{"cannot open the MIDI file " + path};
    std::ostringstream bytes;
    bytes << file.rdbuf();
    auto song = MidiFileParser::parse(bytes.str());
    if (!song) return Error{path + " " + song.error()};
    return song;
}

}  // namespace vsthost
