// The functions a plug-in must not call on the audio thread, defined in the program itself so
// that every library it loads, the plug-in and what the plug-in uses, reaches these first. Each
// reports the call, then does what the C library would: the allocation functions through the
// C library's own entries, the rest through the next definition of the same name.
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <semaphore.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "AudioCallWatch.h"

// The definitions must be seen from the libraries the program loads.
#pragma GCC visibility push(default)

using vsthost::AudioCallWatch;
using vsthost::CallKind;

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* memory);
int __vfprintf_chk(FILE* stream, int flag, const char* format, va_list arguments);
int __vprintf_chk(int flag, const char* format, va_list arguments);
}

namespace {

// The C library's definition of `name`, looked up once; versioned where the library keeps an
// older one under the same name.
template <typename Function>
Function next(std::atomic<Function>& cache, const char* name, const char* version = nullptr) {
    Function found = cache.load(std::memory_order_acquire);
    if (found == nullptr) {
        void* symbol = version ? dlvsym(RTLD_NEXT, name, version) : dlsym(RTLD_NEXT, name);
        if (symbol == nullptr) symbol = dlsym(RTLD_NEXT, name);
        if (symbol == nullptr) std::abort();
        found = reinterpret_cast<Function>(symbol);
        cache.store(found, std::memory_order_release);
    }
    return found;
}

#define FORWARD(type, name, ...)                        \
    static std::atomic<type> cache_##name = nullptr;    \
    return next(cache_##name, #name __VA_OPT__(, ) __VA_ARGS__)

void heard(const char* function, CallKind kind) { AudioCallWatch::heard(function, kind); }

void* allocate(const char* function, std::size_t size) {
    heard(function, CallKind::memory);
    for (;;) {
        if (void* memory = __libc_malloc(size ? size : 1)) return memory;
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) std::abort();
        handler();
    }
}

void* allocateAligned(const char* function, std::size_t size, std::align_val_t alignment) {
    heard(function, CallKind::memory);
    void* memory = __libc_memalign(static_cast<std::size_t>(alignment), size ? size : 1);
    if (memory == nullptr) std::abort();
    return memory;
}

void release(const char* function, void* memory) {
    if (memory != nullptr) heard(function, CallKind::memory);
    __libc_free(memory);
}

// open's third argument is there only when a file may be made.
bool takesMode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

[[maybe_unused]] const bool listening = (AudioCallWatch::setListening(), true);

}  // namespace

extern "C" {

void* malloc(size_t size) {
    heard("malloc", CallKind::memory);
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    heard("calloc", CallKind::memory);
    return __libc_calloc(count, size);
}

void* realloc(void* memory, size_t size) {
    heard("realloc", CallKind::memory);
    return __libc_realloc(memory, size);
}

void free(void* memory) {
    if (memory != nullptr) heard("free", CallKind::memory);
    __libc_free(memory);
}

int posix_memalign(void** memory, size_t alignment, size_t size) {
    heard("posix_memalign", CallKind::memory);
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    *memory = __libc_memalign(alignment, size);
    return *memory ? 0 : ENOMEM;
}

void* aligned_alloc(size_t alignment, size_t size) {
    heard("aligned_alloc", CallKind::memory);
    return __libc_memalign(alignment, size);
}

void* memalign(size_t alignment, size_t size) {
    heard("memalign", CallKind::memory);
    return __libc_memalign(alignment, size);
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    heard("pthread_mutex_lock", CallKind::lock);
    FORWARD(int (*)(pthread_mutex_t*), pthread_mutex_lock)(mutex);
}

int pthread_mutex_timedlock(pthread_mutex_t* mutex, const struct timespec* until) {
    heard("pthread_mutex_timedlock", CallKind::lock);
    FORWARD(int (*)(pthread_mutex_t*, const struct timespec*), pthread_mutex_timedlock)(mutex, until);
}

int pthread_rwlock_rdlock(pthread_rwlock_t* lock) {
    heard("pthread_rwlock_rdlock", CallKind::lock);
    FORWARD(int (*)(pthread_rwlock_t*), pthread_rwlock_rdlock)(lock);
}

int pthread_rwlock_wrlock(pthread_rwlock_t* lock) {
    heard("pthread_rwlock_wrlock", CallKind::lock);
    FORWARD(int (*)(pthread_rwlock_t*), pthread_rwlock_wrlock)(lock);
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    heard("pthread_cond_wait", CallKind::lock);
    FORWARD(int (*)(pthread_cond_t*, pthread_mutex_t*), pthread_cond_wait, "GLIBC_2.3.2")(condition, mutex);
}

int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex, const struct timespec* until) {
    heard("pthread_cond_timedwait", CallKind::lock);
    FORWARD(int (*)(pthread_cond_t*, pthread_mutex_t*, const struct timespec*), pthread_cond_timedwait,
            "GLIBC_2.3.2")(condition, mutex, until);
}

