#pragma once
// What `info` asks about and how it names the answers, in text and in JSON alike.

#include "AEffect.h"

namespace vsthost::InfoTables {

// Listing stops here for plug-ins with thousands of programs or parameters.
constexpr VstInt32 kListLimit = 512;

inline const char* const kCapabilities[] = {
    "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline", "midiProgramNames", "bypass", "plugAsChannelInsert",
    "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass", "1in1out", "1in2out",
    "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out", "8in4out", "8in8out",
};

inline const char* categoryName(VstIntPtr category) {
    static const char* const names[] = {"unknown", "effect", "synth", "analysis", "mastering",
                                        "spatializer", "room effect", "surround effect",
                                        "restoration", "offline process", "shell", "generator"};
    return category >= 0 && category < 12 ? names[category] : "out of range";
}

}  // namespace vsthost::InfoTables
