#pragma once
// How hard a validation run pushes: the level of host it plays, and what else it adds.

#include <optional>
#include <string>

#include "Expected.h"
#include "PresetFile.h"

namespace vsthost {

// Each level adds to the ones below it.
enum class Level {
    normal = 1,   // what a well-made host does: buffers where one is due, real rates and sizes
    strict = 2,   // every opcode and extreme ones, out-of-range values, rate and size 0
    hostile = 3,  // null pointers where a buffer is due, several threads at once
};

const char* levelName(Level level);
// "1", "2", "3" or a level's name.
Expected<Level> parseLevel(const std::string& text);
std::string levelText(Level level);  // "level 2 (strict)"

struct ValidationOptions {
    static constexpr int kDefaultSeconds = 30;

    Level level = Level::normal;
    bool passThrough = false;  // adds the bit-exact pass-through checks
    int secondsPerCheck = kDefaultSeconds;
    // A program or bank every instance starts from, once open; none: the plug-in's defaults.
    std::string presetPath;
    std::optional<PresetFile> preset;
};

}  // namespace vsthost
