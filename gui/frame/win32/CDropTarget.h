#pragma once
// Connects a frame window to OLE drag and drop. The frame makes one with a count of 0 and
// registers it; registration holds the reference that keeps it alive and revocation drops it.

#include <windows.h>
#include <ole2.h>

#include <cstdint>

class CDragContainer;
class CFrame;

// The drag in progress anywhere in the process, or null; the drop target holds its one
// reference.
extern CDragContainer* currentDrag;

class CDropTarget : public IDropTarget {
public:
    explicit CDropTarget(CFrame* frame) : frame(frame) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;   // 0
    ULONG STDMETHODCALLTYPE AddRef() override;                                          // 1
    ULONG STDMETHODCALLTYPE Release() override;                                         // 2
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                        DWORD* pdwEffect) override;                     // 3
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt,
                                       DWORD* pdwEffect) override;                      // 4
    HRESULT STDMETHODCALLTYPE DragLeave() override;                                     // 5
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                   DWORD* pdwEffect) override;                          // 6
    virtual ~CDropTarget() = default;                                                   // 7

    std::int32_t getReferenceCount() const { return referenceCount; }

    CDropTarget(const CDropTarget&) = delete;
    CDropTarget& operator=(const CDropTarget&) = delete;

private:
    std::int32_t referenceCount = 0;
    CFrame* frame; // not owned
};