int sem_wait(sem_t* semaphore) {
    heard("sem_wait", CallKind::lock);
    FORWARD(int (*)(sem_t*), sem_wait)(semaphore);
}

int sem_timedwait(sem_t* semaphore, const struct timespec* until) {
    heard("sem_timedwait", CallKind::lock);
    FORWARD(int (*)(sem_t*, const struct timespec*), sem_timedwait)(semaphore, until);
}

// Waits on a futex are what C++'s atomic waits and hand-made locks come down to.
long syscall(long number, ...) {
    va_list list;
    va_start(list, number);
    long arguments[6];
    for (long& argument : arguments) argument = va_arg(list, long);
    va_end(list);
    if (number == SYS_futex) {
        const long command = arguments[1] & FUTEX_CMD_MASK;
        if (command == FUTEX_WAIT || command == FUTEX_WAIT_BITSET || command == FUTEX_LOCK_PI) {
            heard("futex wait", CallKind::lock);
        }
    }
    FORWARD(long (*)(long, ...), syscall)(number, arguments[0], arguments[1], arguments[2], arguments[3],
                                          arguments[4], arguments[5]);
}

int nanosleep(const struct timespec* duration, struct timespec* left) {
    heard("nanosleep", CallKind::sleep);
    FORWARD(int (*)(const struct timespec*, struct timespec*), nanosleep)(duration, left);
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec* duration, struct timespec* left) {
    heard("clock_nanosleep", CallKind::sleep);
    FORWARD(int (*)(clockid_t, int, const struct timespec*, struct timespec*), clock_nanosleep)(clock, flags,
                                                                                              duration, left);
}

int usleep(useconds_t microseconds) {
    heard("usleep", CallKind::sleep);
    FORWARD(int (*)(useconds_t), usleep)(microseconds);
}

unsigned int sleep(unsigned int seconds) {
    heard("sleep", CallKind::sleep);
    FORWARD(unsigned int (*)(unsigned int), sleep)(seconds);
}

int sched_yield() {
    heard("sched_yield", CallKind::sleep);
    FORWARD(int (*)(), sched_yield)();
}

