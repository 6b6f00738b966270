#include "contactlist/CLCtrl.h"

#include <new>

#include "CriticalSectionLock.h"
#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "cl/ContactList.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/ChatPages.h"
#include "protocols/ProtocolsManager.h"

std::atomic<CCLCtrl*> CCLCtrl::s_instance{nullptr};

namespace {

bool IdOf(CEventArg* arg, unsigned int* id)
{
    auto* data = dynamic_cast<CEventArg_Data<unsigned int>*>(arg);
    if (!data)
        return false;
    *id = data->m_data;
    return true;
}

// The fourteen events "Loaded" subscribes to, in their order.
struct Subscription {
    const JOV_GUID* sender;
    const wchar_t* name;
};
const Subscription kSubscriptions[] = {
    {&GUID_ProtocolsManager, EVENT_Added},          {&GUID_ProtocolsManager, EVENT_Deleted},
    {&GUID_ProtocolsManager, EVENT_AccountChanged}, {&GUID_ContactList, EVENT_TransactionBegin},
    {&GUID_ContactList, EVENT_TransactionEnd},      {&GUID_ContactList, EVENT_GroupAdded},
    {&GUID_ContactList, EVENT_GroupDelete},         {&GUID_ContactList, EVENT_GroupChanged},
    {&GUID_ContactList, EVENT_ContactAdded},        {&GUID_ContactList, EVENT_ContactDelete},
    {&GUID_ContactList, EVENT_ContactStatusChanged}, {&GUID_ContactList, EVENT_ContactChanged},
    {&GUID_ContactList, EVENT_MessageReceived},     {&GUID_ProtocolsManager, EVENT_MessageSent},
};

} // namespace

CCLCtrl::CCLCtrl(Services::CServicesManager& bus) : m_bus(bus)
{
    InitializeCriticalSection(&m_lock);
    m_serviceId = m_bus.RegisterService(GUID_CLCtrl, this);
    m_currentItemEvent = m_bus.DeclareEvent(GUID_CLCtrl, CJOVString(EVENT_CLCurrentItemChanged));
    m_clientId = m_bus.RegisterEventsClient(this, CJOVString(L"CLCtrl"));
    m_subscriptions[0] = m_bus.Subscribe(GUID_ServicesManager, CJOVString(EVENT_Loaded), m_clientId);
    CCLCtrl* none = nullptr;
    s_instance.compare_exchange_strong(none, this);
}

CCLCtrl::~CCLCtrl()
{
    Stop();
    DestroyWnd();
    {
        CCriticalSectionLock hold(m_lock);
        m_current = nullptr;
        delete m_statusRoot;
        delete m_accountRoot;
        m_statusRoot = nullptr;
        m_accountRoot = nullptr;
    }
    DeleteCriticalSection(&m_lock);
}

void CCLCtrl::Stop()
{
    CCLCtrl* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
    if (m_clientId) {
        for (unsigned int& subscription : m_subscriptions) {
            if (subscription)
                m_bus.Unsubscribe(subscription);
            subscription = 0;
        }
        // Waits for a handler still running.
        m_bus.UnregisterEventsClient(m_clientId);
        m_clientId = 0;
    }
    if (m_currentItemEvent)
        m_bus.RemoveEvent(m_currentItemEvent);
    m_currentItemEvent = 0;
    if (m_serviceId)
        m_bus.UnregisterService(m_serviceId);
    m_serviceId = 0;
    m_chat = nullptr;
}

CCLCtrl* CCLCtrl::GetInstance()
{
    return s_instance.load();
}

CL::CContactList* CCLCtrl::Model()
{
    return static_cast<CL::CContactList*>(m_bus.GetService(GUID_ContactList));
}

Protocols::CProtocolsManager* CCLCtrl::Manager()
{
    return static_cast<Protocols::CProtocolsManager*>(m_bus.GetService(GUID_ProtocolsManager));
}

int CCLCtrl::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    unsigned int id = 0;
    if (sender == GUID_ServicesManager) {
        if (name == EVENT_Loaded)
            OnLoaded();
    } else if (sender == GUID_ProtocolsManager) {
        if (name == EVENT_MessageSent)
            OnMessageSent(arg2);
        else if (!IdOf(arg1, &id))
            return 0;
        else if (name == EVENT_Added)
            OnAccountAdded(id);
        else if (name == EVENT_Deleted)
            OnAccountDeleted(id);
        else if (name == EVENT_AccountChanged)
            OnAccountChanged(id);
    } else if (sender == GUID_ContactList) {
        if (name == EVENT_TransactionBegin) {
            m_redraw = false;
            return 0;
        }
        if (name == EVENT_TransactionEnd) {
            m_redraw = true;
            RecalcLayout();
            Invalidate();
            TraceMark(L"control filled");
            return 0;
        }
        if (!Model() || !IdOf(arg1, &id))
            return 0;
        if (name == EVENT_GroupAdded)
            OnGroupAdded(id);
        else if (name == EVENT_GroupChanged)
            OnGroupChanged(id);
        else if (name == EVENT_GroupDelete)
            OnGroupDelete(id);
        else if (name == EVENT_ContactAdded)
            OnContactAdded(id, arg2);
        else if (name == EVENT_ContactChanged)
            OnContactChanged(id);
        else if (name == EVENT_ContactDelete)
            OnContactDelete(id);
        else if (name == EVENT_ContactStatusChanged)
            OnContactStatusChanged(id, arg2);
        else if (name == EVENT_MessageReceived)
            OnMessageReceived(id, arg2);
    } else if (sender == GUID_CLCtrl) {
        if (name == kContactGoneCheck && IdOf(arg1, &id))
            OnContactGoneCheck(id);
    }
    return 0;
}

