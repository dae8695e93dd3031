#include "ProcessResources.h"

#include <cstddef>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vsthost {

#if defined(_WIN32)

namespace {

// Wine answers 0 to the system's own count, so where it does, every possible handle index is
// asked for its object type; GDI resolves an index without its generation bits.
long countGdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<long>(counted);
    long objects = 0;
    for (std::uintptr_t index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++objects;
    }
    return objects;
}

long long busyHeapBytes() {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    long long busy = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

// The committed private pages of the address space, for where the system's own figure is
// missing.
long long committedPrivatePages() {
    long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* address = nullptr;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += static_cast<long long>(region.RegionSize);
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

long long privateUsage() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(),
                                 reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters)) {
        return committedPrivatePages();
    }
    // Wine reports 0.
    return counters.PrivateUsage != 0 ? static_cast<long long>(counters.PrivateUsage)
                                      : committedPrivatePages();
}

}  // namespace

bool ProcessResources::available() { return true; }

ProcessResources ProcessResources::measure() {
    ProcessResources resources;
    resources.gdiObjects = countGdiObjects();
    resources.heapBytesInUse = busyHeapBytes();
    resources.privateBytes = privateUsage();
    return resources;
}

#elif defined(__GLIBC__)

// Present when the process runs under AddressSanitizer, whose allocator glibc's figures do not
// see.
extern "C" __attribute__((weak)) std::size_t __sanitizer_get_current_allocated_bytes();

// There are no GDI objects here; what an X11 editor makes on the server goes with its own
// connection when it closes.
bool ProcessResources::available() { return true; }

ProcessResources ProcessResources::measure() {
    ProcessResources resources;
    resources.heapBytesInUse = __sanitizer_get_current_allocated_bytes
                                   ? static_cast<long long>(__sanitizer_get_current_allocated_bytes())
                                   : static_cast<long long>(mallinfo2().uordblks);
    return resources;
}

#else

bool ProcessResources::available() { return false; }

ProcessResources ProcessResources::measure() { return {}; }

#endif

}  // namespace vsthost
