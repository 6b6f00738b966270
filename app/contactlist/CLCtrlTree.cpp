// The control's operations on its trees that no event drives: view mode,
// filter, columns, scroll range, the current item and its moves, finders and
// the pending-entry questions.
#include "contactlist/CLCtrl.h"

#include "CriticalSectionLock.h"
#include "EventArgData.h"
#include "cl/ContactList.h"

namespace {

CTreeItem* FirstVisibleFrom(CTreeItem* item)
{
    while (item && !item->IsVisible())
        item = item->GetNext();
    return item;
}

} // namespace

CRootItem* CCLCtrl::ShownRoot() const
{
    return m_mode == 0 ? m_statusRoot : m_accountRoot;
}

void CCLCtrl::SetMode(int mode)
{
    if (mode != 0 && mode != 1)
        return;
    {
        CCriticalSectionLock hold(m_lock);
        m_mode = mode;
        CRootItem* root = ShownRoot();
        EnsureVisible(root ? root->GetFirstChild() : nullptr);
    }
    if (m_redraw) {
        RecalcLayout();
        if (m_hWnd) {
            InvalidateRect(m_hWnd, nullptr, FALSE);
            UpdateWindow(m_hWnd);
        }
    }
}

void CCLCtrl::SetOnlineOnly(BYTE on)
{
    {
        CCriticalSectionLock hold(m_lock);
        m_onlineOnly = on != 0;
        if (CStatusItem* offline = GetStatusRoot(1))
            offline->SetVisible(!m_onlineOnly);
        for (CTreeItem* account = m_accountRoot ? m_accountRoot->GetFirstChild() : nullptr; account;
             account = account->GetNext()) {
            for (CTreeItem* item = account->GetFirstChild(); item; item = item->GetNext()) {
                auto* group = static_cast<CGroupItem*>(item);
                for (CTreeItem* child = group->GetFirstChild(); child; child = child->GetNext()) {
                    auto* contact = static_cast<CContactItem*>(child);
                    if (group->GetGroupId() != 0 && contact->GetStatus() == Protocols::StatusOffline &&
                        !contact->IsUnread())
                        contact->SetVisible(!m_onlineOnly);
                }
                auto* first = static_cast<CContactItem*>(group->GetFirstChild());
                if (group->GetGroupId() == 0)
                    group->SetVisible(first != nullptr);
                else if (!m_onlineOnly)
                    group->SetVisible(true);
                else
                    group->SetVisible(first && (first->GetStatus() > Protocols::StatusConnecting || first->IsUnread()));
            }
        }
    }
    if (on) {
        CCriticalSectionLock hold(m_lock);
        CRootItem* root = ShownRoot();
        EnsureVisible(root ? root->GetFirstChild() : nullptr);
    }
    if (m_redraw) {
        RecalcLayout();
        if (m_hWnd) {
            InvalidateRect(m_hWnd, nullptr, FALSE);
            UpdateWindow(m_hWnd);
        }
    }
}

void CCLCtrl::SetColumns(unsigned int count)
{
    if (count < 1 || count > 4)
        return;
    {
        CCriticalSectionLock hold(m_lock);
        m_columns = count;
        m_accountStyle.columns = m_statusStyle.columns = m_groupStyle.columns = count;
        for (CTreeItem* account = m_accountRoot ? m_accountRoot->GetFirstChild() : nullptr; account;
             account = account->GetNext())
            static_cast<CAccountItem*>(account)->GetStyle().columns = count;
    }
    if (m_redraw) {
        RecalcLayout();
        if (m_hWnd) {
            InvalidateRect(m_hWnd, nullptr, FALSE);
            UpdateWindow(m_hWnd);
        }
    }
}

