// A protocol plug-in for the manager's tests. Its accounts write every event
// they receive to the test program's log (the exported JovTestLog of the
// program), answer the requests with recognisable values, and report statuses
// as a real account does. Built once per protocol id (TEST_PROTOCOL_BYTE fills
// every byte of the id) and name.
#include <windows.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "EventArgData.h"
#include "EventNames.h"
#include "MenuInfo.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "protocols/ProtocolInfo.h"
#include "protocols/ProtocolsManager.h"

namespace {

const JOV_GUID kProtocol = {TEST_PROTOCOL_BYTE * 0x01010101u,
                            static_cast<unsigned short>(TEST_PROTOCOL_BYTE * 0x0101u),
                            static_cast<unsigned short>(TEST_PROTOCOL_BYTE * 0x0101u),
                            {TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE,
                             TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE, TEST_PROTOCOL_BYTE}};

typedef void (*LogFn)(const wchar_t* line);

void Log(unsigned int accountId, const std::wstring& text)
{
    static LogFn log = reinterpret_cast<LogFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "JovTestLog")));
    if (!log)
        return;
    wchar_t prefix[16];
    std::swprintf(prefix, 16, L"%08X ", accountId);
    log((prefix + text).c_str());
}

std::wstring Text(const CJOVString& s) { return std::wstring(s.Data() ? s.Data() : L"", s.GetLength()); }

template <class T>
bool Get(CEventArg* arg, T* out)
{
    auto* data = dynamic_cast<CEventArg_Data<T>*>(arg);
    if (data)
        *out = data->m_data;
    return data != nullptr;
}

class CTestAccount final : public CEventsClient {
public:
    CTestAccount(Services::CServicesManager* bus, unsigned int accountId, unsigned int ownerId)
        : m_bus(bus), m_accountId(accountId), m_ownerId(ownerId), m_status(Protocols::StatusOffline)
    {
    }

    int OnEvent(const JOV_GUID&, const CJOVString& eventName, CEventArg* arg1, CEventArg* arg2) override
    {
        const std::wstring name = Text(eventName);
        unsigned int number = 0;
        const bool hasNumber = Get(arg1, &number);
        std::wstring line = name;
        if (hasNumber)
            line += L" " + std::to_wstring(number);
        CJOVString text;
        if (Get(arg1, &text) || Get(arg2, &text))
            line += L" '" + Text(text) + L"'";
        unsigned int second = 0;
        if (Get(arg2, &second))
            line += L" " + std::to_wstring(second);
        Protocols::Status status = Protocols::StatusOffline;
        if (Get(arg1, &status))
            line += L" status " + std::to_wstring(static_cast<int>(status));
        Protocols::MessageInfo message;
        if (Get(arg1, &message))
            line += L" to " + std::to_wstring(message.contactId) + L" '" + Text(message.text) + L"'";
        Log(m_accountId, line);
        return Answer(name, arg1, arg2, number);
    }

