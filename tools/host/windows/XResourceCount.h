#pragma once
// What this process holds on the X server: the resources (windows, pixmaps, graphics contexts,
// fonts) of every connection it opened, the host's and those a plug-in opened for itself. An
// editor that forgets to close its connection, or to free what it made on it, shows here.

namespace vsthost {

// -1 where it cannot be counted: no display, no X-Resource extension, or not an X11 build.
long long xResourcesOfThisProcess();
// Why the count above is -1, for a check that is skipped.
const char* whyXResourcesAreNotCounted();

}  // namespace vsthost
