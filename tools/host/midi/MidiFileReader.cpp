#include "MidiFileReader.h"

#if defined(LANTER5_HAS_PORTSMF)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include <portSMF/allegro.h>

namespace vsthost {

namespace {

unsigned char dataByte(double value) { return static_cast<unsigned char>(std::clamp(value, 0.0, 127.0)); }

unsigned char statusOf(int kind, const Alg_event& event) {
    return static_cast<unsigned char>(kind | (event.chan < 0 ? 0 : event.chan & 0x0F));
}

void addNote(Alg_note& note, MidiSong& song) {
    const auto key = dataByte(static_cast<double>(note.get_identifier()));
    const auto velocity = dataByte(std::round(note.get_loud()));
    song.events.push_back({note.time, {statusOf(0x90, note), key, std::max<unsigned char>(velocity, 1)}});
    song.events.push_back({note.time + note.dur, {statusOf(0x80, note), key, 0}});
    song.seconds = std::max(song.seconds, note.time + note.dur);
}

// Bend, pressure and controllers come as scaled real attributes.
bool scaledMessage(Alg_update& update, MidiSong::Event& event) {
    const char* name = update.get_attribute();
    const double value = update.get_real_value();
    int controller = 0;
    if (std::strcmp(name, "bendr") == 0) {
        const auto bend = static_cast<int>(std::clamp(std::lround((value + 1.0) * 8192.0), 0L, 16383L));
        event.bytes = {statusOf(0xE0, update), static_cast<unsigned char>(bend & 0x7F),
                       static_cast<unsigned char>(bend >> 7)};
    } else if (std::strcmp(name, "pressurer") == 0) {
        event.bytes = {statusOf(0xD0, update), dataByte(std::round(value * 127.0)), 0};
    } else if (std::sscanf(name, "control%dr", &controller) == 1 && controller >= 0 && controller < 128) {
        event.bytes = {statusOf(0xB0, update), static_cast<unsigned char>(controller),
                       dataByte(std::round(value * 127.0))};
    } else {
        return false;
    }
    return true;
}

// The file reader keeps channel messages other than notes as named attributes. Texts, key
// signatures and system exclusive messages are attributes of other types, which the reader
// may not ask for a real value, and which no plug-in is sent.
void addUpdate(Alg_update& update, MidiSong& song) {
    MidiSong::Event event{update.time, {}};
    if (std::strcmp(update.get_attribute(), "programi") == 0) {
        event.bytes = {statusOf(0xC0, update), dataByte(static_cast<double>(update.get_integer_value())), 0};
    } else if (update.get_update_type() != 'r' || !scaledMessage(update, event)) {
        return;
    }
    song.events.push_back(event);
    song.seconds = std::max(song.seconds, update.time);
}

void readTempoMap(Alg_seq& sequence, MidiSong& song) {
    Alg_time_map& map = *sequence.get_time_map();
    for (long i = 0; i < map.length(); ++i) {
        const Alg_beat& point = map.beats[static_cast<int>(i)];
        double bpm = map.last_tempo * 60.0;
        if (i + 1 < map.length()) {
            const Alg_beat& following = map.beats[static_cast<int>(i + 1)];
            if (following.time <= point.time) continue;
            bpm = (following.beat - point.beat) / (following.time - point.time) * 60.0;
        }
        song.tempos.push_back({point.time, point.beat, bpm});
    }
    for (long i = 0; i < sequence.time_sig.length(); ++i) {
        const Alg_time_sig& meter = sequence.time_sig[static_cast<int>(i)];
        song.meters.push_back({meter.beat, static_cast<int>(meter.num), static_cast<int>(meter.den)});
    }
}

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// A file that sets no tempo plays at 120 quarter notes a minute, where the library would take
// 100. So the first track starts with a tempo of 120, which a tempo of the file's own at the
// same tick replaces, as a later one there does.
std::string withStandardTempo(std::string bytes) {
    static const std::string kTempo120("\0\xFF\x51\x03\x07\xA1\x20", 7);
    constexpr std::size_t kChunkHeader = 8;
    if (bytes.size() < kChunkHeader || bytes.compare(0, 4, "MThd") != 0) return bytes;
    const std::size_t track = kChunkHeader + bigEndian(bytes, 4);
    if (track > bytes.size() || bytes.size() - track < kChunkHeader || bytes.compare(track, 4, "MTrk") != 0) {
        return bytes;
    }
    const std::uint32_t length = bigEndian(bytes, track + 4) + static_cast<std::uint32_t>(kTempo120.size());
    for (int i = 0; i < 4; ++i) bytes[track + 4 + i] = static_cast<char>(length >> (24 - 8 * i));
    bytes.insert(track + kChunkHeader, kTempo120);
    return bytes;
}

}  // namespace

Expected<MidiSong> MidiFileReader::read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Error{"cannot open the MIDI file " + path};
    std::ostringstream whole;
    whole << file.rdbuf();
    std::istringstream standard(withStandardTempo(whole.str()));
    Alg_seq sequence(standard, true);
    if (sequence.get_read_error() != alg_no_error) return Error{path + " is not a Standard MIDI File"};
    sequence.convert_to_seconds();
    MidiSong song;
    for (int t = 0; t < sequence.tracks(); ++t) {
        Alg_track& track = *sequence.track(t);
        for (int i = 0; i < track.length(); ++i) {
            Alg_event& event = *track[i];
            if (event.is_note()) addNote(static_cast<Alg_note&>(event), song);
            else addUpdate(static_cast<Alg_update&>(event), song);
        }
    }
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const MidiSong::Event& a, const MidiSong::Event& b) { return a.seconds < b.seconds; });
    readTempoMap(sequence, song);
    song.seconds = std::max(song.seconds, sequence.get_real_dur());
    return song;
}

}  // namespace vsthost

#else

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

#endif
