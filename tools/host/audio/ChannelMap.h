#pragma once
// How a file's channels feed a plug-in's inputs when their counts differ; `process` says on
// stderr which mapping it uses, and --map chooses another.

#include <string>

#include "AudioData.h"
#include "Expected.h"

namespace vsthost {

class ChannelMap {
public:
    enum class Mode {
        automatic,  // a mono file feeds every input; more file channels than inputs are mixed down
        direct,     // channel n feeds input n; missing inputs get silence, extra channels are dropped
        repeat,     // input n takes channel n modulo the file's count
        mix,        // input n takes the mean of every channel whose number modulo the inputs is n
    };

    static Expected<Mode> parse(const std::string& text);

    ChannelMap(Mode mode, int fileChannels, int inputs);

    // The plug-in's input channels made from the file's channels.
    AudioData apply(const AudioData& file) const;
    // Empty when the counts match; otherwise one line saying what happens.
    std::string note() const;

private:
    Mode resolved() const;

    Mode mode_;
    int fileChannels_;
    int inputs_;
};

}  // namespace vsthost
