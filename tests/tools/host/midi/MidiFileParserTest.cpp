#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MidiFileParser.h"
#include "ProgramFolder.h"

using vsthost::MidiFileParser;

namespace {

// The crafted files the reader's fuzzer starts from, copied beside this program.
std::string corpusFile(const std::string& name) {
    std::ifstream file(programFolder() + "/midi-corpus/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    EXPECT_TRUE(file.good()) << name;
    return bytes.str();
}

}  // namespace

// Everything the format does not allow is refused with what is wrong, never read as something
// else: no empty song, no guessed meter, no byte taken for another.
TEST(MidiFileParser, RefusesWhatTheFormatDoesNotAllowSayingWhat) {
    const struct {
        const char* file;
        const char* fault;
    } cases[] = {
        {"header-length-zero.mid", "is not a Standard MIDI File"},
        {"header-past-end.mid", "its header reaches past its end"},
        {"zero-length-meter.mid", "has a meter event of 0 bytes"},
        {"zero-length-tempo.mid", "has a tempo event of 0 bytes"},
        {"chunk-length-ffffffff.mid", "a chunk reaches past its end"},
        {"zero-division.mid", "has 0 ticks per quarter note"},
        {"tempo-zero.mid", "sets a tempo of 0 microseconds"},
        {"format-2.mid", "is a format 2 MIDI file"},
        {"smpte-division.mid", "counts its time in SMPTE frames"},
        {"trailing-bytes.mid", "has 3 bytes after its last chunk"},
        {"events-after-end.mid", "has events after the end of a track"},
        {"meter-denominator-2-to-31.mid", "has a meter of 4 over 2 to the power 31"},
        {"velocity-above-127.mid", "a status byte where a channel message's data byte belongs"},
        {"five-byte-delta.mid", "has a delta time longer than four bytes"},
    };
    for (const auto& refused : cases) {
        const auto song = MidiFileParser::parse(corpusFile(refused.file));
        ASSERT_FALSE(song) << refused.file;
        EXPECT_NE(song.error().find(refused.fault), std::string::npos) << refused.file << ": " << song.error();
    }
}

// Tempo changes of any track time every track; one- and two-byte messages under running
// status, and polyphonic pressure, arrive exactly as written.
TEST(MidiFileParser, PlaysEveryMessageAsWrittenOnOneTempoMap) {
    struct Heard {
        double seconds;
        std::vector<int> bytes;
        bool operator==(const Heard&) const = default;
    };
    const struct {
        const char* file;
        std::vector<Heard> heard;
    } cases[] = {
        {"tempo-in-second-track.mid", {{1.0, {0x90, 60, 100}}, {2.0, {0x80, 60, 0}}}},
        {"pressure-and-running-status.mid",
         {{0, {0xC0, 5, 0}}, {0, {0xC0, 7, 0}}, {0, {0xD0, 40, 0}}, {0, {0xD0, 50, 0}},
          {0.5, {0x90, 60, 100}}, {0.75, {0xA0, 60, 30}}, {1.0, {0x80, 60, 0}}}},
        {"unknown-chunk-before-track.mid", {{0.5, {0x90, 60, 100}}, {1.0, {0x80, 60, 0}}}},
        {"no-end-of-track.mid", {{0.5, {0x90, 60, 100}}, {1.0, {0x80, 60, 0}}}},
    };
    for (const auto& played : cases) {
        const auto song = MidiFileParser::parse(corpusFile(played.file));
        ASSERT_TRUE(song) << played.file << ": " << song.error();
        std::vector<Heard> heard;
        for (const auto& event : song->events) {
            heard.push_back({event.seconds, {event.bytes[0], event.bytes[1], event.bytes[2]}});
        }
        EXPECT_EQ(heard, played.heard) << played.file;
        EXPECT_DOUBLE_EQ(song->seconds, played.heard.back().seconds) << played.file;
    }
}
