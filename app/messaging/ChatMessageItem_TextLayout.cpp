// The message text's parser (runs of text, smilies and links) and its
// word-wrap layout.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <iterator>

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

using Run = CChatMessageItem_Text::ParsingTextItem;
using Runs = std::vector<Run>;

// "https://" starts a link as "http://" does, so that a secure address opens as one.
const wchar_t* const kLinkPrefixes[] = {L"http://", L"https://", L"www."};

int EndOf(const Run& run) { return run.start + run.length; }

// A smiley code's runs, in text order, go in among those of the codes before it.
void MergeInto(Runs& runs, Runs& found)
{
    if (found.empty())
        return;
    Runs merged;
    merged.reserve(runs.size() + found.size());
    std::merge(runs.begin(), runs.end(), found.begin(), found.end(), std::back_inserter(merged),
               [](const Run& a, const Run& b) { return a.start < b.start; });
    runs.swap(merged);
    found.clear();
}

// The runs found so far: each search's (the smilies', then each link
// prefix's) in text order, after those of the searches before it. No run
// overlaps another, so within a search's part the ends rise with the starts.
struct Part {
    size_t begin;
    size_t end;
};

// Where a search that goes through the text from its start stands among the
// runs of the searches before it: in each part, the first run that ends
// after the search's position. The position only moves on, and so do they.
class CRunsAhead {
public:
    CRunsAhead(const Runs& runs, const std::vector<Part>& parts) : m_runs(runs), m_parts(parts)
    {
        for (const Part& part : parts)
            m_next.push_back(part.begin);
    }

    // The start of the first run that ends after at, or -1 when none does.
    int NextStart(int at)
    {
        int start = -1;
        for (size_t i = 0; i < m_parts.size(); ++i) {
            size_t& next = m_next[i];
            while (next < m_parts[i].end && EndOf(m_runs[next]) <= at)
                ++next;
            if (next < m_parts[i].end && (start < 0 || m_runs[next].start < start))
                start = m_runs[next].start;
        }
        return start;
    }

private:
    const Runs& m_runs;
    const std::vector<Part>& m_parts;
    std::vector<size_t> m_next;
};

