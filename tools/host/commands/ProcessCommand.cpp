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
#include "AutomationSchedule.h"
#include "ChainLink.h"
#include "ParameterSetting.h"
#include "RenderProgress.h"

namespace vsthost {

namespace {

// The longest render vsthost starts: a day of audio, at the rate it runs.
constexpr double kLongestSeconds = 24 * 3600;

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

Expected<bool> ProcessCommand::processFile(const PluginLibrary& library, const std::string& inputPath,
                                           const std::string& outputPath, const Settings& settings) {
    Settings single = settings;
    if (single.links.empty()) single.links.push_back({library.path(), {}, settings.presetPath, {}});
    return renderChain(library, inputPath, outputPath, single);
}

namespace {

// The plug-ins of the chain, the first from `first`, the others loaded here; their libraries
// stay loaded until the end of the render.
Expected<std::vector<ChainLink>> openLinks(const PluginLibrary& first, const std::vector<ChainLine::Link>& setups,
                                           std::vector<PluginLibrary>& libraries) {
    std::vector<ChainLink> links;
    const int count = static_cast<int>(setups.size());
    for (int i = 0; i < count; ++i) {
        const auto& setup = setups[static_cast<std::size_t>(i)];
        const std::string name = "link " + std::to_string(i + 1) + " (" + setup.plugin + ")";
        if (i > 0) {
            ChildChannel::send(ChildChannel::kStep, "loading the library of " + name);
            auto library = PluginLibrary::load(setup.plugin);
            if (!library) return Error{name + ": " + library.error()};
            libraries.push_back(std::move(*library));
        }
        ChildChannel::send(ChildChannel::kStep, count == 1 ? std::string("loading") : "loading " + name);
        auto effect = Effect::create(i == 0 ? first : libraries.back());
        if (!effect) return Error{count == 1 ? effect.error() : name + ": " + effect.error()};
        links.emplace_back(std::move(*effect), setup, i + 1, count);
    }
    return links;
}

// The blocks, each through every link in turn, into the output.
Expected<bool> renderBlocks(std::vector<ChainLink>& links, InputBlocks& input, AudioFileWriter& writer,
                            EventSchedule& schedule, int blockSize, int sampleRate) {
    const auto block = static_cast<std::size_t>(blockSize);
    const double mostFrames = kLongestSeconds * sampleRate;
    RenderProgress progress(input.frames(), sampleRate);
    ChainLink::Lanes source;
    std::vector<std::vector<float>> written(static_cast<std::size_t>(links.back().outputCount()),
                                            std::vector<float>(block));
    std::vector<float*> writtenAt;
    for (auto& lane : written) writtenAt.push_back(lane.data());
    // Between the plug-in's calls the host reads and writes: any failure there is its own.
    ChildChannel::send(ChildChannel::kHostStep, "reading block 1");
    std::size_t offset = 0;
    for (std::size_t number = 1;; ++number) {
        const auto got = input.next(block);
        if (!got) return Error{got.error()};
        const std::size_t frames = *got;
        if (frames == 0) break;
        if (static_cast<double>(offset + frames) > mostFrames) {
            return Error{"the input lasts longer than " + hours(kLongestSeconds) + ", the most vsthost renders"};
        }
        const AudioData& read = input.block();
        source.resize(read.channels.size());
        for (std::size_t c = 0; c < read.channels.size(); ++c) {
            source[c].assign(read.channels[c].begin(), read.channels[c].begin() + static_cast<std::ptrdiff_t>(frames));
        }
        const std::string blockName = "block " + std::to_string(number) + ", frames " + std::to_string(offset) +
                                      " to " + std::to_string(offset + frames - 1);
        for (std::size_t i = 0; i < links.size(); ++i) {
            ChildChannel::send(ChildChannel::kStep, links[i].step(blockName));
            links[i].process(i == 0 ? source : links[i - 1].outputs(), static_cast<std::int64_t>(offset), frames,
                             i == 0 ? &schedule : nullptr);
        }
        ChildChannel::send(ChildChannel::kHostStep, "writing block " + std::to_string(number) + ", reading block " +
                                                        std::to_string(number + 1));
        const auto& out = links.back().outputs();
        for (std::size_t c = 0; c < out.size(); ++c) {
            for (std::size_t f = 0; f < frames; ++f) written[c][f] = static_cast<float>(out[c][f]);
        }
        auto appended = writer.append(writtenAt.data(), frames);
        if (!appended) return appended;
        offset += frames;
        progress.advance(offset);
    }
    progress.finish(offset);
    return true;
}

}  // namespace

Expected<bool> ProcessCommand::renderChain(const PluginLibrary& library, const std::string& inputPath,
                                           const std::string& outputPath, const Settings& settings) {
    // Reading the files is the host's own work, before the plug-in is first called.
    ChildChannel::send(ChildChannel::kHostStep, "reading the input");
    std::optional<MidiSong> song;
    if (!settings.midiPath.empty()) {
        auto read = MidiFileReader::read(settings.midiPath);
        if (!read) return Error{read.error()};
        song = std::move(*read);
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

    std::vector<PluginLibrary> libraries;
    auto opened = openLinks(library, settings.links, libraries);
    if (!opened) return Error{opened.error()};
    std::vector<ChainLink>& links = *opened;
    if (!file && (!song || !links.front().isInstrument())) {
        return Error{links.size() == 1 ? "the plug-in is an effect; it needs an input file"
                                       : "link 1 (" + settings.links.front().plugin + ") is an effect; it needs an input file"};
    }
    const Transport transport = song ? Transport(song->tempos, song->meters, sampleRate)
                                     : Transport::steady(settings.tempo, settings.meter.numerator,
                                                         settings.meter.denominator, sampleRate);
    Host::instance().setTransport(&transport);
    const ChainLink::Format format{static_cast<double>(sampleRate), settings.blockSize, settings.doublePrecision};
    for (auto& link : links) {
        if (auto prepared = link.prepare(format, transport); !prepared) return prepared;
    }
    // The file's channels reach the first link as before; each link then feeds the next.
    const int firstInputs = links.front().inputCount();
    InputBlocks input(std::move(file), known.value_or(0), firstInputs, settings.map);
    if (const std::string mapping = input.mapNote(); !mapping.empty()) ChildChannel::note(mapping);
    links.front().connect(std::max(firstInputs, 1), ChannelMap::Mode::repeat);
    for (std::size_t i = 1; i < links.size(); ++i) {
        const std::string note = links[i].connect(links[i - 1].outputCount(), settings.map);
        if (!note.empty()) ChildChannel::note(note);
    }
    auto writer = AudioFileWriter::create(outputPath, links.back().outputCount(), sampleRate, input.frames(),
                                          settings.temporaryPath);
    if (!writer) return Error{writer.error()};

    EventSchedule schedule(song ? song->events : std::vector<MidiSong::Event>{}, sampleRate);
    if (auto done = renderBlocks(links, input, *writer, schedule, settings.blockSize, sampleRate); !done) {
        return done;
    }
    for (auto& link : links) {
        ChildChannel::send(ChildChannel::kStep, link.step("stop and close"));
        link.finish();
    }
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
    settings.doublePrecision = line.has("--double");
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

// What the parent can check of the links without loading them: the settings' form and the
// automation files.
Expected<bool> checkLinks(const ChainLine& chain) {
    for (const auto& link : chain.links()) {
        for (const auto& parameter : link.parameters) {
            if (auto parsed = ParameterSetting::parse(parameter); !parsed) return Error{parsed.error()};
        }
        if (link.automation.empty()) continue;
        if (auto read = AutomationSchedule::read(link.automation); !read) return Error{read.error()};
    }
    return true;
}

// The child loads the first plug-in and runs the work; the output is complete under its
// temporary name when it says it is done.
int processInChild(const ChainLine& chain, const ProcessCommand::Settings& settings) {
    return ChildWork::inChild("process", chain.links().front().plugin, [&](const PluginLibrary& library) {
        return ProcessCommand::processFile(library, chain.input(), chain.output(), settings);
    });
}

// The words that make a Windows child do the same render: the render's own options, then the
// chain with each link's.
std::vector<std::string> childArguments(const CommandLine& line, const ChainLine& chain,
                                        const std::string& temporaryPath) {
    std::vector<std::string> arguments = {line.command};
    for (const auto& [option, value] : line.options) {
        if (ChainLine::isLinkOption(option)) continue;
        arguments.push_back(option);
        if (!value.empty()) arguments.push_back(value);
    }
    arguments.insert(arguments.end(), {"--temporary", temporaryPath, "--child", line.command});
    const auto words = chain.words();
    arguments.insert(arguments.end(), words.begin(), words.end());
    return arguments;
}

// Runs the work in a child, which says whether it was done and, if not, whether the user's
// words were at fault. Only once it was done and ended well does the output take its name;
// otherwise the temporary the parent made goes.
Expected<bool> watchChild(const CommandLine& line, const ChainLine& chain, const ProcessCommand::Settings& settings) {
    const std::string& output = chain.output();
    auto done = ChildWork::follow([&] { return processInChild(chain, settings); },
                                  childArguments(line, chain, settings.temporaryPath), settings.seconds);
    if (done && !FileName::replace(settings.temporaryPath, output)) {
        done = Error{"cannot write '" + output + "': " + std::strerror(errno)};
    }
    if (!done) FileName::remove(settings.temporaryPath);
    return done;
}

// Checks what the parent can without loading the plug-ins, makes the output's temporary, and
// runs the work in a child.
Expected<bool> runInChild(const CommandLine& line, const ChainLine& chain, ProcessCommand::Settings settings) {
    for (const auto& link : chain.links()) {
        if (!FileName::isRegularFile(link.plugin)) return Error{"cannot find plug-in '" + link.plugin + "'"};
    }
    std::vector<std::string> inputs = chain.readFiles();
    inputs.push_back(settings.midiPath);
    if (auto refused = FileName::refuseOverwriting(chain.output(), inputs); !refused) return refused;
    auto temporary = AudioFileWriter::reserve(chain.output());
    if (!temporary) return Error{temporary.error()};
    settings.temporaryPath = *temporary;
    ChildProcess::removeOnSignal(settings.temporaryPath);
    auto done = watchChild(line, chain, settings);
    ChildProcess::removeOnSignal({});
    return done;
}

int refuse(const std::string& why) {
    std::fprintf(stderr, "vsthost: %s\n", why.c_str());
    return 2;
}

}  // namespace

int ProcessCommand::run(const CommandLine& line) {
    auto chain = ChainLine::parse(line.tokens);
    if (chain && chain->input().empty() && !line.has("--midi")) chain = Error{"usage"};
    if (!chain) {
        if (chain.error() != "usage") return refuse(chain.error());
        std::fprintf(stderr,
                     "vsthost: usage: vsthost process PLUGIN [--param NAME=VALUE]... [--preset FILE] "
                     "[--automation FILE] [+ PLUGIN [...]]... [IN] OUT [--midi FILE.mid] [--tail S] "
                     "[--tempo BPM] [--meter N/D] [--block N] [--rate R] [--map auto|direct|repeat|mix] "
                     "[--double] [--timeout S]\n");
        return 2;
    }
    const bool child = line.has("--child");
    CommandLine named = line;
    if (!child) {
        chain->makeAbsolute();
        if (line.has("--midi")) named.options["--midi"] = FileName::absolute(line.options.at("--midi"));
    }
    auto settings = settingsOf(named);
    if (!settings) return refuse(settings.error());
    settings->links = chain->links();
    if (auto checked = checkLinks(*chain); !checked) return refuse(checked.error());
    if (child) {
        // Started anew by a process run on Windows, with the channel it was told.
        auto entered = ChildProcess::enterChild(line);
        if (!entered) return refuse(entered.error());
        return processInChild(*chain, *settings);
    }
    const auto done = runInChild(named, *chain, *settings);
    if (done) return 0;
    std::fprintf(stderr, "vsthost: %s\n", done.error().c_str());
    return done.isUsageError() ? 2 : 1;
}


}  // namespace vsthost
