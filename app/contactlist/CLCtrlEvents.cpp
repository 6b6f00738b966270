// The control's handlers of the accounts' and the contact-list model's
// events ("CLCtrl" thread): accounts, groups, contacts and their statuses.
#include "contactlist/CLCtrl.h"

#include <new>

#include "AlertManager.h"
#include "CriticalSectionLock.h"
#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "cl/ContactList.h"
#include "core/notify/Notifications.h"
#include "messaging/ChatPages.h"
#include "protocols/ProtocolsManager.h"

namespace {

const wchar_t kAlias[] = L"CL Alias";
// A contact that comes online this soon after its account logged on is not
// announced: the account is only learning who is online.
const unsigned long kLogonQuietSeconds = 30;
// How long a deleted contact may stay known to the model before it counts as
// moved for good.
const DWORD kGoneCheckMs = 2000;

CJOVString AliasOf(CL::CContactList* model, unsigned int itemId)
{
    CJOVString alias;
    if (model)
        model->GetString(itemId, CJOVString(kAlias), alias);
    return alias;
}

} // namespace

void CCLCtrl::OnAccountAdded(unsigned int accountId)
{
    Protocols::CProtocolsManager* manager = Manager();
    if (!manager)
        return;
    AccountBranchStyle style;
    {
        CCriticalSectionLock hold(m_lock);
        style = m_accountStyle;
    }
    const CJOVString name = manager->GetAccountName(accountId, false);
    manager->GetImages(accountId, &style.images);
    BYTE open = 1;
    manager->GetByte(accountId, CJOVString(kAccountOpenSetting), &open);

    {
        CCriticalSectionLock hold(m_lock);
        if (!m_accountRoot || FindAccountItem(accountId, nullptr))
            return;
        style.columns = m_columns;
        auto* account = new (std::nothrow) CAccountItem(accountId, name, style, &m_bus);
        auto* notInList = new (std::nothrow) CGroupItem(0, CJOVString(L"Not in list"), &m_groupStyle, &m_bus);
        if (!account || !notInList) {
            delete account;
            delete notInList;
            return;
        }
        account->SetOpenFlag(open != 0);
        m_accountRoot->AddChild(account);
        notInList->SetVisible(false);
        account->AddChild(notInList);
        if (!m_current && m_mode == 1)
            EnsureVisible(m_accountRoot->GetFirstChild());
    }
    if (m_redraw)
        Refresh(1);
}

void CCLCtrl::OnAccountDeleted(unsigned int accountId)
{
    {
        CCriticalSectionLock hold(m_lock);
        CAccountItem* account = nullptr;
        if (FindAccountItem(accountId, &account)) {
            MoveCurrentOutOf(account);
            m_accountRoot->RemoveChild(account);
            delete account;
        }
        if (m_mode == 1 && m_accountRoot)
            EnsureVisible(m_accountRoot->GetFirstChild());
    }
    if (m_redraw)
        Refresh(1);
}

void CCLCtrl::OnAccountChanged(unsigned int accountId)
{
    Protocols::CProtocolsManager* manager = Manager();
    if (!manager)
        return;
    // Asked before locking: the account answers on its own thread.
    const CJOVString name = manager->GetAccountName(accountId, false);
    {
        CCriticalSectionLock hold(m_lock);
        CAccountItem* account = nullptr;
        if (FindAccountItem(accountId, &account))
            account->SetName(name);
    }
    if (m_redraw && m_mode == 1)
        Refresh(0);
}

void CCLCtrl::OnGroupAdded(unsigned int groupId)
{
    CL::CContactList* model = Model();
    const unsigned int accountId = model->GetItemKey(groupId);
    const CJOVString name = AliasOf(model, groupId);
    BYTE open = 1;
    model->GetByte(groupId, CJOVString(kGroupOpenSetting), &open);
    bool found = false;
    {
        CCriticalSectionLock hold(m_lock);
        CAccountItem* account = nullptr;
        found = FindAccountItem(accountId, &account);
        if (found) {
            if (auto* group = new (std::nothrow) CGroupItem(groupId, name, &m_groupStyle, &m_bus)) {
                group->SetVisible(!m_onlineOnly);
                group->SetOpenFlag(open != 0);
                account->AddChild(group);
            }
        }
    }
    if (found && m_redraw)
        Refresh(1);
}

void CCLCtrl::OnGroupChanged(unsigned int groupId)
{
    const CJOVString name = AliasOf(Model(), groupId);
    {
        CCriticalSectionLock hold(m_lock);
        CGroupItem* group = nullptr;
        if (FindGroup(groupId, nullptr, &group))
            group->SetName(name);
    }
    if (m_redraw && m_mode == 1)
        Refresh(0);
}

void CCLCtrl::OnGroupDelete(unsigned int groupId)
{
    {
        CCriticalSectionLock hold(m_lock);
        CAccountItem* account = nullptr;
        CGroupItem* group = nullptr;
        if (FindGroup(groupId, &account, &group)) {
            MoveCurrentOutOf(group);
            account->RemoveChild(group);
            delete group;
        }
    }
    if (m_redraw)
        Refresh(1);
}

