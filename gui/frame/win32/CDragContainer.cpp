#include "CDragContainer.h"

#include <shellapi.h>

namespace {

FORMATETC globalMemoryFormat(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

CDragContainer::CDragContainer(IDataObject* dataObject) : dataObject(dataObject) {
    if (!dataObject) return;
    STGMEDIUM medium{};
    FORMATETC text = globalMemoryFormat(CF_TEXT);
    if (dataObject->GetData(&text, &medium) == S_OK) {
        itemCount = 1;
        ReleaseStgMedium(&medium);
        return;
    }
    FORMATETC files = globalMemoryFormat(CF_HDROP);
    medium = STGMEDIUM{};
    if (dataObject->GetData(&files, &medium) == S_OK) {
        itemCount = static_cast<std::int32_t>(
            DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
        ReleaseStgMedium(&medium);
    }
}
