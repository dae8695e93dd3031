#include "ProcessCommand.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "ChannelBuffers.h"
#include "ChildChannel.h"
#include "ChildProcess.h"
#include "ChildWork.h"
#include "Effect.h"
#include "Host.h"
#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "EventBatch.h"
#include "EffectState.h"
#include "EventSchedule.h"
#include "FileName.h"
#include "MidiFileReader.h"
#include "Opcodes.h"
#include "PresetFile.h"
#include "Transport.h"

namespace vsthost {

namespace {

// Files longer than this many seconds report their progress.
constexpr std::size_t kLongFileSeconds = 30;
// Without a known length, progress is told once per this many seconds of audio.
constexpr std::size_t kOpenLengthReportSeconds = 600;
constexpr int kMostChannels = 128;
// The longest render vsthost starts: a day of audio, at the rate it runs.
constexpr double kLongestSeconds = 24 * 3600;

class Progress {
public:
    Progress(std::optional<std::size_t> total, int sampleRate)
        : total_(total.value_or(0)),
          every_(total ? 0 : std::max<std::size_t>(kOpenLengthReportSeconds * static_cast<std::size_t>(sampleRate), 1 << 20)),
          shown_(!total || *total > kLongFileSeconds * static_cast<std::size_t>(sampleRate)) {}
    void advance(std::size_t done) {
        if (!shown_) return;
        const std::size_t step = every_ > 0 ? done / every_ : done * 10 / total_;
        if (step == lastStep_) return;
        lastStep_ = step;
        if (every_ > 0) ChildChannel::note(std::to_string(done) + " frames so far");
        else ChildChannel::note(std::to_string(step * 10) + "% (" + std::to_string(done) + " of " +
                                std::to_string(total_) + " frames)");
    }

private:
    std::size_t total_;
    std::size_t every_;
    bool shown_;
    std::size_t lastStep_ = 0;
};

std::string hours(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

// Where the plug-in's input blocks come from: the file, read as the render goes, its channels
// mapped onto the inputs; or for an instrument without a file, silence as long as the song
// and its tail.
class InputBlocks {
public:
    InputBlocks(std::optional<AudioFileReader> file, std::size_t silentFrames, int inputs, ChannelMap::Mode map)
        : file_(std::move(file)),
          silentFrames_(silentFrames),
          map_(map, file_ ? file_->channels() : 0, inputs) {
        // One channel at least, for a plug-in without inputs: its length is the output's.
        if (!file_) silence_.channels.assign(static_cast<std::size_t>(std::max(inputs, 1)), {});
    }
    std::optional<std::size_t> frames() const { return file_ ? file_->frames() : silentFrames_; }
    std::string mapNote() const { return file_ ? map_.note() : std::string(); }

    // The next at most `frames` frames, all of it when shorter; 0 at the end.
    Expected<std::size_t> next(std::size_t frames) {
        if (!file_) {
            const std::size_t count = std::min(frames, silentFrames_ - done_);
            done_ += count;
            for (auto& channel : silence_.channels) channel.assign(count, 0.0f);
            return count;
        }
        // The reader hands over bounded pieces; the plug-in still gets the block it was promised.
        for (auto& channel : mapped_.channels) channel.clear();
        std::size_t count = 0;
        while (count < frames) {
            const auto got = file_->next(read_, frames - count);
            if (!got) return got;
            if (*got == 0) break;
            append(map_.apply(read_));
            count += *got;
        }
        return count;
    }
    const AudioData& block() const { return file_ ? mapped_ : silence_; }

private:
    void append(const AudioData& piece) {
        mapped_.channels.resize(piece.channels.size());
        for (std::size_t c = 0; c < piece.channels.size(); ++c) {
            mapped_.channels[c].insert(mapped_.channels[c].end(), piece.channels[c].begin(), piece.channels[c].end());
        }
    }

    std::optional<AudioFileReader> file_;
    std::size_t silentFrames_;
    std::size_t done_ = 0;
    ChannelMap map_;
    AudioData read_;
    AudioData mapped_;
    AudioData silence_;
};

}  // namespace

Expected<bool> ProcessCommand::processFile(const PluginLibrary& library,
                                           const std::string& inputPath,
                                           const std::string& outputPath,
                                           const Settings& settings) {
    // Reading the files is the host's own work, before the plug-in is first called.
    ChildChannel::send(ChildChannel::kHostStep, "reading the input");
    std::optional<MidiSong> song;
    if (!settings.midiPath.empty()) {
        auto read = MidiFileReader::read(settings.midiPath);
        if (!read) return Error{read.error()};
        song = std::move(*read);
    }
    std::optional<PresetFile> preset;
    if (!settings.presetPath.empty()) {
        auto read = PresetFile::read(settings.presetPath);
        if (!read) return Error{read.error()};
        preset = std::move(*read);
    }
    std::optional<AudioFileReader> file;
    if (!inputPath.empty()) {
        auto opened = AudioFileReader::open(inputPath);
        if (!opened) return Error{opened.error()};
        file.emplace(std::move(*opened));
    }
    const int sampleRate = settings.sampleRate > 0 ? settings.sampleRate : file ? file->sampleRate() : 44100;
    const double mostFrames = kLongestSeconds * sampleRate;
    const double songSeconds = song ? song->seconds + settings.tailSeconds : 0;
    const auto known = file ? file->frames() : std::optional<std::size_t>(std::ceil(std::min(songSeconds, kLongestSeconds + 1) * sampleRate));
    if (songSeconds > kLongestSeconds || (known && static_cast<double>(*known) > mostFrames)) {
        const double seconds = file ? static_cast<double>(*known) / sampleRate : songSeconds;
        return Error{"the render would last " + hours(seconds) + "; vsthost renders at most " + hours(kLongestSeconds)};
    }
    if (file && settings.sampleRate > 0 && settings.sampleRate != file->sampleRate()) {
        ChildChannel::note("the file's " + std::to_string(file->sampleRate()) + " Hz samples are played at " +
             std::to_string(sampleRate) + " Hz, as --rate says, without resampling");
    }

    ChildChannel::send(ChildChannel::kStep, "loading");
    auto effect = Effect::create(library);
    if (!effect) return Error{effect.error()};
    const AEffect& record = effect->record();
    if (record.numOutputs < 1 || record.numOutputs > kMostChannels || record.numInputs < 0 ||
        record.numInputs > kMostChannels) {
        return Error{"the plug-in declares " + std::to_string(record.numInputs) + " inputs and " +
                     std::to_string(record.numOutputs) + " outputs; cannot process with that"};
    }
    if (!file && (!song || !effect->isInstrument())) return Error{"the plug-in is an effect; it needs an input file"};
    InputBlocks input(std::move(file), known.value_or(0), record.numInputs, settings.map);
    if (const std::string mapping = input.mapNote(); !mapping.empty()) ChildChannel::note(mapping);
    auto writer = AudioFileWriter::create(outputPath, record.numOutputs, sampleRate, input.frames(),
                                          settings.temporaryPath);
    if (!writer) return Error{writer.error()};

    const Transport transport = song ? Transport(song->tempos, song->meters, sampleRate)
                                     : Transport::steady(settings.tempo, settings.meter.numerator,
                                                         settings.meter.denominator, sampleRate);
    EventSchedule schedule(song ? song->events : std::vector<MidiSong::Event>{}, sampleRate);
    Host::instance().setTransport(&transport);
    const auto block = static_cast<std::size_t>(settings.blockSize);
    ChannelBuffers inputs(record.numInputs, block);
    ChannelBuffers outputs(record.numOutputs, block);
    Progress progress(input.frames(), sampleRate);

    ChildChannel::send(ChildChannel::kStep, "start-up");
    effect->start(static_cast<float>(sampleRate), settings.blockSize);
    if (preset) {
        ChildChannel::send(ChildChannel::kStep, "setting the preset");
        if (auto applied = EffectState::apply(*effect, *preset); !applied) {
            return Error{"'" + settings.presetPath + "' " + applied.error()};
        }
    }
    // Between the plug-in's calls the host reads and writes: any failure there is its own.
    ChildChannel::send(ChildChannel::kHostStep, "reading block 1");
    for (std::size_t offset = 0, number = 1;; ++number) {
        const auto got = input.next(block);
        if (!got) return Error{got.error()};
        const std::size_t frames = *got;
        if (frames == 0) break;
        if (static_cast<double>(offset + frames) > mostFrames) {
            return Error{"the input lasts longer than " + hours(kLongestSeconds) + ", the most vsthost renders"};
        }
        ChildChannel::send(ChildChannel::kStep, "block " + std::to_string(number) + ", frames " +
                                                    std::to_string(offset) + " to " +
                                                    std::to_string(offset + frames - 1));
        Host::instance().setTransportPosition(static_cast<double>(offset));
        EventBatch events(schedule.next(static_cast<int>(frames)));
        if (!events.empty()) effect->dispatch(effProcessEvents, 0, 0, events.list());
        inputs.load(input.block(), 0, frames);
        outputs.mark();
        effect->process(inputs.pointers(), outputs.pointers(), static_cast<VstInt32>(frames));
        ChildChannel::send(ChildChannel::kHostStep, "writing block " + std::to_string(number) + ", reading block " +
                                                        std::to_string(number + 1));
        auto appended = writer->append(outputs.pointers(), frames);
        if (!appended) return appended;
        offset += frames;
        progress.advance(offset);
    }
    ChildChannel::send(ChildChannel::kStep, "stop and close");
    effect->stop();
    effect->close();
    Host::instance().setTransport(nullptr);
    ChildChannel::send(ChildChannel::kHostStep, "completing the output");
    return settings.temporaryPath.empty() ? writer->commit() : writer->complete();
}

namespace {

Expected<double> decimal(const CommandLine& line, const std::string& option, double fallback, double least,
                         double most) {
    if (!line.has(option)) return fallback;
    const std::string& text = line.options.at(option);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= least && value <= most)) {
        return Error{option + " wants a number from " + std::to_string(static_cast<int>(least)) + " to " +
                     std::to_string(static_cast<int>(most)) + ", not \"" + text + "\""};
    }
    return value;
}

Expected<ProcessCommand::Settings> settingsOf(const CommandLine& line) {
    const auto block = line.positive("--block", ProcessCommand::kDefaultBlock, ProcessCommand::kLargestBlock);
    if (!block) return Error{block.error()};
    const auto rate = line.positive("--rate", 0, 10'000'000);
    if (!rate) return Error{rate.error()};
    const auto seconds = line.positive("--timeout", ProcessCommand::kDefaultSeconds, ProcessCommand::kDefaultSeconds);
    if (!seconds) return Error{seconds.error()};
    auto map = ChannelMap::parse(line.has("--map") ? line.options.at("--map") : "auto");
    if (!map) return Error{map.error()};
    ProcessCommand::Settings settings;
    settings.blockSize = static_cast<int>(*block);
    settings.sampleRate = static_cast<int>(*rate);
    settings.map = *map;
    settings.seconds = static_cast<int>(*seconds);
    if (line.has("--midi")) settings.midiPath = line.options.at("--midi");
    if (line.has("--preset")) settings.presetPath = line.options.at("--preset");
    if (line.has("--temporary")) settings.temporaryPath = line.options.at("--temporary");
    const auto tail = decimal(line, "--tail", settings.tailSeconds, 0, 3600);
    const auto tempo = decimal(line, "--tempo", settings.tempo, 1, 1000);
    if (!tail) return Error{tail.error()};
    if (!tempo) return Error{tempo.error()};
    settings.tailSeconds = *tail;
    settings.tempo = *tempo;
    if (line.has("--meter")) {
        auto meter = Transport::parseMeter(line.options.at("--meter"));
        if (!meter) return Error{meter.error()};
        settings.meter = *meter;
    }
    return settings;
}

// The child loads the plug-in and runs the work; the output is complete under its temporary
// name when it says it is done.
int processInChild(const CommandLine& line, const ProcessCommand::Settings& settings) {
    return ChildWork::inChild("process", line.arguments[0], [&](const PluginLibrary& library) {
        const bool withInput = line.arguments.size() == 3;
        return ProcessCommand::processFile(library, withInput ? line.arguments[1] : "", line.arguments.back(),
                                           settings);
    });
}

// Runs the work in a child; empty when the child said it was done and ended well, else why
// not. Only then does the output take its name; otherwise the temporary the parent made goes.
std::string watchChild(const CommandLine& line, const ProcessCommand::Settings& settings) {
    const std::string& output = line.arguments.back();
    std::string failure = ChildWork::run([&] { return processInChild(line, settings); },
                                         ChildWork::childArguments(line, line.arguments,
                                                                   {"--temporary", settings.temporaryPath}),
                                         settings.seconds);
    if (failure.empty() && !FileName::replace(settings.temporaryPath, output)) {
        failure = "cannot write '" + output + "': " + std::strerror(errno);
    }
    if (!failure.empty()) FileName::remove(settings.temporaryPath);
    return failure;
}

// Checks what the parent can without loading the plug-in, makes the output's temporary, and
// runs the work in a child; empty when it succeeded, else why it did not.
std::string runInChild(const CommandLine& line, ProcessCommand::Settings settings) {
    const std::string& plugin = line.arguments[0];
    if (!FileName::isRegularFile(plugin)) return "cannot find plug-in '" + plugin + "'";
    std::vector<std::string> inputs(line.arguments.begin(), line.arguments.end() - 1);
    inputs.insert(inputs.end(), {settings.midiPath, settings.presetPath});
    if (auto refused = FileName::refuseOverwriting(line.arguments.back(), inputs); !refused) return refused.error();
    auto temporary = AudioFileWriter::reserve(line.arguments.back());
    if (!temporary) return temporary.error();
    settings.temporaryPath = *temporary;
    ChildProcess::removeOnSignal(settings.temporaryPath);
    std::string failure = watchChild(line, settings);
    ChildProcess::removeOnSignal({});
    return failure;
}

// The names as they stand now, for a child whose plug-in may change the working folder.
CommandLine absolutePaths(CommandLine line) {
    for (auto& argument : line.arguments) argument = FileName::absolute(argument);
    for (const char* option : {"--midi", "--preset"}) {
        if (line.has(option)) line.options[option] = FileName::absolute(line.options.at(option));
    }
    return line;
}

}  // namespace

