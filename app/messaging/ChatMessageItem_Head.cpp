#include "messaging/ChatMessageItem_Head.h"

#include <algorithm>
#include <utility>

#include "MeasuredText.h"
#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/FindText.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/TextMeasurer.h"

namespace {

const wchar_t kSeparator[] = L" :";
const int kSeparatorLength = 2;

std::wstring Copy(const CJOVString& text) { return std::wstring(text.Data() ? text.Data() : L"", text.GetLength()); }

} // namespace

CChatMessageItem_Head::CChatMessageItem_Head(int subKind, const CJOVString& nick, const CJOVString& time,
                                             int direction, CChatView* parent, CChatNode_Message* node)
    : CChatNode(parent), m_node(node), m_image(subKind), m_nick(Copy(nick)), m_time(Copy(time)),
      m_direction(direction), m_runs(parent), m_separatorRect(), m_separatorWidths(), m_separatorFont(-1),
      m_separatorSelected(0), m_iconSelected(0), m_caretRun(-1)
{
}

CChatMessageItem_Head::~CChatMessageItem_Head() { DeleteRuns(); }

int CChatMessageItem_Head::GetType() const { return ChatItemHead; }

void CChatMessageItem_Head::DeleteRuns()
{
    m_runs.Clear();
    m_caretRun = -1;
}

int CChatMessageItem_Head::GetTailX() const
{
    if (m_runs.Count() == 0)
        return m_rect.left + SX(16);
    if (m_separatorFont < 0)
        return m_runs[m_runs.Count() - 1]->GetRect().right;
    return m_separatorRect.right;
}

void CChatMessageItem_Head::GetTailRows(int* top, int* bottom) const
{
    const RECT& row = m_runs.Count() == 0     ? m_rect
                      : m_separatorFont < 0 ? m_runs[m_runs.Count() - 1]->GetRect()
                                            : m_separatorRect;
    *top = row.top;
    *bottom = row.bottom;
}

void CChatMessageItem_Head::Layout(RECT& rect)
{
    DeleteRuns();
    m_iconSelected = 0;
    m_separatorSelected = 0;
    const MessageWndSettings& settings = m_parent->GetSettings();
    const MessageWndSettings::ChatFlags& flags = settings.GetChatFlags();
    const int icon = SY(16);
    m_rect = rect;
    m_rect.bottom = rect.top + icon;
    const int x0 = rect.left + SX(16) + SX(5);
    const int right = rect.right;
    bool nickShown = flags.showNames && !m_nick.empty();
    bool timeShown = flags.showTime && !m_time.empty();

    CTextMeasurer& measurer = m_parent->GetTextMeasurer();
    // One measure per font: the text with " :" behind it gives the separator's width too.
    std::vector<int> widths;
    int hN = 0, hT = 0;
    // Where the separator's two characters start and end, in each font.
    int separatorN[kSeparatorLength + 1] = {}, separatorT[kSeparatorLength + 1] = {};
    bool wrapped = false;
    if (nickShown) {
        std::wstring measured = m_nick + kSeparator;
        {
            CViewMeasureContext context(m_parent, settings.GetFont(MessageWndSettings::HeadFont));
            hN = MeasurePrefixes(measurer, context.hDC, measured.c_str(), static_cast<int>(measured.size()), widths);
        }
        int n = static_cast<int>(m_nick.size());
        for (int i = 0; i <= kSeparatorLength; ++i)
            separatorN[i] = widths[n + i] - widths[n];
        int rowTop = hN < icon ? rect.top + (icon - hN) / 2 : rect.top;
        wrapped = m_runs.PlaceRows(m_nick, std::move(widths), x0, x0, right, rowTop, hN) || wrapped;
    }
    m_runs.EndFirstText();
    const int nickRuns = m_runs.FirstCount();
    if (timeShown) {
        std::wstring measured = m_time + kSeparator;
        {
            CViewMeasureContext context(m_parent, settings.GetFont(MessageWndSettings::SubheadFont));
            hT = MeasurePrefixes(measurer, context.hDC, measured.c_str(), static_cast<int>(measured.size()), widths);
        }
        int n = static_cast<int>(m_time.size());
        for (int i = 0; i <= kSeparatorLength; ++i)
            separatorT[i] = widths[n + i] - widths[n];
        int x = x0;
        int rowTop = hT < icon ? rect.top + (icon - hT) / 2 : rect.top;
        if (nickRuns > 0) {
            const RECT& last = m_runs[nickRuns - 1]->GetRect();
            x = last.right + SX(5);
            if (hN >= hT)
                rowTop = last.bottom - hT;
            else if (nickRuns >= 2)
                rowTop = last.top;
        }
        wrapped = m_runs.PlaceRows(m_time, std::move(widths), x, x0, right, rowTop, hT) || wrapped;
    }
    int placedBottom = m_rect.bottom;
    m_separatorFont = -1;
    m_separatorRect = {};
    if (m_runs.Count() > 0) {
        const RECT& last = m_runs[m_runs.Count() - 1]->GetRect();
        placedBottom = last.bottom;
        if (!flags.newLine) {
            m_separatorFont = hN < hT ? 1 : 0;
            const int* separator = m_separatorFont ? separatorT : separatorN;
            std::copy(separator, separator + kSeparatorLength + 1, m_separatorWidths);
            int width = separator[kSeparatorLength];
            int height = m_separatorFont ? hT : hN;
            if (last.right + width > right)
                m_separatorRect = {x0, last.bottom, x0 + width, last.bottom + height};
            else
                m_separatorRect = {last.right, last.bottom - height, last.right + width, last.bottom};
            placedBottom = m_separatorRect.bottom;
        }
    }
    m_rect.bottom = std::max<LONG>(rect.top + icon, placedBottom);
    // On one row the text may go on right after the head.
    if (!wrapped)
        m_rect.right = m_separatorFont >= 0 ? m_separatorRect.right : x0;
    rect = m_rect;
}

