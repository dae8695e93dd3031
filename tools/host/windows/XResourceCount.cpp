#include "XResourceCount.h"

#if defined(LANTER5_HOST_X11)
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include "X11Display.h"
#endif

namespace vsthost {

#if defined(LANTER5_HOST_X11)

long long xResourcesOfThisProcess() {
    Display* display = hostDisplay();
    int event = 0, error = 0;
    if (!display || !XResQueryExtension(display, &event, &error)) return -1;
    // A connection a plug-in just closed leaves the server's books only when the server has
    // read its end; everything sent before this round trip has been handled.
    XSync(display, False);
    XResClientIdSpec everyone{None, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    if (XResQueryClientIds(display, 1, &everyone, &count, &ids) != Success) return -1;
    long long total = 0;
    bool known = true;
    for (long i = 0; i < count; ++i) {
        if (XResGetClientPid(&ids[i]) != getpid()) continue;
        const auto& [client, length, value] = ids[i];
        int types = 0;
        XResType* held = nullptr;
        if (!XResQueryClientResources(display, client.client, &types, &held)) {
            known = false;
            continue;
        }
        for (int type = 0; type < types; ++type) total += held[type].count;
        XFree(held);
    }
    XResClientIdsDestroy(count, ids);
    return known ? total : -1;
}

const char* whyXResourcesAreNotCounted() { return "the X server does not count resources per client"; }

#else

long long xResourcesOfThisProcess() { return -1; }

const char* whyXResourcesAreNotCounted() { return "this platform has no X server"; }

#endif

}  // namespace vsthost
