#include "contactlist/TreeItem.h"

CTreeItem::CTreeItem()
    : m_parent(nullptr), m_next(nullptr), m_previous(nullptr), m_firstChild(nullptr), m_lastChild(nullptr),
      m_visible(true),
      m_focused(false), m_open(true)
{
}

CTreeItem::~CTreeItem()
{
    CTreeItem* child = m_firstChild;
    while (child) {
        CTreeItem* next = child->m_next;
        delete child;
        child = next;
    }
}

unsigned int CTreeItem::GetHeight()
{
    unsigned int height = GetItemHeight();
    if (!m_open)
        return height;
    for (CTreeItem* child = m_firstChild; child; child = child->m_next) {
        if (child->m_visible)
            height += child->GetHeight();
    }
    return height;
}

int CTreeItem::ChildrenTop()
{
    RECT rect = {};
    GetItemRect(&rect);
    return rect.top + static_cast<int>(GetItemHeight());
}

int CTreeItem::GetItemRect(RECT* rect)
{
    int top = m_parent ? m_parent->ChildrenTop() : 0;
    for (CTreeItem* sibling = m_previous; sibling; sibling = sibling->m_previous) {
        if (sibling->m_visible)
            top += static_cast<int>(sibling->GetHeight());
    }
    rect->top = top;
    rect->bottom = top + static_cast<int>(GetHeight());
    return rect->bottom;
}

unsigned int CTreeItem::GetChildCount()
{
    unsigned int count = 0;
    for (CTreeItem* child = m_firstChild; child; child = child->m_next)
        ++count;
    return count;
}

unsigned int CTreeItem::GetVisibleChildCount()
{
    unsigned int count = 0;
    for (CTreeItem* child = m_firstChild; child; child = child->m_next) {
        if (child->m_visible)
            ++count;
    }
    return count;
}

void CTreeItem::AddChild(CTreeItem* child)
{
    if (!child)
        return;
    CTreeItem* before = m_firstChild;
    CTreeItem* after = nullptr;
    // A list that arrives in order (a stored one) goes on at the end without
    // a walk past every sibling.
    if (m_lastChild && m_lastChild->Compare(child) <= 0) {
        after = m_lastChild;
        before = nullptr;
    }
    while (before && before->Compare(child) <= 0) {
        after = before;
        before = before->m_next;
    }
    child->m_previous = after;
    child->m_next = before;
    if (after)
        after->m_next = child;
    else
        m_firstChild = child;
    if (before)
        before->m_previous = child;
    else
        m_lastChild = child;
    child->m_parent = this;
}

int CTreeItem::RemoveChild(CTreeItem* child)
{
    if (!child || child->m_parent != this)
        return 0;
    if (child->m_previous)
        child->m_previous->m_next = child->m_next;
    else
        m_firstChild = child->m_next;
    if (child->m_next)
        child->m_next->m_previous = child->m_previous;
    else
        m_lastChild = child->m_previous;
    child->m_parent = nullptr;
    child->m_next = nullptr;
    child->m_previous = nullptr;
    return 1;
}

CTreeItem* CTreeItem::HitTest(int x, int y, int width)
{
    const int row = static_cast<int>(GetItemHeight());
    if (y < row)
        return this;
    y -= row;
    for (CTreeItem* child = m_firstChild; child; child = child->m_next) {
        if (!child->m_visible)
            continue;
        const int height = static_cast<int>(child->GetHeight());
        if (height > y)
            return child->HitTest(x, y, width);
        y -= height;
    }
    return nullptr;
}

int CTreeItem::OnClick()
{
    return 0;
}

int CTreeItem::OnDoubleClick()
{
    return 0;
}

int CTreeItem::OnEnter()
{
    return 0;
}

void CTreeItem::FillContextMenu(CMenuInfo&)
{
}

CTreeItem* CTreeItem::GetLastVisible()
{
    if (!m_open || !m_firstChild)
        return this;
    CTreeItem* last = m_firstChild;
    while (last->m_next)
        last = last->m_next;
    while (last && !last->m_visible)
        last = last->m_previous;
    return last ? last->GetLastVisible() : this;
}

int CTreeItem::Compare(const CTreeItem*) const
{
    return -1;
}

void CTreeItem::SetOpen(BYTE open)
{
    m_open = open != 0;
}

BYTE CTreeItem::HasUnread() const
{
    return 0;
}

bool CTreeItem::Holds(const CTreeItem* item) const
{
    for (; item; item = item->m_parent) {
        if (item == this)
            return true;
    }
    return false;
}
