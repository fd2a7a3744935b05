// A module that loads and does nothing, built with the plug-in's own flags:
// the floor against which the plug-in's attach is timed.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
