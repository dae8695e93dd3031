#include "MidiFileParser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vsthost {

namespace {

constexpr double kDefaultMicrosPerQuarter = 500'000;  // 120 quarter notes a minute

// Reads big-endian numbers and variable-length quantities from a span of the file. Reading past
// the end yields zeros and leaves the cursor failed, so a parser checks once, at the end.
class Cursor {
public:
    Cursor(const std::string& bytes, std::size_t begin, std::size_t end) : bytes_(bytes), at_(begin), end_(end) {}

    bool atEnd() const { return at_ >= end_; }
    bool failed() const { return failed_; }
    unsigned char peek() const { return atEnd() ? 0 : static_cast<unsigned char>(bytes_[at_]); }

    unsigned char byte() {
        if (atEnd()) {
            failed_ = true;
            return 0;
        }
        return static_cast<unsigned char>(bytes_[at_++]);
    }

    std::uint32_t number(int size) {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) value = value << 8 | byte();
        return value;
    }

    // At most four bytes of seven bits each, as the file format bounds them; a longer one
    // leaves the cursor failed and overlong.
    std::uint32_t variable() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned char next = byte();
            value = value << 7 | (next & 0x7F);
            if ((next & 0x80) == 0) return value;
        }
        failed_ = overlong_ = true;
        return 0;
    }
    bool overlong() const { return overlong_; }

    std::string take(std::uint32_t size) {
        if (size > end_ - std::min(at_, end_)) {
            failed_ = true;
            at_ = end_;
            return {};
        }
        at_ += size;
        return bytes_.substr(at_ - size, size);
    }

private:
    const std::string& bytes_;
    std::size_t at_;
    std::size_t end_;
    bool failed_ = false;
    bool overlong_ = false;
};

// Everything of every track in ticks, before the tempo map turns ticks into seconds.
struct TickTimeline {
    struct Event {
        std::uint64_t ticks;
        std::array<unsigned char, 3> bytes;
    };
    struct Tempo {
        std::uint64_t ticks;
        double microsPerQuarter;
    };
    struct Meter {
        std::uint64_t ticks;
        int numerator;
        int denominator;
    };
    std::vector<Event> events;
    std::vector<Tempo> tempos;
    std::vector<Meter> meters;
    std::uint64_t endTicks = 0;
};

