#include "JabberProtocol.h"

#include <cstdlib>

#include "EventArgData.h"
#include "JabberImageTable.h"
#include "MenuInfo.h"
#include "OptionsPages.h"
#include "JabberSettings.h"
#include "JabberStatusTable.h"
#include "Localization.h"
#include "PluginModule.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "SocketsManager.h"
#include "cl/ContactList.h"

CJabberProtocol::CJabberProtocol(Services::CServicesManager* services, unsigned int accountId,
                                 unsigned int hostClientId, CAccountSettings* settings, const JabberTimings& timings)
    : m_services(services),
      m_settings(settings),
      m_timings(timings),
      m_accountId(accountId),
      m_clientId(0),
      m_hostClientId(hostClientId),
      m_state(0),
      m_status(Protocols::StatusOffline),
      m_socket(nullptr),
      m_buffer(static_cast<char*>(std::malloc(kInitialBufferSize + 1))),
      m_used(0),
      m_capacity(m_buffer ? kInitialBufferSize : 0),
      m_streamRestart(false),
      m_streamOpen(false),
      m_legacyLogin(false),
      m_stanzaCounter(0),
      m_authenticated(false),
      m_sessionRequired(false),
      m_compressionAsked(false),
      m_compressionOn(false),
      m_connectionSerial(0),
      m_warned(false),
      m_xStatus(0),
      m_heldStatus(Protocols::StatusOffline),
      m_invisiblePending(false),
      m_requests(this, this, timings),
      m_iqCallbacks(timings, this),
      m_created(false)
{
    if (m_services && m_buffer) {
        m_clientId = m_services->RegisterEventsClient(this, CJOVString());
        // The images are the module's, registered once for all its accounts.
        if (auto* skins = static_cast<Skins::CSkinManager*>(m_services->GetService(GUID_SkinManager)))
            SetPluginSkinManager(skins);
    }
}

CJabberProtocol::~CJabberProtocol()
{
    // "Destroy" unregisters; an account deleted without it must not get
    // events while it is being torn down.
    if (m_services && m_clientId)
        m_services->UnregisterEventsClient(m_clientId);
    // The queue's worker reads the client id: it stops before the id goes.
    m_requests.Shutdown();
    m_clientId = 0;
    DropSocket();
    std::free(m_buffer);
}

CJOVString CJabberProtocol::ReadString(const wchar_t* key, const wchar_t* fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, CJOVString(fallback), &CAccountSettings::GetString);
}

unsigned char CJabberProtocol::ReadByte(const wchar_t* key, unsigned char fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, fallback, &CAccountSettings::GetByte);
}

unsigned long CJabberProtocol::ReadDWord(const wchar_t* key, unsigned long fallback)
{
    return ReadAccountValue(m_settings, m_accountId, key, fallback, &CAccountSettings::GetDWord);
}

JOVSockets::CSocketsManager* CJabberProtocol::Sockets()
{
    if (!m_services)
        return nullptr;
    return static_cast<JOVSockets::CSocketsManager*>(m_services->GetService(GUID_SocketsManager));
}

CL::CContactList* CJabberProtocol::ContactList()
{
    if (!m_services)
        return nullptr;
    return static_cast<CL::CContactList*>(m_services->GetService(GUID_ContactList));
}

Protocols::Status CJabberProtocol::GetStatus() const
{
    if (m_state.load() == 1)
        return Protocols::StatusConnecting;
    return static_cast<Protocols::Status>(m_status.load());
}

CJOVString CJabberProtocol::GetBareJid()
{
    return ReadString(JABBER_KEY_ACCOUNT_NAME) + CJOVString(L"@") + ReadString(JABBER_KEY_ACCOUNT_SERVER);
}

void CJabberProtocol::PostToHost(const wchar_t* name, CEventArg* out)
{
    if (!m_services) {
        DiscardArg(out);
        return;
    }
    auto* in = new CEventArg_Data<unsigned int>(m_accountId);
    m_services->SendEventToClient(m_hostClientId, GUID_JabberProtocol, CJOVString(name), in, out, false);
}

void CJabberProtocol::PostStatusChanged()
{
    Protocols::StatusInfo info;
    Protocols::Status status = GetStatus();
    GetStatusInfo(status, info);
    info.status = status;
    PostToHost(L"Status changed", new CEventArg_Data<Protocols::StatusInfo>(info));
}

void CJabberProtocol::ShowWarning(const CJOVString& text)
{
    PostToHost(L"Warning", new CEventArg_Data<CJOVString>(text));
}

void CJabberProtocol::NotifyAccountChanged()
{
    PostToHost(L"Account changed", nullptr);
}

void CJabberProtocol::GetStatusInfo(Protocols::Status status, Protocols::StatusInfo& info)
{
    FindJabberStatusInfo(GetPluginSkinManager(), status, info);
}

int CJabberProtocol::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    if (sender == GUID_SocketsManager) {
        OnSocketEvent(name, arg1, arg2);
        return 0;
    }
    if (sender == GUID_ProtocolsManager)
        return OnManagerEvent(name, arg1, arg2);
    if (sender == GUID_JabberProtocol) {
        int serial = 0;
        unsigned int contactId = 0;
        if (name == CJOVString(L"Login timer")) {
            if (ArgValue(arg1, serial))
                OnLoginTimer(serial);
        } else if (ArgValue(arg1, contactId)) {
            OnContactAction(name, contactId);
        }
    }
    return 0;
}

