// The plug-in library's load notification: the frame windows' class belongs to this module.
#include "WindowClass.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    setInstanceHandle(instance);
    return TRUE;
}