    unsigned int AccountId() const { return m_accountId; }

private:
    Protocols::CProtocolsManager* Manager()
    {
        return static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager));
    }

    void Report(Protocols::Status status)
    {
        m_status = status;
        Protocols::StatusInfo info;
        info.status = status;
        m_bus->SendEventToClient(m_ownerId, kProtocol, CJOVString(EVENT_StatusChanged),
                                 new CEventArg_Data<unsigned int>(m_accountId),
                                 new CEventArg_Data<Protocols::StatusInfo>(info), false);
    }

    int Answer(const std::wstring& name, CEventArg* arg1, CEventArg* arg2, unsigned int number)
    {
        if (name == EVENT_Create) {
            CJOVString stored;
            if (Manager() && Manager()->GetString(m_accountId, CJOVString(L"Account name"), stored))
                Log(m_accountId, L"read name '" + Text(stored) + L"'");
        } else if (name == EVENT_Destroy) {
            // Written back while the manager tears the account down.
            DWORD one = 1;
            if (Manager())
                Manager()->SetDWord(m_accountId, CJOVString(L"Saved on destroy"), &one);
            // As an account that was online does: its going offline is reported.
            if (GetEnvironmentVariableW(L"JOV_TEST_REPORT_ON_DESTROY", nullptr, 0) > 0)
                Report(Protocols::StatusOffline);
        } else if (name == EVENT_GetAccountName) {
            CJOVString* out = nullptr;
            if (Get(arg1, &out) && out) {
                wchar_t buffer[16];
                std::swprintf(buffer, 16, L"Test%08X", m_accountId);
                *out = CJOVString(buffer);
            }
        } else if (name == EVENT_GetImages) {
            CJOVArray<unsigned int>* images = nullptr;
            if (Get(arg1, &images) && images)
                images->Append(70);
        } else if (name == EVENT_GetContactStatusInfo) {
            Protocols::ContactStatusInfo* info = nullptr;
            if (Get(arg2, &info) && info)
                info->status = Protocols::StatusAway;
        } else if (name == EVENT_InitRootMenu || name == EVENT_InitGroupMenu || name == EVENT_InitContactMenu ||
                   name == EVENT_InitMessageWindowMenu || name == EVENT_GetStatusMenuInfo) {
            CMenuInfo* menu = nullptr;
            if ((Get(arg2, &menu) || Get(arg1, &menu)) && menu)
                menu->Append(CMenuItemInfo(CMenuItemInfo::MenuItemCommand, CJOVString(name.c_str())));
            // Answered as the ICQ account does: a menu request counts whatever the answer.
            if (name != EVENT_GetStatusMenuInfo)
                return 1;
        } else if (name == EVENT_GetAccountDetailsDlgInfo || name == EVENT_GetContactDetailsDlgInfo ||
                   name == EVENT_GetOptionsDlgInfo) {
            CJOVArray<CPanelInfo>* pages = nullptr;
            return (Get(arg1, &pages) || Get(arg2, &pages)) && pages ? 7 : -1;
        } else if (name == EVENT_SetStatus) {
            Protocols::Status status = Protocols::StatusOffline;
            if (Get(arg1, &status))
                Report(status);
        } else if (name == EVENT_GetStatus) {
            return m_status;
        } else if (name == EVENT_GetStatusInfo) {
            Protocols::StatusInfo* out = nullptr;
            if (Get(arg2, &out) && out)
                out->name = CJOVString(L"Test status");
        } else if (name == L"Test report") {
            Report(static_cast<Protocols::Status>(number));
        } else if (name == L"Test stall") {
            Sleep(number);
        } else if (name == L"Test details") {
            // As a real account does: told synchronously, from its own queue.
            const DWORD start = GetTickCount();
            int answer = m_bus->SendEventToClient(m_ownerId, kProtocol, CJOVString(EVENT_DetailsReceived),
                                                  new CEventArg_Data<unsigned int>(m_accountId), nullptr, true);
            Log(m_accountId, L"details answered " + std::to_wstring(answer) + L" after " +
                                 std::to_wstring(GetTickCount() - start));
        } else if (name == L"Test warning") {
            m_bus->SendEventToClient(m_ownerId, kProtocol, CJOVString(EVENT_Warning),
                                     new CEventArg_Data<unsigned int>(m_accountId),
                                     new CEventArg_Data<CJOVString>(CJOVString(L"careful")), false);
        }
        (void)arg2;
        return 0;
    }

    Services::CServicesManager* m_bus;
    unsigned int m_accountId;
    unsigned int m_ownerId;
    Protocols::Status m_status;
};

std::mutex g_lock;
std::map<unsigned int, CTestAccount*> g_accounts;  // by client id
Services::CServicesManager* g_bus = nullptr;

} // namespace

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = kProtocol;
    info.iconFile = CJOVString(L"test.png");
    info.name = CJOVString(TEST_PROTOCOL_NAME);
    info.authors = CJOVString(L"Tests");
}

extern "C" unsigned int jov_CreateAccount(Services::CServicesManager* bus, unsigned int accountId,
                                          unsigned int ownerId)
{
    // "1" refuses every account, a protocol name only that protocol's.
    wchar_t refuse[32];
    DWORD set = GetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", refuse, 32);
    if (set > 0 && set < 32 && (std::wstring(refuse) == L"1" || std::wstring(refuse) == TEST_PROTOCOL_NAME)) {
        Log(accountId, L"CreateAccount refused");
        return 0;
    }
    auto* account = new CTestAccount(bus, accountId, ownerId);
    unsigned int clientId = bus->RegisterEventsClient(account, CJOVString(L"Test account"));
    std::lock_guard<std::mutex> guard(g_lock);
    g_bus = bus;
    g_accounts[clientId] = account;
    Log(accountId, L"CreateAccount " + std::wstring(TEST_PROTOCOL_NAME) + L" client " + std::to_wstring(clientId) +
                       L" owner " + std::to_wstring(ownerId));
    return clientId;
}

extern "C" void jov_DestroyAccount(unsigned int clientId)
{
    CTestAccount* account = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        auto found = g_accounts.find(clientId);
        if (found == g_accounts.end())
            return;
        account = found->second;
        g_accounts.erase(found);
    }
    g_bus->UnregisterEventsClient(clientId);
    Log(account->AccountId(), L"DestroyAccount " + std::to_wstring(clientId));
    delete account;
}