void CCLCtrl::RecalcLayout()
{
    if (!m_hWnd)
        return;
    if (!OnWindowThread()) {
        // The scroll bar belongs to the UI thread, which may be waiting for us.
        if (!m_relayoutPosted.exchange(true) && !PostMessageW(m_hWnd, kRelayoutMessage, 0, 0))
            m_relayoutPosted = false;
        return;
    }
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    int height = 0;
    {
        CCriticalSectionLock hold(m_lock);
        if (CRootItem* root = ShownRoot())
            height = static_cast<int>(root->GetHeight());
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = height;
    info.nPage = static_cast<UINT>(client.bottom - client.top);
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CCLCtrl::Refresh(BYTE relayout)
{
    if (relayout)
        RecalcLayout();
    Invalidate();
}

void CCLCtrl::EnsureVisible(CTreeItem* item)
{
    bool changed;
    {
        CCriticalSectionLock hold(m_lock);
        if (m_current)
            m_current->SetFocused(false);
        changed = m_current != item;
        m_current = item;
        if (item)
            item->SetFocused(true);
    }
    if (item && m_hWnd) {
        if (OnWindowThread())
            ScrollToCurrent();
        else if (!m_scrollPosted.exchange(true) && !PostMessageW(m_hWnd, kScrollMessage, 0, 0))
            m_scrollPosted = false;
    }
    if (changed && m_currentItemEvent)
        m_bus.FireEvent(m_currentItemEvent, new CEventArg_Data<CTreeItem*>(item), nullptr, false);
}

void CCLCtrl::ScrollToCurrent()
{
    if (!m_hWnd)
        return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(m_hWnd, SB_VERT, &info);
    RECT row = {};
    {
        CCriticalSectionLock hold(m_lock);
        if (!m_current)
            return;
        m_current->GetItemRect(&row);
        row.bottom = row.top + static_cast<int>(m_current->GetItemHeight());
    }
    const int old = info.nPos;
    if (row.bottom > client.bottom + old)
        SetScrollPos(m_hWnd, SB_VERT, row.bottom - client.bottom, TRUE);
    if (row.top < old)
        SetScrollPos(m_hWnd, SB_VERT, row.top, TRUE);
}

void CCLCtrl::SelectPrevious()
{
    CCriticalSectionLock hold(m_lock);
    if (!m_current)
        return;
    for (CTreeItem* sibling = m_current->GetPrevious(); sibling; sibling = sibling->GetPrevious()) {
        if (sibling->IsVisible()) {
            EnsureVisible(sibling->GetLastVisible());
            return;
        }
    }
    CTreeItem* parent = m_current->GetParent();
    if (parent && parent->GetParent())
        EnsureVisible(parent);
}

void CCLCtrl::SelectNext()
{
    CCriticalSectionLock hold(m_lock);
    if (!m_current)
        return;
    if (m_current->IsOpen()) {
        if (CTreeItem* child = FirstVisibleFrom(m_current->GetFirstChild())) {
            EnsureVisible(child);
            return;
        }
    }
    for (CTreeItem* item = m_current; item; item = item->GetParent()) {
        if (CTreeItem* next = FirstVisibleFrom(item->GetNext())) {
            EnsureVisible(next);
            return;
        }
    }
}

CStatusItem* CCLCtrl::GetStatusRoot(unsigned int section)
{
    CCriticalSectionLock hold(m_lock);
    for (CTreeItem* item = m_statusRoot ? m_statusRoot->GetFirstChild() : nullptr; item; item = item->GetNext()) {
        auto* status = static_cast<CStatusItem*>(item);
        if (status->GetSection() == section)
            return status;
    }
    return nullptr;
}

bool CCLCtrl::FindAccountItem(unsigned int accountId, CAccountItem** account)
{
    CCriticalSectionLock hold(m_lock);
    for (CTreeItem* item = m_accountRoot ? m_accountRoot->GetFirstChild() : nullptr; item; item = item->GetNext()) {
        auto* found = static_cast<CAccountItem*>(item);
        if (found->GetAccountId() == accountId) {
            if (account)
                *account = found;
            return true;
        }
    }
    return false;
}

bool CCLCtrl::FindGroupItem(unsigned int groupId, unsigned int accountId, CAccountItem** account,
                            CGroupItem** group)
{
    CCriticalSectionLock hold(m_lock);
    CAccountItem* owner = nullptr;
    if (!FindAccountItem(accountId, &owner))
        return false;
    for (CTreeItem* item = owner->GetFirstChild(); item; item = item->GetNext()) {
        auto* found = static_cast<CGroupItem*>(item);
        if (found->GetGroupId() == groupId) {
            if (account)
                *account = owner;
            if (group)
                *group = found;
            return true;
        }
    }
    return false;
}

bool CCLCtrl::FindGroup(unsigned int groupId, CAccountItem** account, CGroupItem** group)
{
    CL::CContactList* model = Model();
    if (!model)
        return false;
    return FindGroupItem(groupId, model->GetItemKey(groupId), account, group);
}

bool CCLCtrl::FindContactItem(unsigned int contactId, CAccountItem** account, CGroupItem** group,
                              CContactItem** contact)
{
    CL::CContactList* model = Model();
    if (!model)
        return false;
    const unsigned int accountId = model->GetItemKey(contactId);
    const unsigned int groupId = model->GetContactGroup(contactId);
    CCriticalSectionLock hold(m_lock);
    CAccountItem* owner = nullptr;
    CGroupItem* parent = nullptr;
    if (!FindGroupItem(groupId, accountId, &owner, &parent))
        return false;
    for (CTreeItem* item = parent->GetFirstChild(); item; item = item->GetNext()) {
        auto* found = static_cast<CContactItem*>(item);
        if (found->GetContactId() == contactId) {
            if (account)
                *account = owner;
            if (group)
                *group = parent;
            if (contact)
                *contact = found;
            return true;
        }
    }
    return false;
}

bool CCLCtrl::FindStatusContactItem(unsigned int contactId, CStatusItem** section, CContactItem** contact)
{
    CCriticalSectionLock hold(m_lock);
    for (CTreeItem* status = m_statusRoot ? m_statusRoot->GetFirstChild() : nullptr; status;
         status = status->GetNext()) {
        for (CTreeItem* item = status->GetFirstChild(); item; item = item->GetNext()) {
            auto* found = static_cast<CContactItem*>(item);
            if (found->GetContactId() == contactId) {
                if (section)
                    *section = static_cast<CStatusItem*>(status);
                if (contact)
                    *contact = found;
                return true;
            }
        }
    }
    return false;
}

CLItemRef CCLCtrl::GetCurrentItemRef()
{
    CCriticalSectionLock hold(m_lock);
    CLItemRef ref;
    if (!m_current)
        return ref;
    ref.kind = m_current->GetKind();
    switch (ref.kind) {
    case TreeItemKind::Status:
        ref.section = static_cast<CStatusItem*>(m_current)->GetSection();
        break;
    case TreeItemKind::Account:
        ref.accountId = static_cast<CAccountItem*>(m_current)->GetAccountId();
        break;
    case TreeItemKind::Group:
        ref.groupId = static_cast<CGroupItem*>(m_current)->GetGroupId();
        if (m_current->GetParent())
            ref.accountId = static_cast<CAccountItem*>(m_current->GetParent())->GetAccountId();
        break;
    case TreeItemKind::Contact: {
        auto* contact = static_cast<CContactItem*>(m_current);
        ref.contactId = contact->GetContactId();
        ref.accountId = contact->GetAccountId();
        if (auto* group = dynamic_cast<CGroupItem*>(m_current->GetParent()))
            ref.groupId = group->GetGroupId();
        break;
    }
    default:
        break;
    }
    return ref;
}

unsigned int CCLCtrl::GetCurrentItemId()
{
    const CLItemRef ref = GetCurrentItemRef();
    switch (ref.kind) {
    case TreeItemKind::Account:
        return ref.accountId;
    case TreeItemKind::Group:
        return ref.groupId;
    case TreeItemKind::Contact:
        return ref.contactId;
    default:
        return 0;
    }
}

int CCLCtrl::GetNotifyIcon(unsigned int contactId)
{
    CCriticalSectionLock hold(m_lock);
    for (const NotifyEntry& entry : m_pending) {
        if (entry.handled || entry.contactId != contactId)
            continue;
        if (entry.image != -1)
            return entry.image;
        return entry.kind == 0 ? 22 : entry.kind == 1 ? 24 : -1;
    }
    return -1;
}

BYTE CCLCtrl::HasPendingForAccount(unsigned int accountId)
{
    CCriticalSectionLock hold(m_lock);
    for (const NotifyEntry& entry : m_pending) {
        if (!entry.handled && entry.accountId == accountId)
            return 1;
    }
    return 0;
}

BYTE CCLCtrl::HasPendingForGroup(unsigned int groupId)
{
    CCriticalSectionLock hold(m_lock);
    for (const NotifyEntry& entry : m_pending) {
        if (!entry.handled && entry.groupId == groupId)
            return 1;
    }
    return 0;
}

BYTE CCLCtrl::HasPending()
{
    CCriticalSectionLock hold(m_lock);
    for (const NotifyEntry& entry : m_pending) {
        if (!entry.handled)
            return 1;
    }
    return 0;
}
