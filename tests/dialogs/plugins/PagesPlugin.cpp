// A protocol plug-in whose accounts supply dialog pages from this module, as
// a real plug-in does: option pages "Login", "Missing" (no template), "Server"
// and "Port"; own-details pages "Nick" and "Note"; contact-details pages
// "Nick" and "Note". Each page loads from and stores to the account's
// settings through the protocols manager and writes every call to the test
// program's log ("load Login 7", "store Server 7", "refuse Server 7").
// The "Server" page refuses "bad" (naming its edit) and "absent" (naming a
// control the page lacks). An account with the byte setting "No pages" offers
// none.
#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "EventArgData.h"
#include "EventNames.h"
#include "PanelInfo.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "plugins/PagesPlugin.h"
#include "protocols/ProtocolInfo.h"
#include "protocols/ProtocolsManager.h"

namespace {

const JOV_GUID kProtocol = {0x77777777, 0x7777, 0x7777, {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}};

typedef void (*LogFn)(const wchar_t* line);

void Log(const std::wstring& line)
{
    static LogFn log = reinterpret_cast<LogFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "JovTestLog")));
    if (log)
        log(line.c_str());
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

Services::CServicesManager* g_bus = nullptr;

Protocols::CProtocolsManager* Manager()
{
    return g_bus ? static_cast<Protocols::CProtocolsManager*>(g_bus->GetService(GUID_ProtocolsManager)) : nullptr;
}

std::wstring Text(HWND page, int id)
{
    wchar_t text[256] = {};
    GetDlgItemTextW(page, id, text, 256);
    return text;
}

// One page: its edit shows the account's (or contact's) setting of its name.
PanelCheckResult Exchange(const wchar_t* name, int edit, HWND page, int direction, unsigned int owner)
{
    PanelCheckResult result;
    Protocols::CProtocolsManager* manager = Manager();
    if (direction == 0) {
        CJOVString value;
        if (manager)
            manager->GetString(owner, CJOVString(name), value);
        SetDlgItemTextW(page, edit, value);
        Log(std::wstring(L"load ") + name + L" " + std::to_wstring(owner));
        return result;
    }
    std::wstring text = Text(page, edit);
    if (edit == IDC_SERVER && (text == L"bad" || text == L"absent")) {
        result.failed = 1;
        result.message = CJOVString(text == L"bad" ? L"Server is wrong" : L"Nothing to point at");
        result.control = text == L"bad" ? IDC_SERVER : 999;
        Log(std::wstring(L"refuse ") + name + L" " + std::to_wstring(owner));
        return result;
    }
    if (manager)
        manager->SetString(owner, CJOVString(name), CJOVString(text.c_str()));
    Log(std::wstring(L"store ") + name + L" " + std::to_wstring(owner));
    return result;
}

PanelCheckResult LoginPage(HWND page, int direction, unsigned int owner)
{
    return Exchange(L"Login", IDC_LOGIN, page, direction, owner);
}

PanelCheckResult ServerPage(HWND page, int direction, unsigned int owner)
{
    return Exchange(L"Server", IDC_SERVER, page, direction, owner);
}

PanelCheckResult PortPage(HWND page, int direction, unsigned int owner)
{
    return Exchange(L"Port", IDC_PORT, page, direction, owner);
}

PanelCheckResult NickPage(HWND page, int direction, unsigned int owner)
{
    return Exchange(L"Nick", IDC_NICK, page, direction, owner);
}

PanelCheckResult NotePage(HWND page, int direction, unsigned int owner)
{
    return Exchange(L"Note", IDC_NOTE, page, direction, owner);
}

int PageMessage(HWND, unsigned int first, unsigned int second, void*)
{
    if (second == EN_CHANGE || second == BN_CLICKED)
        Log(L"command " + std::to_wstring(first) + L" " + std::to_wstring(second));
    return 0;
}

CPanelInfo Page(const wchar_t* title, unsigned int dialog, PanelDataExchangeProc exchange)
{
    CPanelInfo page;
    page.title = CJOVString(title);
    page.image = -1;
    page.module = ThisModule();
    page.dialog = dialog;
    page.dataExchange = exchange;
    page.message = PageMessage;
    return page;
}

template <class T>
bool Get(CEventArg* arg, T* out)
{
    auto* data = dynamic_cast<CEventArg_Data<T>*>(arg);
    if (data)
        *out = data->m_data;
    return data != nullptr;
}

class CPagesAccount final : public CEventsClient {
public:
    explicit CPagesAccount(unsigned int accountId) : m_accountId(accountId) {}

    int OnEvent(const JOV_GUID&, const CJOVString& eventName, CEventArg* arg1, CEventArg* arg2) override
    {
        const std::wstring name(eventName.Data() ? eventName.Data() : L"", eventName.GetLength());
        CJOVArray<CPanelInfo>* pages = nullptr;
        if (name == EVENT_GetAccountName) {
            CJOVString* out = nullptr;
            if (Get(arg1, &out) && out)
                *out = CJOVString(L"Tester");
        } else if (name == EVENT_GetOptionsDlgInfo && Get(arg1, &pages) && pages && Offers()) {
            pages->Append(Page(L"Login", IDD_LOGIN_PAGE, LoginPage));
            pages->Append(Page(L"Missing", IDD_MISSING_PAGE, LoginPage));
            pages->Append(Page(L"Server", IDD_SERVER_PAGE, ServerPage));
            pages->Append(Page(L"Port", IDD_PORT_PAGE, PortPage));
        } else if ((name == EVENT_GetAccountDetailsDlgInfo && Get(arg1, &pages) && pages) ||
                   (name == EVENT_GetContactDetailsDlgInfo && Get(arg2, &pages) && pages)) {
            if (Offers()) {
                pages->Append(Page(L"Nick", IDD_NICK_PAGE, NickPage));
                pages->Append(Page(L"Note", IDD_NOTE_PAGE, NotePage));
            }
        }
        return 0;
    }

private:
    bool Offers()
    {
        BYTE none = 0;
        return !Manager() || !Manager()->GetByte(m_accountId, CJOVString(L"No pages"), &none) || !none;
    }

    unsigned int m_accountId;
};

std::mutex g_lock;
std::map<unsigned int, CPagesAccount*> g_accounts;  // by client id

} // namespace

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = kProtocol;
    info.iconFile = CJOVString(L"pages.png");
    info.name = CJOVString(L"Pages");
    info.authors = CJOVString(L"the tests");
}

extern "C" unsigned int jov_CreateAccount(Services::CServicesManager* bus, unsigned int accountId, unsigned int)
{
    auto* account = new CPagesAccount(accountId);
    unsigned int clientId = bus->RegisterEventsClient(account, CJOVString(L"Pages account"));
    std::lock_guard<std::mutex> guard(g_lock);
    g_bus = bus;
    g_accounts[clientId] = account;
    return clientId;
}

extern "C" void jov_DestroyAccount(unsigned int clientId)
{
    CPagesAccount* account = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        auto found = g_accounts.find(clientId);
        if (found == g_accounts.end())
            return;
        account = found->second;
        g_accounts.erase(found);
    }
    g_bus->UnregisterEventsClient(clientId);
    delete account;
}
