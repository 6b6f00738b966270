// Messages through the control: incoming and outgoing chat entries, the
// pending entries with their bubbles, and opening a chat with them.
#include "contactlist/CLCtrl.h"

#include <algorithm>
#include <new>

#include "AlertManager.h"
#include "CriticalSectionLock.h"
#include "EventArgData.h"
#include "Power.h"
#include "ServiceIds.h"
#include "cl/ContactList.h"
#include "contactlist/ControlText.h"
#include "core/notify/Notifications.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/ChatPages.h"
#include "protocols/ProtocolsManager.h"

namespace {

const int kIncomingImage = 22;
const int kOutgoingImage = 23;
const int kOfflineMessageImage = 24;

std::atomic<unsigned int> s_nextEntryId{1};

CJOVString TimeText(const CTime& time)
{
    return CJOVString(L"(") + time.GetShortDateString() + CJOVString(L")");
}

SMessage* NewEntry(unsigned int kind, int subKind, const CJOVString& nick, const CJOVString& time,
                   const CJOVString& text)
{
    auto* message = new (std::nothrow) SMessage;
    if (!message)
        return nullptr;
    message->kind = kind;
    message->subKind = subKind;
    message->nick = nick;
    message->time = time;
    message->text = text;
    return message;
}

} // namespace

void CCLCtrl::OnMessageSent(CEventArg* arg2)
{
    auto* data = dynamic_cast<CEventArg_Data<Protocols::MessageInfo>*>(arg2);
    if (!data)
        return;
    const Protocols::MessageInfo message = data->m_data;
    const unsigned int contactId = message.contactId;
    SMessage* entry = NewEntry(SMessage::Outgoing, kOutgoingImage, CJOVString(L"I"), TimeText(message.time),
                               message.text);
    HistoryRecord record;
    record.contactId = contactId;
    record.history = GetHistoryTarget(m_bus, contactId);
    record.direction = 1;
    record.time = message.time.GetUnixTime();
    record.text = message.text;
    {
        CCriticalSectionLock hold(m_lock);
        if (m_opening.count(contactId)) {
            // OpenChat reads the history now; it adds this after what it read.
            if (entry) {
                m_arrivals.push_back(Arrival{*entry, record});
                delete entry;
            }
            return;
        }
        PostEntry(contactId, entry);
        m_historyQueue.push_back(record);
    }
    WriteHistory();
}

void CCLCtrl::OnMessageReceived(unsigned int contactId, CEventArg* arg2)
{
    auto* data = dynamic_cast<CEventArg_Data<Protocols::MessageInfo>*>(arg2);
    if (!data)
        return;
    const Protocols::MessageInfo message = data->m_data;
    if (message.kind == SMessage::Service) {
        PostEntry(message.contactId, NewEntry(SMessage::Service, message.imageIndex, message.text, message.title,
                                              CJOVString()));
        return;
    }
    const int image = message.imageIndex != -1 ? message.imageIndex
                                                : message.kind == 1 ? kOfflineMessageImage : kIncomingImage;
    // Everything the model and the account are asked, before locking.
    CL::CContactList* model = Model();
    const unsigned int accountId = model->GetItemKey(contactId);
    const unsigned int groupId = model->GetContactGroup(contactId);
    CJOVString alias;
    model->GetString(contactId, CJOVString(L"CL Alias"), alias);
    HistoryRecord record;
    record.contactId = contactId;
    record.history = GetHistoryTarget(m_bus, contactId);
    record.time = message.time.GetUnixTime();
    record.text = message.text;
    CChatPages* chat = m_chat;

    bool notified = false;
    unsigned int entryId = 0;
    {
        CCriticalSectionLock hold(m_lock);
        const bool opening = m_opening.count(contactId) != 0;
        const bool hasPage = opening || (chat && chat->HasPage(contactId));
        bool shown = false;
        if (hasPage) {
            SMessage* entry = NewEntry(SMessage::Incoming, image, alias, TimeText(message.time), message.text);
            if (opening) {
                // The chat the user is opening shows it: nothing to notify.
                if (entry)
                    m_arrivals.push_back(Arrival{*entry, record});
                delete entry;
            } else {
                PostEntry(contactId, entry);
                const bool inFront = chat->IsShownInFront() && chat->GetCurrentContact() == contactId;
                notified = shown = !inFront;
            }
        } else {
            notified = true;
        }
        if (notified)
            entryId = s_nextEntryId++;
        // With the record made under the same lock as the entry, OpenChat
        // knows exactly which pending entries are the last records of the file.
        if (!opening) {
            record.entryId = entryId;
            m_historyQueue.push_back(record);
        }
        if (notified) {
            NotifyEntry entry;
            entry.entryId = entryId;
            entry.accountId = accountId;
            entry.groupId = groupId;
            entry.contactId = contactId;
            entry.kind = message.kind;
            entry.image = image;
            entry.time = message.time;
            entry.text = message.text;
            entry.shown = shown;
            entry.inHistory = record.history.save;  // until its write fails
            m_pending.push_back(entry);

            CGroupItem* group = nullptr;
            CContactItem* contact = nullptr;
            if (FindContactItem(contactId, nullptr, &group, &contact)) {
                contact->SetUnread(true);
                if (Resort(contact)) {
                    contact->SetVisible(true);
                    group->SetVisible(true);
                }
            }
            CStatusItem* section = nullptr;
            if (FindStatusContactItem(contactId, &section, &contact)) {
                const unsigned int old = section->GetSection();
                if (section->RemoveChild(contact)) {
                    contact->SetUnread(true);
                    AddToSection(old == 2 ? 2 : 0, contact);
                }
            }
        }
    }
    WriteHistory();
    if (notified) {
        WakeDevice();
        if (CNotifications* notifications = m_notifications)
            notifications->AddMessageNotification(entryId, image, contactId, message.text);
    }
    if (auto* alerts = static_cast<Alert::CAlertManager*>(m_bus.GetService(GUID_AlertManager)))
        alerts->PlayAlert(Alert::kAlertIncomingMessage);
    if (m_redraw && notified)
        Refresh(0);
}

