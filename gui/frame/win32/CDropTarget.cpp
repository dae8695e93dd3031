#include "CDropTarget.h"

#include "CDragContainer.h"
#include "CDrawContext.h"
#include "CFrame.h"

#include <cstring>

CDragContainer* currentDrag = nullptr;

namespace {

constexpr GUID kDropTargetInterface{
    0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kUnknownInterface{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool sameInterface(REFIID riid, const GUID& known) {
    return std::memcmp(&riid, &known, sizeof(GUID)) == 0;
}

// Runs one drag notification of the frame with a fresh context and the mouse position in
// frame coordinates; the position OLE reports is not used.
template <typename Notification>
void withContextAndMouse(CFrame* frame, Notification notification) {
    CDrawContext* context = frame->createDrawContext();
    CPoint where(0, 0);
    frame->getMouseLocation(context, where);
    notification(context, where);
    if (context) context->release();
}

void endCurrentDrag() {
    currentDrag->release();
    currentDrag = nullptr;
}

} // namespace

HRESULT STDMETHODCALLTYPE CDropTarget::QueryInterface(REFIID riid, void** ppvObject) {
    if (sameInterface(riid, kDropTargetInterface) || sameInterface(riid, kUnknownInterface)) {
        *ppvObject = this;
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDropTarget::AddRef() { return static_cast<ULONG>(++referenceCount); }

ULONG STDMETHODCALLTYPE CDropTarget::Release() {
    const std::int32_t count = --referenceCount;
    if (count > 0) return static_cast<ULONG>(count);
    delete this;
    return 0;
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragEnter(IDataObject* pDataObj, DWORD, POINTL,
                                                 DWORD* pdwEffect) {
    if (!pDataObj || !frame) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    // A drag the platform never ended must not leak its container.
    if (currentDrag) endCurrentDrag();
    currentDrag = new CDragContainer(pDataObj);
    withContextAndMouse(frame, [this](CDrawContext* context, CPoint& where) {
        frame->onDragEnter(context, currentDrag, where);
    });
    *pdwEffect = DROPEFFECT_MOVE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragOver(DWORD, POINTL, DWORD* pdwEffect) {
    if (!currentDrag || !frame) return S_OK;
    withContextAndMouse(frame, [this](CDrawContext* context, CPoint& where) {
        frame->onDragMove(context, currentDrag, where);
    });
    *pdwEffect = DROPEFFECT_MOVE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::DragLeave() {
    if (!currentDrag || !frame) return S_OK;
    withContextAndMouse(frame, [this](CDrawContext* context, CPoint& where) {
        frame->onDragLeave(context, currentDrag, where);
    });
    endCurrentDrag();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD*) {
    if (!currentDrag || !frame) return S_OK;
    withContextAndMouse(frame, [this](CDrawContext* context, CPoint& where) {
        frame->onDrop(context, currentDrag, where);
    });
    endCurrentDrag();
    return S_OK;
}
