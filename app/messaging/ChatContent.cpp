#include "messaging/ChatContent.h"

#include "messaging/ChatEntry.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatNode_HistorySep.h"
#include "messaging/ChatNode_Message.h"
#include "messaging/ChatNode_Service.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/GrowingTextBuffer.h"

CChatContent::CChatContent(CChatView* parent, int historyFlag)
    : CChatNode(parent), m_nodes(10), m_historyFlag(historyFlag), m_findNode(-1), m_caretNode(-1)
{
}

CChatContent::~CChatContent() { Clear(); }

int CChatContent::GetType() const { return ChatItemContent; }

int CChatContent::SmileyCount(int node) const
{
    if (m_nodes[node]->GetType() != ChatItemMessage)
        return 0;
    return static_cast<CChatNode_Message*>(m_nodes[node])->GetText()->GetSmileyCount();
}

void CChatContent::AddEvent(const SMessage* message)
{
    CChatNode* node = nullptr;
    switch (message->kind) {
    case SMessage::Incoming:
    case SMessage::Outgoing:
        node = new CChatNode_Message(message->subKind, message->nick, message->time, message->text,
                                     static_cast<int>(message->kind), m_parent, m_historyFlag);
        break;
    case SMessage::Service:
        node = new CChatNode_Service(message->subKind, message->nick, message->time, m_parent);
        break;
    case SMessage::HistorySeparator:
        node = new CChatNode_HistorySep(m_parent);
        break;
    }
    // Laying the tail out again without a new node would move the last one
    // down by the gap.
    if (node && m_nodes.Append(node) >= 0)
        LayoutTail();
    else
        delete node;
}

void CChatContent::LayoutFrom(int first, int last)
{
    int top = m_nodes[first]->GetRect().top;
    for (int i = first; i <= last; ++i) {
        RECT rect = {m_rect.left, top, m_rect.right, top};
        m_nodes[i]->Layout(rect);
        top = rect.bottom + SY(3);
    }
    m_rect.bottom = m_nodes[last]->GetRect().bottom;
}

void CChatContent::LayoutTail()
{
    int count = m_nodes.Count();
    if (count == 0)
        return;
    CViewDrawContext shared(m_parent);  // one device context for every node laid out
    int last = count - 1;
    int lastSmilies = SmileyCount(last);
    if (m_nodes[last]->GetType() == ChatItemMessage && !m_historyFlag && lastSmilies > 0 && count >= 2) {
        // The newest messages keep their pictures; older ones fall back to codes.
        int budget = m_parent->GetSkin().GetSmiliesNumber() - lastSmilies;
        int lowest = -1;
        for (int i = last - 1; i >= 0; --i) {
            if (m_nodes[i]->GetType() != ChatItemMessage)
                continue;
            CChatMessageItem_Text* text = static_cast<CChatNode_Message*>(m_nodes[i])->GetText();
            if (text->SetSmiliesLimit(budget))
                lowest = i;
            budget -= text->GetSmileyCount();
        }
        if (lowest >= 0)
            LayoutFrom(lowest, last - 1);
    }
    int top = count >= 2 ? m_rect.bottom + SY(3) : m_rect.bottom;
    RECT rect = {m_rect.left, top, m_rect.right, top};
    m_nodes[last]->Layout(rect);
    m_rect.bottom = rect.bottom;
}

void CChatContent::Layout(RECT& rect)
{
    m_rect = rect;
    CViewDrawContext shared(m_parent);
    int count = m_nodes.Count();
    int top = rect.top;
    for (int i = 0; i < count; ++i) {
        RECT node = {rect.left, top, rect.right, top};
        m_nodes[i]->Layout(node);
        top = node.bottom + SY(3);
        m_rect.bottom = node.bottom;
    }
    rect = m_rect;
    if (m_caretNode >= 0) {
        // A new width puts the caret at the start of its node.
        POINT point = {1, 1};
        if (m_caretNode < count)
            point = {m_nodes[m_caretNode]->GetRect().left, m_nodes[m_caretNode]->GetRect().top};
        SetCaretFromPoint(point, &shared);
    }
}

void CChatContent::Clear()
{
    m_findNode = -1;
    if (m_caretNode > 0)
        m_caretNode = 0;
    for (int i = 0; i < m_nodes.Count(); ++i)
        delete m_nodes[i];
    m_nodes.RemoveAll();
}

void CChatContent::RefreshSmilies()
{
    int count = m_nodes.Count();
    if (count == 0)
        return;
    int lowest = -1;
    for (int i = 0; i < count; ++i) {
        if (m_nodes[i]->GetType() != ChatItemMessage)
            continue;
        if (static_cast<CChatNode_Message*>(m_nodes[i])->GetText()->SetSmiliesLimit(0) && lowest < 0)
            lowest = i;
    }
    if (lowest >= 0) {
        CViewDrawContext shared(m_parent);
        LayoutFrom(lowest, count - 1);
    }
}

void CChatContent::Draw(CJOVDrawContext* context, int scroll)
{
    // Only what meets the painted band is drawn, but a node with smiley
    // controls always is: its controls must follow the scroll.
    RECT clip;
    bool clipped = GetClipBox(context->hDC, &clip) != ERROR;
    for (int i = 0; i < m_nodes.Count(); ++i) {
        const RECT& node = m_nodes[i]->GetRect();
        bool visible = !clipped || (node.bottom >= clip.top + scroll && node.top <= clip.bottom + scroll);
        if (visible || SmileyCount(i) > 0)
            m_nodes[i]->Draw(context, scroll);
    }
}

