// A contact, in a group of the account tree or in a section of the status
// tree (one item in each). Contacts sort unread first, then connected, then
// offline, each block by name regardless of case.
#pragma once

#include "contactlist/TreeItem.h"
#include "protocols/ContactStatusInfo.h"

class CContactItem final : public CTreeItem {
public:
    CContactItem(unsigned int contactId, unsigned int accountId, const CJOVString& name,
                 const AccountBranchStyle* accountStyle);

    TreeItemKind GetKind() const override { return TreeItemKind::Contact; }
    unsigned int GetItemHeight() override;
    // Its cell of the parent's grid.
    int GetItemRect(RECT* rect) override;
    int OnClick() override { return 1; }
    // Both open the chat with the contact.
    int OnDoubleClick() override;
    int OnEnter() override;
    int Compare(const CTreeItem* other) const override;
    BYTE HasUnread() const override { return m_unread ? 1 : 0; }
    void Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren) override;
    void FillContextMenu(CMenuInfo& menu) override;

    unsigned int GetContactId() const { return m_contactId; }
    unsigned int GetAccountId() const { return m_accountId; }
    const CJOVString& GetName() const { return m_name; }
    void SetName(const CJOVString& name) { m_name = name; }
    bool IsUnread() const { return m_unread; }
    void SetUnread(bool unread) { m_unread = unread; }
    // Drawing asks the account for the status while it is stale.
    bool IsStatusStale() const { return m_statusStale; }
    void SetStatusStale(bool stale) { m_statusStale = stale; }
    const Protocols::ContactStatusInfo& GetStatusInfo() const { return m_status; }
    void SetStatusInfo(const Protocols::ContactStatusInfo& status) { m_status = status; }
    int GetStatus() const { return m_status.status; }
    // The contact's group in the model when the item was made (a move makes
    // new items); 0: in no group.
    unsigned int GetGroupId() const { return m_groupId; }
    void SetGroupId(unsigned int groupId) { m_groupId = groupId; }

    // Compare calls made so far in the process (the benchmark reports them).
    static unsigned long GetCompareCount();

private:
    unsigned int m_contactId;
    unsigned int m_accountId;
    CJOVString m_name;
    const AccountBranchStyle* m_accountStyle;  // gives the column count; not owned
    bool m_statusStale;
    Protocols::ContactStatusInfo m_status;
    bool m_unread;
    unsigned int m_groupId = 0;
};

// Case-insensitive order of two names: below 0, 0 or above 0.
int CompareNamesNoCase(const CJOVString& a, const CJOVString& b);
