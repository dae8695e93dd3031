#pragma once
// Record values as a person reads them: four-character codes, flag names, quoted texts.

#include <string>

#include "AEffect.h"

namespace vsthost {

// "0x56737450 'VstP'"; the characters only when all four are printable.
std::string fourCharacterText(VstInt32 code);
// "0x00000011 (hasEditor | canReplacing)", unknown bits as "bit N".
std::string flagsText(VstInt32 flags);
// A plug-in's own version, "1.2.3": three bytes of a large number, else thousands, hundreds
// and the rest of a decimal one (1000 is 1.0.0).
std::string productVersionText(VstIntPtr version);
// The interface version a plug-in implements: 2400 is "2.4"; anything below 2000 is "1.0".
std::string interfaceVersionText(VstIntPtr version);
// Names of the set bits of `flags`, `names[bit]` for each, joined by " | "; "none" for none.
std::string bitNames(VstInt32 flags, const char* const* names, int count);
// The text in double quotes, with unprintable bytes shown as \xNN.
std::string quoted(const std::string& text);
template <class Function>
const char* present(Function* entry) { return entry ? "set" : "null"; }

}  // namespace vsthost
