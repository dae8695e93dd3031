#pragma once
// Record values as a person reads them: four-character codes, flag names, quoted texts.

#include <string>

#include "AEffect.h"

namespace vsthost {

// "0x56737450 'VstP'"; the characters only when all four are printable.
std::string fourCharacterText(VstInt32 code);
// "0x00000011 (hasEditor | canReplacing)", unknown bits as "bit N".
std::string flagsText(VstInt32 flags);
// The text in double quotes, with unprintable bytes shown as \xNN.
std::string quoted(const std::string& text);
template <class Function>
const char* present(Function* entry) { return entry ? "set" : "null"; }

}  // namespace vsthost
