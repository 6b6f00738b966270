#include "messaging/ChatTextRuns.h"

#include <algorithm>
#include <cwchar>

#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatView.h"
#include "messaging/FindText.h"
#include "messaging/MessageWndSettings.h"

CChatTextRuns::CChatTextRuns(CChatView* parent)
    : m_parent(parent), m_runs(10), m_secondText(false), m_firstCount(0), m_findPosition(-1)
{
}

CChatTextRuns::~CChatTextRuns() { Clear(); }

void CChatTextRuns::Offset(int dy)
{
    for (int i = 0; i < m_runs.Count(); ++i)
        m_runs[i]->Offset(dy);
}

void CChatTextRuns::Clear()
{
    for (int i = 0; i < m_runs.Count(); ++i)
        delete m_runs[i];
    m_runs.RemoveAll();
    m_secondText = false;
    m_firstCount = 0;
}

HFONT CChatTextRuns::Font(int run) const
{
    return m_parent->GetSettings().GetFont(run < m_firstCount ? MessageWndSettings::HeadFont
                                                              : MessageWndSettings::SubheadFont);
}

bool CChatTextRuns::PlaceRows(const std::wstring& text, std::vector<int> widths, int x, int x0, int right, int rowTop,
                              int height)
{
    // Placed once per text between two Clears: the runs made before keep their table.
    std::vector<int>& kept = m_widths[m_secondText ? 1 : 0];
    kept.swap(widths);
    bool wrapped = false;
    int count = static_cast<int>(text.size());
    int rowStart = 0;
    int rowLeft = x;
    for (int i = 0; i < count; ++i) {
        int width = kept[i + 1] - kept[i];
        // The first character of a row stays on it, however wide.
        if (x + width > right && (i > rowStart || x > x0)) {
            if (i > rowStart)
                m_runs.Append(new CChatMessageTextLineItem_String(text.c_str(), rowStart, i - rowStart,
                                                                  {rowLeft, rowTop, x, rowTop + height}, kept.data(),
                                                                  m_parent));
            rowTop += height;
            x = rowLeft = x0;
            rowStart = i;
            wrapped = true;
        }
        x += width;
    }
    if (count > rowStart)
        m_runs.Append(new CChatMessageTextLineItem_String(text.c_str(), rowStart, count - rowStart,
                                                          {rowLeft, rowTop, x, rowTop + height}, kept.data(),
                                                          m_parent));
    return wrapped;
}

int CChatTextRuns::MarkRange(bool second, int from, int to, CJOVDrawContext* context)
{
    int top = -1;
    int begin = second ? m_firstCount : 0;
    int end = second ? m_runs.Count() : m_firstCount;
    HDC dc = context->hDC;
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    for (int i = begin; i < end; ++i) {
        SelectObject(dc, Font(i));
        if (m_runs[i]->SelectRange(from, to, context) && top < 0)
            top = m_runs[i]->GetRect().top;
    }
    SelectObject(dc, oldFont);
    return top;
}

int CChatTextRuns::Find(const std::wstring& first, const std::wstring& second, const wchar_t* pattern,
                        const FindFlags& flags, CJOVDrawContext* context)
{
    std::wstring searched = first + second;
    int firstLength = static_cast<int>(first.size());
    int at = FindTextFrom(searched.c_str(), static_cast<int>(searched.size()), m_findPosition + 1, pattern, flags);
    if (at < 0) {
        m_findPosition = -1;
        return -1;
    }
    m_findPosition = at;
    int last = at + static_cast<int>(std::wcslen(pattern)) - 1;
    int top = -1;
    if (at < firstLength)
        top = MarkRange(false, at, std::min(last, firstLength - 1), context);
    if (last >= firstLength) {
        int secondTop = MarkRange(true, std::max(at, firstLength) - firstLength, last - firstLength, context);
        if (top < 0)
            top = secondTop;
    }
    return top;
}