int ProcessCommand::run(const CommandLine& line) {
    const bool outputOnly = line.arguments.size() == 2 && line.has("--midi");
    if (line.arguments.size() != 3 && !outputOnly) {
        std::fprintf(stderr,
                     "vsthost: usage: vsthost process PLUGIN [IN] OUT [--midi FILE.mid] [--tail S] "
                     "[--tempo BPM] [--meter N/D] [--block N] [--rate R] [--map auto|direct|repeat|mix] "
                     "[--preset FILE] [--timeout S]\n");
        return 2;
    }
    const bool child = line.has("--child");
    const CommandLine named = child ? line : absolutePaths(line);
    const auto settings = settingsOf(named);
    if (!settings) {
        std::fprintf(stderr, "vsthost: %s\n", settings.error().c_str());
        return 2;
    }
    if (child) {
        // Started anew by a process run on Windows, with the channel it was told.
        auto entered = ChildProcess::enterChild(line);
        if (!entered) {
            std::fprintf(stderr, "vsthost: %s\n", entered.error().c_str());
            return 2;
        }
        return processInChild(line, *settings);
    }
    const std::string failure = runInChild(named, *settings);
    if (failure.empty()) return 0;
    std::fprintf(stderr, "vsthost: %s\n", failure.c_str());
    return 1;
}

}  // namespace vsthost
