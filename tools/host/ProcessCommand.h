#pragma once
// `process PLUGIN IN.wav OUT.wav [--block N] [--rate R]`: streams a WAV file through the
// plug-in in blocks and writes what comes out as a 32-bit float WAV file.

#include <string>

#include "CommandLine.h"
#include "Expected.h"
#include "PluginLibrary.h"

namespace vsthost {

class ProcessCommand {
public:
    static constexpr long kDefaultBlock = 512;
    static constexpr long kLargestBlock = 1 << 20;

    struct Settings {
        int blockSize = static_cast<int>(kDefaultBlock);
        int sampleRate = 0;  // 0: the input file's rate
    };

    static int run(const CommandLine& line);
    // Open, sample rate, block size, resume; the blocks; suspend, close. The output file
    // exists only when everything succeeded.
    static Expected<bool> processFile(const PluginLibrary& library, const std::string& inputPath,
                                      const std::string& outputPath, const Settings& settings);
};

}  // namespace vsthost
