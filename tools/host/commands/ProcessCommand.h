#pragma once
// `process PLUGIN [IN] OUT [--midi FILE.mid] [--tail S] [--tempo BPM] [--meter N/D] [--block N]
// [--rate R] [--map M] [--preset FILE] [--param N=V].. [--automation FILE] [--double] [--timeout S]`, or a
// chain of plug-ins apart by `+` (ChainLine): streams an audio file through the plug-in in blocks, with
// a MIDI file's events each in its block and a transport the plug-in can ask for the time, and
// writes what comes out (32-bit float WAV or AIFF, or FLAC). A preset file (.fxp, .fxb) sets
// the plug-in's state before the first block. An instrument needs no input: it
// plays the MIDI file and its tail. It runs in a child process, so that a plug-in crashing,
// aborting, hanging or ending the process is reported with the block it happened in and leaves
// no output file: the output takes its name only once the child has said it is done and ended.

#include <string>

#include "MidiSong.h"

#include "ChainLine.h"
#include "ChannelMap.h"
#include "CommandLine.h"
#include "Expected.h"
#include "PluginLibrary.h"

namespace vsthost {

class ProcessCommand {
public:
    static constexpr long kDefaultBlock = 512;
    static constexpr long kLargestBlock = 1 << 20;
    static constexpr long kDefaultSeconds = 24 * 3600;

    struct Settings {
        int blockSize = static_cast<int>(kDefaultBlock);
        int sampleRate = 0;  // 0: the input file's rate
        ChannelMap::Mode map = ChannelMap::Mode::automatic;
        int seconds = static_cast<int>(kDefaultSeconds);
        std::string midiPath;      // empty: no events
        std::string presetPath;    // empty: the plug-in's own first state
        std::string temporaryPath; // made by the parent, the output is complete here; empty: at its name
        double tailSeconds = 2.0;  // rendered after the MIDI file's end
        double tempo = 120.0;      // the steady transport without a MIDI file
        MidiSong::Meter meter;
        std::vector<ChainLine::Link> links;  // empty: the one plug-in, with `presetPath`
        bool doublePrecision = false;        // every link through processDoubleReplacing
    };

    static int run(const CommandLine& line);
    // Open, sample rate, block size, resume; the blocks; suspend, close. The output file (or
    // with `settings.temporaryPath` that file) is complete only when everything succeeded.
    // An empty `inputPath` is for an instrument with a MIDI file.
    static Expected<bool> processFile(const PluginLibrary& library, const std::string& inputPath,
                                      const std::string& outputPath, const Settings& settings);

private:
    // The same for the chain `settings.links`, whose first plug-in is `library`.
    static Expected<bool> renderChain(const PluginLibrary& library, const std::string& inputPath,
                                      const std::string& outputPath, const Settings& settings);
};

}  // namespace vsthost
