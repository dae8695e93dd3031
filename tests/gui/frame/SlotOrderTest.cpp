// Subclasses built elsewhere reach these operations by table position, so every position is
// pinned here.

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CFrame.h"
#include "COffscreenContext.h"
#include "CView.h"
#include "CViewContainer.h"
#include "VirtualSlot.h"

#include <gtest/gtest.h>

#include <type_traits>

static_assert(std::has_virtual_destructor_v<CReferenceCounter>);
static_assert(std::is_base_of_v<CReferenceCounter, CDrawContext>);
static_assert(std::is_base_of_v<CDrawContext, COffscreenContext>);
static_assert(std::is_base_of_v<CViewContainer, CFrame>);

TEST(SlotOrder, ReferenceCounterAndImage) {
    EXPECT_EQ(virtualSlot(&CReferenceCounter::release), 1);
    EXPECT_EQ(virtualSlot(&CReferenceCounter::retain), 2);
    EXPECT_EQ(virtualSlot(&CBitmap::draw), 3);
    EXPECT_EQ(virtualSlot(&CBitmap::drawTransparent), 4);
    EXPECT_EQ(virtualSlot(&CDrawContext::release), 1);
    EXPECT_EQ(virtualSlot(&COffscreenContext::retain), 2);
    using TableFont = void (CDrawContext::*)(CFontId, std::int32_t);
    EXPECT_EQ(virtualSlot(static_cast<TableFont>(&CDrawContext::setFont)), -1);
}

TEST(SlotOrder, View) {
    using Wheel4 = bool (CView::*)(CDrawContext*, const CPoint&, std::int32_t, float);
    using Wheel3 = bool (CView::*)(CDrawContext*, const CPoint&, float);
    const int slots[] = {
        virtualSlot(&CView::release),          virtualSlot(&CView::retain),
        virtualSlot(&CView::draw),             virtualSlot(&CView::drawRect),
        virtualSlot(&CView::checkUpdate),      virtualSlot(&CView::mouse),
        virtualSlot(&CView::setBackground),    virtualSlot(&CView::getBackground),
        virtualSlot(&CView::onKeyDown),        virtualSlot(&CView::onKeyUp),
        virtualSlot(static_cast<Wheel4>(&CView::onWheel)),
        virtualSlot(static_cast<Wheel3>(&CView::onWheel)),
        virtualSlot(&CView::onDrop),           virtualSlot(&CView::onDragEnter),
        virtualSlot(&CView::onDragLeave),      virtualSlot(&CView::onDragMove),
        virtualSlot(&CView::loseFocus),        virtualSlot(&CView::takeFocus),
        virtualSlot(&CView::isDirty),          virtualSlot(&CView::setDirty),
        virtualSlot(&CView::setMouseEnabled),  virtualSlot(&CView::getMouseEnabled),
        virtualSlot(&CView::setMouseableArea), virtualSlot(&CView::getMouseableArea),
        virtualSlot(&CView::hitTest),          virtualSlot(&CView::setTransparency),
        virtualSlot(&CView::getTransparency),  virtualSlot(&CView::setViewSize),
        virtualSlot(&CView::getViewSize),      virtualSlot(&CView::removed),
        virtualSlot(&CView::attached),         virtualSlot(&CView::getMouseLocation),
        virtualSlot(&CView::frameToLocal),     virtualSlot(&CView::localToFrame),
        virtualSlot(&CView::getEditor),        virtualSlot(&CView::notify),
        virtualSlot(&CView::redrawRect),       virtualSlot(&CView::wantsFocus),
        virtualSlot(&CView::setWantsFocus),    virtualSlot(&CView::isTypeOf),
        virtualSlot(&CView::update),
    };
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) EXPECT_EQ(slots[i], i + 1);
}

TEST(SlotOrder, ViewContainer) {
    using AddWithArea = void (CViewContainer::*)(CView*, const CRect&, bool);
    using AddPlain = void (CViewContainer::*)(CView*);
    const int slots[] = {
        virtualSlot(static_cast<AddWithArea>(&CViewContainer::addView)),
        virtualSlot(static_cast<AddPlain>(&CViewContainer::addView)),
        virtualSlot(&CViewContainer::removeView),
        virtualSlot(&CViewContainer::removeAll),
        virtualSlot(&CViewContainer::isChild),
        virtualSlot(&CViewContainer::getViewCount),
        virtualSlot(&CViewContainer::getView),
        virtualSlot(&CViewContainer::setBackgroundColor),
        virtualSlot(&CViewContainer::getBackgroundColor),
        virtualSlot(&CViewContainer::setBackgroundOffset),
        virtualSlot(&CViewContainer::getBackgroundOffset),
        virtualSlot(&CViewContainer::drawBackgroundRect),
        virtualSlot(&CViewContainer::setMode),
        virtualSlot(&CViewContainer::getMode),
        virtualSlot(&CViewContainer::setOffscreenDrawing),
        virtualSlot(&CViewContainer::getViewUnderMouse),
        virtualSlot(&CViewContainer::getViewAt),
        virtualSlot(&CViewContainer::advanceFocus),
    };
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) EXPECT_EQ(slots[i], 42 + i);
    // Overrides keep the positions of the operations they replace.
    EXPECT_EQ(virtualSlot(&CViewContainer::notify), 36);
    EXPECT_EQ(virtualSlot(&CViewContainer::isTypeOf), 40);
}

