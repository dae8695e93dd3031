#include "WindowPixels.h"

#include "XErrorTrap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <new>

namespace {

Bool isCompletion(Display*, XEvent* event, XPointer type) {
    return event->type == *reinterpret_cast<int*>(type);
}

} // namespace

std::unique_ptr<WindowPixels> WindowPixels::make(Display* display, Window window, int width, int height) {
    XWindowAttributes attributes{};
    if (width <= 0 || height <= 0 || !XGetWindowAttributes(display, window, &attributes)) return nullptr;
    // The image goes to the window as it is, which wants the common true-colour layout of 32
    // bits per pixel; cairo's own X11 surfaces kept a little memory per display past its closing.
    if ((attributes.depth != 24 && attributes.depth != 32) || attributes.visual->c_class != TrueColor) return nullptr;
    std::unique_ptr<WindowPixels> pixels(new (std::nothrow) WindowPixels(display, window));
    if (!pixels) return nullptr;
    pixels->copier = XCreateGC(display, window, 0, nullptr);
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    pixels->image.width = width;
    pixels->image.height = height;
    pixels->image.format = ZPixmap;
    pixels->image.byte_order = LSBFirst;
    pixels->image.bitmap_unit = 32;
    pixels->image.bitmap_bit_order = LSBFirst;
    pixels->image.bitmap_pad = 32;
    pixels->image.depth = 24;
    pixels->image.bytes_per_line = stride;
    pixels->image.bits_per_pixel = 32;
    pixels->image.red_mask = 0xFF0000;
    pixels->image.green_mask = 0x00FF00;
    pixels->image.blue_mask = 0x0000FF;
    if (!pixels->copier || !(pixels->share(width, height) || pixels->ownMemory(width, height))) return nullptr;
    pixels->image.data = reinterpret_cast<char*>(cairo_image_surface_get_data(pixels->buffer));
    if (!pixels->image.data || !XInitImage(&pixels->image)) return nullptr;
    return pixels;
}

bool WindowPixels::share(int width, int height) {
    int major = 0, minor = 0;
    Bool sharedPixmaps = False;
    if (!XShmQueryVersion(display, &major, &minor, &sharedPixmaps)) return false;
    const auto bytes = static_cast<size_t>(image.bytes_per_line) * static_cast<size_t>(height);
    segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment.shmid < 0) return false;
    void* memory = shmat(segment.shmid, nullptr, 0);
    // Marked for removal at once: the segment goes when the last of us and the server lets go,
    // even if the host dies.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (memory == reinterpret_cast<void*>(-1)) return false;
    cairo_surface_t* shared = cairo_image_surface_create_for_data(static_cast<unsigned char*>(memory),
                                                                  CAIRO_FORMAT_RGB24, width, height, image.bytes_per_line);
    segment.shmaddr = static_cast<char*>(memory);
    segment.readOnly = True;
    XErrorTrap trap(display);
    // A server on another machine answers the attachment with an error.
    if (cairo_surface_status(shared) != CAIRO_STATUS_SUCCESS || !XShmAttach(display, &segment) ||
        !trap.succeeded()) {
        cairo_surface_destroy(shared);
        shmdt(memory);
        segment = XShmSegmentInfo{};
        return false;
    }
    buffer = shared;
    image.obdata = reinterpret_cast<char*>(&segment);
    completionEvent = XShmGetEventBase(display) + ShmCompletion;
    return true;
}

bool WindowPixels::ownMemory(int width, int height) {
    buffer = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    image.bytes_per_line = cairo_image_surface_get_stride(buffer);
    return cairo_surface_status(buffer) == CAIRO_STATUS_SUCCESS;
}

WindowPixels::~WindowPixels() {
    if (buffer) cairo_surface_destroy(buffer);
    XErrorTrap trap(display);
    if (shared()) {
        XShmDetach(display, &segment);
        // The server lets go of the segment before we do; what it still reads stays valid.
        XSync(display, False);
        shmdt(segment.shmaddr);
    }
    if (copier) XFreeGC(display, copier);
}

void WindowPixels::copy(const CRect& area) {
    if (area.width() <= 0 || area.height() <= 0) return;
    cairo_surface_flush(buffer);
    const auto width = static_cast<unsigned>(area.width());
    const auto height = static_cast<unsigned>(area.height());
    if (shared()) {
        settle();
        XShmPutImage(display, window, copier, &image, area.left, area.top, area.left, area.top, width, height, True);
        reading = true;
    } else {
        XPutImage(display, window, copier, &image, area.left, area.top, area.left, area.top, width, height);
    }
    XFlush(display);
}

void WindowPixels::settle() {
    if (!reading) return;
    reading = false;
    XEvent event;
    auto* type = reinterpret_cast<XPointer>(&completionEvent);
    if (XCheckIfEvent(display, &event, isCompletion, type)) return;
    // After a round trip the server has handled the copy: its completion is queued now, or the
    // copy failed (the window went away) and none will come.
    XSync(display, False);
    XCheckIfEvent(display, &event, isCompletion, type);
}

bool WindowPixels::takes(const XEvent& event) {
    if (!shared() || event.type != completionEvent) return false;
    // Pop-up windows copy through the same connection; their word is not ours.
    if (reinterpret_cast<const XShmCompletionEvent&>(event).drawable != window) return false;
    reading = false;
    return true;
}
