// Each replacement has the exact signature and calling convention of the function it stands in
// for (stdcall for the system's, cdecl for the C runtime's), reports the call, and calls the
// function the module's import slot held before.
#include "ImportHooks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "AudioCallWatch.h"

namespace vsthost {

namespace {

template <typename Function>
Function original(void* slot) {
    return reinterpret_cast<Function>(slot);
}

#define HOOK(ret, conv, name, kind, params, args)                                  \
    void* original_##name = nullptr;                                               \
    ret conv hook_##name params {                                                  \
        AudioCallWatch::heard(#name, CallKind::kind);                              \
        return original<ret(conv*) params>(original_##name) args;                  \
    }

HOOK(LPVOID, WINAPI, HeapAlloc, memory, (HANDLE heap, DWORD flags, SIZE_T size), (heap, flags, size))
HOOK(LPVOID, WINAPI, HeapReAlloc, memory, (HANDLE heap, DWORD flags, LPVOID memory, SIZE_T size),
     (heap, flags, memory, size))
HOOK(BOOL, WINAPI, HeapFree, memory, (HANDLE heap, DWORD flags, LPVOID memory), (heap, flags, memory))
HOOK(LPVOID, WINAPI, VirtualAlloc, memory, (LPVOID address, SIZE_T size, DWORD type, DWORD protection),
     (address, size, type, protection))
HOOK(BOOL, WINAPI, VirtualFree, memory, (LPVOID address, SIZE_T size, DWORD type), (address, size, type))
HOOK(void*, __cdecl, malloc, memory, (size_t size), (size))
HOOK(void*, __cdecl, calloc, memory, (size_t count, size_t size), (count, size))
HOOK(void*, __cdecl, realloc, memory, (void* memory, size_t size), (memory, size))
HOOK(void, __cdecl, free, memory, (void* memory), (memory))
HOOK(void*, __cdecl, _aligned_malloc, memory, (size_t size, size_t alignment), (size, alignment))
HOOK(void, __cdecl, _aligned_free, memory, (void* memory), (memory))

HOOK(void, WINAPI, EnterCriticalSection, lock, (LPCRITICAL_SECTION section), (section))
HOOK(DWORD, WINAPI, WaitForSingleObject, lock, (HANDLE object, DWORD milliseconds), (object, milliseconds))
HOOK(DWORD, WINAPI, WaitForSingleObjectEx, lock, (HANDLE object, DWORD milliseconds, BOOL alertable),
     (object, milliseconds, alertable))
HOOK(DWORD, WINAPI, WaitForMultipleObjects, lock, (DWORD count, const HANDLE* objects, BOOL all, DWORD milliseconds),
     (count, objects, all, milliseconds))
HOOK(DWORD, WINAPI, WaitForMultipleObjectsEx, lock,
     (DWORD count, const HANDLE* objects, BOOL all, DWORD milliseconds, BOOL alertable),
     (count, objects, all, milliseconds, alertable))
HOOK(void, WINAPI, AcquireSRWLockExclusive, lock, (PSRWLOCK lock), (lock))
HOOK(void, WINAPI, AcquireSRWLockShared, lock, (PSRWLOCK lock), (lock))

HOOK(void, WINAPI, Sleep, sleep, (DWORD milliseconds), (milliseconds))
HOOK(DWORD, WINAPI, SleepEx, sleep, (DWORD milliseconds, BOOL alertable), (milliseconds, alertable))
HOOK(BOOL, WINAPI, SwitchToThread, sleep, (), ())

HOOK(HANDLE, WINAPI, CreateFileA, io,
     (LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
      HANDLE model),
     (path, access, share, security, disposition, flags, model))
HOOK(HANDLE, WINAPI, CreateFileW, io,
     (LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
      HANDLE model),
     (path, access, share, security, disposition, flags, model))
HOOK(BOOL, WINAPI, ReadFile, io, (HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped),
     (file, buffer, size, done, overlapped))
HOOK(BOOL, WINAPI, WriteFile, io, (HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped),
     (file, buffer, size, done, overlapped))
HOOK(void, WINAPI, OutputDebugStringA, io, (LPCSTR text), (text))
HOOK(void, WINAPI, OutputDebugStringW, io, (LPCWSTR text), (text))
HOOK(FILE*, __cdecl, fopen, io, (const char* path, const char* mode), (path, mode))
HOOK(size_t, __cdecl, fread, io, (void* buffer, size_t size, size_t count, FILE* stream), (buffer, size, count, stream))
HOOK(size_t, __cdecl, fwrite, io, (const void* buffer, size_t size, size_t count, FILE* stream),
     (buffer, size, count, stream))
HOOK(int, __cdecl, fputs, io, (const char* text, FILE* stream), (text, stream))
HOOK(int, __cdecl, fputc, io, (int character, FILE* stream), (character, stream))
HOOK(int, __cdecl, puts, io, (const char* text), (text))
HOOK(int, __cdecl, fflush, io, (FILE* stream), (stream))
HOOK(int, __cdecl, _write, io, (int file, const void* buffer, unsigned int size), (file, buffer, size))
HOOK(int, __cdecl, vfprintf, io, (FILE* stream, const char* format, va_list arguments), (stream, format, arguments))

#undef HOOK

#define ENTRY(name) {#name, reinterpret_cast<void*>(&hook_##name), &original_##name}

const ImportHook kHooks[] = {
    ENTRY(HeapAlloc), ENTRY(HeapReAlloc), ENTRY(HeapFree), ENTRY(VirtualAlloc), ENTRY(VirtualFree),
    ENTRY(malloc), ENTRY(calloc), ENTRY(realloc), ENTRY(free), ENTRY(_aligned_malloc), ENTRY(_aligned_free),
    ENTRY(EnterCriticalSection), ENTRY(WaitForSingleObject), ENTRY(WaitForSingleObjectEx),
    ENTRY(WaitForMultipleObjects), ENTRY(WaitForMultipleObjectsEx), ENTRY(AcquireSRWLockExclusive),
    ENTRY(AcquireSRWLockShared), ENTRY(Sleep), ENTRY(SleepEx), ENTRY(SwitchToThread), ENTRY(CreateFileA),
    ENTRY(CreateFileW), ENTRY(ReadFile), ENTRY(WriteFile), ENTRY(OutputDebugStringA), ENTRY(OutputDebugStringW),
    ENTRY(fopen), ENTRY(fread), ENTRY(fwrite), ENTRY(fputs), ENTRY(fputc), ENTRY(puts), ENTRY(fflush),
    ENTRY(_write), ENTRY(vfprintf),
};

#undef ENTRY

}  // namespace

const ImportHook* ImportHooks::find(const char* name) {
    for (const auto& hook : kHooks) {
        if (std::strcmp(hook.name, name) == 0) return &hook;
    }
    return nullptr;
}

}  // namespace vsthost
