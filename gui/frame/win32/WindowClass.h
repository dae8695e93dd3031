#pragma once
// The one window class of all frame windows, registered while at least one exists, and the
// window procedure that turns their messages into frame operations.

#include <windows.h>

#include <cstdint>

// The library's module handle. The plug-in DLL's load notification stores it; a program that
// makes frames without the DLL (a test) stores its own, GetModuleHandleA(nullptr), first.
HINSTANCE getInstanceHandle();
void setInstanceHandle(HINSTANCE instance);

// "Plugin" and the instance handle in upper-case hexadecimal, one digit per nibble.
const char* getWindowClassName();
// Frame windows made minus frames destroyed with a window.
std::int32_t getWindowClassUseCount();

// Counts one more frame window; the first registers the class and reads the button swap.
bool registerWindowClass();
// Counts one frame window less; the last unregisters the class.
void unregisterWindowClass();

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
