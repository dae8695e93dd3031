#include "COffscreenContext.h"

#include "CBitmap.h"
#include "CFrame.h"

COffscreenContext::COffscreenContext(CFrame* frame, std::int32_t width, std::int32_t height,
                                     CColor backgroundColor)
    : CDrawContext(frame, nullptr, nullptr), height(height), width(width),
      backgroundColor(backgroundColor) {
    clipRect = CRect(width <= 0 ? width : 0, height <= 0 ? height : 0, width <= 0 ? 0 : width,
                     height <= 0 ? 0 : height);
    destroyBitmap = true;

    HWND frameWindow = frame ? frame->getSystemWindow() : nullptr;
    HDC windowContext = GetDC(frameWindow);
    deviceContext = CreateCompatibleDC(windowContext);
    // The memory bitmap travels in the window field, pointer-sized like any handle.
    window = reinterpret_cast<HWND>(CreateCompatibleBitmap(windowContext, scaledCoordinate(width, scale),
                                                           scaledCoordinate(height, scale)));
    previousBitmap = SelectObject(deviceContext, getMemoryBitmap());
    ReleaseDC(frameWindow, windowContext);
    // The defaults were recorded before this device context existed.
    selectDrawingState();

    const CRect whole(0, 0, width, height);
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    fillRect(whole);
    drawRect(whole);
}

COffscreenContext::~COffscreenContext() {
    if (bitmap) bitmap->release();
    DeleteDC(deviceContext);
    deviceContext = nullptr;
    if (destroyBitmap && window) DeleteObject(getMemoryBitmap());
}

void COffscreenContext::copyTo(CDrawContext* destination, const CRect& destRect,
                               const CPoint& sourceOffset) {
    const RECT to = destination->devicePixels(destRect);
    const POINT from{scaledCoordinate(sourceOffset.h, scale), scaledCoordinate(sourceOffset.v, scale)};
    BitBlt(destination->getDeviceContext(), to.left, to.top, to.right - to.left, to.bottom - to.top,
           deviceContext, from.x, from.y, SRCCOPY);
}
