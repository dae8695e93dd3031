#pragma once
// What is being dragged over a frame window: the platform's data object and the number of
// items it carries. Views receive it in their drag operations and never look into the data.

#include "CReferenceCounter.h"

#include <windows.h>
#include <ole2.h>

#include <cstdint>

class CDragContainer : public CReferenceCounter {
public:
    // Counts the items on offer; no reference to `dataObject` is taken, it lives as long as
    // the drag.
    explicit CDragContainer(IDataObject* dataObject);

    IDataObject* getDataObject() const { return dataObject; }
    // 1 for text, else the number of files; 0 when the data is neither.
    std::int32_t getItemCount() const { return itemCount; }

private:
    IDataObject* dataObject;
    std::int32_t itemCount = 0;
};
