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
    : CChatNode(parent), m_nodes(10), m_historyFlag(historyFlag), m_picturedNodes(10), m_findNode(-1), m_caretNode(-1)
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

CChatNode* CChatContent::MakeNode(const SMessage* message)
{
    switch (message->kind) {
    case SMessage::Incoming:
    case SMessage::Outgoing:
        return new CChatNode_Message(message->subKind, message->nick, message->time, message->text,
                                     static_cast<int>(message->kind), m_parent, m_historyFlag);
    case SMessage::Service:
        return new CChatNode_Service(message->subKind, message->nick, message->time, m_parent);
    case SMessage::HistorySeparator:
        return new CChatNode_HistorySep(m_parent);
    }
    return nullptr;
}

void CChatContent::AddEvent(const SMessage* message) { AddEvents(message, 1); }

void CChatContent::AddEvents(const SMessage* messages, int count)
{
    const int first = m_nodes.Count();
    if (count > 1)
        m_nodes.Reserve(first + count);
    for (int i = 0; i < count; ++i) {
        CChatNode* node = MakeNode(&messages[i]);
        if (node && m_nodes.Append(node) < 0)
            delete node;
    }
    // Laying the tail out again without a new node would move the last one
    // down by the gap.
    if (m_nodes.Count() == first)
        return;
    CViewDrawContext shared(m_parent);  // one device context for every node laid out
    const int lowest = LimitSmilies(first);
    LayoutFrom(lowest >= 0 && lowest < first ? lowest : first, first);
}

int CChatContent::LeastHeightOf(const SMessage* messages, int count) const
{
    int height = 0;
    int nodes = m_nodes.Count();
    for (int i = 0; i < count; ++i) {
        int least = -1;
        switch (messages[i].kind) {
        case SMessage::Incoming:
        case SMessage::Outgoing:
        case SMessage::Service:
            least = SY(16);
            break;
        case SMessage::HistorySeparator:
            least = 1;
            break;
        }
        if (least < 0)
            continue;
        height += (nodes++ > 0 ? SY(3) : 0) + least;
    }
    return height;
}

int CChatContent::LimitSmilies(int first)
{
    for (int i = first; i < m_nodes.Count(); ++i) {
        if (SmileyCount(i) > 0)
            m_picturedNodes.Append(i);
    }
    const int pictured = m_picturedNodes.Count();
    if (pictured == 0 || m_picturedNodes[pictured - 1] < first)
        return -1;
    // The newest messages keep their pictures; older ones fall back to codes.
    int budget = m_parent->GetSkin().GetSmiliesNumber() - SmileyCount(m_picturedNodes[pictured - 1]);
    int lowest = -1;
    for (int k = pictured - 2; k >= 0; --k) {
        const int node = m_picturedNodes[k];
        CChatMessageItem_Text* text = static_cast<CChatNode_Message*>(m_nodes[node])->GetText();
        if (text->SetSmiliesLimit(budget))
            lowest = node;
        budget -= text->GetSmileyCount();
        if (text->GetSmileyCount() == 0)
            m_picturedNodes.Remove(k);
    }
    return lowest;
}

bool CChatContent::IsLaidOut(int node) const
{
    return m_nodes[node]->GetType() != ChatItemMessage ||
           static_cast<CChatNode_Message*>(m_nodes[node])->GetText()->IsLaidOut();
}

void CChatContent::LayoutFrom(int first, int firstNew)
{
    int top = first < firstNew ? m_nodes[first]->GetRect().top : first > 0 ? m_rect.bottom + SY(3) : m_rect.bottom;
    for (int i = first; i < m_nodes.Count(); ++i) {
        CChatNode* node = m_nodes[i];
        if (i < firstNew && IsLaidOut(i)) {
            // Only its place changes: moved, not measured again.
            if (node->GetRect().top != top)
                node->Offset(top - node->GetRect().top);
        } else {
            RECT rect = {m_rect.left, top, m_rect.right, top};
            node->Layout(rect);
        }
        top = node->GetRect().bottom + SY(3);
        m_rect.bottom = node->GetRect().bottom;
    }
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
    m_picturedNodes.RemoveAll();
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
    m_picturedNodes.RemoveAll();
    if (lowest >= 0) {
        CViewDrawContext shared(m_parent);
        LayoutFrom(lowest, count);
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
