// libFuzzer harness for the host's MIDI file reader: any bytes are either refused with a
// reason or read into a song whose times are in order and finite, whose tempo map runs
// forward, and whose meters are bars a host can count.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "MidiFileParser.h"

namespace {

void require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto song = vsthost::MidiFileParser::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!song) {
        require(!song.error().empty());
        return 0;
    }
    double previous = 0;
    for (const auto& event : song->events) {
        require(std::isfinite(event.seconds) && event.seconds >= previous && event.seconds <= song->seconds);
        require(event.bytes[0] >= 0x80 && event.bytes[0] < 0xF0 && event.bytes[1] < 0x80 && event.bytes[2] < 0x80);
        previous = event.seconds;
    }
    require(!song->tempos.empty() && song->tempos.front().beat == 0 && song->tempos.front().seconds == 0);
    for (std::size_t i = 0; i < song->tempos.size(); ++i) {
        const auto& point = song->tempos[i];
        require(std::isfinite(point.bpm) && point.bpm > 0);
        if (i > 0) require(point.beat > song->tempos[i - 1].beat && point.seconds >= song->tempos[i - 1].seconds);
    }
    for (const auto& meter : song->meters) {
        require(meter.numerator > 0 && meter.denominator > 0 && meter.denominator <= 64 &&
                (meter.denominator & (meter.denominator - 1)) == 0);
    }
    return 0;
}
