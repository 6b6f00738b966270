// The item menus as the control builds and shows them: the item's own
// entries under the lock, the account's entries after it, numbered so that
// no two entries share a command.
#include <algorithm>

#include "CriticalSectionLock.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/MainMenu.h"
#include "protocols/ProtocolsManager.h"

namespace {

unsigned int HighestCommand(const CMenuInfo& menu)
{
    unsigned int highest = 0;
    for (int i = 0; i < menu.Count(); ++i) {
        highest = std::max(highest, menu[i].commandId);
        if (const CMenuInfo* submenu = menu[i].GetSubmenu())
            highest = std::max(highest, HighestCommand(*submenu));
    }
    return highest;
}

// The account's entries without a command of their own, numbered after
// every command already in the menu.
void NumberTopLevel(CMenuInfo& menu)
{
    unsigned int next = HighestCommand(menu) + 1;
    for (int i = 0; i < menu.Count(); ++i) {
        if (menu[i].commandId == 0)
            menu[i].commandId = next++;
    }
}

bool LinkedUnder(const CTreeItem* root, const CTreeItem* item)
{
    for (const CTreeItem* child = root ? root->GetFirstChild() : nullptr; child; child = child->GetNext()) {
        if (child == item || LinkedUnder(child, item))
            return true;
    }
    return false;
}

} // namespace

bool CCLCtrl::IsLiveItem(const CTreeItem* item)
{
    CCriticalSectionLock hold(m_lock);
    return item && (LinkedUnder(m_accountRoot, item) || LinkedUnder(m_statusRoot, item));
}

void CCLCtrl::FillSelectedItemMenu(CMenuInfo& menu)
{
    CTreeItem* current = nullptr;
    {
        CCriticalSectionLock hold(m_lock);
        current = m_current;
    }
    if (current)
        FillItemMenu(current, menu);
}

bool CCLCtrl::FillItemMenu(CTreeItem* item, CMenuInfo& menu, unsigned int* ownerId)
{
    TreeItemKind kind = TreeItemKind::Root;
    unsigned int accountId = 0;
    unsigned int id = 0;
    {
        CCriticalSectionLock hold(m_lock);
        if (!IsLiveItem(item))
            return false;
        kind = item->GetKind();
        if (kind == TreeItemKind::Account) {
            accountId = id = static_cast<CAccountItem*>(item)->GetAccountId();
        } else if (kind == TreeItemKind::Group) {
            id = static_cast<CGroupItem*>(item)->GetGroupId();
            if (item->GetParent() && item->GetParent()->GetKind() == TreeItemKind::Account)
                accountId = static_cast<CAccountItem*>(item->GetParent())->GetAccountId();
        } else if (kind == TreeItemKind::Contact) {
            id = static_cast<CContactItem*>(item)->GetContactId();
            accountId = static_cast<CContactItem*>(item)->GetAccountId();
        } else {
            return false;
        }
        item->FillContextMenu(menu);
    }
    if (Protocols::CProtocolsManager* manager = Manager()) {
        if (kind == TreeItemKind::Account)
            manager->InitRootMenu(accountId, &menu);
        else if (kind == TreeItemKind::Group)
            manager->InitGroupMenu(accountId, id, &menu);
        else
            manager->InitContactMenu(accountId, id, &menu);
    }
    if (kind != TreeItemKind::Contact)
        NumberTopLevel(menu);
    if (ownerId)
        *ownerId = id;
    return true;
}

void CCLCtrl::ShowContextMenu(CTreeItem* item, HWND owner, int x, int y)
{
    TreeItemKind kind = TreeItemKind::Root;
    {
        CCriticalSectionLock hold(m_lock);
        if (IsLiveItem(item))
            kind = item->GetKind();
    }
    CMenuInfo menu;
    unsigned int ownerId = 0;
    if (!FillItemMenu(item, menu, &ownerId) || menu.Count() == 0)
        return;
    const unsigned int first = kind == TreeItemKind::Account ? 1000 : kind == TreeItemKind::Group ? 2000 : 4000;
    const unsigned int generated = kind == TreeItemKind::Contact ? 4012 : first + 10;
    unsigned int nextId = std::max(generated, HighestCommand(menu) + 1);
    HMENU popup = BuildPopupMenu(menu, nextId, nullptr);
    if (!popup)
        return;
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RETURNCMD, x, y, owner, nullptr));
    if (chosen >= first) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(popup, chosen, FALSE, &info) && info.dwItemData) {
            const auto* entry = reinterpret_cast<const CMenuItemInfo*>(info.dwItemData);
            if (entry->handler)
                reinterpret_cast<MenuItemHandlerFn>(entry->handler)(ownerId, entry->param);
        }
    }
    DestroyMenu(popup);
}