int CJabberProtocol::OnManagerEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    if (name == CJOVString(L"Create")) {
        OnCreate();
    } else if (name == CJOVString(L"Destroy")) {
        OnDestroy();
    } else if (name == CJOVString(L"Lang change")) {
        CJOVString language;
        if (ArgValue(arg1, language))
            OnLangChange(language);
    } else if (name == CJOVString(L"Get account name")) {
        CJOVString* out = nullptr;
        if (ArgValue(arg1, out) && out) {
            CJOVString account = ReadString(JABBER_KEY_ACCOUNT_NAME);
            *out = account.GetLength() == 0 ? account : GetBareJid();
        }
    } else if (name == CJOVString(L"Get status")) {
        return GetStatus();
    } else if (name == CJOVString(L"Set status")) {
        Protocols::Status status = Protocols::StatusOffline;
        if (ArgValue(arg1, status)) {
            if (status == Protocols::StatusOffline) {
                if (m_status.load() != Protocols::StatusOffline || m_state.load() != 0)
                    Disconnect();
            } else if (status != Protocols::StatusConnecting) {
                SetStatus(status);
            }
        }
    } else if (name == CJOVString(L"Get status info")) {
        Protocols::Status status = Protocols::StatusOffline;
        Protocols::StatusInfo* out = nullptr;
        if (ArgValue(arg1, status) && ArgValue(arg2, out) && out)
            GetStatusInfo(status, *out);
    } else if (name == CJOVString(L"Get status menu info")) {
        CMenuInfo* out = nullptr;
        if (ArgValue(arg1, out) && out)
            BuildStatusMenu(*out);
    } else if (name == CJOVString(L"Get options dlg info")) {
        CJOVArray<CPanelInfo>* out = nullptr;
        if (ArgValue(arg1, out) && out)
            AppendJabberOptionsPages(*out);
    } else if (name == CJOVString(L"Get images")) {
        CJOVArray<unsigned int>* out = nullptr;
        if (ArgValue(arg1, out) && out) {
            LoadJabberImages(GetPluginSkinManager());
            *out = GetJabberImages();
        }
    } else if (name == CJOVString(L"Get account details dlg info")) {
        // The account has no details pages: the dialog shows the program's own.
    } else {
        return OnContactListEvent(name, arg1, arg2);
    }
    return 0;
}

int CJabberProtocol::OnContactListEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    unsigned int id = 0;
    CJOVString text;
    CMenuInfo* menu = nullptr;
    if (name == CJOVString(L"Get contact status info")) {
        Protocols::ContactStatusInfo* out = nullptr;
        if (ArgValue(arg1, id) && ArgValue(arg2, out) && out)
            GetContactStatusInfo(id, *out);
    } else if (name == CJOVString(L"Init root menu")) {
        if (ArgValue(arg2, menu) && menu)
            return InitRootMenu(*menu);
    } else if (name == CJOVString(L"Init group menu")) {
        ArgValue(arg1, id);
        if (ArgValue(arg2, menu) && menu)
            return InitGroupMenu(id, *menu);
        return 1;
    } else if (name == CJOVString(L"Init contact menu")) {
        if (ArgValue(arg1, id) && ArgValue(arg2, menu) && menu)
            return InitContactMenu(id, *menu);
    } else if (name == CJOVString(L"Init message window menu")) {
        if (ArgValue(arg1, id) && ArgValue(arg2, menu) && menu)
            return InitMessageWindowMenu(id, *menu);
    } else if (name == CJOVString(L"Send message")) {
        Protocols::MessageInfo message;
        if (ArgValue(arg1, message))
            OnSendMessage(message);
    } else if (name == CJOVString(L"Create group")) {
        if (ArgValue(arg1, text))
            CreateGroup(text);
    } else if (name == CJOVString(L"Rename group")) {
        if (ArgValue(arg1, id) && ArgValue(arg2, text))
            RenameGroup(id, text);
    } else if (name == CJOVString(L"Delete group")) {
        DeleteGroup(ArgValue(arg1, id) ? &id : nullptr);
    } else if (name == CJOVString(L"Rename contact")) {
        if (ArgValue(arg1, id) && ArgValue(arg2, text))
            RenameContact(id, text);
    } else if (name == CJOVString(L"Move contact")) {
        unsigned int groupId = 0;
        if (ArgValue(arg1, id) && ArgValue(arg2, groupId))
            MoveContact(id, groupId);
    } else if (name == CJOVString(L"Delete contact")) {
        if (ArgValue(arg1, id))
            DeleteContact(id);
    }
    return 0;
}

void CJabberProtocol::OnDestroy()
{
    // The queue's worker reads the account: it stops before anything of the
    // account goes, and the events client goes last.
    EndStream();
    DropSocket();
    m_requests.ExpireAll(kIqTimedOut);
    m_requests.Shutdown();
    m_iqCallbacks.Clear();
    m_list.ListClear();
    if (m_services && m_clientId)
        m_services->UnregisterEventsClient(m_clientId);
    m_clientId = 0;
}

void CJabberProtocol::OnLangChange(const CJOVString& language)
{
    if (CLocalization* localization = GetPluginLocalization())
        localization->ChangeLangOrEnglish(language);
    ClearJabberStatusTable();
}