void CCLCtrl::OnLoaded()
{
    CCriticalSectionLock hold(m_lock);
    if (m_statusRoot)
        return;
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus.GetService(GUID_Database));
    unsigned char value = 0;
    if (store && store->GetByte(GUID_GUI, CJOVString(L"CL mode"), &value) && value <= 1)
        m_mode = value;
    if (store && store->GetByte(GUID_GUI, CJOVString(L"CL online only"), &value))
        m_onlineOnly = value != 0;
    if (store && store->GetByte(GUID_GUI, CJOVString(L"CLCtrl columns"), &value) && value >= 1 && value <= 4)
        m_columns = value;
    m_accountStyle.columns = m_statusStyle.columns = m_groupStyle.columns = m_columns;

    m_statusRoot = new (std::nothrow) CRootItem;
    m_accountRoot = new (std::nothrow) CRootItem;
    if (!m_statusRoot || !m_accountRoot) {
        delete m_statusRoot;
        delete m_accountRoot;
        m_statusRoot = m_accountRoot = nullptr;
        return;
    }
    for (unsigned int section = 0; section < 3; ++section) {
        auto* item = new (std::nothrow) CStatusItem(section, &m_statusStyle, &m_bus);
        if (!item)
            continue;
        unsigned char open = 1;
        if (store)
            store->GetByte(GUID_GUI, CJOVString(CStatusItem::OpenSettingName(section)), &open);
        item->SetOpenFlag(open != 0);
        item->SetVisible(section == 0 || (section == 1 && !m_onlineOnly));
        m_statusRoot->AddChild(item);
    }
    if (m_mode == 0)
        EnsureVisible(GetStatusRoot(0));

    for (size_t i = 0; i < sizeof(kSubscriptions) / sizeof(kSubscriptions[0]); ++i)
        m_subscriptions[i + 1] = m_bus.Subscribe(*kSubscriptions[i].sender, CJOVString(kSubscriptions[i].name),
                                                 m_clientId);
    Refresh(0);
}

bool CCLCtrl::OnWindowThread() const
{
    return m_hWnd && GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId();
}

void CCLCtrl::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hWnd)
        PostMessageW(m_hWnd, message, wParam, lParam);
}

void CCLCtrl::PostEntry(unsigned int contactId, SMessage* message)
{
    if (!message)
        return;
    if (!m_hWnd || !PostMessageW(m_hWnd, kChatEntryMessage, contactId, reinterpret_cast<LPARAM>(message)))
        delete message;
}

void CCLCtrl::Invalidate()
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CCLCtrl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto contactId = static_cast<unsigned int>(wParam);
    CChatPages* chat = m_chat;
    switch (message) {
    case kChatEntryMessage: {
        auto* entry = reinterpret_cast<SMessage*>(lParam);
        if (entry && entry->kind == SMessage::Service)
            OpenChat(contactId);
        if (entry && (chat = m_chat) != nullptr)
            chat->AddMessage(contactId, entry);
        delete entry;
        return true;
    }
    case kClosePageMessage:
        if (chat)
            chat->ClosePage(contactId);
        return true;
    case kUpdatePageMessage:
        if (chat)
            chat->UpdateContactPage(contactId, (lParam & 1) ? 1 : 0, (lParam & 2) ? 1 : 0);
        return true;
    case kRelayoutMessage:
        m_relayoutPosted = false;
        RecalcLayout();
        return true;
    case kScrollMessage:
        m_scrollPosted = false;
        ScrollToCurrent();
        return true;
    default:
        return false;
    }
}

std::vector<NotifyEntry> CCLCtrl::GetPendingEntries()
{
    CCriticalSectionLock hold(m_lock);
    return m_pending;
}

void OnBubbleAnswer(unsigned int entryId, BOOL open)
{
    if (CCLCtrl* control = CCLCtrl::GetInstance())
        control->AnswerBubble(entryId, open);
}
