#include "ProcessCommand.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "ChannelBuffers.h"
#include "ChildChannel.h"
#include "ChildProcess.h"
#include "ChildProgress.h"
#include "Effect.h"
#include "Host.h"
#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "EventBatch.h"
#include "EventSchedule.h"
#include "MidiFileReader.h"
#include "Opcodes.h"
#include "Transport.h"

namespace vsthost {

namespace {

// Files longer than this many seconds report their progress.
constexpr std::size_t kLongFileSeconds = 30;
constexpr int kMostChannels = 128;

class Progress {
public:
    Progress(std::size_t total, int sampleRate)
        : total_(total), shown_(total > kLongFileSeconds * static_cast<std::size_t>(sampleRate)) {}
    void advance(std::size_t done) {
        if (!shown_) return;
        const int tenths = static_cast<int>(done * 10 / total_);
        if (tenths == lastTenths_) return;
        lastTenths_ = tenths;
        std::fprintf(stderr, "vsthost: %d%% (%zu of %zu frames)\n", tenths * 10, done, total_);
    }

private:
    std::size_t total_;
    bool shown_;
    int lastTenths_ = 0;
};

}  // namespace

namespace {

// The input: the file mapped onto the plug-in's inputs, or for an instrument without one,
// silence as long as the song and its tail.
Expected<AudioData> inputAudio(const AudioData* file, const Effect& effect,
                               const ProcessCommand::Settings& settings, const MidiSong* song) {
    const AEffect& record = effect.record();
    if (file == nullptr) {
        if (song == nullptr || !effect.isInstrument()) {
            return Error{"the plug-in is an effect; it needs an input file"};
        }
        AudioData silence;
        silence.sampleRate = settings.sampleRate > 0 ? settings.sampleRate : 44100;
        const auto frames = static_cast<std::size_t>(
            std::ceil((song->seconds + settings.tailSeconds) * silence.sampleRate));
        // One channel at least, for a plug-in without inputs: its length is the output's.
        silence.channels.assign(static_cast<std::size_t>(std::max(record.numInputs, 1)),
                                std::vector<float>(frames, 0.0f));
        return silence;
    }
    const ChannelMap map(settings.map, static_cast<int>(file->channels.size()), record.numInputs);
    if (const std::string note = map.note(); !note.empty()) std::fprintf(stderr, "vsthost: %s\n", note.c_str());
    AudioData audio = map.apply(*file);
    audio.sampleRate = file->sampleRate;
    // A plug-in without inputs still renders for as long as the file lasts.
    if (audio.channels.empty()) audio.channels.assign(1, std::vector<float>(file->frames(), 0.0f));
    return audio;
}

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
    std::optional<AudioData> file;
    if (!inputPath.empty()) {
        auto read = AudioFileReader::read(inputPath);
        if (!read) return Error{read.error()};
        file = std::move(*read);
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
    auto input = inputAudio(file ? &*file : nullptr, *effect, settings, song ? &*song : nullptr);
    if (!input) return Error{input.error()};
    const AudioData audio = std::move(*input);
    const int sampleRate = settings.sampleRate > 0 ? settings.sampleRate : audio.sampleRate;
    const std::size_t total = audio.frames();
    auto writer = AudioFileWriter::create(outputPath, record.numOutputs, sampleRate);
    if (!writer) return Error{writer.error()};

    const Transport transport = song ? Transport(song->tempos, song->meters, sampleRate)
                                     : Transport::steady(settings.tempo, settings.meter.numerator,
                                                         settings.meter.denominator, sampleRate);
    EventSchedule schedule(song ? song->events : std::vector<MidiSong::Event>{}, sampleRate);
    Host::instance().setTransport(&transport);
    const auto block = static_cast<std::size_t>(settings.blockSize);
    ChannelBuffers inputs(record.numInputs, block);
    ChannelBuffers outputs(record.numOutputs, block);
    Progress progress(total, sampleRate);

    ChildChannel::send(ChildChannel::kStep, "start-up");
    effect->start(static_cast<float>(sampleRate), settings.blockSize);
    for (std::size_t offset = 0; offset < total; offset += block) {
        const std::size_t frames = std::min(block, total - offset);
        ChildChannel::send(ChildChannel::kStep, "block " + std::to_string(offset / block + 1) + ", frames " +
                                                    std::to_string(offset) + " to " +
                                                    std::to_string(offset + frames - 1));
        Host::instance().setTransportPosition(static_cast<double>(offset));
        EventBatch events(schedule.next(static_cast<int>(frames)));
        if (!events.empty()) effect->dispatch(effProcessEvents, 0, 0, events.list());
        inputs.load(audio, offset, frames);
        outputs.mark();
        effect->process(inputs.pointers(), outputs.pointers(), static_cast<VstInt32>(frames));
        auto appended = writer->append(outputs.pointers(), frames);
        if (!appended) return appended;
        progress.advance(offset + frames);
    }
    ChildChannel::send(ChildChannel::kStep, "stop and close");
    effect->stop();
    effect->close();
    Host::instance().setTransport(nullptr);
    return writer->commit();
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

// The child runs the work and says how it went on the channel.
int processInChild(const PluginLibrary& library, const CommandLine& line,
                   const ProcessCommand::Settings& settings) {
    ChildChannel::send(ChildChannel::kBegin, "process");
    const bool withInput = line.arguments.size() == 3;
    auto done = ProcessCommand::processFile(library, withInput ? line.arguments[1] : "", line.arguments.back(),
                                            settings);
    if (done) return 0;
    ChildChannel::send(ChildChannel::kFail, done.error());
    return 1;
}

std::vector<std::string> childArguments(const CommandLine& line) {
    std::vector<std::string> arguments = {"process"};
    arguments.insert(arguments.end(), line.arguments.begin(), line.arguments.end());
    for (const auto& [option, value] : line.options) {
        arguments.push_back(option);
        if (!value.empty()) arguments.push_back(value);
    }
    arguments.insert(arguments.end(), {"--child", "process"});
    return arguments;
}

// Runs the work in a child and follows it; empty when it succeeded, else why it did not.
std::string watchChild(const PluginLibrary& library, const CommandLine& line,
                       const ProcessCommand::Settings& settings) {
    auto child = ChildProcess::start([&] { return processInChild(library, line, settings); }, childArguments(line));
    if (!child) return child.error();
    ChildProgress progress(settings.seconds);
    std::string failure;
    std::string message;
    ChildProcess::Next next;
    while ((next = child->next(message, progress.deadline())) == ChildProcess::Next::message) {
        ChildChannel::Kind kind;
        std::string text;
        std::string unused;
        if (!ChildChannel::parse(message, kind, text, unused)) continue;
        progress.follow(kind, text);
        if (kind == ChildChannel::kFail) failure = text;
    }
    const bool late = next == ChildProcess::Next::late;
    const ChildProcess::Ending ending = child->finish(late);
    if (ending.finished || !failure.empty()) return failure;
    std::remove(AudioFileWriter::partialPath(line.arguments.back()).c_str());
    return progress.ending(late, ending.what);
}

}  // namespace

int ProcessCommand::run(const CommandLine& line) {
    const bool outputOnly = line.arguments.size() == 2 && line.has("--midi");
    if (line.arguments.size() != 3 && !outputOnly) {
        std::fprintf(stderr,
                     "vsthost: usage: vsthost process PLUGIN [IN] OUT [--midi FILE.mid] [--tail S] "
                     "[--tempo BPM] [--meter N/D] [--block N] [--rate R] [--map auto|direct|repeat|mix] "
                     "[--timeout S]\n");
        return 2;
    }
    const auto settings = settingsOf(line);
    if (!settings) {
        std::fprintf(stderr, "vsthost: %s\n", settings.error().c_str());
        return 2;
    }
    auto library = ChildProcess::loadPluginOf(line);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    if (line.has("--child")) return processInChild(*library, line, *settings);
    const std::string failure = watchChild(*library, line, *settings);
    if (failure.empty()) return 0;
    std::fprintf(stderr, "vsthost: %s\n", failure.c_str());
    return 1;
}

}  // namespace vsthost
