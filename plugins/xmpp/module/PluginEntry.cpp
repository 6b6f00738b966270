// The Jabber module's entry point.
#include <windows.h>

#include "JabberImageTable.h"
#include "PluginModule.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        AttachPluginModule(instance, L"Jabber_");
    } else if (reason == DLL_PROCESS_DETACH) {
        // A non-null reserved: the whole process is ending.
        ReleaseJabberImages(reserved != nullptr ? nullptr : GetPluginSkinManager());
        DetachPluginModule();
    }
    return TRUE;
}