TEST(SlotOrder, Frame) {
    using SizeByPointer = bool (CFrame::*)(CRect*) const;
    using SizeByReference = bool (CFrame::*)(CRect&) const;
    const int slots[] = {
        virtualSlot(&CFrame::open),
        virtualSlot(&CFrame::close),
        virtualSlot(&CFrame::isOpen),
        virtualSlot(&CFrame::idle),
        virtualSlot(&CFrame::editorIdle),
        virtualSlot(&CFrame::getTicks),
        virtualSlot(&CFrame::getKnobMode),
        virtualSlot(&CFrame::setPosition),
        virtualSlot(&CFrame::getPosition),
        virtualSlot(&CFrame::setSize),
        virtualSlot(static_cast<SizeByPointer>(&CFrame::getSize)),
        virtualSlot(static_cast<SizeByReference>(&CFrame::getSize)),
        virtualSlot(&CFrame::setModalView),
        virtualSlot(&CFrame::getModalView),
        virtualSlot(&CFrame::beginEdit),
        virtualSlot(&CFrame::endEdit),
        virtualSlot(&CFrame::getCurrentLocation),
        virtualSlot(&CFrame::setCursor),
        virtualSlot(&CFrame::setFocusView),
        virtualSlot(&CFrame::getFocusView),
        virtualSlot(&CFrame::setDropActive),
        virtualSlot(&CFrame::isDropActive),
        virtualSlot(&CFrame::setOpenFlag),
        virtualSlot(&CFrame::getOpenFlag),
        virtualSlot(&CFrame::invalidate),
        virtualSlot(&CFrame::setUpdatesDisabled),
        virtualSlot(&CFrame::getUpdatesDisabled),
        virtualSlot(&CFrame::drawView),
    };
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) EXPECT_EQ(slots[i], 60 + i);
    EXPECT_EQ(virtualSlot(&CFrame::getEditor), 35);
    EXPECT_EQ(virtualSlot(&CFrame::isTypeOf), 40);
    EXPECT_EQ(virtualSlot(&CFrame::createDrawContext), -1);
    EXPECT_EQ(virtualSlot(&CFrame::getSystemWindow), -1);
}

#if defined(__i386__)
#define MEMBER_CALL __attribute__((thiscall))
#else
#define MEMBER_CALL
#endif

namespace {

template <typename Function>
Function tableEntry(const void* object, int slot) {
    // The destructor's two entries put operation n at entry n + 1.
    void* const* table = *static_cast<void* const* const*>(object);
    return reinterpret_cast<Function>(table[slot + 1]);
}

} // namespace

TEST(SlotOrder, CallsThroughTablePositionsReachTheNamedOperations) {
    CFrame frame(CRect(0, 0, 40, 30), nullptr, nullptr);
    auto* view = new CView(CRect(1, 2, 3, 4));
    frame.addView(view);

    using SetDirty = void(MEMBER_CALL*)(CView*, bool);
    using IsDirty = bool(MEMBER_CALL*)(const CView*);
    using IsTypeOf = bool(MEMBER_CALL*)(const CView*, const char*);
    using GetViewCount = std::int32_t(MEMBER_CALL*)(const CViewContainer*);
    using SetUpdatesDisabled = bool(MEMBER_CALL*)(CFrame*, bool);
    using GetFocusView = CView*(MEMBER_CALL*)(const CFrame*);

    tableEntry<SetDirty>(view, 20)(view, false);
    EXPECT_FALSE(tableEntry<IsDirty>(view, 19)(view));
    tableEntry<SetDirty>(view, 20)(view, true);
    EXPECT_TRUE(view->isDirty());
    EXPECT_TRUE(tableEntry<IsTypeOf>(&frame, 40)(&frame, "CFrame"));
    EXPECT_TRUE(tableEntry<IsTypeOf>(&frame, 40)(&frame, "CViewContainer"));
    EXPECT_EQ(tableEntry<GetViewCount>(&frame, 47)(&frame), 1);
    EXPECT_FALSE(tableEntry<SetUpdatesDisabled>(&frame, 85)(&frame, true));
    EXPECT_TRUE(frame.getUpdatesDisabled());
    frame.setFocusView(view);
    EXPECT_EQ(tableEntry<GetFocusView>(&frame, 79)(&frame), view);
}
