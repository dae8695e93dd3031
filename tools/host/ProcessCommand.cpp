#include "ProcessCommand.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ChannelBuffers.h"
#include "ChildChannel.h"
#include "ChildProcess.h"
#include "Effect.h"
#include "Host.h"
#include "AudioFileReader.h"
#include "AudioFileWriter.h"

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

Expected<bool> ProcessCommand::processFile(const PluginLibrary& library,
                                           const std::string& inputPath,
                                           const std::string& outputPath,
                                           const Settings& settings) {
    auto file = AudioFileReader::read(inputPath);
    if (!file) return Error{file.error()};
    const int sampleRate = settings.sampleRate > 0 ? settings.sampleRate : file->sampleRate;

    auto effect = Effect::create(library);
    if (!effect) return Error{effect.error()};
    const AEffect& record = effect->record();
    if (record.numOutputs < 1 || record.numOutputs > kMostChannels || record.numInputs < 0 ||
        record.numInputs > kMostChannels) {
        return Error{"the plug-in declares " + std::to_string(record.numInputs) + " inputs and " +
                     std::to_string(record.numOutputs) + " outputs; cannot process with that"};
    }
    const ChannelMap map(settings.map, static_cast<int>(file->channels.size()), record.numInputs);
    if (const std::string note = map.note(); !note.empty()) std::fprintf(stderr, "vsthost: %s\n", note.c_str());
    const std::size_t total = file->frames();
    const AudioData audio = map.apply(*file);
    file = Error{"released"};  // the mapped copy is all the work needs from here
    auto writer = AudioFileWriter::create(outputPath, record.numOutputs, sampleRate);
    if (!writer) return Error{writer.error()};

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
    return writer->commit();
}

namespace {

Expected<ProcessCommand::Settings> settingsOf(const CommandLine& line) {
    const auto block = line.positive("--block", ProcessCommand::kDefaultBlock, ProcessCommand::kLargestBlock);
    if (!block) return Error{block.error()};
    const auto rate = line.positive("--rate", 0, 10'000'000);
    if (!rate) return Error{rate.error()};
    const auto seconds = line.positive("--timeout", ProcessCommand::kDefaultSeconds, ProcessCommand::kDefaultSeconds);
    if (!seconds) return Error{seconds.error()};
    auto map = ChannelMap::parse(line.has("--map") ? line.options.at("--map") : "auto");
    if (!map) return Error{map.error()};
    return ProcessCommand::Settings{static_cast<int>(*block), static_cast<int>(*rate), *map,
                                    static_cast<int>(*seconds)};
}

// The child runs the work and says how it went on the channel.
int processInChild(const PluginLibrary& library, const CommandLine& line,
                   const ProcessCommand::Settings& settings) {
    auto done = ProcessCommand::processFile(library, line.arguments[1], line.arguments[2], settings);
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

}  // namespace

int ProcessCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 3) {
        std::fprintf(stderr,
                     "vsthost: usage: vsthost process PLUGIN IN OUT [--block N] [--rate R] "
                     "[--map auto|direct|repeat|mix] [--timeout S]\n");
        return 2;
    }
    const auto settings = settingsOf(line);
    if (!settings) {
        std::fprintf(stderr, "vsthost: %s\n", settings.error().c_str());
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[0]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    if (line.has("--child")) {
        ChildProcess::prepareChild();
        ChildChannel::open(1);
        return processInChild(*library, line, *settings);
    }
    std::string step = "loading";
    std::string failure;
    const ChildProcess::Ending ending = ChildProcess::run(
        [&] { return processInChild(*library, line, *settings); }, childArguments(line), settings->seconds,
        [&](const std::string& message) {
            ChildChannel::Kind kind;
            std::string text;
            std::string unused;
            if (!ChildChannel::parse(message, kind, text, unused)) return;
            if (kind == ChildChannel::kStep) step = text;
            if (kind == ChildChannel::kFail) failure = text;
        });
    if (ending.finished) return 0;
    if (failure.empty()) {
        std::remove(AudioFileWriter::partialPath(line.arguments[2]).c_str());
        const bool hung = ending.what.starts_with("no answer");
        failure = (hung ? "the plug-in hung: " : "the plug-in crashed: ") + ending.what + ", in step \"" +
                  step + "\"";
    }
    std::fprintf(stderr, "vsthost: %s\n", failure.c_str());
    return 1;
}

}  // namespace vsthost
