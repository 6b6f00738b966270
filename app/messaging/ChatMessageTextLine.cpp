#include "messaging/ChatMessageTextLine.h"

CChatMessageTextLine::CChatMessageTextLine(const RECT& rect, CChatView* parent) : CChatItem(parent), m_items(10)
{
    m_rect = rect;
}

CChatMessageTextLine::~CChatMessageTextLine()
{
    for (int i = 0; i < m_items.Count(); ++i)
        delete m_items[i];
}

int CChatMessageTextLine::GetType() const { return ChatItemLine; }

void CChatMessageTextLine::AddItem(CChatMessageTextLineItem* item) { m_items.Append(item); }

void CChatMessageTextLine::Draw(CJOVDrawContext* context, int scroll)
{
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
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->Select(s, e, context);
}

void CChatMessageTextLine::ClearSelection()
{
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->ClearSelection();
}

void CChatMessageTextLine::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->AppendSelectedText(buffer);
}

int CChatMessageTextLine::OnClick(POINT point)
{
    if (point.y <= m_rect.top || point.y > m_rect.bottom)
        return 0;
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->GetType() == ChatItemLink && m_items[i]->OnClick(point))
            return 1;
    }
    return 0;
}

POINT CChatMessageTextLine::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
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
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->ResetCaret();
}

int CChatMessageTextLine::CaretItem(CJOVDrawContext* context, POINT* where)
{
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
    if (m_items.Count() == 0)
        return;
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->AlignBottom(y);
    m_rect.top += y - m_rect.bottom;
    m_rect.bottom = y;
}

int CChatMessageTextLine::SelectRange(int first, int last, CJOVDrawContext* context)
{
    int touched = 0;
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->SelectRange(first, last, context))
            touched = 1;
    }
    return touched;
}
