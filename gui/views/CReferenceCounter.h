#pragma once
// The base of every toolkit object with a lifetime of its own. The creator holds the first
// reference; the last `release` destroys the object, so released objects live on the heap.
// Counting is not atomic: toolkit objects stay on the editor's thread.

#include <cstdint>

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    virtual ~CReferenceCounter() = default;

    virtual void release();
    virtual void retain() { ++refCount; }

    std::int32_t getReferenceCount() const { return refCount; }

    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

private:
    std::int32_t refCount = 1;
};