// How many times the prefix is in the text, overlaps counted: no search for it finds more links.
size_t Occurrences(const std::wstring& text, const wchar_t* prefix)
{
    size_t count = 0;
    for (size_t at = text.find(prefix); at != std::wstring::npos; at = text.find(prefix, at + 1))
        ++count;
    return count;
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
    CChatSmilies* set = m_parent->GetSkin().GetSmilies();
    int smileyCount = set ? set->GetCount() : 0;
    // The smilies in text order: the allowance keeps them few.
    Runs smilies, found;
    if (smileyCount > 0 && m_allowance > 0) {
        // Earlier smilies of the set win overlaps, and are found first.
        for (int smiley = 0; smiley < smileyCount && static_cast<int>(smilies.size()) < m_allowance; ++smiley) {
            int codes = set->GetCodeCount(smiley);
            for (int code = 0; code < codes && static_cast<int>(smilies.size()) < m_allowance; ++code) {
                CJOVString value = set->GetCode(smiley, code);
                int codeLength = value.GetLength();
                // An empty code would match everywhere and never end.
                if (codeLength == 0)
                    continue;
                std::wstring needle(value.Data(), codeLength);
                Runs::const_iterator next = smilies.begin();
                for (size_t at = text.find(needle);
                     at != std::wstring::npos && static_cast<int>(smilies.size() + found.size()) < m_allowance;
                     at = text.find(needle, at + codeLength)) {
                    const int start = static_cast<int>(at);
                    while (next != smilies.end() && EndOf(*next) <= start)
                        ++next;
                    if (next != smilies.end() && next->start < start + codeLength)
                        continue;  // overlaps an earlier smiley's
                    found.push_back({start, codeLength, ChatItemSmaily, smiley});
                }
                MergeInto(smilies, found);
            }
        }
    }
    const int smileyRuns = static_cast<int>(smilies.size());
    size_t bound = smilies.size();
    for (const wchar_t* prefix : kLinkPrefixes)
        bound += Occurrences(text, prefix);
    Runs runs;
    runs.reserve(bound);
    runs.insert(runs.end(), smilies.begin(), smilies.end());
    std::vector<Part> parts = {{0, runs.size()}};
    for (const wchar_t* prefix : kLinkPrefixes) {
        const int prefixLength = static_cast<int>(std::wcslen(prefix));
        const size_t begin = runs.size();
        CRunsAhead ahead(runs, parts);
        size_t from = 0;
        for (size_t at = text.find(prefix, from); at != std::wstring::npos; at = text.find(prefix, from)) {
            const int start = static_cast<int>(at);
            // A link ends where the next run begins; a prefix inside a run is
            // no link. This search's own links all end before the prefix.
            const int next = ahead.NextStart(start);
            const int limit = next < 0 ? length : next - start - prefixLength;
            if (limit < 1) {
                from = at + 1;
                continue;
            }
            int linkLength = prefixLength;
            while (start + linkLength < length && linkLength < prefixLength + limit &&
                   !std::iswspace(text[start + linkLength]) && text[start + linkLength] != L',')
                ++linkLength;
            runs.push_back({start, linkLength, ChatItemLink, 0});
            from = at + linkLength;
        }
        parts.push_back({begin, runs.size()});
    }
    // The parts woven into text order, with the text between the runs: once
    // to count them, once to keep them.
    auto weave = [&](auto keep) {
        std::vector<size_t> next;
        for (const Part& part : parts)
            next.push_back(part.begin);
        int position = 0;
        for (;;) {
            size_t first = parts.size();
            for (size_t i = 0; i < parts.size(); ++i) {
                if (next[i] < parts[i].end && (first == parts.size() || runs[next[i]].start < runs[next[first]].start))
                    first = i;
            }
            if (first == parts.size())
                break;
            const Run& run = runs[next[first]++];
            if (run.start > position)
                keep({position, run.start - position, ChatItemString, 0});
            keep(run);
            position = EndOf(run);
        }
        if (position < length)
            keep({position, length - position, ChatItemString, 0});
    };
    int count = 0;
    weave([&](const Run&) { ++count; });
    m_runs.Reserve(count);
    m_smilies.Reserve(smileyRuns);
    weave([&](const Run& kept) {
        Run run = kept;
        if (run.type == ChatItemSmaily)
            run.index = m_smilies.Append({run.index, set->GetWidth(run.index), set->GetHeight(run.index), nullptr});
        m_runs.Append(run);
    });
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
    int height;
    {
        CViewMeasureContext context(m_parent, m_parent->GetSettings().GetFont(MessageWndSettings::TextFont));
        height = MeasurePrefixes(m_parent->GetTextMeasurer(), context.hDC, m_text.c_str(), length, m_extents);
    }
    // Line breaks take no room: the same table places the letters when drawn.
    int measured = 0;
    for (int i = 0; i < length; ++i) {
        const int next = m_extents[i + 1];
        m_extents[i + 1] = m_extents[i] + (IsLineBreakChar(m_text[i]) ? 0 : next - measured);
        measured = next;
    }
    // The lines to come, about: the text's width in lines, but no more than
    // its atoms (a view of no width puts each on a line of its own), and
    // where a piece ends for each run and line (the pieces are made later).
    int atoms = length;
    for (int i = 0; i < m_runs.Count(); ++i) {
        if (m_runs[i].type == ChatItemSmaily)
            atoms -= m_runs[i].length - 1;
    }
    const int width = std::max(1, static_cast<int>(rect.right - rect.left));
    const size_t lineCount = std::min(static_cast<size_t>(m_extents[length] / width), static_cast<size_t>(atoms)) + 1;
    m_arena.Reserve(lineCount * (CChatItemArena::Footprint(sizeof(CChatMessageTextLine)) + CChatItemArena::kAlign) +
                    (static_cast<size_t>(m_runs.Count()) + lineCount) * sizeof(int));
    bool besideHead = !m_parent->GetSettings().GetChatFlags().newLine;
    if (!LayoutLines(rect, besideHead, m_extents, height)) {
        DeleteLines();
        LayoutLines(rect, false, m_extents, height);
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
        return extents[at.position + 1] - extents[at.position];
    };
    auto advance = [&](Cursor at) {
        const ParsingTextItem& run = m_runs[at.run];
        at.position = run.type == ChatItemSmaily ? run.start + run.length : at.position + 1;
        if (at.position >= run.start + run.length && ++at.run < runCount)
            at.position = m_runs[at.run].start;
        return at;
    };

    // Gathered here, and kept in one step: how many lines there are is known
    // only at the end. Made in the arena, ended by DeleteLines.
    std::vector<CChatMessageTextLine*> lines;
    Cursor cursor = {0, runCount > 0 ? m_runs[0].start : 0};
    int lineTop = m_rect.top;
    int lineLeft = itemLeft + (besideHead ? GetFirstLineIndent() : 0);
    while (cursor.run < runCount) {
        const bool firstBesideHead = besideHead && lines.empty();
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
        // Planned standing on its bottom.
        CChatMessageTextLine* line = BuildLine(span, lineLeft, lineTop, itemRight, extents, height);
        lines.push_back(line);
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
        const RECT empty = {itemLeft, lineTop, itemRight, lineTop + height};
        lines.push_back(m_arena.Make<CChatMessageTextLine>(empty, m_parent));
    }
    m_lines.Reserve(static_cast<int>(lines.size()));
    for (CChatMessageTextLine* line : lines) {
        if (m_lines.Append(line) < 0)
            line->~CChatMessageTextLine();
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
    // A piece a run at most: the last run may give none.
    const int lastRun = std::min(span.endRun, m_runs.Count() - 1);
    int* ends = static_cast<int*>(m_arena.Allocate(sizeof(int) * (lastRun - span.firstRun + 1)));
    CChatMessageTextLine::Plan plan = {span.firstRun, span.firstPosition, span.endRun, span.endPosition,
                                       height,        ends,               0,           0};
    int x = left;
    int bottom = top + height;
    for (int r = span.firstRun; r <= lastRun; ++r) {
        const ParsingTextItem& run = m_runs[r];
        int from = r == span.firstRun ? span.firstPosition : run.start;
        int to = r == span.endRun ? span.endPosition : run.start + run.length;
        if (to <= from)
            continue;
        if (run.type == ChatItemSmaily) {
            const Smiley& smiley = m_smilies[run.index];
            x += smiley.width + 2;
            bottom = std::max(bottom, top + smiley.height + 1);
            ++plan.smilies;
        } else {
            // Widths come from the whole text's extents, never measured again.
            x += extents[to] - extents[from];
        }
        ends[plan.pieces++] = x;
    }
    // Every piece stands on the line's bottom, the lowest of theirs.
    return m_arena.Make<CChatMessageTextLine>(RECT{left, top, right, bottom}, m_parent, this, plan);
}

void CChatMessageItem_Text::MakeItems(CChatMessageTextLine& line)
{
    const CChatMessageTextLine::Plan& plan = line.GetPlan();
    const RECT& rect = line.GetRect();
    const wchar_t* text = m_text.c_str();
    const int lastRun = std::min(plan.endRun, m_runs.Count() - 1);
    line.ReserveItems(plan.pieces);
    int x = rect.left;
    int piece = 0;
    for (int r = plan.firstRun; r <= lastRun && piece < plan.pieces; ++r) {
        const ParsingTextItem& run = m_runs[r];
        int from = r == plan.firstRun ? plan.firstPosition : run.start;
        int to = r == plan.endRun ? plan.endPosition : run.start + run.length;
        if (to <= from)
            continue;
        const int next = plan.ends[piece++];
        if (run.type == ChatItemSmaily) {
            const Smiley& smiley = m_smilies[run.index];
            RECT box = {x, rect.bottom - smiley.height - 1, next, rect.bottom};
            line.AddItem(m_arena.Make<CChatMessageTextLineItem_Smaily>(box, m_parent, text, run.start, run.length,
                                                                       this, run.index));
        } else {
            // The piece that ends a line break reaches a little past its text.
            int pieceRight = text[to - 1] == L'\n' ? next + SX(2) : next;
            RECT box = {x, rect.bottom - plan.textHeight, pieceRight, rect.bottom};
            const int* widths = m_extents.data();
            if (run.type == ChatItemLink)
                line.AddItem(m_arena.Make<CChatMessageTextLineItem_Link>(text, from, to - from, box, widths, m_parent,
                                                                         run.start, run.length));
            else
                line.AddItem(
                    m_arena.Make<CChatMessageTextLineItem_String>(text, from, to - from, box, widths, m_parent));
        }
        x = next;
    }
}
