#include "messaging/ChatMessageItem_Text.h"

#include <cwchar>

#include "messaging/ChatMessageItem_Head.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/FindText.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/SmailyCtrl.h"
#include "messaging/TextMeasurer.h"

namespace {

// Lone line feeds (XMPP sends them, history keeps them) become "\r\n": the
// caret and the line-break width count on pairs.
std::wstring WithLineBreaks(const CJOVString& text)
{
    const wchar_t* chars = text.Data();
    int length = text.GetLength();
    std::wstring result;
    result.reserve(length);
    for (int i = 0; i < length; ++i) {
        if (chars[i] == L'\n' && (i == 0 || chars[i - 1] != L'\r'))
            result += L'\r';
        result += chars[i];
    }
    return result;
}

} // namespace

CChatMessageItem_Text::CChatMessageItem_Text(const CJOVString& text, CChatMessageItem_Head* head, CChatView* parent,
                                             int historyFlag)
    : CChatNode(parent), m_text(WithLineBreaks(text)), m_head(head), m_runs(10), m_smilies(10), m_lines(10),
      m_allowance(0), m_laidOut(0), m_findPosition(-1), m_caretLine(-1)
{
    CChatSkin& skin = m_parent->GetSkin();
    if (!historyFlag && !skin.GetTextSmilies())
        m_allowance = skin.GetSmiliesNumber();
    if (m_allowance < 0)
        m_allowance = 0;
    Parse();
}

CChatMessageItem_Text::~CChatMessageItem_Text()
{
    DeleteLines();
    DeleteSmilies();
}

int CChatMessageItem_Text::GetType() const { return ChatItemText; }

void CChatMessageItem_Text::DeleteLines()
{
    for (int i = 0; i < m_lines.Count(); ++i)
        m_lines[i]->~CChatMessageTextLine();
    m_lines.RemoveAll();
    m_arena.Release();
    m_caretLine = -1;
}

void CChatMessageItem_Text::DeleteSmilies()
{
    for (int i = 0; i < m_smilies.Count(); ++i)
        delete m_smilies[i].control;
    m_smilies.RemoveAll();
}

CSmailyCtrl* CChatMessageItem_Text::GetSmiley(int index)
{
    if (index < 0 || index >= m_smilies.Count())
        return nullptr;
    Smiley& smiley = m_smilies[index];
    if (!smiley.control)
        smiley.control = new CSmailyCtrl(m_parent->GetViewInstance(), m_parent->GetViewWindow(), smiley.smiley,
                                         &m_parent->GetSkin());
    return smiley.control;
}

int CChatMessageItem_Text::GetFirstLineIndent() const
{
    if (m_parent->GetSettings().GetChatFlags().newLine)
        return 0;
    const RECT& head = m_head->GetRect();
    return head.right - head.left + SX(5);
}

bool CChatMessageItem_Text::IsFirstLineBesideHead() const
{
    return m_lines.Count() > 0 && !m_parent->GetSettings().GetChatFlags().newLine &&
           m_lines[0]->GetRect().left > m_rect.left;
}

void CChatMessageItem_Text::Draw(CJOVDrawContext* context, int scroll)
{
    if (!m_laidOut)
        return;
    HDC dc = context->hDC;
    CFontSelection font(dc, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
    COLORREF oldText = SetTextColor(dc, m_parent->GetSkin().GetColor(CChatSkin::MessageText));
    // As the content does with its nodes: only the lines that meet the
    // painted band, and every line with a smiley, whose control must follow.
    RECT clip;
    const bool clipped = GetClipBox(dc, &clip) != ERROR;
    for (int i = 0; i < m_lines.Count(); ++i) {
        const RECT& line = m_lines[i]->GetRect();
        if (!clipped || (line.bottom >= clip.top + scroll && line.top <= clip.bottom + scroll) ||
            m_lines[i]->HoldsSmilies())
            m_lines[i]->Draw(context, scroll);
    }
    SetTextColor(dc, oldText);
}

void CChatMessageItem_Text::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    POINT t = first.y <= second.y ? first : second;
    POINT b = first.y <= second.y ? second : first;
    if (t.y < m_rect.bottom && b.y > m_rect.top) {
        CFontSelection font(context->hDC, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
        for (int i = 0; i < m_lines.Count(); ++i)
            m_lines[i]->Select(t, b, context);
    } else {
        ClearSelection();
    }
}

void CChatMessageItem_Text::ClearSelection()
{
    for (int i = 0; i < m_lines.Count(); ++i)
        m_lines[i]->ClearSelection();
}

void CChatMessageItem_Text::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    CGrowingTextBuffer local;
    for (int i = 0; i < m_lines.Count(); ++i)
        m_lines[i]->AppendSelectedText(local);
    if (local.IsEmpty())
        return;
    if (!buffer.IsEmpty())
        buffer.Append(m_parent->GetSettings().GetChatFlags().newLine ? L"\r\n" : L" ");
    buffer.Append(local.GetText(), local.GetLength());
}

