#include "DemoCommand.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "EditorCommand.h"
#include "Effect.h"
#include "Opcodes.h"
#include "PluginLibrary.h"
#include "ProcessCommand.h"
#include "RecordText.h"
#include "TestSignal.h"
#include "Validator.h"
#include "AudioFileReader.h"
#include "AudioFileWriter.h"

#if defined(_WIN32)
#include <process.h>
#define currentProcessId _getpid
#else
#include <unistd.h>
#define currentProcessId getpid
#endif

#include "FileName.h"

namespace vsthost {

namespace {

namespace fs = std::filesystem;

constexpr int kEditorIdles = 10;

Expected<std::string> workDirectory(const CommandLine& line) {
    std::error_code error;
    fs::path directory;
    if (line.has("--dir")) {
        directory = FileName::path(line.options.at("--dir"));
    } else {
        directory = fs::temp_directory_path(error);
        if (error) return Error{"no temporary directory: " + error.message()};
        directory /= "vsthost-demo-" + std::to_string(currentProcessId());
    }
    fs::create_directories(directory, error);
    if (error) return Error{"cannot create '" + FileName::text(directory) + "': " + error.message()};
    return FileName::text(directory);
}

// Index of the first sample whose bits differ, or -1.
long firstDifference(const AudioData& a, const AudioData& b) {
    if (a.channels.size() != b.channels.size() || a.frames() != b.frames()) return 0;
    for (std::size_t c = 0; c < a.channels.size(); ++c) {
        for (std::size_t i = 0; i < a.frames(); ++i) {
            if (std::memcmp(&a.channels[c][i], &b.channels[c][i], sizeof(float)) != 0) {
                return static_cast<long>(i);
            }
        }
    }
    return -1;
}

bool summarise(const PluginLibrary& library) {
    auto effect = Effect::create(library);
    if (!effect) {
        std::fprintf(stderr, "vsthost: %s\n", effect.error().c_str());
        return false;
    }
    const AEffect& record = effect->record();
    effect->dispatch(effOpen);
    std::printf("demo: %s: uniqueID %s, %d in, %d out, %d programs, %d parameters, flags %s, "
                "VST version %ld\n",
                library.path().c_str(), fourCharacterText(record.uniqueID).c_str(),
                static_cast<int>(record.numInputs), static_cast<int>(record.numOutputs),
                static_cast<int>(record.numPrograms), static_cast<int>(record.numParams),
                flagsText(record.flags).c_str(),
                static_cast<long>(effect->dispatch(effGetVstVersion)));
    return true;
}

// Opens the editor, idles it a few times and keeps a picture of it where the user can find it:
// in the demo's directory when one was given, else in the temporary directory.
void showEditor(const PluginLibrary& library, const CommandLine& line, const std::string& directory) {
    std::error_code error;
    const std::string picture =
        line.has("--dir") ? directory + "/editor.bmp"
                          : FileName::text(fs::temp_directory_path(error) / "vsthost-demo-editor.bmp");
    auto shown = EditorCommand::show(library, kEditorIdles, picture, false);
    if (!shown) {
        std::printf("demo: editor not shown: %s\n", shown.error().c_str());
        return;
    }
    std::printf("demo: editor %d x %d opened in a window of the host's, idled %d times, closed; "
                "picture of it: %s\n",
                shown->width, shown->height, kEditorIdles, shown->picture.c_str());
}

}  // namespace

int DemoCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 1) {
        std::fprintf(stderr, "vsthost: usage: vsthost demo PLUGIN [--dir DIR] [--timeout S]\n");
        return 2;
    }
    const auto seconds = line.positive("--timeout", ValidationOptions::kDefaultSeconds, 24 * 3600);
    if (!seconds) {
        std::fprintf(stderr, "vsthost: %s\n", seconds.error().c_str());
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[0]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    auto directory = workDirectory(line);
    if (!directory) {
        std::fprintf(stderr, "vsthost: %s\n", directory.error().c_str());
        return 1;
    }
    const std::string inputPath = *directory + "/demo-in.wav";
    const std::string outputPath = *directory + "/demo-out.wav";
    const AudioData signal = TestSignal::awkward(kSampleRate, kSampleRate * kSeconds, 2);
    if (auto written = AudioFileWriter::write(inputPath, signal); !written) {
        std::fprintf(stderr, "vsthost: %s\n", written.error().c_str());
        return 1;
    }
    if (auto done = ProcessCommand::processFile(*library, inputPath, outputPath, {}); !done) {
        std::fprintf(stderr, "vsthost: %s\n", done.error().c_str());
        return 1;
    }
    auto output = AudioFileReader::read(outputPath);
    if (!output) {
        std::fprintf(stderr, "vsthost: %s\n", output.error().c_str());
        return 1;
    }
    const long difference = firstDifference(signal, *output);
    std::printf("demo: %zu frames of stereo test signal (tones, noise, -0.0, extreme values) "
                "processed in blocks of %ld: %s\n",
                signal.frames(), ProcessCommand::kDefaultBlock,
                difference < 0 ? "output identical to input bit for bit"
                               : ("output differs from frame " + std::to_string(difference)).c_str());
    if (line.has("--dir")) {
        std::printf("demo: files kept in %s\n", directory->c_str());
    } else {
        std::error_code ignored;
        fs::remove_all(FileName::path(*directory), ignored);
    }
    std::fflush(stdout);
    if (!summarise(*library)) return 1;
    showEditor(*library, line, *directory);
    std::fflush(stdout);
    ValidationOptions options;
    options.passThrough = true;
    options.secondsPerCheck = static_cast<int>(*seconds);
    Validator validator(FileName::absolute(line.arguments[0]), options);
    const bool valid = validator.run();
    return difference < 0 && valid ? 0 : 1;
}

}  // namespace vsthost
