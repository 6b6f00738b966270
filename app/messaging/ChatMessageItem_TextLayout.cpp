// The message text's parser (runs of text, smilies and links) and its
// word-wrap layout.
#include <algorithm>
#include <cwctype>

#include "messaging/ChatMessageItem_Head.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatMessageTextLineItem_Link.h"
#include "messaging/ChatMessageTextLineItem_Smaily.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatSmilies.h"
#include "messaging/ChatView.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/SmailyCtrl.h"
#include "messaging/TextMeasurer.h"

namespace {

// "https://" starts a link as "http://" does, so that a secure address opens as one.
const wchar_t* const kLinkPrefixes[] = {L"http://", L"https://", L"www."};

bool Overlaps(const std::vector<CChatMessageItem_Text::ParsingTextItem>& runs, int start, int length)
{
    for (const CChatMessageItem_Text::ParsingTextItem& run : runs) {
        if (run.start < start + length && start < run.start + run.length)
            return true;
    }
    return false;
}

bool IsLineBreakChar(wchar_t c) { return c == L'\r' || c == L'\n'; }

} // namespace

void CChatMessageItem_Text::Parse()
{
    DeleteLines();
    DeleteSmilies();
    m_runs.RemoveAll();
    m_laidOut = 0;
    const std::wstring& text = m_text;
    const int length = static_cast<int>(text.size());
    std::vector<ParsingTextItem> runs;
    CChatSmilies* set = m_parent->GetSkin().GetSmilies();
    int smileyCount = set ? set->GetCount() : 0;
    if (smileyCount > 0 && m_allowance > 0) {
        // Earlier smilies of the set win overlaps, and are found first.
        int found = 0;
        for (int smiley = 0; smiley < smileyCount && found < m_allowance; ++smiley) {
            int codes = set->GetCodeCount(smiley);
            for (int code = 0; code < codes && found < m_allowance; ++code) {
                CJOVString value = set->GetCode(smiley, code);
                int codeLength = value.GetLength();
                // An empty code would match everywhere and never end.
                if (codeLength == 0)
                    continue;
                std::wstring needle(value.Data(), codeLength);
                for (size_t at = text.find(needle); at != std::wstring::npos && found < m_allowance;
                     at = text.find(needle, at + codeLength)) {
                    if (Overlaps(runs, static_cast<int>(at), codeLength))
                        continue;
                    runs.push_back({static_cast<int>(at), codeLength, ChatItemSmaily, smiley});
                    ++found;
                }
            }
        }
    }
    for (const wchar_t* prefix : kLinkPrefixes) {
        const int prefixLength = static_cast<int>(std::wcslen(prefix));
        size_t from = 0;
        for (size_t found = text.find(prefix, from); found != std::wstring::npos; found = text.find(prefix, from)) {
            const int at = static_cast<int>(found);
            // A link ends where the next run begins; a prefix inside a run is no link.
            int limit = length;
            for (const ParsingTextItem& run : runs) {
                if (at < run.start + run.length)
                    limit = std::min(limit, run.start - at - prefixLength);
            }
            if (limit < 1) {
                from = found + 1;
                continue;
            }
            int linkLength = prefixLength;
            while (at + linkLength < length && linkLength < prefixLength + limit &&
                   !std::iswspace(text[at + linkLength]) && text[at + linkLength] != L',')
                ++linkLength;
            runs.push_back({at, linkLength, ChatItemLink, 0});
            from = found + linkLength;
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const ParsingTextItem& a, const ParsingTextItem& b) { return a.start < b.start; });
    int position = 0;
    for (ParsingTextItem run : runs) {
        if (run.start > position)
            m_runs.Append({position, run.start - position, ChatItemString, 0});
        if (run.type == ChatItemSmaily)
            run.index = m_smilies.Append({run.index, set->GetWidth(run.index), set->GetHeight(run.index), nullptr});
        m_runs.Append(run);
        position = run.start + run.length;
    }
    if (position < length)
        m_runs.Append({position, length - position, ChatItemString, 0});
}

// The atoms of a line: from a cursor up to (not including) another. A cursor
// names a run and a text offset inside it (a smiley's is its start).
struct CChatMessageItem_Text::LineSpan {
    int firstRun, firstPosition;
    int endRun, endPosition;
};

namespace {

struct Cursor {
    int run;
    int position;
};

} // namespace

