#include "ProcessCommand.h"

#include <algorithm>
#include <cstdio>

#include "ChannelBuffers.h"
#include "Effect.h"
#include "Host.h"
#include "AudioFileReader.h"
#include "AudioFileWriter.h"

namespace vsthost {

namespace {

// Files longer than this many seconds report their progress.
constexpr std::size_t kLongFileSeconds = 30;

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
    auto audio = AudioFileReader::read(inputPath);
    if (!audio) return Error{audio.error()};
    const int sampleRate = settings.sampleRate > 0 ? settings.sampleRate : audio->sampleRate;

    auto effect = Effect::create(library);
    if (!effect) return Error{effect.error()};
    const AEffect& record = effect->record();
    if (record.numOutputs < 1 || record.numOutputs > 64 || record.numInputs < 0 ||
        record.numInputs > 64) {
        return Error{"the plug-in declares " + std::to_string(record.numInputs) + " inputs and " +
                     std::to_string(record.numOutputs) + " outputs; cannot process with that"};
    }
    auto writer = AudioFileWriter::create(outputPath, record.numOutputs, sampleRate);
    if (!writer) return Error{writer.error()};

    const auto block = static_cast<std::size_t>(settings.blockSize);
    ChannelBuffers inputs(record.numInputs, block);
    ChannelBuffers outputs(record.numOutputs, block);
    const std::size_t total = audio->frames();
    Progress progress(total, sampleRate);

    effect->start(static_cast<float>(sampleRate), settings.blockSize);
    for (std::size_t offset = 0; offset < total; offset += block) {
        const std::size_t frames = std::min(block, total - offset);
        inputs.load(*audio, offset, frames);
        outputs.mark();
        effect->process(inputs.pointers(), outputs.pointers(), static_cast<VstInt32>(frames));
        auto appended = writer->append(outputs.pointers(), frames);
        if (!appended) return appended;
        progress.advance(offset + frames);
    }
    effect->stop();
    effect->close();
    return writer->commit();
}

int ProcessCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 3) {
        std::fprintf(stderr,
                     "vsthost: usage: vsthost process PLUGIN IN.wav OUT.wav [--block N] [--rate R]\n");
        return 2;
    }
    const auto block = line.positive("--block", kDefaultBlock, kLargestBlock);
    const auto rate = line.positive("--rate", 0, 10'000'000);
    if (!block || !rate) {
        std::fprintf(stderr, "vsthost: %s\n", (!block ? block : rate).error().c_str());
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[0]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    const Settings settings{static_cast<int>(*block), static_cast<int>(*rate)};
    auto done = processFile(*library, line.arguments[1], line.arguments[2], settings);
    if (!done) {
        std::fprintf(stderr, "vsthost: %s\n", done.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace vsthost
