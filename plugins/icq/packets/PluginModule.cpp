#include "PluginModule.h"

#include <atomic>

#include "ImageTable.h"
#include "Localization.h"
#include "TextTable.h"

namespace {
HINSTANCE g_instance = nullptr;
CLocalization* g_localization = nullptr;
std::atomic<Skins::CSkinManager*> g_skins{nullptr};
}

void AttachPluginModule(HINSTANCE instance)
{
    g_instance = instance;
    g_localization = new CLocalization(GetAppDir() + CJOVString(L"Langs"), CJOVString(L"Verdel_"));
    LoadTextTables();
}

void DetachPluginModule(bool processEnding)
{
    ReleaseImages(processEnding ? nullptr : g_skins.load());
    delete g_localization;
    g_localization = nullptr;
}

HINSTANCE GetPluginInstance()
{
    return g_instance;
}

CJOVString GetModuleFolder()
{
    return GetModuleDir(g_instance);
}

CLocalization* GetPluginLocalization()
{
    return g_localization;
}

CJOVString GetPluginText(int id, const wchar_t* builtIn)
{
    CJOVString text;
    if (g_localization && g_localization->GetString(id, text))
        return text;
    return CJOVString(builtIn);
}

void SetPluginSkinManager(Skins::CSkinManager* skins)
{
    g_skins.store(skins);
}

Skins::CSkinManager* GetPluginSkinManager()
{
    return g_skins.load();
}
