#include "messaging/ChatMessageTextLine.h"

#include "messaging/ChatMessageItem_Text.h"

CChatMessageTextLine::CChatMessageTextLine(const RECT& rect, CChatView* parent)
    : CChatItem(parent), m_owner(nullptr), m_plan(), m_items(10), m_smilies(0), m_made(true)
{
    m_rect = rect;
}

CChatMessageTextLine::CChatMessageTextLine(const RECT& rect, CChatView* parent, CChatMessageItem_Text* owner,
                                           const Plan& plan)
    : CChatItem(parent), m_owner(owner), m_plan(plan), m_items(10), m_smilies(0), m_made(plan.pieces == 0)
{
    m_rect = rect;
}

CChatMessageTextLine::~CChatMessageTextLine()
{
    // Their memory is the arena's.
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->~CChatMessageTextLineItem();
}

void CChatMessageTextLine::MakeItems() const
{
    if (m_made)
        return;
    m_made = true;
    // Only the maker's own line is asked for pieces while they are made.
    m_owner->MakeItems(*const_cast<CChatMessageTextLine*>(this));
}

int CChatMessageTextLine::GetItemCount() const
{
    MakeItems();
    return m_items.Count();
}

CChatMessageTextLineItem* CChatMessageTextLine::GetItem(int index) const
{
    MakeItems();
    return m_items[index];
}

int CChatMessageTextLine::GetType() const { return ChatItemLine; }

void CChatMessageTextLine::AddItem(CChatMessageTextLineItem* item)
{
    if (m_items.Append(item) < 0) {
        item->~CChatMessageTextLineItem();
        return;
    }
    if (item->GetType() == ChatItemSmaily)
        ++m_smilies;
}

void CChatMessageTextLine::Draw(CJOVDrawContext* context, int scroll)
{
    MakeItems();
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->Draw(context, scroll);
}

void CChatMessageTextLine::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    POINT s = first.y <= second.y ? first : second;
    POINT e = first.y <= second.y ? second : first;
    // A point on the line counts as on every item's row, however tall.
    if (s.y >= m_rect.top && s.y < m_rect.bottom)
        s.y = m_rect.bottom - 1;
    if (e.y >= m_rect.top && e.y < m_rect.bottom)
        e.y = m_rect.bottom - 1;
    // Pieces not made yet hold no selection, and one that misses the line gives them none.
    if (!m_made && (e.y < m_rect.top || s.y >= m_rect.bottom || (s.x == e.x && s.y == e.y)))
        return;
    MakeItems();
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->Select(s, e, context);
}

void CChatMessageTextLine::ClearSelection()
{
    if (!m_made)
        return;
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->ClearSelection();
}

void CChatMessageTextLine::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    if (!m_made)
        return;
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->AppendSelectedText(buffer);
}

int CChatMessageTextLine::OnClick(POINT point)
{
    if (point.y <= m_rect.top || point.y > m_rect.bottom)
        return 0;
    MakeItems();
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->GetType() == ChatItemLink && m_items[i]->OnClick(point))
            return 1;
    }
    return 0;
}

POINT CChatMessageTextLine::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    MakeItems();
    int count = m_items.Count();
    if (count == 0)
        return NoCaret();
    if (point.y > m_rect.bottom)
        return m_items[count - 1]->SetCaretFromPoint(point, context);
    for (int i = count - 1; i >= 0; --i) {
        if (m_items[i]->GetRect().left <= point.x)
            return m_items[i]->SetCaretFromPoint(point, context);
    }
    const RECT& first = m_items[0]->GetRect();
    return m_items[0]->SetCaretFromPoint({first.left, first.top}, context);
}

void CChatMessageTextLine::ResetCaret()
{
    if (!m_made)
        return;
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->ResetCaret();
}

int CChatMessageTextLine::CaretItem(CJOVDrawContext* context, POINT* where)
{
    // Pieces not made yet hold no caret.
    for (int i = 0; i < m_items.Count(); ++i) {
        POINT at = m_items[i]->MoveCaret(CaretHere, context);
        if (IsCaretAt(at)) {
            *where = at;
            return i;
        }
    }
    return -1;
}

POINT CChatMessageTextLine::MoveCaret(int step, CJOVDrawContext* context)
{
    POINT at = NoCaret();
    int holder = CaretItem(context, &at);
    int count = m_items.Count();
    if (step == CaretLineStart || step == CaretLineEnd) {
        MakeItems();
        count = m_items.Count();
        if (count == 0)
            return NoCaret();
        if (holder >= 0)
            m_items[holder]->ResetCaret();
        CChatMessageTextLineItem* item = m_items[step == CaretLineStart ? 0 : count - 1];
        const RECT& r = item->GetRect();
        return item->SetCaretFromPoint({step == CaretLineStart ? r.left : r.right, r.bottom}, context);
    }
    if (holder < 0 || step == CaretHere)
        return at;
    if (step != CaretNextChar && step != CaretPrevChar)
        return at;
    POINT moved = m_items[holder]->MoveCaret(step, context);
    if (step == CaretNextChar) {
        // Past an item's end: the next one takes the caret at its left edge.
        while (moved.y == -1 && holder + 1 < count) {
            CChatMessageTextLineItem* next = m_items[++holder];
            next->SetCaretFromPoint({next->GetRect().left, next->GetRect().top}, context);
            moved = next->MoveCaret(CaretNextChar, context);
        }
    } else {
        while (moved.x == -1 && holder > 0) {
            CChatMessageTextLineItem* previous = m_items[--holder];
            previous->SetCaretFromPoint({previous->GetRect().right, previous->GetRect().top}, context);
            moved = previous->MoveCaret(CaretPrevChar, context);
        }
    }
    return moved;
}

int CChatMessageTextLine::AlignItemsBottom()
{
    if (!m_made)
        return m_rect.bottom;
    int count = m_items.Count();
    if (count == 0)
        return m_rect.bottom;
    int bottom = m_items[0]->GetRect().bottom;
    for (int i = 1; i < count; ++i) {
        if (m_items[i]->GetRect().bottom > bottom)
            bottom = m_items[i]->GetRect().bottom;
    }
    m_rect.bottom = bottom;
    for (int i = 0; i < count; ++i)
        m_items[i]->AlignBottom(bottom);
    return bottom;
}

void CChatMessageTextLine::Offset(int dy)
{
    CChatItem::Offset(dy);
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->Offset(dy);
}

void CChatMessageTextLine::MoveBottomTo(int y)
{
    if (m_made ? m_items.Count() == 0 : m_plan.pieces == 0)
        return;
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->AlignBottom(y);
    m_rect.top += y - m_rect.bottom;
    m_rect.bottom = y;
}

int CChatMessageTextLine::SelectRange(int first, int last, CJOVDrawContext* context)
{
    MakeItems();
    int touched = 0;
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->SelectRange(first, last, context))
            touched = 1;
    }
    return touched;
}
