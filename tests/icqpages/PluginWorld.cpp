#include "icqpages/PluginWorld.h"

#include <commctrl.h>

#include "MD5.h"
#include "cl/CLItemInfo.h"
#include "icqpages/LoginScript.h"
#include "ServiceIds.h"
#include "core/AppGlobals.h"
#include "support/FastSocketTimings.h"

using OscarWire::Frame;

std::wstring Str(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", s.GetLength());
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs))
            return false;
        // Keep this thread's windows alive while waiting.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

void PluginWorldTest::SetUp()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    bus = std::make_unique<Services::CServicesManagerImpl>();
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
    m_storeId = bus->RegisterService(GUID_Database, store.get());
    skins = std::make_unique<Skins::CSkinManagerImpl>(bus.get(), &m_skinWindows);
    sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus, FastSocketTimings());
    model = std::make_unique<CL::CContactListImpl>(*bus);
    manager = std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get(), nullptr);
    model->SetAccountDirectory(manager.get());
    bus->FireLoaded();
    g_App.hInstance = GetModuleHandleW(nullptr);
    g_App.pServices = &gui;
    g_App.pProtocolsManager = manager.get();
    g_App.pContactList = model.get();
    login = std::make_unique<CScriptedOscarServer>();
    bos = std::make_unique<CScriptedOscarServer>(20000);
}

void PluginWorldTest::TearDown()
{
    g_App.pContactList = nullptr;
    g_App.pProtocolsManager = nullptr;
    g_App.pServices = nullptr;
    // As the program ends: the model goes before the accounts' manager it asks.
    model.reset();
    manager.reset();
    sockets.reset();
    login.reset();
    bos.reset();
    skins.reset();
    bus->UnregisterService(m_storeId);
    store.reset();
    bus.reset();
}

unsigned int PluginWorldTest::AddIcqAccount()
{
    unsigned int account = manager->AddAccount(GUID_ICQProtocol);
    EXPECT_NE(account, 0u);
    manager->SetString(account, CJOVString(L"Server name"), CJOVString(L"127.0.0.1"));
    WORD port = login->GetPort();
    manager->SetWord(account, CJOVString(L"Server port"), &port);
    return account;
}

void PluginWorldTest::SetLogin(unsigned int account, const wchar_t* uin, const char* password)
{
    manager->SetString(account, CJOVString(L"Account name"), CJOVString(uin));
    unsigned char digest[16];
    CMD5::Hash(password, static_cast<unsigned>(strlen(password)), digest);
    unsigned size = 16;
    manager->SetData(account, CJOVString(L"Account password"), digest, &size);
}

std::wstring PluginWorldTest::Setting(unsigned int account, const wchar_t* name)
{
    CJOVString value;
    manager->GetString(account, CJOVString(name), value);
    return Str(value);
}

void PluginWorldTest::ScriptLogin(const std::string& uin, const std::string& password,
                                  const std::vector<OscarWire::SsiItem>& roster)
{
    AppendLogin(*login, *bos, uin, password, roster, m_session);
    login->Start();
    bos->Start();
}

bool PluginWorldTest::GoOnline(unsigned int account)
{
    manager->SetStatus(account, Protocols::StatusOnline);
    return WaitUntil([&] { return Status(account) == Protocols::StatusOnline; }, 10000);
}

void PluginWorldTest::GoOffline(unsigned int account)
{
    manager->SetStatus(account, Protocols::StatusOffline);
    WaitUntil([&] { return Status(account) == Protocols::StatusOffline; }, 10000);
}

std::vector<Frame> PluginWorldTest::AfterRoster()
{
    std::vector<Frame> all = bos->Received();
    const size_t first = m_session.rosterFrames;
    if (first >= all.size())
        return {};
    return std::vector<Frame>(all.begin() + static_cast<long>(first), all.end());
}

Protocols::Status PluginWorldTest::Status(unsigned int account)
{
    Protocols::Status status = Protocols::StatusOffline;
    manager->GetStatus(account, &status);
    return status;
}

unsigned int PluginWorldTest::ContactOf(unsigned int account, const wchar_t* uin)
{
    unsigned int contact = 0;
    WaitUntil([&] {
        CJOVArray<CL::CLItemInfo> items;
        model->GetItems(account, &items);
        for (int i = 0; i < items.Count() && !contact; ++i) {
            CJOVString name;
            if (items[i].contactId && model->GetString(items[i].contactId, CJOVString(L"Account name"), name) &&
                Str(name) == uin)
                contact = items[i].contactId;
        }
        return contact != 0;
    });
    return contact;
}

CMenuInfo PluginWorldTest::RootMenu()
{
    CMenuInfo menu;
    for (unsigned int id = 1000; id <= 1005; ++id)
        menu.Append(CMenuItemInfo(CJOVString(L"item"), id, 0));
    return menu;
}

CMenuInfo PluginWorldTest::GroupMenu()
{
    CMenuInfo menu;
    for (unsigned int id = 2000; id <= 2005; ++id)
        menu.Append(CMenuItemInfo(CJOVString(L"item"), id, 0));
    return menu;
}

CMenuInfo PluginWorldTest::ContactMenu()
{
    CMenuInfo menu;
    for (unsigned int id : {4001u, 4003u, 4004u, 4005u, 4007u, 4008u, 4009u, 4010u, 4011u})
        menu.Append(CMenuItemInfo(CJOVString(L"item"), id, 0));
    return menu;
}

void PluginWorldTest::Choose(const CMenuItemInfo& item, unsigned int subjectId)
{
    typedef void (*MenuCallback)(unsigned int subjectId, uintptr_t param);
    reinterpret_cast<MenuCallback>(item.handler)(subjectId, item.param);
}
