// The menus of accounts, groups and contacts: each item's own entries, and
// what those entries do. The entries carry the item as their data; a
// handler runs later (from the popup or the main window's soft-key menu), so
// it looks the item up again in the trees under the control's lock, copies
// what it needs, and asks the user and the account with the lock released.
// UI thread.
#include <string>

#include "CriticalSectionLock.h"
#include "cl/ContactList.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/Clipboard.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/ControlText.h"
#include "contactlist/NewGroupDlg.h"
#include "contactlist/OptionsDlg.h"
#include "core/MainMenu.h"
#include "messaging/HistoryDlg.h"
#include "protocols/ProtocolsManager.h"

namespace {

// What a handler needs of its item, copied under the lock.
struct ItemFacts {
    unsigned int accountId = 0;
    unsigned int groupId = 0;
    unsigned int contactId = 0;
    CJOVString name;
};

CMenuItemInfo Entry(int textId, const wchar_t* english, unsigned int commandId, unsigned int image,
                    MenuItemHandlerFn handler, const CTreeItem* item)
{
    CMenuItemInfo entry(LangText(textId, english), reinterpret_cast<void*>(handler), 0);
    entry.commandId = commandId;
    entry.images.Append(image);
    entry.param = reinterpret_cast<uintptr_t>(item);
    return entry;
}

CMenuItemInfo Separator(unsigned int commandId)
{
    CMenuItemInfo separator(CMenuItemInfo::MenuItemSeparator);
    separator.commandId = commandId;
    return separator;
}

// The entry's item, when it is still in a tree with that kind and id.
// Callers hold the lock.
CTreeItem* LiveItem(CCLCtrl& control, uintptr_t data, TreeItemKind kind, unsigned int ownerId)
{
    auto* item = reinterpret_cast<CTreeItem*>(data);
    if (!item || !control.IsLiveItem(item) || item->GetKind() != kind)
        return nullptr;
    switch (kind) {
    case TreeItemKind::Account:
        return static_cast<CAccountItem*>(item)->GetAccountId() == ownerId ? item : nullptr;
    case TreeItemKind::Group:
        return static_cast<CGroupItem*>(item)->GetGroupId() == ownerId ? item : nullptr;
    case TreeItemKind::Contact:
        return static_cast<CContactItem*>(item)->GetContactId() == ownerId ? item : nullptr;
    default:
        return nullptr;
    }
}

// The facts of the entry's item; false when it is gone.
bool Facts(CCLCtrl& control, uintptr_t data, TreeItemKind kind, unsigned int ownerId, ItemFacts* facts)
{
    CCriticalSectionLock hold(control.GetLock());
    CTreeItem* item = LiveItem(control, data, kind, ownerId);
    if (!item)
        return false;
    if (kind == TreeItemKind::Account) {
        facts->accountId = static_cast<CAccountItem*>(item)->GetAccountId();
        facts->name = static_cast<CAccountItem*>(item)->GetName();
    } else if (kind == TreeItemKind::Group) {
        facts->groupId = static_cast<CGroupItem*>(item)->GetGroupId();
        facts->name = static_cast<CGroupItem*>(item)->GetName();
        if (item->GetParent() && item->GetParent()->GetKind() == TreeItemKind::Account)
            facts->accountId = static_cast<CAccountItem*>(item->GetParent())->GetAccountId();
    } else {
        auto* contact = static_cast<CContactItem*>(item);
        facts->contactId = contact->GetContactId();
        facts->accountId = contact->GetAccountId();
        facts->groupId = contact->GetGroupId();
        facts->name = contact->GetName();
    }
    return true;
}

// The name dialog, pre-filled with name unless it is empty; false on Cancel.
bool AskName(CCLCtrl& control, const CJOVString* name, CJOVString* typed)
{
    CNewGroupDlg dialog(control.GetWnd());
    if (name)
        dialog.SetName(*name);
    if (dialog.DoModal() != 1)
        return false;
    *typed = dialog.GetName();
    return true;
}

bool AskDelete(CCLCtrl& control, int captionId, const wchar_t* english, CJOVString question)
{
    CJOVString caption = LangText(captionId, english);
    return MessageBoxW(control.GetWnd(), question, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

Protocols::CProtocolsManager* Manager(CCLCtrl& control)
{
    return control.Manager();
}

// Opens (1) or closes (0) the account and its groups.
void SetAccountGroupsOpen(unsigned int accountId, uintptr_t data, BYTE open)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    if (!control || !data)
        return;
    {
        CCriticalSectionLock hold(control->GetLock());
        CTreeItem* account = LiveItem(*control, data, TreeItemKind::Account, accountId);
        if (!account)
            return;
        account->SetOpen(open);
        for (CTreeItem* group = account->GetFirstChild(); group; group = group->GetNext())
            group->SetOpen(open);
    }
    control->Refresh(1);
}

void SetSiblingGroupsOpen(unsigned int groupId, uintptr_t data, BYTE open)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    if (!control || !data)
        return;
    {
        CCriticalSectionLock hold(control->GetLock());
        CTreeItem* group = LiveItem(*control, data, TreeItemKind::Group, groupId);
        if (!group || !group->GetParent())
            return;
        for (CTreeItem* sibling = group->GetParent()->GetFirstChild(); sibling; sibling = sibling->GetNext())
            sibling->SetOpen(open);
    }
    control->Refresh(1);
}

void OpenAccountGroups(unsigned int accountId, uintptr_t data)
{
    SetAccountGroupsOpen(accountId, data, 1);
}

void CloseAccountGroups(unsigned int accountId, uintptr_t data)
{
    SetAccountGroupsOpen(accountId, data, 0);
}

void OpenSiblingGroups(unsigned int groupId, uintptr_t data)
{
    SetSiblingGroupsOpen(groupId, data, 1);
}

void CloseSiblingGroups(unsigned int groupId, uintptr_t data)
{
    SetSiblingGroupsOpen(groupId, data, 0);
}

void CreateAccountGroupCmd(unsigned int accountId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Account, accountId, &facts))
        return;
    CJOVString name;
    if (AskName(*control, nullptr, &name)) {
        if (Protocols::CProtocolsManager* manager = Manager(*control))
            manager->CreateGroup(facts.accountId, name);
    }
    CloseAccountGroups(accountId, data);
}

