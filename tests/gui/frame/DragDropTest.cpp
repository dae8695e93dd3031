#include "CDragContainer.h"
#include "CDropTarget.h"
#include "FrameTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Counts the releases of the storage media it hands out through their release object.
class MediumOwner : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return ++releases, 1; }
    int releases = 0;
};

// A data object offering text, a file list, or both, in global memory as the shell offers them.
class TestDataObject : public IDataObject {
public:
    TestDataObject(const char* text, std::vector<std::string> files)
        : text(text), files(std::move(files)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        requested.push_back(format->cfFormat);
        if (format->tymed != TYMED_HGLOBAL || format->dwAspect != DVASPECT_CONTENT ||
            format->lindex != -1 || format->ptd) {
            return DV_E_FORMATETC;
        }
        HGLOBAL memory = nullptr;
        if (format->cfFormat == CF_TEXT && text) {
            memory = copyToGlobal(text, std::strlen(text) + 1);
        } else if (format->cfFormat == CF_HDROP && !files.empty()) {
            memory = fileList();
        } else {
            return DV_E_FORMATETC;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = &owner;
        handedOut.push_back(memory);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    ~TestDataObject() {
        for (HGLOBAL memory : handedOut) GlobalFree(memory);
    }

    std::vector<CLIPFORMAT> requested;
    std::vector<HGLOBAL> handedOut;
    MediumOwner owner;
    ULONG references = 1;

private:
    static HGLOBAL copyToGlobal(const void* data, std::size_t bytes) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), data, bytes);
        GlobalUnlock(memory);
        return memory;
    }
    // A DROPFILES header, then each name with its terminating zero, then one more zero.
    HGLOBAL fileList() const {
        std::string names;
        for (const std::string& file : files) names += file + '\0';
        names += '\0';
        std::vector<char> block(sizeof(DROPFILES) + names.size());
        DROPFILES header{};
        header.pFiles = sizeof(DROPFILES);
        header.fWide = FALSE;
        std::memcpy(block.data(), &header, sizeof header);
        std::memcpy(block.data() + sizeof header, names.data(), names.size());
        return copyToGlobal(block.data(), block.size());
    }

    const char* text;
    std::vector<std::string> files;
};

const std::vector<std::string> kThreeFiles{"C:\\a.wav", "C:\\b.wav", "C:\\c.wav"};

TEST(DragContainer, CountsTextAsOneItemAndFilesOneByOne) {
    TestDataObject both("hello", kThreeFiles);
    CDragContainer* withText = new CDragContainer(&both);
    EXPECT_EQ(withText->getItemCount(), 1);
    EXPECT_EQ(both.requested, std::vector<CLIPFORMAT>{CF_TEXT}); // files never asked for
    EXPECT_EQ(both.owner.releases, 1);                          // the medium is given back
    withText->release();
    EXPECT_EQ(both.references, 1u); // no reference was taken

    TestDataObject filesOnly(nullptr, kThreeFiles);
    CDragContainer* withFiles = new CDragContainer(&filesOnly);
    EXPECT_EQ(withFiles->getItemCount(), 3);
    EXPECT_EQ(filesOnly.requested, (std::vector<CLIPFORMAT>{CF_TEXT, CF_HDROP}));
    EXPECT_EQ(filesOnly.owner.releases, 1);
    withFiles->release();

    TestDataObject nothing(nullptr, {});
    CDragContainer* empty = new CDragContainer(&nothing);
    EXPECT_EQ(empty->getItemCount(), 0);
    empty->release();
}

struct DropTargetTest : ::testing::Test {
    DropTargetTest() : host(300, 200) {
        useProgramInstance();
        frame = new TestFrame(CRect(0, 0, 200, 100), host.get(), nullptr);
        left = addChild(CRect(0, 0, 90, 100), "left.");
        right = addChild(CRect(100, 0, 200, 100), "right.");
        target = frame->getDropTarget();
    }
    ~DropTargetTest() override { delete frame; }

    RecordingView* addChild(const CRect& size, const char* name) {
        auto* view = new RecordingView(size);
        view->name = name;
        view->events = &journal;
        frame->addView(view); // handing the creator's reference over
        return view;
    }
    // Puts the cursor over frame position (h, v).
    void moveMouseTo(int h, int v) {
        RECT screen{};
        GetWindowRect(frame->getSystemWindow(), &screen);
        SetCursorPos(screen.left + h, screen.top + v);
    }

