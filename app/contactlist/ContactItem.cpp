#include "contactlist/ContactItem.h"

#include <atomic>
#include <cwctype>

#include "HiDpi.h"
#include "contactlist/CLCtrl.h"

namespace {

std::atomic<unsigned long> s_compareCount{0};

// The runtime's towlower looks the thread's locale up for every character,
// which made sorting a large list slow; ASCII letters fold the same in every
// locale, so only other characters need it.
wint_t FoldCase(wchar_t c)
{
    if (c < 0x80)
        return c >= L'A' && c <= L'Z' ? static_cast<wint_t>(c - L'A' + L'a') : static_cast<wint_t>(c);
    return std::towlower(static_cast<wint_t>(c));
}

} // namespace

int CompareNamesNoCase(const CJOVString& a, const CJOVString& b)
{
    const int common = a.GetLength() < b.GetLength() ? a.GetLength() : b.GetLength();
    for (int i = 0; i < common; ++i) {
        const wint_t x = FoldCase(a.Data()[i]);
        const wint_t y = FoldCase(b.Data()[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.GetLength() == b.GetLength())
        return 0;
    return a.GetLength() < b.GetLength() ? -1 : 1;
}

CContactItem::CContactItem(unsigned int contactId, unsigned int accountId, const CJOVString& name,
                           const AccountBranchStyle* accountStyle)
    : m_contactId(contactId), m_accountId(accountId), m_name(name), m_accountStyle(accountStyle),
      m_statusStale(true), m_unread(false)
{
}

unsigned int CContactItem::GetItemHeight()
{
    return static_cast<unsigned int>(HIDPI_ScaleY(kContactRowUnits));
}

int CContactItem::GetItemRect(RECT* rect)
{
    unsigned int index = 0;
    for (CTreeItem* sibling = GetPrevious(); sibling; sibling = sibling->GetPrevious()) {
        if (sibling->IsVisible())
            ++index;
    }
    const unsigned int columns = m_accountStyle && m_accountStyle->columns > 0 ? m_accountStyle->columns : 1;
    const int row = static_cast<int>(GetItemHeight());
    const int top = (GetParent() ? GetParent()->ChildrenTop() : 0) + static_cast<int>(index / columns) * row;
    rect->top = top;
    rect->bottom = top + row;
    return rect->bottom;
}

int CContactItem::OnDoubleClick()
{
    CCLCtrl::OpenItemChat(this);
    return 0;
}

int CContactItem::OnEnter()
{
    CCLCtrl::OpenItemChat(this);
    return 0;
}

int CContactItem::Compare(const CTreeItem* other) const
{
    s_compareCount.fetch_add(1, std::memory_order_relaxed);
    const auto* contact = static_cast<const CContactItem*>(other);
    if (m_unread != contact->m_unread)
        return m_unread ? -1 : 1;
    const int mine = m_status.status;
    const int theirs = contact->m_status.status;
    if (mine == Protocols::StatusOffline && theirs > Protocols::StatusConnecting)
        return 1;
    if (mine > Protocols::StatusConnecting && theirs == Protocols::StatusOffline)
        return -1;
    return CompareNamesNoCase(m_name, contact->m_name);
}

unsigned long CContactItem::GetCompareCount()
{
    return s_compareCount.load(std::memory_order_relaxed);
}
