#include "Transport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vsthost {

Transport::Transport(std::vector<MidiSong::TempoPoint> tempos, std::vector<MidiSong::Meter> meters,
                     double sampleRate)
    : tempos_(std::move(tempos)), meters_(std::move(meters)), sampleRate_(sampleRate) {
    // A map always starts at the top, at the file's default when it says nothing there.
    if (tempos_.empty() || tempos_.front().seconds > 0) tempos_.insert(tempos_.begin(), MidiSong::TempoPoint{});
    if (meters_.empty() || meters_.front().beat > 0) meters_.insert(meters_.begin(), MidiSong::Meter{});
}

Transport Transport::steady(double bpm, int numerator, int denominator, double sampleRate) {
    return Transport({{0, 0, bpm}}, {{0, numerator, denominator}}, sampleRate);
}

Expected<MidiSong::Meter> Transport::parseMeter(const std::string& text) {
    // Whole numbers only, each all digits: "3.9/4x" is no meter.
    const auto whole = [](const std::string& digits) {
        const bool plain = !digits.empty() && digits.size() <= 3 &&
                           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
        return plain ? std::atoi(digits.c_str()) : 0;
    };
    const auto slash = text.find('/');
    const int numerator = whole(text.substr(0, slash));
    const int denominator = slash == std::string::npos ? 0 : whole(text.substr(slash + 1));
    const bool powerOfTwo = denominator > 0 && (denominator & (denominator - 1)) == 0;
    if (numerator < 1 || numerator > 64 || !powerOfTwo || denominator > 64) {
        return Error{"--meter wants N/D, such as 3/4 or 7/8, not \"" + text + "\""};
    }
    return MidiSong::Meter{0, numerator, denominator};
}

const MidiSong::TempoPoint& Transport::tempoAt(double seconds) const {
    auto after = std::upper_bound(tempos_.begin(), tempos_.end(), seconds,
                                  [](double s, const MidiSong::TempoPoint& p) { return s < p.seconds; });
    return *std::prev(after);
}

const MidiSong::Meter& Transport::meterAt(double beat) const {
    auto after = std::upper_bound(meters_.begin(), meters_.end(), beat,
                                  [](double b, const MidiSong::Meter& m) { return b < m.beat; });
    return *std::prev(after);
}

double Transport::frameOf(int bar, int beat, int ticks) const {
    // Bars begin anew at each meter, as at() counts them.
    std::size_t index = 0;
    double barsBefore = 0;
    for (; index + 1 < meters_.size(); ++index) {
        const auto& meter = meters_[index];
        const double barLength = meter.numerator * 4.0 / meter.denominator;
        const double bars = std::ceil((meters_[index + 1].beat - meter.beat) / barLength - 1e-9);
        if (barsBefore + bars > bar - 1) break;
        barsBefore += bars;
    }
    const auto& meter = meters_[index];
    const double beatLength = 4.0 / meter.denominator;
    const double quarter = meter.beat + (bar - 1 - barsBefore) * meter.numerator * beatLength +
                           (beat - 1 + static_cast<double>(ticks) / kTicksPerBeat) * beatLength;
    auto after = std::upper_bound(tempos_.begin(), tempos_.end(), quarter,
                                  [](double q, const MidiSong::TempoPoint& p) { return q < p.beat; });
    const auto& tempo = *std::prev(after);
    return (tempo.seconds + (quarter - tempo.beat) * 60.0 / tempo.bpm) * sampleRate_;
}

VstTimeInfo Transport::at(double samplePos, VstInt32 filter) const {
    VstTimeInfo info{};
    info.samplePos = samplePos;
    info.sampleRate = sampleRate_;
    info.flags = kVstTransportPlaying | (samplePos == 0 ? kVstTransportChanged : 0);
    const double seconds = samplePos / sampleRate_;
    const auto& tempo = tempoAt(seconds);
    const double ppq = tempo.beat + (seconds - tempo.seconds) * tempo.bpm / 60.0;
    const auto& meter = meterAt(ppq + 1e-9);
    if (filter & kVstPpqPosValid) {
        info.ppqPos = ppq;
        info.flags |= kVstPpqPosValid;
    }
    if (filter & kVstTempoValid) {
        info.tempo = tempo.bpm;
        info.flags |= kVstTempoValid;
    }
    if (filter & kVstBarsValid) {
        const double barLength = meter.numerator * 4.0 / meter.denominator;
        info.barStartPos = meter.beat + std::floor((ppq - meter.beat) / barLength + 1e-9) * barLength;
        info.flags |= kVstBarsValid;
    }
    if (filter & kVstTimeSigValid) {
        info.timeSigNumerator = meter.numerator;
        info.timeSigDenominator = meter.denominator;
        info.flags |= kVstTimeSigValid;
    }
    return info;
}

}  // namespace vsthost
