// The plug-in module's process-wide state: its instance handle (the dialogs
// take their templates from it), its folder, its localization and the image
// registrar its accounts lend it. Set up when the module is attached, torn
// down when it is detached; read from every thread in between.
#pragma once

#include <windows.h>

#include "JOVString.h"

class CImageRegistrar;
class CLocalization;

// Process attach: keep the handle, create the localization over the "Langs"
// folder beside the executable (where the language files are installed) with
// the prefix "Verdel_", read the reference text tables.
void AttachPluginModule(HINSTANCE instance);
// Process detach: give the images back (when a registrar is known), then
// delete the localization. When the whole process is ending the skin manager
// may already be gone, so the images are not given back then.
void DetachPluginModule(bool processEnding);

HINSTANCE GetPluginInstance();
// The folder of the module's own file with its trailing backslash, or empty.
CJOVString GetModuleFolder();
CLocalization* GetPluginLocalization();
// The language file's text for the id, or the built-in text.
CJOVString GetPluginText(int id, const wchar_t* builtIn);

// The skin manager the images were registered with, as an account lends it;
// it must stay valid until the module is detached, or be set back to null.
void SetPluginImageRegistrar(CImageRegistrar* registrar);
CImageRegistrar* GetPluginImageRegistrar();
