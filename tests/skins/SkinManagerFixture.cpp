#include "skins/SkinManagerFixture.h"

#include <cstdio>

namespace {

CTestSkinHost* s_host = nullptr;

LRESULT CALLBACK RecordNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == Skins::kSmiliesChangeMessage && s_host)
        s_host->notices.push_back(static_cast<int>(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

std::vector<COLORREF> NumberedColours(COLORREF base, int count)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(base + i);
    return colours;
}

std::string ColoursFile(const std::vector<COLORREF>& colours)
{
    std::string text = "[TarselColors]\r\n";
    for (size_t i = 0; i < colours.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof(line), "Colour%u=%06lX\r\n", static_cast<unsigned>(i),
                      static_cast<unsigned long>(colours[i]));
        text += line;
    }
    return text;
}

CTestSkinHost::CTestSkinHost()
{
    s_host = this;
    WNDCLASSW type = {};
    type.lpfnWndProc = RecordNotices;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"SkinsTestMessageWindow";
    RegisterClassW(&type);
    window = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                             nullptr);
}

CTestSkinHost::~CTestSkinHost()
{
    DestroyWindow(window);
    s_host = nullptr;
}

void SkinManagerTest::Skin(const std::wstring& name, COLORREF base, bool withImages)
{
    tree.Write(SkinFile(name, L"icolors.ini"), ColoursFile(NumberedColours(base)));
    if (!withImages)
        return;
    // Each skin's online image has a colour of its own; the background is a 2x2 check.
    tree.Write(SkinFile(name, L"jov_status_online.png"), MakeSolidPng(2, 2, RGB(base >> 16, 0, 0)));
    tree.Write(SkinFile(name, L"jov_mw_background.png"),
               MakeRgbaPng(2, 2, {255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255}));
}

void SkinManagerTest::SetUp()
{
    Skin(L"JOV PDA skin", kDefaultBase);
    Skin(L"Blue", kBlueBase);
    tree.MakeFolder(L"Smilies");
    for (const wchar_t* language : {L"JOV_English.dll", L"JOV_Russian.dll"})
        ASSERT_TRUE(tree.Copy(BinFolder() + L"Langs\\" + language, std::wstring(L"Langs\\") + language));
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(J(tree.Path(L"settings.jov"))));
    storeId = bus->RegisterService(GUID_Database, store.get());
}

void SkinManagerTest::TearDown()
{
    protocols.reset();
    if (storeId)
        bus->UnregisterService(storeId);
    store.reset();
    bus.reset();
}

std::unique_ptr<Skins::CSkinManagerImpl> SkinManagerTest::Make()
{
    return std::make_unique<Skins::CSkinManagerImpl>(bus.get(), &host, tree.RootString());
}

void SkinManagerTest::ReopenStore()
{
    bus->UnregisterService(storeId);
    store.reset();
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(J(tree.Path(L"settings.jov"))));
    storeId = bus->RegisterService(GUID_Database, store.get());
}

void SkinManagerTest::FreshStore()
{
    bus->UnregisterService(storeId);
    store.reset();
    tree.Remove(L"settings.jov");
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(J(tree.Path(L"settings.jov"))));
    storeId = bus->RegisterService(GUID_Database, store.get());
}

// The ICQ plug-in in "Protos\Verdel\", as installed: its protocol is "ICQ".
void SkinManagerTest::StartProtocols()
{
    ASSERT_TRUE(tree.Copy(BinFolder() + L"Protos\\Verdel\\Verdel.dll", L"Protos\\Verdel\\Verdel.dll"));
    protocols = std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get(), nullptr, J(tree.Path(L"Protos\\")));
    ASSERT_EQ(protocols->GetProtocolCount(), 1);
}
