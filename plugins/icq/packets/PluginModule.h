// The plug-in module's process-wide state: its instance handle (the dialogs
// take their templates from it), its folder, its localization and the image
// skin manager its accounts fetch from the bus. Set up when the module is attached, torn
// down when it is detached; read from every thread in between.
#pragma once

#include <windows.h>

#include "JOVString.h"

class CLocalization;
namespace Skins {
class CSkinManager;
}

// Process attach: keep the handle, create the localization over the "Langs"
// folder beside the executable (where the language files are installed) with
// the prefix "Verdel_", read the reference text tables.
void AttachPluginModule(HINSTANCE instance);
// Process detach: give the images back (when a skin manager is known), then
// delete the localization. When the whole process is ending the skin manager
// may already be gone, so the images are not given back then.
void DetachPluginModule(bool processEnding);

HINSTANCE GetPluginInstance();
// The folder of the module's own file with its trailing backslash, or empty.
CJOVString GetModuleFolder();
CLocalization* GetPluginLocalization();
// The language file's text for the id, or the built-in text.
CJOVString GetPluginText(int id, const wchar_t* builtIn);

// The skin manager the images are registered with, as an account fetched it
// from the bus; the program keeps it until after the plug-ins are freed.
void SetPluginSkinManager(Skins::CSkinManager* skins);
Skins::CSkinManager* GetPluginSkinManager();
