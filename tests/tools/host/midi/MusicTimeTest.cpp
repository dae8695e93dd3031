#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EventSchedule.h"
#include "Transport.h"

using vsthost::EventSchedule;
using vsthost::MidiSong;
using vsthost::Transport;

namespace {

MidiSong::Event note(double seconds, unsigned char status, unsigned char key, unsigned char velocity = 100) {
    return {seconds, {status, key, velocity}};
}

struct Delivered {
    int block;
    int delta;
    unsigned char status;
    unsigned char key;
    bool operator==(const Delivered&) const = default;
};

std::vector<Delivered> play(const std::vector<MidiSong::Event>& events, double rate, int block, int blocks) {
    EventSchedule schedule(events, rate);
    std::vector<Delivered> delivered;
    for (int b = 0; b < blocks; ++b) {
        for (const auto& event : schedule.next(block)) {
            EXPECT_EQ(event.type, kVstMidiType);
            EXPECT_EQ(event.byteSize, static_cast<VstInt32>(sizeof(VstMidiEvent)));
            delivered.push_back({b, event.deltaFrames, static_cast<unsigned char>(event.midiData[0]),
                                 static_cast<unsigned char>(event.midiData[1])});
        }
    }
    return delivered;
}

}  // namespace

// At 1000 frames a second the times are frames; blocks of 100.
TEST(EventSchedule, PutsEachEventInItsBlockAtItsFrame) {
    const std::vector<MidiSong::Event> events = {
        note(0.0, 0x90, 60), note(0.099, 0x90, 61), note(0.1, 0x90, 62), note(0.2995, 0x80, 60),
        note(0.250, 0x90, 63)};
    const std::vector<Delivered> expected = {
        {0, 0, 0x90, 60}, {0, 99, 0x90, 61}, {1, 0, 0x90, 62}, {2, 50, 0x90, 63}, {3, 0, 0x80, 60}};
    EXPECT_EQ(play(events, 1000, 100, 5), expected);
}

// A note sounding before the frame ends first and is struck again last; a note that starts
// and ends within the frame, in either written order, ends after it starts.
TEST(EventSchedule, WithinAFrameEndsSoundingNotesFirstAndStartsNotesBeforeTheyEnd) {
    const std::vector<MidiSong::Event> events = {
        note(0.01, 0x90, 60), note(0.05, 0x90, 60), note(0.05, 0xC0, 5), note(0.05, 0x80, 60),
        note(0.05, 0x90, 62), note(0.05, 0x80, 62), note(0.05, 0x80, 64), note(0.05, 0x90, 64),
        note(0.05, 0x90, 66, 0)};
    const std::vector<Delivered> expected = {{0, 10, 0x90, 60}, {0, 50, 0x80, 60}, {0, 50, 0xC0, 5},
                                             {0, 50, 0x90, 60}, {0, 50, 0x90, 62}, {0, 50, 0x90, 64},
                                             {0, 50, 0x80, 62}, {0, 50, 0x80, 64}, {0, 50, 0x90, 66}};
    EXPECT_EQ(play(events, 1000, 64, 1), expected);
}

TEST(EventSchedule, BlocksOfAnySizeDeliverEveryEventOnceAndInOrder) {
    std::vector<MidiSong::Event> events;
    for (int i = 0; i < 50; ++i) events.push_back(note(i * 0.0137, 0x90, static_cast<unsigned char>(i)));
    for (int block : {1, 7, 64, 1000}) {
        const auto delivered = play(events, 44100, block, 44100 / block + 1);
        ASSERT_EQ(delivered.size(), events.size()) << "blocks of " << block;
        for (std::size_t i = 0; i < delivered.size(); ++i) {
            EXPECT_EQ(delivered[i].key, i);
            const long frame = static_cast<long>(delivered[i].block) * block + delivered[i].delta;
            EXPECT_EQ(frame, std::lround(events[i].seconds * 44100)) << "blocks of " << block;
            EXPECT_LT(delivered[i].delta, block);
        }
    }
}

// 120 quarter notes a minute for 2 s (4 quarters), then 60; 3/4 from quarter 4 on, so its bars
// start off the 3/4 grid counted from 0.
TEST(Transport, FollowsTheTempoMapAndTheMeters) {
    const Transport transport({{0, 0, 120}, {2, 4, 60}}, {{0, 4, 4}, {4, 3, 4}}, 1000);
    const VstInt32 all = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    struct Case {
        double frame, ppq, tempo, barStart;
        int numerator;
    };
    for (const Case& c : {Case{0, 0, 120, 0, 4}, Case{1000, 2, 120, 0, 4}, Case{1999, 3.998, 120, 0, 4},
                          Case{2000, 4, 60, 4, 3}, Case{3500, 5.5, 60, 4, 3}, Case{5000, 7, 60, 7, 3},
                          Case{6500, 8.5, 60, 7, 3}}) {
        const VstTimeInfo info = transport.at(c.frame, all);
        EXPECT_DOUBLE_EQ(info.ppqPos, c.ppq) << "frame " << c.frame;
        EXPECT_EQ(info.tempo, c.tempo) << "frame " << c.frame;
        EXPECT_DOUBLE_EQ(info.barStartPos, c.barStart) << "frame " << c.frame;
        EXPECT_EQ(info.timeSigNumerator, c.numerator) << "frame " << c.frame;
        EXPECT_EQ(info.timeSigDenominator, 4);
        EXPECT_EQ(info.flags & all, all);
    }
    EXPECT_EQ(transport.at(0, 0).flags, kVstTransportPlaying | kVstTransportChanged);
    EXPECT_EQ(transport.at(10, 0).flags, kVstTransportPlaying);
}

// At 81 quarter notes a minute in 3/4 a bar lasts 98000 frames at 44.1 kHz, so blocks of 1000
// start on bar lines; the quarter-note position there may come out a hair below the line, and
// the bar must still be the one that starts on it.
TEST(Transport, PutsABlockOnABarLineInTheBarItStarts) {
    const Transport transport = Transport::steady(81, 3, 4, 44100);
    for (int bar = 0; bar <= 200; ++bar) {
        const VstTimeInfo info = transport.at(bar * 98000.0, kVstPpqPosValid | kVstBarsValid);
        EXPECT_NEAR(info.ppqPos, bar * 3.0, 1e-9) << "bar " << bar;
        EXPECT_EQ(info.barStartPos, bar * 3.0) << "bar " << bar;
    }
    // A meter that changes on such a line holds from the block that starts there.
    const Transport changing({{0, 0, 81}}, {{0, 3, 4}, {33, 4, 4}}, 44100);
    const VstTimeInfo info = changing.at(11 * 98000.0, kVstBarsValid | kVstTimeSigValid);
    EXPECT_EQ(info.timeSigNumerator, 4);
    EXPECT_EQ(info.barStartPos, 33.0);
}

TEST(Transport, ReadsAMeterOnlyInItsWrittenForm) {
    ASSERT_TRUE(Transport::parseMeter("7/8"));
    EXPECT_EQ(Transport::parseMeter("7/8")->numerator, 7);
    EXPECT_EQ(Transport::parseMeter("7/8")->denominator, 8);
    for (const char* wrong : {"7", "7/6", "0/4", "4/0", "x/4", "3.9/4x", "3/4/5", "3/4 ", "-3/4"}) {
        EXPECT_FALSE(Transport::parseMeter(wrong)) << wrong;
    }
}