int dataBytesOf(unsigned char status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

Expected<bool> readMeta(unsigned char type, const std::string& data, std::uint64_t ticks, TickTimeline& timeline) {
    if (type == 0x51) {
        if (data.size() < 3) return Error{"has a tempo event of " + std::to_string(data.size()) + " bytes; it takes 3"};
        const auto micros = static_cast<unsigned char>(data[0]) << 16 | static_cast<unsigned char>(data[1]) << 8 |
                            static_cast<unsigned char>(data[2]);
        if (micros == 0) return Error{"sets a tempo of 0 microseconds a quarter note"};
        timeline.tempos.push_back({ticks, static_cast<double>(micros)});
    } else if (type == 0x58) {
        if (data.size() < 2) return Error{"has a meter event of " + std::to_string(data.size()) + " bytes; it takes 4"};
        // The denominator is stored as a power of two.
        const int numerator = static_cast<unsigned char>(data[0]);
        const int power = static_cast<unsigned char>(data[1]);
        if (numerator == 0 || power > 6) {
            return Error{"has a meter of " + std::to_string(numerator) + " over 2 to the power " + std::to_string(power) +
                         "; meters take 1 to 255 beats of whole notes to 64ths"};
        }
        timeline.meters.push_back({ticks, numerator, 1 << power});
    }
    return true;
}

// One track chunk's events. Meta and system exclusive events end a running status.
Expected<bool> readTrack(Cursor track, TickTimeline& timeline) {
    std::uint64_t ticks = 0;
    unsigned char running = 0;
    bool ended = false;
    while (!track.atEnd() && !track.failed()) {
        if (ended) return Error{"has events after the end of a track"};
        ticks += track.variable();
        if (track.overlong()) return Error{"has a delta time longer than four bytes"};
        unsigned char status = track.peek();
        if (status & 0x80) {
            track.byte();
        } else if (running != 0) {
            status = running;
        } else {
            return Error{"has a data byte without a status in a track"};
        }
        if (status < 0xF0) {
            running = status;
            TickTimeline::Event event{ticks, {status, 0, 0}};
            for (int i = 1; i <= dataBytesOf(status); ++i) {
                event.bytes[i] = track.byte();
                if (event.bytes[i] & 0x80) return Error{"has a status byte where a channel message's data byte belongs"};
            }
            timeline.events.push_back(event);
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            track.take(track.variable());
            if (track.overlong()) return Error{"has a system exclusive length longer than four bytes"};
        } else if (status == 0xFF) {
            running = 0;
            const unsigned char type = track.byte();
            const std::string data = track.take(track.variable());
            if (track.overlong()) return Error{"has a meta event length longer than four bytes"};
            if (track.failed()) break;
            if (type == 0x2F) {
                ended = true;
                continue;
            }
            auto meta = readMeta(type, data, ticks, timeline);
            if (!meta) return Error{meta.error()};
        } else {
            return Error{"has the status byte " + std::to_string(status) + ", which no file may hold, in a track"};
        }
    }
    if (track.failed()) return Error{"is cut short in the middle of a track's event"};
    timeline.endTicks = std::max(timeline.endTicks, ticks);
    return true;
}

// The tempo map from tick 0 on; tempo changes of any track count, a later one at the same tick wins.
std::vector<MidiSong::TempoPoint> tempoMap(std::vector<TickTimeline::Tempo> tempos, double ticksPerQuarter) {
    std::stable_sort(tempos.begin(), tempos.end(), [](const auto& a, const auto& b) { return a.ticks < b.ticks; });
    std::vector<MidiSong::TempoPoint> map = {{0, 0, 60e6 / kDefaultMicrosPerQuarter}};
    for (const auto& change : tempos) {
        const double beat = static_cast<double>(change.ticks) / ticksPerQuarter;
        const double bpm = 60e6 / change.microsPerQuarter;
        const MidiSong::TempoPoint& last = map.back();
        if (beat == last.beat) {
            map.back().bpm = bpm;
        } else {
            map.push_back({last.seconds + (beat - last.beat) * 60.0 / last.bpm, beat, bpm});
        }
    }
    return map;
}

double secondsAt(double beat, const std::vector<MidiSong::TempoPoint>& map) {
    const auto after = std::upper_bound(map.begin(), map.end(), beat,
                                        [](double b, const MidiSong::TempoPoint& p) { return b < p.beat; });
    const MidiSong::TempoPoint& point = *std::prev(after);
    return point.seconds + (beat - point.beat) * 60.0 / point.bpm;
}

MidiSong songOf(TickTimeline timeline, double ticksPerQuarter) {
    MidiSong song;
    song.tempos = tempoMap(std::move(timeline.tempos), ticksPerQuarter);
    auto beatOf = [&](std::uint64_t ticks) { return static_cast<double>(ticks) / ticksPerQuarter; };
    std::stable_sort(timeline.events.begin(), timeline.events.end(),
                     [](const auto& a, const auto& b) { return a.ticks < b.ticks; });
    for (const auto& event : timeline.events) song.events.push_back({secondsAt(beatOf(event.ticks), song.tempos), event.bytes});
    std::stable_sort(timeline.meters.begin(), timeline.meters.end(),
                     [](const auto& a, const auto& b) { return a.ticks < b.ticks; });
    for (const auto& meter : timeline.meters) {
        const double beat = beatOf(meter.ticks);
        if (!song.meters.empty() && song.meters.back().beat == beat) song.meters.pop_back();
        song.meters.push_back({beat, meter.numerator, meter.denominator});
    }
    song.seconds = secondsAt(beatOf(timeline.endTicks), song.tempos);
    return song;
}

}  // namespace

Expected<MidiSong> MidiFileParser::parse(const std::string& bytes) {
    Cursor header(bytes, 0, bytes.size());
    if (header.take(4) != "MThd") return Error{"is not a Standard MIDI File"};
    const std::uint32_t headerSize = header.number(4);
    const std::uint32_t format = header.number(2);
    header.number(2);  // the track count; the chunks themselves say where tracks are
    const std::uint32_t division = header.number(2);
    if (header.failed() || headerSize < 6) return Error{"is not a Standard MIDI File"};
    if (headerSize > bytes.size() - 8) return Error{"is cut short: its header reaches past its end"};
    if (format > 1) return Error{"is a format " + std::to_string(format) + " MIDI file; formats 0 and 1 play"};
    if (division & 0x8000) return Error{"counts its time in SMPTE frames; only ticks per quarter note play"};
    if (division == 0) return Error{"has 0 ticks per quarter note"};

    TickTimeline timeline;
    std::size_t at = 8 + static_cast<std::size_t>(headerSize);
    while (at < bytes.size()) {
        if (bytes.size() - at < 8) {
            return Error{"has " + std::to_string(bytes.size() - at) + " bytes after its last chunk, too few for a chunk"};
        }
        Cursor chunk(bytes, at, bytes.size());
        const std::string id = chunk.take(4);
        const std::size_t size = chunk.number(4);
        if (size > bytes.size() - at - 8) return Error{"is cut short: a chunk reaches past its end"};
        if (id == "MTrk") {
            auto read = readTrack(Cursor(bytes, at + 8, at + 8 + size), timeline);
            if (!read) return Error{read.error()};
        }
        at += 8 + size;
    }
    return songOf(std::move(timeline), static_cast<double>(division));
}

}  // namespace vsthost