    HostWindow host;
    TestFrame* frame;
    RecordingView* left;
    RecordingView* right;
    CDropTarget* target;
    std::vector<std::string> journal;
    TestDataObject data{"text", {}};
    const POINTL nowhere{-5000, -5000}; // what OLE says is not used
};

TEST_F(DropTargetTest, TheFrameWindowIsRegisteredWithOle) {
    ASSERT_NE(target, nullptr);
    EXPECT_GT(target->getReferenceCount(), 0); // the registration's
    EXPECT_EQ(RegisterDragDrop(frame->getSystemWindow(), target), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_EQ(frame->getDropTarget(), nullptr);
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_EQ(RevokeDragDrop(frame->getSystemWindow()), DRAGDROP_E_NOTREGISTERED);

    // Registered by someone else meanwhile, the window refuses the frame's target: it goes.
    auto* foreign = new CDropTarget(frame);
    ASSERT_EQ(RegisterDragDrop(frame->getSystemWindow(), foreign), S_OK);
    EXPECT_TRUE(frame->setDropActive(true));
    EXPECT_EQ(frame->getDropTarget(), nullptr);
    EXPECT_EQ(RevokeDragDrop(frame->getSystemWindow()), S_OK); // the foreign registration

    EXPECT_TRUE(frame->setDropActive(true));
    EXPECT_NE(frame->getDropTarget(), nullptr);
}

TEST_F(DropTargetTest, QueryInterfaceKnowsTheDropTargetAndUnknownOnly) {
    const std::int32_t count = target->getReferenceCount();
    void* asTarget = nullptr;
    void* asUnknown = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &asTarget), S_OK);
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
    EXPECT_EQ(asTarget, static_cast<void*>(target));
    EXPECT_EQ(asUnknown, asTarget);
    EXPECT_EQ(target->getReferenceCount(), count + 2);
    void* other = target;
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(target->Release(), static_cast<ULONG>(count + 1));
    target->Release();

    CDropTarget* loose = new CDropTarget(nullptr);
    loose->AddRef();
    EXPECT_EQ(loose->Release(), 0u); // destroyed
}

TEST_F(DropTargetTest, ADragFollowsTheMouseAcrossViewsAndEndsInADrop) {
    DWORD effect = 77;
    moveMouseTo(20, 30);
    EXPECT_EQ(target->DragEnter(&data, 0, nowhere, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    ASSERT_NE(currentDrag, nullptr);
    EXPECT_EQ(currentDrag->getItemCount(), 1);
    EXPECT_EQ(left->lastWhere, CPoint(20, 30));
    EXPECT_EQ(left->lastDrag, currentDrag);

    moveMouseTo(150, 40);
    effect = 0;
    EXPECT_EQ(target->DragOver(0, nowhere, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(target->Drop(&data, 0, nowhere, &effect), S_OK);
    EXPECT_EQ(currentDrag, nullptr);
    EXPECT_EQ(right->lastWhere, CPoint(150, 40));
    EXPECT_EQ(journal, (std::vector<std::string>{"left.enter", "left.leave", "right.enter",
                                                 "right.drop", "right.leave"}));

    journal.clear();
    EXPECT_EQ(target->Drop(&data, 0, nowhere, &effect), S_OK); // no drag: nothing
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_TRUE(journal.empty());
}

TEST_F(DropTargetTest, WithoutDataNoDragStarts) {
    DWORD effect = 77;
    EXPECT_EQ(target->DragEnter(nullptr, 0, nowhere, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(currentDrag, nullptr);
    effect = 77;
    EXPECT_EQ(target->DragOver(0, nowhere, &effect), S_OK);
    EXPECT_EQ(effect, 77u);
    EXPECT_TRUE(journal.empty());
}

TEST_F(DropTargetTest, ASecondEnterReplacesAnUnfinishedDrag) {
    DWORD effect = 0;
    moveMouseTo(20, 30);
    target->DragEnter(&data, 0, nowhere, &effect);
    CDragContainer* first = currentDrag;
    first->retain(); // the test's own, to see the target let go of it
    TestDataObject files(nullptr, kThreeFiles);
    target->DragEnter(&files, 0, nowhere, &effect);
    EXPECT_EQ(first->getReferenceCount(), 1);
    first->release();
    EXPECT_EQ(currentDrag->getItemCount(), 3);
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(currentDrag, nullptr);
    EXPECT_EQ(journal.back(), "left.leave");
}

} // namespace