void CChatMessageItem_Text::AppendAllText(CGrowingTextBuffer& buffer)
{
    buffer.Append(m_text.c_str(), static_cast<int>(m_text.size()));
}

int CChatMessageItem_Text::OnClick(POINT point)
{
    if (point.y <= m_rect.top || point.y > m_rect.bottom)
        return 0;
    for (int i = 0; i < m_lines.Count(); ++i) {
        if (m_lines[i]->OnClick(point))
            return 1;
    }
    return 0;
}

int CChatMessageItem_Text::LineStart(int line) const
{
    // Only the empty line after a closing line break has no item.
    int start = m_lines[line]->GetTextStart();
    return start >= 0 ? start : static_cast<int>(m_text.size());
}

int CChatMessageItem_Text::FirstLineAt(int position) const
{
    // Lines hold the text in order: the last one that starts at or before it.
    int low = 0, high = m_lines.Count();
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (LineStart(middle) <= position)
            low = middle + 1;
        else
            high = middle;
    }
    return low > 0 ? low - 1 : 0;
}

int CChatMessageItem_Text::Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context)
{
    const CTextSearch search(m_text.c_str(), static_cast<int>(m_text.size()), pattern, flags);
    int patternLength = pattern ? static_cast<int>(std::wcslen(pattern)) : 0;
    int from = m_findPosition + 1;
    bool cleared = false;
    for (;;) {
        int at = search.From(from);
        if (at < 0) {
            m_findPosition = -1;
            return -1;
        }
        // A hit takes the mark from where it was; only its own lines are asked.
        if (!cleared) {
            ClearSelection();
            cleared = true;
        }
        const int last = at + patternLength - 1;
        int top = -1;
        {
            // Only a hit is measured: a search that finds nothing selects no font.
            CFontSelection font(context->hDC, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
            for (int i = FirstLineAt(at); i < m_lines.Count() && LineStart(i) <= last; ++i) {
                if (m_lines[i]->SelectRange(at, last, context) && top < 0)
                    top = m_lines[i]->GetRect().top;
            }
        }
        if (top >= 0) {
            m_findPosition = at;
            return top;
        }
        // A hit inside a smiley's code marks nothing: the next one may.
        from = at + 1;
    }
}

void CChatMessageItem_Text::ResetFind() { m_findPosition = -1; }

POINT CChatMessageItem_Text::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    int count = m_lines.Count();
    if (count == 0)
        return NoCaret();
    int line = count - 1;
    while (line > 0 && m_lines[line]->GetRect().top > point.y)
        --line;
    // The empty line after a closing line break holds no caret: the end of the line before it does.
    int holder = line;
    while (holder > 0 && m_lines[holder]->GetItemCount() == 0)
        --holder;
    if (m_lines[holder]->GetItemCount() == 0)
        return NoCaret();
    if (holder != line)
        point = {m_lines[holder]->GetRect().right, m_lines[holder]->GetRect().bottom};
    ResetCaret();
    m_caretLine = holder;
    CFontSelection font(context->hDC, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
    return m_lines[holder]->SetCaretFromPoint(point, context);
}

void CChatMessageItem_Text::ResetCaret()
{
    if (m_caretLine >= 0 && m_caretLine < m_lines.Count())
        m_lines[m_caretLine]->ResetCaret();
    m_caretLine = -1;
}

POINT CChatMessageItem_Text::MoveCaret(int step, CJOVDrawContext* context)
{
    if (m_caretLine < 0 || m_caretLine >= m_lines.Count())
        return NoCaret();
    CFontSelection font(context->hDC, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
    CChatMessageTextLine* line = m_lines[m_caretLine];
    POINT at = line->MoveCaret(CaretHere, context);
    int count = m_lines.Count();
    switch (step) {
    case CaretHere:
        return at;
    case CaretNextChar: {
        POINT moved = line->MoveCaret(CaretNextChar, context);
        if (moved.y != -1)
            return moved;
        if (m_caretLine + 1 >= count) {
            m_caretLine = -1;
            return moved;
        }
        CChatMessageTextLine* next = m_lines[++m_caretLine];
        return next->SetCaretFromPoint({next->GetRect().left, next->GetRect().top}, context);
    }
    case CaretPrevChar: {
        POINT moved = line->MoveCaret(CaretPrevChar, context);
        if (moved.x != -1)
            return moved;
        if (m_caretLine == 0) {
            m_caretLine = -1;
            return moved;
        }
        CChatMessageTextLine* previous = m_lines[--m_caretLine];
        return previous->SetCaretFromPoint({previous->GetRect().right, previous->GetRect().bottom}, context);
    }
    case CaretLineUp: {
        line->ResetCaret();
        bool beside = m_caretLine == 1 && IsFirstLineBesideHead() && at.x < m_lines[0]->GetRect().left;
        if (m_caretLine == 0 || beside) {
            m_caretLine = -1;
            return {-1, at.y};
        }
        CChatMessageTextLine* previous = m_lines[--m_caretLine];
        return previous->SetCaretFromPoint({at.x, previous->GetRect().bottom}, context);
    }
    case CaretLineDown: {
        line->ResetCaret();
        if (m_caretLine + 1 >= count) {
            m_caretLine = -1;
            return {at.x, -1};
        }
        CChatMessageTextLine* next = m_lines[++m_caretLine];
        return next->SetCaretFromPoint({at.x, next->GetRect().bottom}, context);
    }
    case CaretLineStart:
        if (m_caretLine == 0 && IsFirstLineBesideHead()) {
            line->ResetCaret();
            m_caretLine = -1;
            return {-1, at.y};
        }
        return line->MoveCaret(CaretLineStart, context);
    case CaretLineEnd:
        return line->MoveCaret(CaretLineEnd, context);
    case CaretPrevNode:
        line->ResetCaret();
        m_caretLine = -1;
        return {-1, at.y};
    case CaretNextNode:
        line->ResetCaret();
        m_caretLine = -1;
        return {at.x, -1};
    }
    return at;
}

void CChatMessageItem_Text::Offset(int dy)
{
    CChatItem::Offset(dy);
    for (int i = 0; i < m_lines.Count(); ++i)
        m_lines[i]->Offset(dy);
}

int CChatMessageItem_Text::SetSmiliesLimit(int allowance)
{
    if (allowance >= m_allowance || m_allowance == 0)
        return 0;
    m_allowance = allowance < 1 ? 0 : allowance;
    int controls = m_smilies.Count();
    if (m_allowance >= controls)
        return 0;
    int extra = controls - m_allowance;
    // The lines point at the controls: none may outlive them.
    m_laidOut = 0;
    DeleteLines();
    for (int i = 0; i < controls; ++i) {
        if (m_smilies[i].control)
            m_smilies[i].control->Stop();
    }
    // One walk: a smiley among the first extra turns into text, and each
    // text run takes in the text runs right after it (never a link).
    const int count = m_runs.Count();
    int kept = 0, next = 0;
    for (int i = 0; i < count; ++i) {
        ParsingTextItem run = m_runs[i];
        if (run.type == ChatItemSmaily) {
            if (run.index < extra) {
                delete m_smilies[run.index].control;
                m_smilies[run.index].control = nullptr;
                run.type = ChatItemString;
                run.index = 0;
            } else {
                run.index = next++;
            }
        }
        if (run.type == ChatItemString && kept > 0 && m_runs[kept - 1].type == ChatItemString)
            m_runs[kept - 1].length += run.length;
        else
            m_runs[kept++] = run;
    }
    m_runs.Remove(kept, count - kept);
    m_smilies.Remove(0, extra);
    return 1;
}
