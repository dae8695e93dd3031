#pragma once
// `demo PLUGIN [--dir DIR] [--timeout S]`: shows a pass-through plug-in at work without any
// input file. Makes a stereo test signal, writes it as a WAV file, processes it as `process`
// does, checks the output bit for bit against the input, summarises the record and validates
// with the pass-through check. Its files stay only in a directory given with --dir.

#include "CommandLine.h"

namespace vsthost {

class DemoCommand {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kSeconds = 3;

    static int run(const CommandLine& line);
};

}  // namespace vsthost