void CCLCtrl::WakeDevice()
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus.GetService(GUID_Database));
    unsigned char wake = 0;
    if (!store || !store->GetByte(GUID_GUI, CJOVString(L"Wake up"), &wake) || !wake)
        return;
    DWORD flags = POWER_STATE_ON;
    Platform::GetSystemPowerState(nullptr, 0, &flags);
    if (flags == POWER_STATE_SUSPEND)
        Platform::SetSystemPowerState(nullptr, POWER_STATE_ON, POWER_FORCE);
}

void CCLCtrl::OpenChat(unsigned int contactId)
{
    CChatPages* chat = m_chat;
    CL::CContactList* model = Model();
    if (!chat)
        return;
    CJOVString alias;
    if (model)
        model->GetString(contactId, CJOVString(L"CL Alias"), alias);
    {
        CCriticalSectionLock hold(m_lock);
        // Already opening it further up this thread.
        if (!m_opening.insert(contactId).second)
            return;
    }
    // From here on what comes for the contact waits in m_arrivals: the records
    // of its pending entries are all made, and in the file before the window
    // reads it.
    WriteHistory();
    if (m_historyWritten)
        m_historyWritten(contactId);
    // Taken under one hold, with whether each is in the file: a contact
    // dropped meanwhile cannot leave entries taken but not counted, which the
    // window would show twice.
    std::vector<NotifyEntry> unshown;
    {
        CCriticalSectionLock hold(m_lock);
        for (NotifyEntry& entry : m_pending) {
            if (entry.contactId != contactId || entry.shown)
                continue;
            unshown.push_back(entry);
            entry.shown = true;
        }
    }
    // The window leaves out the file's last messages it is told of. Those
    // whose write failed are not in the file.
    int inHistory = 0;
    for (const NotifyEntry& entry : unshown) {
        if (entry.inHistory)
            ++inHistory;
    }
    // Unlocked: the window reads the history and asks the account.
    chat->OpenContact(contactId, inHistory);
    for (const NotifyEntry& entry : unshown) {
        SMessage message;
        message.kind = SMessage::Incoming;
        message.subKind = entry.image;
        message.nick = alias;
        message.time = TimeText(entry.time);
        message.text = entry.text;
        chat->AddMessage(contactId, &message);
    }
    // What came for the contact meanwhile goes after, history first.
    for (;;) {
        std::vector<Arrival> arrived;
        {
            CCriticalSectionLock hold(m_lock);
            for (auto it = m_arrivals.begin(); it != m_arrivals.end();) {
                if (it->record.contactId == contactId) {
                    arrived.push_back(*it);
                    it = m_arrivals.erase(it);
                } else {
                    ++it;
                }
            }
            if (arrived.empty()) {
                m_opening.erase(contactId);
                break;
            }
            for (const Arrival& arrival : arrived)
                m_historyQueue.push_back(arrival.record);
        }
        WriteHistory();
        for (const Arrival& arrival : arrived)
            chat->AddMessage(contactId, &arrival.message);
    }
}

