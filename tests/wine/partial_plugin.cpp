// A plug-in that describes itself but lacks its property entry: a host must
// refuse it, naming the entry, before sending it anything.
#include <windows.h>

#include "plugin/plugin_info.h"

extern "C" {

__declspec(dllexport) int WINAPI get_plugin_info(DWORD, int index, plugin_info *info)
{
    if (index != 0 || info == nullptr)
        return 0;
    lstrcpynA(info->title, "&partial", sizeof info->title);
    lstrcpynA(info->base_name, "partial", sizeof info->base_name);
    info->extra[0] = '\0';
    return 1;
}

__declspec(dllexport) DWORD WINAPI partial_initialize(DWORD, DWORD)
{
    return 32;
}

__declspec(dllexport) int WINAPI partial(HWND, DWORD, DWORD, int)
{
    return 1;
}

}
