#include "ICQProtocol.h"

#include <cstdio>

#include "ICQSettingKeys.h"
#include "ScreenName.h"
#include "EventArgData.h"
#include "Localization.h"
#include "MenuInfo.h"
#include "cl/ContactList.h"
#include "protocols/MessageInfo.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "ServicesManager.h"
#include "SocketsManager.h"
#include "PluginModule.h"
#include "packets/ImageTable.h"
#include "packets/StatusTable.h"
#include "dialogs/PluginPages.h"

namespace {

CJOVString XStatusKey(int number, const wchar_t* what)
{
    wchar_t key[32];
    swprintf(key, 32, L"X%02X status %ls", number, what);
    return CJOVString(key);
}

} // namespace

CICQProtocol::CICQProtocol(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId,
                           CAccountSettings* settings, const ICQTimings& timings)
    : m_services(services),
      m_settings(settings),
      m_timings(timings),
      m_connectStatus(Protocols::StatusOffline),
      m_accountId(accountId),
      m_clientId(0),
      m_ownerClientId(ownerClientId),
      m_status(Protocols::StatusOffline),
      m_wantedStatus(Protocols::StatusOffline),
      m_socket(nullptr),
      m_headerPending(false),
      m_flapHeader(),
      m_sequence(0),
      m_ownUin(0),
      m_bosPending(false),
      m_onLoginServer(false),
      m_loginComplete(false),
      m_privacyMode(0),
      m_xStatusIndex(0),
      m_metaSequence(0),
      m_ssiTime(0),
      m_random(GetTickCount() ^ (accountId << 16) ^ GetCurrentThreadId()),
      m_keepAliveThread(nullptr),
      m_keepAliveStop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_reconnectThread(nullptr),
      m_reconnectStop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    InitializeCriticalSection(&m_sendLock);
    BuildXStatusTable(m_xStatuses);
    m_sequence = static_cast<unsigned short>(m_random() % 0x8000);
    if (m_services) {
        m_clientId = m_services->RegisterEventsClient(this, CJOVString());
        // The images are the module's, registered once for all its accounts.
        if (auto* skins = static_cast<Skins::CSkinManager*>(m_services->GetService(GUID_SkinManager)))
            SetPluginSkinManager(skins);
    }
}

CICQProtocol::~CICQProtocol()
{
    // "Destroy" unregisters; an account deleted without it must not get
    // events while it is being torn down.
    if (m_services && m_clientId)
        m_services->UnregisterEventsClient(m_clientId);
    m_clientId = 0;
    StopKeepAlive();
    StopReconnect();
    if (JOVSockets::CSocketsManager* sockets = Sockets()) {
        if (m_socket && sockets->IsValidSocket(m_socket))
            sockets->DestroySocket(m_socket);
    }
    m_socket = nullptr;
    CloseHandle(m_keepAliveStop);
    CloseHandle(m_reconnectStop);
    DeleteCriticalSection(&m_sendLock);
}

CJOVString CICQProtocol::ReadString(const wchar_t* key, const wchar_t* fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, CJOVString(fallback), &CAccountSettings::GetString);
}

unsigned char CICQProtocol::ReadByte(const wchar_t* key, unsigned char fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, fallback, &CAccountSettings::GetByte);
}

unsigned short CICQProtocol::ReadWord(const wchar_t* key, unsigned short fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, fallback, &CAccountSettings::GetWord);
}

unsigned int CICQProtocol::ReadUin()
{
    return UinOfScreenName(ReadString(ICQ_KEY_ACCOUNT_NAME));
}

unsigned int CICQProtocol::OwnUin()
{
    unsigned int uin = ReadUin();
    return uin != 0 ? uin : m_ownUin;
}

CJOVString CICQProtocol::OwnUinText()
{
    unsigned int uin = OwnUin();
    if (uin == 0)
        return ReadString(ICQ_KEY_ACCOUNT_NAME);
    wchar_t text[16];
    swprintf(text, 16, L"%u", uin);
    return CJOVString(text);
}

JOVSockets::CSocketsManager* CICQProtocol::Sockets()
{
    if (!m_services)
        return nullptr;
    return static_cast<JOVSockets::CSocketsManager*>(m_services->GetService(GUID_SocketsManager));
}

void CICQProtocol::PostToOwner(const wchar_t* name, CEventArg* out)
{
    if (!m_services) {
        DiscardArg(out);
        return;
    }
    auto* in = new CEventArg_Data<unsigned int>(m_accountId);
    m_services->SendEventToClient(m_ownerClientId, GUID_ICQProtocol, CJOVString(name), in, out, false);
}

