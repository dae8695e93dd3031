#include "CReferenceCounter.h"

void CReferenceCounter::release() {
    if (--refCount == 0) delete this;
}
