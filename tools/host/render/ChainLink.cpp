#include "ChainLink.h"

#include "ChildChannel.h"
#include "EffectState.h"
#include "EventBatch.h"
#include "Host.h"
#include "Opcodes.h"
#include "ParameterSetting.h"
#include "PresetFile.h"

namespace vsthost {

namespace {

constexpr int kMostChannels = 128;

}  // namespace

ChainLink::ChainLink(Effect effect, ChainLine::Link setup, int position, int count)
    : effect_(std::move(effect)), setup_(std::move(setup)), position_(position), count_(count) {}

std::string ChainLink::step(const std::string& block) const {
    if (count_ == 1) return block;
    return block + ", link " + std::to_string(position_) + " (" + setup_.plugin + ")";
}

Expected<bool> ChainLink::prepare(const Format& format, const Transport& transport) {
    const std::string name = count_ == 1 ? "the plug-in" : "link " + std::to_string(position_) + " (" + setup_.plugin + ")";
    const AEffect& record = effect_.record();
    if (record.numOutputs < 1 || record.numOutputs > kMostChannels || record.numInputs < 0 ||
        record.numInputs > kMostChannels) {
        return Error{name + " declares " + std::to_string(record.numInputs) + " inputs and " +
                     std::to_string(record.numOutputs) + " outputs; cannot process with that"};
    }
    if (format.doubles && !effect_.canProcessDoubles()) {
        return Error{"--double: " + name + " cannot process doubles", Error::Kind::usage};
    }
    doubles_ = format.doubles;
    std::optional<PresetFile> preset;
    if (!setup_.preset.empty()) {
        auto read = PresetFile::read(setup_.preset);
        if (!read) return Error{read.error()};
        preset = std::move(*read);
    }
    if (!setup_.automation.empty()) {
        auto read = AutomationSchedule::read(setup_.automation);
        if (!read) return Error{read.error()};
        automation_ = std::move(*read);
    }
    const auto block = static_cast<std::size_t>(format.blockSize);
    floatIn_.emplace(record.numInputs, block);
    floatOut_.emplace(record.numOutputs, block);
    doubleIn_.assign(static_cast<std::size_t>(record.numInputs), std::vector<double>(block));
    outputs_.assign(static_cast<std::size_t>(record.numOutputs), std::vector<double>(block));
    ChildChannel::send(ChildChannel::kStep, step("start-up"));
    effect_.start(static_cast<float>(format.sampleRate), format.blockSize);
    if (preset) {
        ChildChannel::send(ChildChannel::kStep, step("setting the preset"));
        if (auto applied = EffectState::apply(effect_, *preset); !applied) {
            return Error{"'" + setup_.preset + "' " + applied.error()};
        }
    }
    ChildChannel::send(ChildChannel::kStep, step("setting the parameters"));
    for (const auto& written : setup_.parameters) {
        auto setting = ParameterSetting::parse(written);
        if (!setting) return Error{setting.error(), Error::Kind::usage};
        if (auto applied = setting->apply(effect_); !applied) {
            return Error{applied.error() + (count_ == 1 ? "" : " in " + name), Error::Kind::usage};
        }
    }
    // The file was read before the plug-in was loaded; what fails now is a point that names no
    // parameter of this plug-in, or a time its transport cannot place.
    if (automation_) {
        if (auto placed = automation_->resolve(effect_, transport, format.sampleRate); !placed) {
            return Error{placed.error(), Error::Kind::usage};
        }
    }
    return true;
}

std::string ChainLink::connect(int sources, ChannelMap::Mode mode) {
    const int inputs = effect_.record().numInputs;
    const ChannelMap map(mode, sources, inputs);
    // The map is linear: what it makes of each source channel alone gives its weights.
    AudioData basis;
    basis.channels.assign(static_cast<std::size_t>(sources), std::vector<float>(static_cast<std::size_t>(sources)));
    for (int c = 0; c < sources; ++c) basis.channels[static_cast<std::size_t>(c)][static_cast<std::size_t>(c)] = 1;
    const AudioData mapped = map.apply(basis);
    weights_.assign(mapped.channels.size(), {});
    for (std::size_t n = 0; n < mapped.channels.size(); ++n) {
        weights_[n].assign(mapped.channels[n].begin(), mapped.channels[n].end());
    }
    std::string note = map.note();
    if (note.empty()) return note;
    const auto file = note.find("the file has ");
    if (file != std::string::npos) note.replace(file, 13, "link " + std::to_string(position_ - 1) + " has ");
    const auto plugin = note.find("the plug-in ");
    if (plugin != std::string::npos) note.replace(plugin, 12, "link " + std::to_string(position_) + " ");
    return note;
}

void ChainLink::mix(const Lanes& source, std::size_t frames) {
    for (std::size_t n = 0; n < weights_.size(); ++n) {
        auto& to = doubleIn_[n];
        // The first source is copied, not added to zero: -0.0 stays -0.0.
        bool first = true;
        for (std::size_t c = 0; c < weights_[n].size() && c < source.size(); ++c) {
            const double weight = weights_[n][c];
            if (weight == 0) continue;
            for (std::size_t i = 0; i < frames; ++i) {
                const double sample = weight == 1 ? source[c][i] : weight * source[c][i];
                to[i] = first ? sample : to[i] + sample;
            }
            first = false;
        }
        if (first) std::fill_n(to.begin(), frames, 0.0);
    }
    if (doubles_) return;
    for (std::size_t n = 0; n < doubleIn_.size(); ++n) {
        float* to = floatIn_->channel(static_cast<int>(n));
        for (std::size_t i = 0; i < frames; ++i) to[i] = static_cast<float>(doubleIn_[n][i]);
    }
}

void ChainLink::call(std::size_t offset, std::size_t frames) {
    const auto count = static_cast<VstInt32>(frames);
    if (doubles_) {
        doubleInAt_.clear();
        doubleOutAt_.clear();
        for (auto& lane : doubleIn_) doubleInAt_.push_back(lane.data() + offset);
        for (auto& lane : outputs_) doubleOutAt_.push_back(lane.data() + offset);
        effect_.processDoubles(doubleInAt_.data(), doubleOutAt_.data(), count);
        return;
    }
    floatInAt_.clear();
    floatOutAt_.clear();
    for (int c = 0; c < floatIn_->channels(); ++c) floatInAt_.push_back(floatIn_->channel(c) + offset);
    for (int c = 0; c < floatOut_->channels(); ++c) floatOutAt_.push_back(floatOut_->channel(c) + offset);
    effect_.process(floatInAt_.data(), floatOutAt_.data(), count);
}

void ChainLink::process(const Lanes& source, std::int64_t position, std::size_t frames, EventSchedule* events) {
    mix(source, frames);
    if (!doubles_) floatOut_->mark();
    const std::string label = "link " + std::to_string(position_);
    for (std::size_t done = 0; done < frames;) {
        const std::int64_t at = position + static_cast<std::int64_t>(done);
        std::size_t piece = frames - done;
        if (automation_) {
            automation_->applyAt(effect_, at, label);
            piece = automation_->framesUntilNext(at, piece);
        }
        Host::instance().setTransportPosition(static_cast<double>(at));
        if (events) {
            EventBatch batch(events->next(static_cast<int>(piece)));
            if (!batch.empty()) effect_.dispatch(effProcessEvents, 0, 0, batch.list());
        }
        call(done, piece);
        done += piece;
    }
    if (doubles_) return;
    for (std::size_t n = 0; n < outputs_.size(); ++n) {
        const float* from = floatOut_->channel(static_cast<int>(n));
        for (std::size_t i = 0; i < frames; ++i) outputs_[n][i] = from[i];
    }
}

void ChainLink::finish() {
    effect_.stop();
    effect_.close();
}

}  // namespace vsthost
