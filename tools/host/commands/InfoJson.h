#pragma once
// `info --json`: what `info` prints, as one JSON document: the record, the plug-in's answers,
// its pins, programs, parameters and capabilities, and a shell's members.

#include <string>

#include "Effect.h"
#include "JsonWriter.h"
#include "PluginLibrary.h"

namespace vsthost {

class InfoJson {
public:
    // Asks the opened instance; the document in one line.
    static std::string document(const PluginLibrary& library, Effect& effect);
    // The program's name, by index where the plug-in supports that, else by switching to it.
    static std::string programName(Effect& effect, VstInt32 program);
};

}  // namespace vsthost
