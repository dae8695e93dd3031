#pragma once
// What the process holds right now, measured from inside it: GDI objects (Windows) and heap
// memory (Windows, and Linux with glibc). Used to show that repeated work gives everything back.

#include <cstdint>

namespace vsthost {

struct ProcessResources {
    // -1 where the platform cannot tell. Private bytes come from the system, or where it
    // reports none (Wine), from the committed private pages of the address space.
    long gdiObjects = -1;
    long long heapBytesInUse = -1;
    long long privateBytes = -1;

    static bool available();
    static ProcessResources measure();
};

}  // namespace vsthost
