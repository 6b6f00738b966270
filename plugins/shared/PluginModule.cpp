#include "PluginModule.h"

#include <atomic>

#include "Localization.h"

namespace {
HINSTANCE g_instance = nullptr;
CLocalization* g_localization = nullptr;
std::atomic<Skins::CSkinManager*> g_skins{nullptr};
}

void AttachPluginModule(HINSTANCE instance, const wchar_t* languagePrefix)
{
    g_instance = instance;
    g_localization = new CLocalization(GetAppDir() + CJOVString(L"Langs"), CJOVString(languagePrefix));
}

void DetachPluginModule()
{
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

CPanelInfo PluginPage(int textId, const wchar_t* english, unsigned int dialog, PanelDataExchangeProc exchange,
                      PanelMessageProc message)
{
    CPanelInfo info;
    info.title = GetPluginText(textId, english);
    info.image = -1;
    info.module = GetPluginInstance();
    info.dialog = dialog;
    info.dataExchange = exchange;
    info.message = message;
    return info;
}