void CreateGroupCmd(unsigned int groupId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Group, groupId, &facts))
        return;
    CJOVString name;
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (AskName(*control, nullptr, &name) && manager)
        manager->CreateGroup(facts.accountId, name);
}

void RenameGroupCmd(unsigned int groupId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Group, groupId, &facts) || facts.groupId == 0)
        return;
    CJOVString name;
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (AskName(*control, &facts.name, &name) && manager)
        manager->RenameGroup(facts.accountId, facts.groupId, name);
}

void DeleteGroupCmd(unsigned int groupId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    // Group 0 holds the contacts that are in no group: it cannot go.
    if (!control || !Facts(*control, data, TreeItemKind::Group, groupId, &facts) || facts.groupId == 0)
        return;
    const CJOVString question = LangTextWith(203, L"Delete the group \"%s\"?", facts.name);
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (AskDelete(*control, 31, L"Delete group", question) && manager)
        manager->DeleteGroup(facts.accountId, facts.groupId);
}

void NetworkSettingsCmd(unsigned int accountId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (control && Facts(*control, data, TreeItemKind::Account, accountId, &facts))
        ShowOptionsDlg(control->GetWnd(), facts.accountId);
}

void SendMessageCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (control && Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        control->OpenChat(facts.contactId);
}

void ContactDetailsCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (control && Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        ShowContactDetails(control->GetWnd(), facts.contactId);
}

void ContactHistoryCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (control && Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        ShowHistory(control->GetWnd(), nullptr, facts.contactId);
}

void CopyContactNameCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        return;
    // The string's characters carry no terminating zero of their own.
    const std::wstring name(facts.name.Data() ? facts.name.Data() : L"", facts.name.GetLength());
    CopyTextToClipboard(control->GetWnd(), name.c_str());
}

void RenameContactCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        return;
    CJOVString name;
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (AskName(*control, &facts.name, &name) && manager)
        manager->RenameContact(facts.accountId, facts.contactId, name);
}

void DeleteContactCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    ItemFacts facts;
    if (!control || !Facts(*control, data, TreeItemKind::Contact, contactId, &facts))
        return;
    const CJOVString question = LangTextWith(204, L"Delete the contact \"%s\"?", facts.name);
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (AskDelete(*control, 38, L"Delete contact", question) && manager)
        manager->DeleteContact(facts.accountId, facts.contactId);
}

// data: the target group's id.
void MoveContactCmd(unsigned int contactId, uintptr_t data)
{
    CCLCtrl* control = CCLCtrl::GetInstance();
    if (!control || !data)
        return;
    CL::CContactList* model = control->Model();
    Protocols::CProtocolsManager* manager = Manager(*control);
    if (model && manager)
        manager->MoveContact(model->GetItemKey(contactId), contactId, static_cast<unsigned int>(data));
}

} // namespace

void CAccountItem::FillContextMenu(CMenuInfo& menu)
{
    menu.title = LangText(21, L"Account");
    menu.Append(Entry(22, L"Open groups", 1000, 26, OpenAccountGroups, this));
    menu.Append(Entry(23, L"Close groups", 1001, 15, CloseAccountGroups, this));
    menu.Append(Separator(1002));
    menu.Append(Entry(24, L"Create new group", 1003, 16, CreateAccountGroupCmd, this));
    menu.Append(Separator(1004));
    menu.Append(Entry(25, L"Network settings", 1005, 46, NetworkSettingsCmd, this));
}

void CGroupItem::FillContextMenu(CMenuInfo& menu)
{
    menu.title = LangText(26, L"Group");
    menu.Append(Entry(27, L"Open groups", 2000, 26, OpenSiblingGroups, this));
    menu.Append(Entry(28, L"Close groups", 2001, 15, CloseSiblingGroups, this));
    menu.Append(Separator(2002));
    menu.Append(Entry(29, L"Create new group", 2003, 16, CreateGroupCmd, this));
    if (m_groupId != 0) {
        menu.Append(Entry(30, L"Rename group", 2004, 28, RenameGroupCmd, this));
        menu.Append(Entry(31, L"Delete group", 2005, 18, DeleteGroupCmd, this));
    }
}

void CContactItem::FillContextMenu(CMenuInfo& menu)
{
    menu.title = LangText(32, L"Contact");
    menu.Append(Entry(33, L"Send message", 4001, 22, SendMessageCmd, this));
    menu.Append(Separator(4003));
    menu.Append(Entry(34, L"Contact details", 4004, 31, ContactDetailsCmd, this));
    menu.Append(Entry(35, L"Message history", 4005, 32, ContactHistoryCmd, this));
    menu.Append(Entry(36, L"Copy contact name", 4007, 33, CopyContactNameCmd, this));
    menu.Append(Separator(4008));
    if (m_groupId != 0)
        menu.Append(Entry(37, L"Rename contact", 4009, 27, RenameContactCmd, this));
    menu.Append(Entry(38, L"Delete contact", 4010, 17, DeleteContactCmd, this));
    if (m_groupId == 0)
        return;

    // The other groups of the contact's account, in the tree's order.
    CMenuInfo groups;
    CCLCtrl* control = CCLCtrl::GetInstance();
    CAccountItem* account = nullptr;
    if (control && control->FindAccountItem(m_accountId, &account)) {
        unsigned int commandId = 4012;
        for (CTreeItem* item = account->GetFirstChild(); item; item = item->GetNext()) {
            auto* group = static_cast<CGroupItem*>(item);
            if (group->GetGroupId() == 0 || group->GetGroupId() == m_groupId)
                continue;
            CMenuItemInfo entry(group->GetName(), reinterpret_cast<void*>(MoveContactCmd), 0);
            entry.commandId = commandId++;
            entry.param = group->GetGroupId();
            groups.Append(entry);
        }
    }
    if (groups.Count() > 0) {
        CMenuItemInfo move(LangText(39, L"Move to group"), groups);
        move.commandId = 4011;
        move.images.Append(21);
        menu.Append(move);
    }
}
