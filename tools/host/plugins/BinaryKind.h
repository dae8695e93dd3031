#pragma once
// What kind of executable image a plug-in file is, read from its headers without loading it:
// a Linux host can then hand a Windows DLL to a Windows host of the right width.

#include <string>

namespace vsthost {

enum class BinaryKind {
    other,      // not a Windows image (a shared object, or no executable at all)
    windows32,  // PE32: needs a 32-bit Windows process
    windows64,  // PE32+: needs a 64-bit Windows process
};

BinaryKind binaryKindOf(const std::string& path);

// "32-bit" or "64-bit", for messages.
const char* widthName(BinaryKind kind);

}  // namespace vsthost