void CICQProtocol::PostStatusChanged()
{
    if (TraceOn())
        TraceMark(L"ICQ status", GetStatus());
    Protocols::StatusInfo info;
    GetStatusInfo(GetStatus(), info);
    info.status = GetStatus();
    PostToOwner(L"Status changed", new CEventArg_Data<Protocols::StatusInfo>(info));
}

void CICQProtocol::SetCurrentStatus(Protocols::Status status)
{
    if (m_status.exchange(status) != status)
        PostStatusChanged();
}

void CICQProtocol::ShowWarning(const CJOVString& text)
{
    PostToOwner(L"Warning", new CEventArg_Data<CJOVString>(text));
}

void CICQProtocol::GetStatusInfo(Protocols::Status status, Protocols::StatusInfo& info)
{
    FindStatusInfo(GetPluginSkinManager(), status, info);
}

unsigned int CICQProtocol::NextRequestId()
{
    // Request ids 0 to 2 are the fixed ones of the login packets.
    return (m_random() & 0x7FFFFFFF) | 0x100;
}

int CICQProtocol::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    if (sender == GUID_SocketsManager) {
        OnSocketEvent(name, arg1, arg2);
        return 0;
    }
    if (sender == GUID_ICQProtocol) {
        // The account's own events: the hand-over to the BOS server, and the
        // menu choices, which the user-interface thread hands to this thread.
        unsigned int value = 0;
        if (OnDialogRequest(name, arg1))
            return 0;
        if (name == CJOVString(L"Connect to BOS server"))
            ConnectToBos();
        else if (name == CJOVString(L"Update contact list"))
            RequestContactList();
        else if (name == CJOVString(L"Set privacy mode") && ArgValue(arg1, value))
            SetPrivacyMode(static_cast<unsigned char>(value), false);
        else if (ArgValue(arg1, value))
            OnContactAction(name, value);
        return 0;
    }
    if (sender == GUID_ProtocolsManager)
        return OnManagerEvent(name, arg1, arg2);
    return 0;
}

