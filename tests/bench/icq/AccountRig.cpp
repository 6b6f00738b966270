#include "AccountRig.h"

#include <cstring>

#include "EventArgData.h"
#include "EventNames.h"
#include "MD5.h"
#include "ServiceIds.h"
#include "bench/BenchRow.h"

CAccountRig::CStatusWatch::CStatusWatch()
    : online(CreateEventW(nullptr, TRUE, FALSE, nullptr)), offline(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CAccountRig::CStatusWatch::~CStatusWatch()
{
    CloseHandle(online);
    CloseHandle(offline);
}

int CAccountRig::CStatusWatch::OnEvent(const JOV_GUID&, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    auto* account = dynamic_cast<CEventArg_Data<unsigned int>*>(arg1);
    auto* status = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg2);
    if (!account || !status || name != CJOVString(EVENT_StatusChanged))
        return 0;
    if (status->m_data.status == Protocols::StatusOnline && onlineAt < 0) {
        onlineAt = NowMs();
        SetEvent(online);
    } else if (status->m_data.status == Protocols::StatusOffline) {
        SetEvent(offline);
    }
    return 0;
}

CAccountRig::CAccountRig(const std::wstring& settingsFile)
    : m_bus(std::make_unique<Services::CServicesManagerImpl>())
{
    m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(CJOVString(settingsFile.c_str())));
    m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
    m_sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*m_bus);
    m_model = std::make_unique<CL::CContactListImpl>(*m_bus);
    m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get());
    m_model->SetAccountDirectory(m_manager.get());
    m_watchId = m_bus->RegisterEventsClient(&m_watch, CJOVString(L"status watch"));
    m_bus->Subscribe(GUID_ProtocolsManager, CJOVString(EVENT_StatusChanged), m_watchId);
}

CAccountRig::~CAccountRig()
{
    Close();
}

void CAccountRig::Load()
{
    m_bus->FireLoaded();
}

void CAccountRig::Close()
{
    if (!m_store)
        return;
    m_bus->UnregisterEventsClient(m_watchId);
    m_model.reset();
    m_manager.reset();
    m_sockets.reset();
    m_bus->UnregisterService(m_storeId);
    m_store.reset();
}

unsigned int CAccountRig::AccountId()
{
    return m_accountId ? m_accountId : m_manager->GetAccountId(0);
}

unsigned int CAccountRig::AddIcqAccount(const wchar_t* uin, const char* password, unsigned short port)
{
    m_accountId = m_manager->AddAccount(GUID_ICQProtocol);
    if (!m_accountId)
        return 0;
    unsigned char digest[16];
    CMD5::Hash(password, static_cast<unsigned>(std::strlen(password)), digest);
    const unsigned size = sizeof(digest);
    const WORD serverPort = port;
    m_manager->SetString(m_accountId, CJOVString(L"Account name"), CJOVString(uin));
    m_manager->SetData(m_accountId, CJOVString(L"Account password"), digest, &size);
    m_manager->SetString(m_accountId, CJOVString(L"Server name"), CJOVString(L"127.0.0.1"));
    m_manager->SetWord(m_accountId, CJOVString(L"Server port"), &serverPort);
    // As the account's options page does: the account, and through it the
    // contact list, learn the new login.
    JOV_GUID protocol{};
    unsigned int clientId = 0;
    if (m_manager->FindAccount(m_accountId, &protocol, &clientId))
        m_bus->SendEventToClient(clientId, GUID_ICQProtocol, CJOVString(L"Login changed"), nullptr, nullptr, true);
    return m_accountId;
}

unsigned int CAccountRig::AddJabberAccount(const wchar_t* user, const wchar_t* password, unsigned short port)
{
    m_accountId = m_manager->AddAccount(GUID_JabberProtocol);
    if (!m_accountId)
        return 0;
    const DWORD serverPort = port;
    const BYTE ssl = 1;
    m_manager->SetString(m_accountId, CJOVString(L"Account name"), CJOVString(user));
    m_manager->SetString(m_accountId, CJOVString(L"Account password"), CJOVString(password));
    m_manager->SetString(m_accountId, CJOVString(L"Account server"), CJOVString(L"localhost"));
    m_manager->SetDWord(m_accountId, CJOVString(L"Account port"), &serverPort);
    m_manager->SetByte(m_accountId, CJOVString(L"SSL"), &ssl);
    return m_accountId;
}

bool CAccountRig::StoreIcqAccount(const std::wstring& settingsFile, const wchar_t* uin, const char* password,
                                  unsigned short port)
{
    return Store(settingsFile, [&](CAccountRig& rig) { return rig.AddIcqAccount(uin, password, port); });
}

bool CAccountRig::StoreJabberAccount(const std::wstring& settingsFile, const wchar_t* user, const wchar_t* password,
                                     unsigned short port)
{
    return Store(settingsFile, [&](CAccountRig& rig) { return rig.AddJabberAccount(user, password, port); });
}

bool CAccountRig::Store(const std::wstring& settingsFile, const std::function<unsigned int(CAccountRig&)>& add)
{
    CAccountRig rig(settingsFile);
    rig.Load();
    const bool added = add(rig) != 0;
    rig.Close();
    return added;
}

void CAccountRig::SetStatus(Protocols::Status status)
{
    m_manager->SetStatus(m_accountId, status);
}

double CAccountRig::WaitOnline(DWORD timeoutMs)
{
    if (WaitForSingleObject(m_watch.online, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    return m_watch.onlineAt;
}

bool CAccountRig::WaitOffline(DWORD timeoutMs)
{
    return WaitForSingleObject(m_watch.offline, timeoutMs) == WAIT_OBJECT_0;
}

int CAccountRig::ContactCount()
{
    CJOVArray<CL::CLItemInfo> items;
    if (!m_model->GetItems(AccountId(), &items))
        return 0;
    int contacts = 0;
    for (int i = 0; i < items.Count(); ++i)
        contacts += items[i].contactId != 0;
    return contacts;
}

unsigned int CAccountRig::FirstContactId()
{
    CJOVArray<CL::CLItemInfo> items;
    if (!m_model->GetItems(AccountId(), &items))
        return 0;
    for (int i = 0; i < items.Count(); ++i) {
        if (items[i].contactId != 0)
            return items[i].contactId;
    }
    return 0;
}

void CAccountRig::SetAccountByte(const wchar_t* name, BYTE value)
{
    m_manager->SetByte(AccountId(), CJOVString(name), &value);
}

std::vector<unsigned char> CAccountRig::GetAccountData(const wchar_t* name)
{
    std::vector<unsigned char> data(1 << 20);
    unsigned size = static_cast<unsigned>(data.size());
    if (!m_manager->GetData(AccountId(), CJOVString(name), data.data(), &size))
        return {};
    data.resize(size);
    return data;
}
