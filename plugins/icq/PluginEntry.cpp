// The Verdel module's entry point.
#include <windows.h>

#include "packets/ImageTable.h"
#include "PluginModule.h"
#include "packets/TextTable.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        AttachPluginModule(instance, L"Verdel_");
        LoadTextTables();
    } else if (reason == DLL_PROCESS_DETACH) {
        // A non-null reserved: the whole process is ending.
        ReleaseImages(reserved != nullptr ? nullptr : GetPluginSkinManager());
        DetachPluginModule();
    }
    return TRUE;
}
