// The Verdel module's entry point.
#include <windows.h>

#include "packets/PluginModule.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        AttachPluginModule(instance);
    else if (reason == DLL_PROCESS_DETACH)
        DetachPluginModule(reserved != nullptr);
    return TRUE;
}
