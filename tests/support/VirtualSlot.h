#pragma once
// Reads the virtual-table position of a member function from its member pointer, as the
// compilers of both Windows builds lay it out: a virtual member pointer holds one plus the
// byte offset of its table entry. The destructor takes the first two entries (the complete
// and the deleting destructor), so the operation numbered n >= 1 sits in entry n + 1.

#include <cstddef>
#include <cstring>

// The table entry of a member function; -1 when it is not virtual.
template <typename Member>
int tableEntryOf(Member member) {
    struct Representation {
        std::ptrdiff_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(Member) == sizeof(Representation));
    Representation representation;
    std::memcpy(&representation, &member, sizeof representation);
    if ((representation.pointer & 1) == 0) return -1;
    return static_cast<int>((representation.pointer - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

// The slot of an operation of a class whose destructor is slot 0.
template <typename Member>
int virtualSlot(Member member) {
    const int entry = tableEntryOf(member);
    return entry < 0 ? -1 : entry - 1;
}
