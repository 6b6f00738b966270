// A plug-in module's process-wide state: its instance handle (the dialogs
// take their templates from it), its folder, its localization and the skin
// manager its accounts fetch from the bus. Set up when the module is attached,
// torn down when it is detached; read from every thread in between.
#pragma once

#include <windows.h>

#include "JOVString.h"
#include "PanelInfo.h"

class CLocalization;
namespace Skins {
class CSkinManager;
}

// Process attach: keep the handle and create the localization over the
// "Langs" folder beside the executable (where the language files are
// installed) with the module's file prefix ("Verdel_", "Jabber_").
void AttachPluginModule(HINSTANCE instance, const wchar_t* languagePrefix);
// Process detach: delete the localization. The module gives its images back
// itself, before this, and only when the process is not ending: the skin
// manager may already be gone then.
void DetachPluginModule();

HINSTANCE GetPluginInstance();
// The folder of the module's own file with its trailing backslash, or empty.
CJOVString GetModuleFolder();
CLocalization* GetPluginLocalization();
// The language file's text for the id, or the built-in text.
CJOVString GetPluginText(int id, const wchar_t* builtIn);
// The record of a page made from one of the module's dialog templates, with
// the caption's text id and no tab image.
CPanelInfo PluginPage(int textId, const wchar_t* english, unsigned int dialog, PanelDataExchangeProc exchange,
                      PanelMessageProc message);

// The skin manager the images are registered with, as an account fetched it
// from the bus; the program keeps it until after the plug-ins are freed.
void SetPluginSkinManager(Skins::CSkinManager* skins);
Skins::CSkinManager* GetPluginSkinManager();