int open(const char* path, int flags, ...) {
    heard("open", CallKind::io);
    va_list list;
    va_start(list, flags);
    const mode_t mode = takesMode(flags) ? va_arg(list, mode_t) : 0;
    va_end(list);
    FORWARD(int (*)(const char*, int, ...), open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    heard("open64", CallKind::io);
    va_list list;
    va_start(list, flags);
    const mode_t mode = takesMode(flags) ? va_arg(list, mode_t) : 0;
    va_end(list);
    FORWARD(int (*)(const char*, int, ...), open64)(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
    heard("openat", CallKind::io);
    va_list list;
    va_start(list, flags);
    const mode_t mode = takesMode(flags) ? va_arg(list, mode_t) : 0;
    va_end(list);
    FORWARD(int (*)(int, const char*, int, ...), openat)(folder, path, flags, mode);
}

ssize_t read(int file, void* buffer, size_t size) {
    heard("read", CallKind::io);
    FORWARD(ssize_t (*)(int, void*, size_t), read)(file, buffer, size);
}

ssize_t write(int file, const void* buffer, size_t size) {
    heard("write", CallKind::io);
    FORWARD(ssize_t (*)(int, const void*, size_t), write)(file, buffer, size);
}

FILE* fopen(const char* path, const char* mode) {
    heard("fopen", CallKind::io);
    FORWARD(FILE* (*)(const char*, const char*), fopen)(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    heard("fopen64", CallKind::io);
    FORWARD(FILE* (*)(const char*, const char*), fopen64)(path, mode);
}

size_t fread(void* buffer, size_t size, size_t count, FILE* stream) {
    heard("fread", CallKind::io);
    FORWARD(size_t (*)(void*, size_t, size_t, FILE*), fread)(buffer, size, count, stream);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
    heard("fwrite", CallKind::io);
    FORWARD(size_t (*)(const void*, size_t, size_t, FILE*), fwrite)(buffer, size, count, stream);
}

int fputs(const char* text, FILE* stream) {
    heard("fputs", CallKind::io);
    FORWARD(int (*)(const char*, FILE*), fputs)(text, stream);
}

int puts(const char* text) {
    heard("puts", CallKind::io);
    FORWARD(int (*)(const char*), puts)(text);
}

int fputc(int character, FILE* stream) {
    heard("fputc", CallKind::io);
    FORWARD(int (*)(int, FILE*), fputc)(character, stream);
}

int putchar(int character) {
    heard("putchar", CallKind::io);
    FORWARD(int (*)(int), putchar)(character);
}

int fflush(FILE* stream) {
    heard("fflush", CallKind::io);
    FORWARD(int (*)(FILE*), fflush)(stream);
}

int vfprintf(FILE* stream, const char* format, va_list arguments) {
    heard("vfprintf", CallKind::io);
    FORWARD(int (*)(FILE*, const char*, va_list), vfprintf)(stream, format, arguments);
}

int fprintf(FILE* stream, const char* format, ...) {
    heard("fprintf", CallKind::io);
    va_list list;
    va_start(list, format);
    static std::atomic<int (*)(FILE*, const char*, va_list)> cache = nullptr;
    const int written = next(cache, "vfprintf")(stream, format, list);
    va_end(list);
    return written;
}

int printf(const char* format, ...) {
    heard("printf", CallKind::io);
    va_list list;
    va_start(list, format);
    static std::atomic<int (*)(const char*, va_list)> cache = nullptr;
    const int written = next(cache, "vprintf")(format, list);
    va_end(list);
    return written;
}

// What a library built with fortified sources calls for fprintf and printf.
int __fprintf_chk(FILE* stream, int flag, const char* format, ...) {
    heard("fprintf", CallKind::io);
    va_list list;
    va_start(list, format);
    const int written = __vfprintf_chk(stream, flag, format, list);
    va_end(list);
    return written;
}

int __printf_chk(int flag, const char* format, ...) {
    heard("printf", CallKind::io);
    va_list list;
    va_start(list, format);
    const int written = __vprintf_chk(flag, format, list);
    va_end(list);
    return written;
}

}  // extern "C"

void* operator new(std::size_t size) { return allocate("operator new", size); }
void* operator new[](std::size_t size) { return allocate("operator new[]", size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    heard("operator new", CallKind::memory);
    return __libc_malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    heard("operator new[]", CallKind::memory);
    return __libc_malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned("operator new", size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned("operator new[]", size, alignment);
}
void operator delete(void* memory) noexcept { release("operator delete", memory); }
void operator delete[](void* memory) noexcept { release("operator delete[]", memory); }
void operator delete(void* memory, std::size_t) noexcept { release("operator delete", memory); }
void operator delete[](void* memory, std::size_t) noexcept { release("operator delete[]", memory); }
void operator delete(void* memory, std::align_val_t) noexcept { release("operator delete", memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { release("operator delete[]", memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { release("operator delete", memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    release("operator delete[]", memory);
}

#pragma GCC visibility pop