void CCLCtrl::OnContactAdded(unsigned int contactId, CEventArg* arg2)
{
    CL::CContactList* model = Model();
    const unsigned int accountId = model->GetItemKey(contactId);
    unsigned int groupId = 0;
    auto* group = dynamic_cast<CEventArg_Data<unsigned int>*>(arg2);
    groupId = group ? group->m_data : model->GetContactGroup(contactId);
    const CJOVString name = AliasOf(model, contactId);
    {
        CCriticalSectionLock hold(m_lock);
        // Back after a move: the chat and the pending entries stay.
        m_maybeGone.erase(contactId);
        CAccountItem* account = nullptr;
        CGroupItem* parent = nullptr;
        if (!FindGroupItem(groupId, accountId, &account, &parent) || FindStatusContactItem(contactId, nullptr, nullptr))
            return;
        const bool unread = HasUnhandled(contactId);
        for (NotifyEntry& entry : m_pending) {
            if (entry.contactId == contactId) {
                entry.accountId = accountId;
                entry.groupId = groupId;
            }
        }
        auto* contact = new (std::nothrow) CContactItem(contactId, accountId, name, &account->GetStyle());
        auto* statusContact = new (std::nothrow) CContactItem(contactId, accountId, name, &m_accountStyle);
        if (!contact || !statusContact) {
            delete contact;
            delete statusContact;
            return;
        }
        contact->SetUnread(unread);
        statusContact->SetUnread(unread);
        contact->SetGroupId(groupId);
        statusContact->SetGroupId(groupId);
        if (!m_onlineOnly || groupId == 0 || unread)
            parent->SetVisible(true);
        else
            contact->SetVisible(false);
        parent->AddChild(contact);
        // An unread contact stands under "Online" whatever its status.
        AddToSection(groupId == 0 ? 2 : unread ? 0 : 1, statusContact);
    }
    if (m_redraw)
        Refresh(1);
}

void CCLCtrl::OnContactChanged(unsigned int contactId)
{
    const CJOVString name = AliasOf(Model(), contactId);
    {
        CCriticalSectionLock hold(m_lock);
        CContactItem* contact = nullptr;
        if (FindContactItem(contactId, nullptr, nullptr, &contact))
            contact->SetName(name);
        if (FindStatusContactItem(contactId, nullptr, &contact))
            contact->SetName(name);
    }
    Post(kUpdatePageMessage, contactId, 0);
    if (m_redraw)
        Refresh(0);
}

void CCLCtrl::OnContactDelete(unsigned int contactId)
{
    bool repaint = false;
    {
        CCriticalSectionLock hold(m_lock);
        CGroupItem* group = nullptr;
        CContactItem* contact = nullptr;
        if (FindContactItem(contactId, nullptr, &group, &contact)) {
            MoveCurrentOutOf(contact);
            group->RemoveChild(contact);
            delete contact;
            if (!group->GetFirstChild())
                group->SetVisible(false);
            else
                ApplyGroupHiding(group);
            repaint = repaint || m_mode == 1;
        }
        CStatusItem* section = nullptr;
        if (FindStatusContactItem(contactId, &section, &contact)) {
            MoveCurrentOutOf(contact);
            section->RemoveChild(contact);
            delete contact;
            if (section->GetSection() != 0 && !section->GetFirstChild())
                section->SetVisible(false);
            repaint = repaint || m_mode == 0;
        }
        // A move announces the contact again; only a contact the model no
        // longer knows loses its chat and its pending entries.
        m_maybeGone[contactId] = GetTickCount();
    }
    PostGoneCheck(contactId);
    if (m_redraw && repaint)
        Refresh(1);
}

void CCLCtrl::OnContactGoneCheck(unsigned int contactId)
{
    CL::CContactList* model = Model();
    bool again = false;
    {
        CCriticalSectionLock hold(m_lock);
        auto waiting = m_maybeGone.find(contactId);
        if (waiting == m_maybeGone.end())
            return;
        if (model && model->GetItemKey(contactId) != 0) {
            // The model is still deleting or moving it.
            if (GetTickCount() - waiting->second < kGoneCheckMs)
                again = true;
            else
                m_maybeGone.erase(waiting);
        } else {
            m_maybeGone.erase(waiting);
            DropContact(contactId);
        }
    }
    if (again) {
        Sleep(0);
        PostGoneCheck(contactId);
    }
}

void CCLCtrl::PostGoneCheck(unsigned int contactId)
{
    m_bus.SendEventToClient(m_clientId, GUID_CLCtrl, CJOVString(kContactGoneCheck),
                            new CEventArg_Data<unsigned int>(contactId), nullptr, false);
}