void CChatContent::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    if (first.x == second.x && first.y == second.y) {
        ClearSelection();
        return;
    }
    for (int i = 0; i < m_nodes.Count(); ++i)
        m_nodes[i]->Select(first, second, context);
}

void CChatContent::ClearSelection()
{
    for (int i = 0; i < m_nodes.Count(); ++i)
        m_nodes[i]->ClearSelection();
}

void CChatContent::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    for (int i = 0; i < m_nodes.Count(); ++i)
        m_nodes[i]->AppendSelectedText(buffer);
}

int CChatContent::OnClick(POINT point)
{
    for (int i = 0; i < m_nodes.Count(); ++i) {
        if (m_nodes[i]->OnClick(point))
            return 1;
    }
    return 0;
}

void CChatContent::AppendAllText(CGrowingTextBuffer& buffer)
{
    for (int i = 0; i < m_nodes.Count(); ++i) {
        if (i > 0)
            buffer.Append(L"\r\n\r\n");
        m_nodes[i]->AppendAllText(buffer);
    }
}

int CChatContent::Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context)
{
    int count = m_nodes.Count();
    for (int i = 0; i < count; ++i)
        m_nodes[i]->ClearSelection();
    // After a hit in node k: k and on, then from the start round to k again
    // (which, having found nothing more, searches from its beginning).
    int start = m_findNode >= 0 && m_findNode < count ? m_findNode : 0;
    int asks = m_findNode >= 0 && m_findNode < count ? count + 1 : count;
    for (int n = 0; n < asks; ++n) {
        int i = (start + n) % count;
        int top = m_nodes[i]->Find(pattern, flags, context);
        if (top >= 0) {
            m_findNode = i;
            return top;
        }
    }
    return -1;
}

void CChatContent::ResetFind()
{
    m_findNode = -1;
    for (int i = 0; i < m_nodes.Count(); ++i)
        m_nodes[i]->ResetFind();
}

POINT CChatContent::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    ResetCaret();
    int count = m_nodes.Count();
    for (int i = count - 1; i >= 0; --i) {
        if (m_nodes[i]->GetType() == ChatItemHistorySep || m_nodes[i]->GetRect().top > point.y)
            continue;
        m_caretNode = i;
        return m_nodes[i]->SetCaretFromPoint(point, context);
    }
    m_caretNode = 0;
    if (count == 0)
        return {1, 1};
    // Above every node: the start of the topmost one that can hold a caret.
    for (int i = 0; i < count; ++i) {
        if (m_nodes[i]->GetType() == ChatItemHistorySep)
            continue;
        m_caretNode = i;
        const RECT& rect = m_nodes[i]->GetRect();
        return m_nodes[i]->SetCaretFromPoint({rect.left, rect.top}, context);
    }
    return NoCaret();
}

void CChatContent::ResetCaret()
{
    if (m_caretNode >= 0 && m_caretNode < m_nodes.Count())
        m_nodes[m_caretNode]->ResetCaret();
    m_caretNode = -1;
}

POINT CChatContent::MoveCaret(int step, CJOVDrawContext* context)
{
    if (m_caretNode < 0)
        return NoCaret();
    int count = m_nodes.Count();
    if (count == 0 || m_caretNode >= count) {
        switch (step) {
        case CaretHere:
            return {1, 1};
        case CaretNextChar:
        case CaretLineDown:
        case CaretNextNode:
            m_caretNode = -1;
            return {0, -1};
        case CaretPrevChar:
        case CaretLineUp:
        case CaretPrevNode:
            m_caretNode = -1;
            return {-1, 0};
        }
        return NoCaret();
    }
    CChatNode* node = m_nodes[m_caretNode];
    POINT here = node->MoveCaret(CaretHere, context);
    if (step == CaretHere)
        return here;
    POINT moved = node->MoveCaret(step, context);
    if (moved.x == -1) {
        node->ResetCaret();
        int previous = m_caretNode - 1;
        if (previous >= 0 && m_nodes[previous]->GetType() == ChatItemHistorySep)
            --previous;
        if (previous < 0) {
            m_caretNode = -1;
            return moved;
        }
        m_caretNode = previous;
        const RECT& rect = m_nodes[previous]->GetRect();
        POINT target = moved;
        if (step == CaretPrevChar)
            target = {rect.right, rect.bottom};
        else if (step == CaretLineUp)
            target = {here.x, rect.bottom};
        else if (step == CaretPrevNode)
            target = {rect.left, rect.top};
        return m_nodes[previous]->SetCaretFromPoint(target, context);
    }
    if (moved.y == -1) {
        node->ResetCaret();
        int next = m_caretNode + 1;
        if (next < count && m_nodes[next]->GetType() == ChatItemHistorySep)
            ++next;
        if (next >= count) {
            m_caretNode = -1;
            return moved;
        }
        m_caretNode = next;
        const RECT& rect = m_nodes[next]->GetRect();
        POINT target = moved;
        if (step == CaretLineDown)
            target = {moved.x, rect.top + 8};
        else if (step == CaretNextChar || step == CaretNextNode)
            target = {rect.left, rect.top};
        return m_nodes[next]->SetCaretFromPoint(target, context);
    }
    return moved;
}