void CChatMessageItem_Text::Layout(RECT& rect)
{
    for (int i = 0; i < m_smilies.Count(); ++i) {
        if (m_smilies[i].control)
            m_smilies[i].control->Pause();
    }
    DeleteLines();
    m_laidOut = 0;
    const int length = static_cast<int>(m_text.size());
    if (length == 0) {
        rect.bottom = rect.top;
        m_rect = rect;
        m_laidOut = 1;
        return;
    }
    // Measured once: every width below is a difference of these extents.
    static std::vector<int> extents;
    int height;
    {
        CViewMeasureContext context(m_parent, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
        height = MeasurePrefixes(m_parent->GetTextMeasurer(), context.hDC, m_text.c_str(), length, extents);
    }
    bool besideHead = !m_parent->GetSettings().GetChatFlags().newLine;
    if (!LayoutLines(rect, besideHead, extents, height)) {
        DeleteLines();
        LayoutLines(rect, false, extents, height);
    }
    rect = m_rect;
    m_laidOut = 1;
}

bool CChatMessageItem_Text::LayoutLines(const RECT& rect, bool besideHead, const std::vector<int>& extents,
                                        int height)
{
    const int itemLeft = rect.left;
    const int itemRight = rect.right;
    const int width = itemRight - itemLeft;
    const int headBottom = rect.top;
    int rowTop = 0, rowBottom = 0;
    m_head->GetTailRows(&rowTop, &rowBottom);
    const int row = rowBottom - rowTop;
    m_rect = rect;
    if (besideHead)
        m_rect.top = height < row ? (rowTop + rowBottom - height) / 2 : rowTop;
    m_rect.bottom = m_rect.top;

    const int runCount = m_runs.Count();
    auto atomWidth = [&](const Cursor& at) {
        const ParsingTextItem& run = m_runs[at.run];
        if (run.type == ChatItemSmaily)
            return m_smilies[run.index].width + 2;
        wchar_t c = m_text[at.position];
        return IsLineBreakChar(c) ? 0 : extents[at.position + 1] - extents[at.position];
    };
    auto advance = [&](Cursor at) {
        const ParsingTextItem& run = m_runs[at.run];
        at.position = run.type == ChatItemSmaily ? run.start + run.length : at.position + 1;
        if (at.position >= run.start + run.length && ++at.run < runCount)
            at.position = m_runs[at.run].start;
        return at;
    };

    Cursor cursor = {0, runCount > 0 ? m_runs[0].start : 0};
    int lineTop = m_rect.top;
    int lineLeft = itemLeft + (besideHead ? GetFirstLineIndent() : 0);
    while (cursor.run < runCount) {
        const bool firstBesideHead = besideHead && m_lines.Count() == 0;
        Cursor lineStart = cursor;
        Cursor lastBreak = {-1, -1};  // just after the line's last white space
        Cursor next = cursor;
        int x = lineLeft;
        for (Cursor at = cursor; at.run < runCount;) {
            bool text = m_runs[at.run].type != ChatItemSmaily;
            wchar_t c = text ? m_text[at.position] : L'\0';
            x += atomWidth(at);
            Cursor after = advance(at);
            next = after;
            if (text && c == L'\n')
                break;  // a line feed ends the line, full or not
            if (text && std::iswspace(c))
                lastBreak = after;
            if (text && IsLineBreakChar(c))
                at = after;
            else if (x - itemLeft >= width) {
                if (firstBesideHead && lastBreak.run < 0)
                    return false;  // the first word goes below the head
                if (lastBreak.run >= 0)
                    next = lastBreak;
                else if (at.run != lineStart.run || at.position != lineStart.position)
                    next = at;  // the overflowing atom starts the next line
                // else: the first atom of a line stays on it, however wide
                break;
            } else
                at = after;
        }
        LineSpan span = {lineStart.run, lineStart.position, next.run, next.position};
        CChatMessageTextLine* line = BuildLine(span, lineLeft, lineTop, itemRight, extents, height);
        line->AlignItemsBottom();
        m_lines.Append(line);
        int bottom = line->GetRect().bottom;
        if (firstBesideHead && line->GetRect().top < headBottom) {
            // Line 0 stands centred on the head's last row.
            int lineHeight = line->GetRect().bottom - line->GetRect().top;
            bottom = lineHeight < row ? (lineHeight + rowTop + rowBottom) / 2 : rowTop + lineHeight;
            line->MoveBottomTo(bottom);
            if (next.run < runCount || m_text.back() == L'\n')
                bottom = std::max(headBottom, bottom);
        }
        cursor = next;
        lineTop = bottom;
        lineLeft = itemLeft;
    }
    // A text that ends with a line break ends with an empty line.
    if (m_text.back() == L'\n') {
        CChatMessageTextLine* line = new CChatMessageTextLine({itemLeft, lineTop, itemRight, lineTop + height}, m_parent);
        m_lines.Append(line);
    }
    if (m_lines.Count() == 1 && besideHead) {
        m_rect.top = m_lines[0]->GetRect().top;
        m_rect.bottom = m_lines[0]->GetRect().bottom;
    } else if (m_lines.Count() > 0) {
        m_rect.bottom = m_lines[m_lines.Count() - 1]->GetRect().bottom;
    }
    return true;
}

CChatMessageTextLine* CChatMessageItem_Text::BuildLine(const LineSpan& span, int left, int top, int right,
                                                       const std::vector<int>& extents, int height)
{
    CChatMessageTextLine* line = new CChatMessageTextLine({left, top, right, top + height}, m_parent);
    const wchar_t* text = m_text.c_str();
    int x = left;
    for (int r = span.firstRun; r <= span.endRun && r < m_runs.Count(); ++r) {
        const ParsingTextItem& run = m_runs[r];
        int from = r == span.firstRun ? span.firstPosition : run.start;
        int to = r == span.endRun ? span.endPosition : run.start + run.length;
        if (to <= from)
            continue;
        if (run.type == ChatItemSmaily) {
            const Smiley& smiley = m_smilies[run.index];
            RECT box = {x, top, x + smiley.width + 2, top + smiley.height + 1};
            line->AddItem(new CChatMessageTextLineItem_Smaily(box, m_parent, text, run.start, run.length, this,
                                                              run.index));
            x = box.right;
            continue;
        }
        // Widths come from the whole text's extents, never measured again; line
        // breaks take none, and the piece that ends one reaches a little past its text.
        int nextX = x;
        for (int i = from; i < to; ++i)
            nextX += IsLineBreakChar(text[i]) ? 0 : extents[i + 1] - extents[i];
        int pieceRight = text[to - 1] == L'\n' ? nextX + SX(2) : nextX;
        RECT box = {x, top, pieceRight, top + height};
        if (run.type == ChatItemLink)
            line->AddItem(new CChatMessageTextLineItem_Link(text, from, to - from, box, m_parent, run.start, run.length));
        else
            line->AddItem(new CChatMessageTextLineItem_String(text, from, to - from, box, m_parent));
        x = nextX;
    }
    return line;
}
