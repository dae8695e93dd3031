#pragma once
// vsthost editor PLUGIN [--idle N] [--shot FILE] [--scale F]: shows the plug-in's editor in a
// window of the host's, at scale F when it takes one, idles it at a steady rate, saves a picture
// of it and measures one idle call.

#include <optional>
#include <string>

#include "CommandLine.h"
#include "Expected.h"
#include "PluginLibrary.h"

namespace vsthost {

class EditorCommand {
public:
    static constexpr long kDefaultIdles = 60;
    static constexpr int kIdlesPerSecond = 30;
    static constexpr int kMeasuredIdles = 300;

    static int run(const CommandLine& line);

    struct Outcome {
        int width = 0;
        int height = 0;
        std::string picture;          // the file written, empty when none was asked for
        double idleMicroseconds = -1; // median cost of one idle call that redraws
        std::string scaleNote;        // how the scale asked for went; empty when none was
    };
    // Opens the editor of a fresh instance, idles it `idles` times at the steady rate, writes
    // the picture to `picturePath` (when not empty), measures the idle cost when `measure`,
    // and closes the editor and the instance. A `scale` goes to a plug-in that takes one before
    // its editor opens; one that does not is shown at 1x.
    static Expected<Outcome> show(const PluginLibrary& library, long idles,
                                  const std::string& picturePath, bool measure,
                                  std::optional<double> scale = std::nullopt);
};

}  // namespace vsthost
