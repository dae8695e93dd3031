#pragma once
// One plug-in of a render at work: its instance, its settings and automation, and its buffers.
// Between links the audio travels as doubles, so floats pass unchanged and a chain in double
// precision loses nothing between its plug-ins; each link is called in the precision the
// render asks for.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AutomationSchedule.h"
#include "ChainLine.h"
#include "ChannelBuffers.h"
#include "ChannelMap.h"
#include "Effect.h"
#include "EventSchedule.h"
#include "Expected.h"
#include "Transport.h"

namespace vsthost {

class ChainLink {
public:
    using Lanes = std::vector<std::vector<double>>;
    struct Format {
        double sampleRate;
        int blockSize;
        bool doubles;
    };

    // `position` from 1; `count` the chain's length, for the names of its steps.
    ChainLink(Effect effect, ChainLine::Link setup, int position, int count);

    // Checks the pins and the precision, starts the instance, sets its preset and parameters
    // and places its automation; fails in one line that names the link.
    Expected<bool> prepare(const Format& format, const Transport& transport);
    // How the `sources` channels before this link reach its inputs; a line saying so when the
    // counts differ.
    std::string connect(int sources, ChannelMap::Mode mode);

    // `frames` frames of `source` from frame `position` of the render, cut at the automation's
    // sets; `events` the song's, for the link that plays it.
    void process(const Lanes& source, std::int64_t position, std::size_t frames, EventSchedule* events);
    const Lanes& outputs() const { return outputs_; }
    int inputCount() const { return effect_.record().numInputs; }
    int outputCount() const { return effect_.record().numOutputs; }
    bool isInstrument() const { return effect_.isInstrument(); }
    // "block 3, frames 0 to 511", with the link for a chain.
    std::string step(const std::string& block) const;
    void finish();

private:
    void mix(const Lanes& source, std::size_t frames);
    void call(std::size_t offset, std::size_t frames);

    Effect effect_;
    ChainLine::Link setup_;
    int position_;
    int count_;
    bool doubles_ = false;
    std::optional<AutomationSchedule> automation_;
    std::vector<std::vector<double>> weights_;  // input n takes the sum of weights_[n][c] * source c
    std::optional<ChannelBuffers> floatIn_;
    std::optional<ChannelBuffers> floatOut_;
    Lanes doubleIn_;
    Lanes outputs_;
    std::vector<float*> floatInAt_, floatOutAt_;
    std::vector<double*> doubleInAt_, doubleOutAt_;
};

}  // namespace vsthost