void CCLCtrl::DropContact(unsigned int contactId)
{
    bool had = false;
    for (auto entry = m_pending.begin(); entry != m_pending.end();) {
        if (entry->contactId == contactId) {
            entry = m_pending.erase(entry);
            had = true;
        } else {
            ++entry;
        }
    }
    if (had) {
        if (CNotifications* notifications = m_notifications)
            notifications->RemoveNotification(contactId);
    }
    CChatPages* chat = m_chat;
    if (chat && chat->HasPage(contactId))
        Post(kClosePageMessage, contactId, 0);
}

void CCLCtrl::OnContactStatusChanged(unsigned int contactId, CEventArg* arg2)
{
    auto* data = dynamic_cast<CEventArg_Data<Protocols::ContactStatusInfo>*>(arg2);
    if (!data)
        return;
    const Protocols::ContactStatusInfo status = data->m_data;
    const bool online = status.status > Protocols::StatusConnecting;
    CL::CContactList* model = Model();
    const unsigned int accountId = model->GetItemKey(contactId);

    // What the bubbles need of the account, asked before locking.
    unsigned int before = 3;
    CStatusItem* oldSection = nullptr;
    if (FindStatusContactItem(contactId, &oldSection, nullptr))
        before = oldSection->GetSection();
    bool accountConnected = false;
    bool quietAfterLogon = true;
    if (Protocols::CProtocolsManager* manager = Manager()) {
        if (!online && before != 1) {
            Protocols::Status accountStatus = Protocols::StatusOffline;
            // A time-out is no answer: no bubble then.
            accountConnected = manager->GetStatus(accountId, &accountStatus) == 0 &&
                               accountStatus != Protocols::StatusOffline;
        } else if (online) {
            CTime logon(0UL);
            manager->GetLogonDate(accountId, &logon);
            quietAfterLogon = logon.GetUnixTime() >= CTime().GetUnixTime() - kLogonQuietSeconds;
        }
    }

    bool offlineBubble = false;
    bool onlineAlert = false;
    {
        CCriticalSectionLock hold(m_lock);
        CGroupItem* group = nullptr;
        CContactItem* contact = nullptr;
        if (!FindContactItem(contactId, nullptr, &group, &contact))
            return;
        contact->SetStatusStale(false);
        contact->SetStatusInfo(status);
        if (Resort(contact)) {
            Post(kUpdatePageMessage, contactId, 1);
            if (!online) {
                // An unread contact stays in sight.
                if (m_onlineOnly && group->GetGroupId() != 0 && !contact->IsUnread())
                    contact->SetVisible(false);
                ApplyGroupHiding(group);
            } else {
                contact->SetVisible(true);
                group->SetVisible(true);
            }
        }
        CStatusItem* section = nullptr;
        if (FindStatusContactItem(contactId, &section, &contact)) {
            // Unread contacts stand under "Online" whatever their status, so
            // the section alone does not tell whether the contact was online.
            const unsigned int old = section->GetSection();
            const bool wasOnline = old == 0 && contact->GetStatus() > Protocols::StatusConnecting;
            section->RemoveChild(contact);
            contact->SetStatusStale(false);
            contact->SetStatusInfo(status);
            if (!online) {
                AddToSection(contact->IsUnread() ? 0 : 1, contact);
                offlineBubble = accountConnected && old != 1 && (old != 0 || wasOnline);
            } else {
                AddToSection(0, contact);
                onlineAlert = !wasOnline && !quietAfterLogon;
            }
        }
    }
    CNotifications* notifications = m_notifications;
    if (offlineBubble && notifications)
        notifications->AddOfflineNotification(contactId);
    if (onlineAlert) {
        if (auto* alerts = static_cast<Alert::CAlertManager*>(m_bus.GetService(GUID_AlertManager)))
            alerts->PlayAlert(Alert::kAlertContactOnline);
        if (notifications)
            notifications->AddOnlineNotification(contactId);
    }
    if (m_redraw)
        Refresh(1);
}

void CCLCtrl::MoveCurrentOutOf(CTreeItem* doomed)
{
    if (!doomed || !doomed->Holds(m_current))
        return;
    CTreeItem* next = doomed->GetPrevious() ? doomed->GetPrevious() : doomed->GetParent();
    // A root is never current.
    if (next && !next->GetParent())
        next = nullptr;
    EnsureVisible(next);
}

void CCLCtrl::ApplyGroupHiding(CGroupItem* group)
{
    auto* first = static_cast<CContactItem*>(group->GetFirstChild());
    if (m_onlineOnly && group->GetGroupId() != 0 && first && first->GetStatus() == Protocols::StatusOffline &&
        !first->IsUnread())
        group->SetVisible(false);
}

void CCLCtrl::AddToSection(unsigned int section, CContactItem* contact)
{
    CStatusItem* target = GetStatusRoot(section);
    if (!target) {
        delete contact;
        return;
    }
    target->AddChild(contact);
    // A section emptied and hidden earlier shows again.
    if (section == 2 || (section == 1 && !m_onlineOnly))
        target->SetVisible(true);
}

bool CCLCtrl::Resort(CContactItem* contact)
{
    CTreeItem* parent = contact->GetParent();
    if (!parent || !parent->RemoveChild(contact))
        return false;
    parent->AddChild(contact);
    return true;
}
