#pragma once
// Readable names of the interface's numbered operations, for traces and check reports.

#include <string>

#include "AEffect.h"

namespace vsthost {

// "audioMasterVersion" and the like; "hostOpcode<N>" for numbers without a name.
std::string hostOpcodeName(VstInt32 opcode);
// The same as a text that lives as long as the program; "a host call without a name" for numbers
// without one.
const char* hostOpcodeLiteral(VstInt32 opcode);
// "effOpen" and the like; "effectOpcode<N>" for numbers without a name.
std::string effectOpcodeName(VstInt32 opcode);

}  // namespace vsthost
