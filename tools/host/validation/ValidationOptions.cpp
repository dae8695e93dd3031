#include "ValidationOptions.h"

namespace vsthost {

const char* levelName(Level level) {
    switch (level) {
    case Level::normal: return "normal";
    case Level::strict: return "strict";
    case Level::hostile: return "hostile";
    }
    return "unknown";
}

Expected<Level> parseLevel(const std::string& text) {
    for (const Level level : {Level::normal, Level::strict, Level::hostile}) {
        if (text == levelName(level) || text == std::to_string(static_cast<int>(level))) return level;
    }
    return Error{"--level wants 1 (normal), 2 (strict) or 3 (hostile), not '" + text + "'"};
}

std::string levelText(Level level) {
    return "level " + std::to_string(static_cast<int>(level)) + " (" + levelName(level) + ")";
}

}  // namespace vsthost