void CCLCtrl::WriteHistory()
{
    std::lock_guard<std::mutex> writing(m_historyWriter);
    for (;;) {
        std::vector<HistoryRecord> records;
        {
            CCriticalSectionLock hold(m_lock);
            records.swap(m_historyQueue);
        }
        if (records.empty())
            return;
        std::vector<unsigned int> unsaved;
        for (const HistoryRecord& record : records) {
            if (AppendHistoryRecord(record.history, 1, record.direction, 0, record.time, record.text) == kHistoryOk)
                continue;
            if (record.entryId)
                unsaved.push_back(record.entryId);
            CNotifications* notifications = m_notifications;
            if (notifications && m_historyWarned.insert(record.contactId).second) {
                const HistoryTarget& history = record.history;
                notifications->AddWarningNotification(
                    LangTextWith(216, L"The message history of \"%s\" could not be saved.",
                                 history.alias.GetLength() > 0 ? history.alias : history.accountName));
            }
        }
        if (unsaved.empty())
            continue;
        CCriticalSectionLock hold(m_lock);
        for (NotifyEntry& entry : m_pending) {
            if (std::find(unsaved.begin(), unsaved.end(), entry.entryId) != unsaved.end())
                entry.inHistory = false;
        }
    }
}

void CCLCtrl::OpenItemChat(CContactItem* item)
{
    CCLCtrl* control = GetInstance();
    if (item && control)
        control->OpenChat(item->GetContactId());
}

bool CCLCtrl::HasUnhandled(unsigned int contactId) const
{
    for (const NotifyEntry& entry : m_pending) {
        if (entry.contactId == contactId && !entry.handled)
            return true;
    }
    return false;
}

int CCLCtrl::ClearNotifications(unsigned int contactId)
{
    int count = 0;
    {
        CCriticalSectionLock hold(m_lock);
        for (auto entry = m_pending.begin(); entry != m_pending.end();) {
            if (entry->contactId == contactId) {
                entry = m_pending.erase(entry);
                ++count;
            } else {
                ++entry;
            }
        }
    }
    if (CNotifications* notifications = m_notifications)
        notifications->RemoveNotification(contactId);
    {
        CCriticalSectionLock hold(m_lock);
        ResetUnread(contactId);
    }
    Invalidate();
    return count;
}

void CCLCtrl::ResetUnread(unsigned int contactId)
{
    CGroupItem* group = nullptr;
    CContactItem* contact = nullptr;
    if (FindContactItem(contactId, nullptr, &group, &contact) && group->RemoveChild(contact)) {
        contact->SetUnread(false);
        group->AddChild(contact);
        if (m_onlineOnly) {
            if (group->GetGroupId() != 0 && contact->GetStatus() == Protocols::StatusOffline)
                contact->SetVisible(false);
            ApplyGroupHiding(group);
        }
    }
    CStatusItem* section = nullptr;
    if (FindStatusContactItem(contactId, &section, &contact)) {
        const unsigned int old = section->GetSection();
        if (section->RemoveChild(contact)) {
            contact->SetUnread(false);
            AddToSection(old == 2 ? 2 : contact->GetStatus() < Protocols::StatusOnline ? 1 : 0, contact);
        }
    }
}

void CCLCtrl::AnswerBubble(unsigned int entryId, BOOL open)
{
    unsigned int contactId = 0;
    bool stillPending = false;
    {
        CCriticalSectionLock hold(m_lock);
        for (NotifyEntry& entry : m_pending) {
            if (entry.entryId != entryId)
                continue;
            contactId = entry.contactId;
            if (!open)
                entry.handled = true;
            break;
        }
        if (!contactId)
            return;
        stillPending = HasUnhandled(contactId);
    }
    if (open) {
        OpenChat(contactId);
        return;
    }
    if (CChatPages* chat = m_chat)
        chat->UpdateContactPage(contactId, 0, 1);
    if (stillPending)
        return;
    {
        CCriticalSectionLock hold(m_lock);
        ResetUnread(contactId);
    }
    Invalidate();
}