int CICQProtocol::OnManagerEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    if (name == CJOVString(L"Create")) {
        OnCreate();
    } else if (name == CJOVString(L"Destroy")) {
        OnDestroy();
    } else if (name == CJOVString(L"Get account name")) {
        CJOVString* out = nullptr;
        if (ArgValue(arg1, out) && out)
            *out = ReadString(ICQ_KEY_ACCOUNT_NAME);
    } else if (name == CJOVString(L"Get status")) {
        return GetStatus();
    } else if (name == CJOVString(L"Set status")) {
        Protocols::Status status = Protocols::StatusOffline;
        if (ArgValue(arg1, status))
            OnSetStatusRequest(status);
    } else if (name == CJOVString(L"Get status info")) {
        Protocols::Status status = Protocols::StatusOffline;
        Protocols::StatusInfo* out = nullptr;
        if (ArgValue(arg1, status) && ArgValue(arg2, out) && out)
            GetStatusInfo(status, *out);
    } else if (name == CJOVString(L"Get images")) {
        CJOVArray<unsigned int>* out = nullptr;
        if (ArgValue(arg1, out) && out) {
            LoadImages(GetPluginSkinManager());
            *out = GetImages();
        }
    } else if (name == CJOVString(L"Init root menu")) {
        CMenuInfo* menu = nullptr;
        if (ArgValue(arg2, menu) && menu)
            return InitRootMenu(*menu);
        return 1;
    } else if (name == CJOVString(L"Init group menu")) {
        unsigned int groupId = 0;
        CMenuInfo* menu = nullptr;
        ArgValue(arg1, groupId);
        if (ArgValue(arg2, menu) && menu)
            return InitGroupMenu(groupId, *menu);
        return 1;
    } else if (name == CJOVString(L"Init contact menu")) {
        unsigned int contactId = 0;
        CMenuInfo* menu = nullptr;
        if (ArgValue(arg1, contactId) && ArgValue(arg2, menu) && menu)
            return InitContactMenu(contactId, *menu);
        return 1;
    } else if (name == CJOVString(L"Init message window menu")) {
        unsigned int contactId = 0;
        CMenuInfo* menu = nullptr;
        if (ArgValue(arg1, contactId) && ArgValue(arg2, menu) && menu)
            return InitMessageWindowMenu(contactId, *menu);
        return 1;
    } else if (name == CJOVString(L"Get status menu info")) {
        CMenuInfo* menu = nullptr;
        if (ArgValue(arg1, menu) && menu)
            BuildStatusMenu(*menu);
    } else if (name == CJOVString(L"Create group")) {
        CJOVString group;
        if (ArgValue(arg1, group))
            CreateServerGroup(group);
    } else if (name == CJOVString(L"Rename group")) {
        unsigned int groupId = 0;
        CJOVString group;
        if (ArgValue(arg1, groupId) && ArgValue(arg2, group))
            RenameServerGroup(groupId, group);
    } else if (name == CJOVString(L"Delete group")) {
        unsigned int groupId = 0;
        DeleteServerGroup(ArgValue(arg1, groupId) ? &groupId : nullptr);
    } else if (name == CJOVString(L"Rename contact")) {
        unsigned int contactId = 0;
        CJOVString contact;
        if (ArgValue(arg1, contactId) && ArgValue(arg2, contact))
            RenameContact(contactId, contact);
    } else if (name == CJOVString(L"Move contact")) {
        unsigned int contactId = 0;
        unsigned int groupId = 0;
        if (ArgValue(arg1, contactId) && ArgValue(arg2, groupId))
            MoveContact(contactId, groupId);
    } else if (name == CJOVString(L"Delete contact")) {
        unsigned int contactId = 0;
        if (ArgValue(arg1, contactId))
            DeleteContact(contactId);
    } else if (name == CJOVString(L"Get options dlg info")) {
        CJOVArray<CPanelInfo>* pages = nullptr;
        if (ArgValue(arg1, pages) && pages)
            AppendOptionsPages(*pages);
    } else if (name == CJOVString(L"Get account details dlg info")) {
        if (ContactList() && GetStatus() >= Protocols::StatusOnline)
            RequestDetails(0, OwnUin());
        CJOVArray<CPanelInfo>* pages = nullptr;
        if (ArgValue(arg1, pages) && pages)
            AppendOwnDetailsPages(*pages);
    } else if (name == CJOVString(L"Get contact details dlg info")) {
        unsigned int contactId = 0;
        CL::CContactList* list = ContactList();
        CJOVString uin;
        if (list && GetStatus() >= Protocols::StatusOnline && ArgValue(arg1, contactId) &&
            list->GetString(contactId, CJOVString(L"Account name"), uin)) {
            RequestDetails(contactId, static_cast<unsigned int>(wcstoul(uin, nullptr, 10)));
        }
        CJOVArray<CPanelInfo>* pages = nullptr;
        if (ArgValue(arg2, pages) && pages)
            AppendContactDetailsPages(*pages);
    } else if (name == CJOVString(L"Send message")) {
        Protocols::MessageInfo message;
        if (ArgValue(arg1, message) && message.kind == 0) {
            if (const RosterItem* buddy = FindContactById(message.contactId))
                SendMessage(*buddy, message.text);
        }
    } else if (name == CJOVString(L"Get contact status info")) {
        unsigned int contactId = 0;
        Protocols::ContactStatusInfo* out = nullptr;
        if (ArgValue(arg1, contactId) && ArgValue(arg2, out) && out)
            GetContactStatusInfo(contactId, *out);
    } else if (name == CJOVString(L"Lang change")) {
        CJOVString language;
        if (ArgValue(arg1, language)) {
            // No Russian ICQ file exists: English then, never the language chosen before.
            if (CLocalization* localization = GetPluginLocalization())
                localization->ChangeLangOrEnglish(language);
            ClearStatusTable();
        }
    }
    return 0;
}

void CICQProtocol::OnCreate()
{
    LoadContactList();
    m_xStatusIndex = ClampXStatus(ReadByte(ICQ_KEY_X_STATUS, 0));
    for (size_t i = 0; i < m_xStatuses.size(); ++i) {
        int number = static_cast<int>(i) + 1;
        m_xStatuses[i].title = ReadString(XStatusKey(number, L"name"));
        m_xStatuses[i].description = ReadString(XStatusKey(number, L"desc"));
    }
}

void CICQProtocol::OnDestroy()
{
    StopKeepAlive();
    StopReconnect();
    DropSocket();
    if (m_settings) {
        for (size_t i = 0; i < m_xStatuses.size(); ++i) {
            int number = static_cast<int>(i) + 1;
            m_settings->SetString(m_accountId, XStatusKey(number, L"name"), m_xStatuses[i].title);
            m_settings->SetString(m_accountId, XStatusKey(number, L"desc"), m_xStatuses[i].description);
        }
        m_settings->SetByte(m_accountId, CJOVString(ICQ_KEY_X_STATUS), static_cast<unsigned char>(m_xStatusIndex));
    }
    SaveContactList();
    if (m_services && m_clientId)
        m_services->UnregisterEventsClient(m_clientId);
    m_clientId = 0;
}

void CICQProtocol::OnSetStatusRequest(Protocols::Status status)
{
    StopReconnect();
    if (status == Protocols::StatusOffline) {
        if (m_wantedStatus != Protocols::StatusOffline || GetStatus() != Protocols::StatusOffline)
            Disconnect();
    } else if (status != Protocols::StatusConnecting) {
        SetStatus(status);
    }
}