void CChatMessageItem_Head::Offset(int dy)
{
    CChatItem::Offset(dy);
    m_runs.Offset(dy);
    if (m_separatorFont >= 0) {
        m_separatorRect.top += dy;
        m_separatorRect.bottom += dy;
    }
}

void CChatMessageItem_Head::Draw(CJOVDrawContext* context, int scroll)
{
    HDC dc = context->hDC;
    CChatSkin& skin = m_parent->GetSkin();
    const MessageWndSettings& settings = m_parent->GetSettings();
    const MessageWndSettings::ChatFlags& flags = settings.GetChatFlags();
    skin.DrawImage(m_image, context, m_rect.left, m_rect.top - scroll, m_rect.left + SX(16),
                   m_rect.top + SY(16) - scroll, true, m_iconSelected ? 128 : 255);
    COLORREF colour = skin.GetColor(m_direction ? CChatSkin::OutgoingTimestamp : CChatSkin::IncomingTimestamp);
    COLORREF oldText = SetTextColor(dc, colour);
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    if (flags.showNames) {
        SelectObject(dc, settings.GetFont(MessageWndSettings::HeadFont));
        for (int i = 0; i < m_runs.FirstCount(); ++i)
            m_runs[i]->Draw(context, scroll);
    }
    if (flags.showTime) {
        SelectObject(dc, settings.GetFont(MessageWndSettings::SubheadFont));
        for (int i = m_runs.FirstCount(); i < m_runs.Count(); ++i)
            m_runs[i]->Draw(context, scroll);
    }
    if (m_separatorFont >= 0) {
        SelectObject(dc, settings.GetFont(m_separatorFont ? MessageWndSettings::SubheadFont
                                                          : MessageWndSettings::HeadFont));
        RECT rect = m_separatorRect;
        rect.top -= scroll;
        rect.bottom -= scroll;
        int oldMode = GetBkMode(dc);
        COLORREF oldBack = GetBkColor(dc);
        SetBkMode(dc, TRANSPARENT);
        if (m_separatorSelected) {
            SetBkColor(dc, skin.GetColor(CChatSkin::Highlighting));
            SetTextColor(dc, skin.GetColor(CChatSkin::HighlightText));
        }
        DrawTextAtWidths(dc, rect.left, rect.top, m_separatorSelected ? ETO_OPAQUE : 0, &rect, kSeparator,
                         kSeparatorLength, m_separatorWidths);
        SetBkMode(dc, oldMode);
        SetBkColor(dc, oldBack);
    }
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
}

void CChatMessageItem_Head::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    m_iconSelected = 0;
    m_separatorSelected = 0;
    POINT s = first.y <= second.y ? first : second;
    POINT e = first.y <= second.y ? second : first;
    if (s.y >= m_rect.bottom || e.y <= m_rect.top) {
        for (int i = 0; i < m_runs.Count(); ++i)
            m_runs[i]->ClearSelection();
        return;
    }
    const int rowBottom = m_rect.top + SY(16);
    const int middle = m_rect.left + SX(16) / 2;
    const int x0 = m_rect.left + SX(16) + SX(5);
    if (s.y <= m_rect.top)
        m_iconSelected = e.y >= rowBottom || e.x >= middle;
    else if (s.y < rowBottom) {
        if (e.y >= rowBottom)
            m_iconSelected = s.x <= middle;
        else
            m_iconSelected = std::min(s.x, e.x) <= middle && std::max(s.x, e.x) >= x0;
    }
    HDC dc = context->hDC;
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    for (int i = 0; i < m_runs.Count(); ++i) {
        SelectObject(dc, m_runs.Font(i));
        m_runs[i]->Select(s, e, context);
    }
    SelectObject(dc, oldFont);
    if (m_separatorFont >= 0) {
        const RECT& r = m_separatorRect;
        if (r.bottom < s.y || e.y < r.top)
            m_separatorSelected = 0;
        else if (s.y <= r.top)
            m_separatorSelected = e.y >= r.bottom || e.x >= r.right;
        else if (e.y >= r.bottom)
            m_separatorSelected = s.x <= r.left;
        else
            m_separatorSelected = std::min(s.x, e.x) <= r.left && std::max(s.x, e.x) >= r.right;
    }
}

