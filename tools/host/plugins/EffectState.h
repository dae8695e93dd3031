#pragma once
// A live plug-in's state taken as a preset file and given back from one: as its chunk when it
// keeps its programs in chunks, else as every parameter's value and the program names.

#include "Effect.h"
#include "Expected.h"
#include "PresetFile.h"

namespace vsthost {

class EffectState {
public:
    // The current program (a program file) or every program (a bank file), which a plug-in
    // without programs or chunks cannot fill. Main thread, instance open.
    static Expected<PresetFile> capture(Effect& effect, PresetFile::Kind kind);
    // Fails in one line, having changed nothing, for a file of another plug-in or one that
    // does not fit this plug-in's parameters or programs; fails too when the plug-in refuses
    // the chunk. Main thread, instance open.
    static Expected<bool> apply(Effect& effect, const PresetFile& file);
    // "'L5Gn' (1278560110)"
    static std::string idText(std::int32_t id);
};

}  // namespace vsthost