void CChatMessageItem_Head::ClearSelection()
{
    for (int i = 0; i < m_runs.Count(); ++i)
        m_runs[i]->ClearSelection();
    m_iconSelected = 0;
    m_separatorSelected = 0;
}

void CChatMessageItem_Head::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    CGrowingTextBuffer runs;
    for (int i = 0; i < m_runs.Count(); ++i)
        m_runs[i]->AppendSelectedText(runs);
    if (m_iconSelected)
        buffer.Append(buffer.IsEmpty() ? L" " : L"\r\n\r\n ");
    buffer.Append(runs.GetText(), runs.GetLength());
    if (m_separatorSelected)
        buffer.Append(kSeparator);
}

void CChatMessageItem_Head::AppendAllText(CGrowingTextBuffer& buffer)
{
    const MessageWndSettings::ChatFlags& flags = m_parent->GetSettings().GetChatFlags();
    buffer.Append(L" ");
    if (flags.showNames)
        buffer.Append(m_nick.c_str(), static_cast<int>(m_nick.size()));
    if (flags.showTime) {
        if (flags.showNames)
            buffer.Append(L" ");
        buffer.Append(m_time.c_str(), static_cast<int>(m_time.size()));
    }
    if (flags.newLine)
        buffer.Append(L"\r\n");
    else if (flags.showNames || flags.showTime)
        buffer.Append(L": ");
}

int CChatMessageItem_Head::Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context)
{
    const MessageWndSettings::ChatFlags& shown = m_parent->GetSettings().GetChatFlags();
    return m_runs.Find(shown.showNames ? m_nick : std::wstring(), shown.showTime ? m_time : std::wstring(), pattern,
                       flags, context);
}

void CChatMessageItem_Head::ResetFind() { m_runs.ResetFind(); }

POINT CChatMessageItem_Head::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    int count = m_runs.Count();
    if (count == 0)
        return NoCaret();
    int run = count - 1;
    while (run > 0 && m_runs[run]->GetRect().top > point.y)
        --run;
    // Between the nick and the time the caret goes to the nick's end.
    if (run == m_runs.FirstCount() && run > 0 && point.x < m_runs[run]->GetRect().left) {
        const RECT& nickRow = m_runs[run - 1]->GetRect();
        const RECT& timeRow = m_runs[run]->GetRect();
        if (nickRow.bottom > timeRow.top && nickRow.top < timeRow.bottom)
            --run;
    }
    ResetCaret();
    m_caretRun = run;
    CChatMessageTextLineItem_String* item = m_runs[run];
    CFontSelection font(context->hDC, m_runs.Font(run));
    return item->SetCaretFromPoint({std::max<LONG>(point.x, item->GetRect().left), point.y}, context);
}

void CChatMessageItem_Head::ResetCaret()
{
    if (m_caretRun >= 0 && m_caretRun < m_runs.Count())
        m_runs[m_caretRun]->ResetCaret();
    m_caretRun = -1;
}

POINT CChatMessageItem_Head::MoveCaret(int step, CJOVDrawContext* context)
{
    if (m_caretRun < 0 || m_caretRun >= m_runs.Count())
        return NoCaret();
    if (step == CaretPrevNode || step == CaretLineUp || step == CaretNextNode || step == CaretLineDown) {
        POINT here;
        {
            CFontSelection font(context->hDC, m_runs.Font(m_caretRun));
            here = m_runs[m_caretRun]->MoveCaret(CaretHere, context);
        }
        ResetCaret();
        bool back = step == CaretPrevNode || step == CaretLineUp;
        return back ? POINT{-1, here.y} : POINT{here.x, -1};
    }
    POINT moved;
    {
        CFontSelection font(context->hDC, m_runs.Font(m_caretRun));
        moved = m_runs[m_caretRun]->MoveCaret(step, context);
    }
    // Through the runs like a line: leaving one run enters the next or the previous.
    while (step == CaretNextChar && moved.y == -1 && m_caretRun + 1 < m_runs.Count()) {
        CChatMessageTextLineItem_String* next = m_runs[++m_caretRun];
        CFontSelection font(context->hDC, m_runs.Font(m_caretRun));
        next->SetCaretFromPoint({next->GetRect().left, next->GetRect().top}, context);
        moved = next->MoveCaret(CaretNextChar, context);
    }
    while (step == CaretPrevChar && moved.x == -1 && m_caretRun > 0) {
        CChatMessageTextLineItem_String* previous = m_runs[--m_caretRun];
        CFontSelection font(context->hDC, m_runs.Font(m_caretRun));
        previous->SetCaretFromPoint({previous->GetRect().right, previous->GetRect().top}, context);
        moved = previous->MoveCaret(CaretPrevChar, context);
    }
    if (moved.x == -1 || moved.y == -1)
        m_caretRun = -1;
    return moved;
}
