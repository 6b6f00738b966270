#include "messaging/ChatMessageTextLineItem_String.h"

#include <algorithm>

#include "MeasuredText.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/GrowingTextBuffer.h"

namespace {

void Underline(HDC dc, int left, int right, int y, int thickness, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, thickness, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    POINT line[2] = {{left, y}, {right, y}};
    Polyline(dc, line, 2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

CChatMessageTextLineItem_String::CChatMessageTextLineItem_String(const wchar_t* text, int start, int length,
                                                                 const RECT& rect, const int* widths,
                                                                 CChatView* parent)
    : CChatMessageTextLineItem(parent, text, start, length, rect), m_widths(widths), m_selFirst(-1), m_selLast(-1),
      m_selLeft(-1), m_selRight(-1), m_caret(-2)
{
}

int CChatMessageTextLineItem_String::GetType() const { return ChatItemString; }

void CChatMessageTextLineItem_String::Draw(CJOVDrawContext* context, int scroll)
{
    DrawRun(context, scroll, nullptr, false);
}

void CChatMessageTextLineItem_String::DrawChars(HDC dc, int first, int last, int x, int top, UINT options,
                                                const RECT* box) const
{
    if (last >= first)
        DrawTextAtWidths(dc, x, top, options, box, m_text + first, last - first + 1, m_widths + first);
}

void CChatMessageTextLineItem_String::DrawRun(CJOVDrawContext* context, int scroll, const COLORREF* colour,
                                              bool underline)
{
    HDC dc = context->hDC;
    CChatSkin& skin = m_parent->GetSkin();
    RECT rect = m_rect;
    rect.top -= scroll;
    rect.bottom -= scroll;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldText = GetTextColor(dc);
    COLORREF oldBack = GetBkColor(dc);
    COLORREF ink = colour ? *colour : oldText;
    int thickness = SY(1);
    int underlineY = rect.bottom - thickness;
    SetTextColor(dc, ink);

    const int end = m_start + m_length;
    if (!HasSelection()) {
        DrawChars(dc, m_start, end - 1, rect.left, rect.top, 0, nullptr);
        if (underline)
            Underline(dc, rect.left, rect.right, underlineY, thickness, ink);
    } else {
        if (m_selFirst > m_start) {
            DrawChars(dc, m_start, m_selFirst - 1, rect.left, rect.top, 0, nullptr);
            if (underline)
                Underline(dc, rect.left, m_selLeft, underlineY, thickness, ink);
        }
        // The highlight is the selection's box, where its letters stand.
        RECT selected = rect;
        selected.left = m_selLeft;
        selected.right = m_selRight;
        COLORREF highlightText = skin.GetColor(CChatSkin::HighlightText);
        SetBkColor(dc, skin.GetColor(CChatSkin::Highlighting));
        SetTextColor(dc, highlightText);
        DrawChars(dc, m_selFirst, m_selLast, m_selLeft, rect.top, ETO_OPAQUE, &selected);
        if (underline)
            Underline(dc, m_selLeft, m_selRight, underlineY, thickness, highlightText);
        SetTextColor(dc, ink);
        if (m_selLast < end - 1) {
            DrawChars(dc, m_selLast + 1, end - 1, m_selRight, rect.top, 0, nullptr);
            if (underline)
                Underline(dc, m_selRight, rect.right, underlineY, thickness, ink);
        }
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void CChatMessageTextLineItem_String::Measure(std::vector<int>& widths) const
{
    widths.resize(static_cast<size_t>(m_length) + 1);
    for (int i = 0; i <= m_length; ++i)
        widths[i] = m_widths[m_start + i] - m_widths[m_start];
    // A closing line break has the room its piece reaches past the text, to be selected by.
    const int box = m_rect.right - m_rect.left;
    if (box > widths[m_length]) {
        const wchar_t* run = m_text + m_start;
        if (m_length >= 2 && run[m_length - 2] == L'\r' && run[m_length - 1] == L'\n')
            widths[m_length - 1] = box;
        widths[m_length] = box;
    }
}

int CChatMessageTextLineItem_String::CaretLength() const
{
    const wchar_t* run = m_text + m_start;
    if (m_length >= 2 && run[m_length - 1] == L'\n' && run[m_length - 2] == L'\r')
        return m_length - 2;
    return m_length;
}

void CChatMessageTextLineItem_String::SetSelection(int first, int last, int left, int right)
{
    m_selFirst = first;
    m_selLast = last;
    m_selLeft = left;
    m_selRight = right;
}

void CChatMessageTextLineItem_String::SelectWhole()
{
    SetSelection(m_start, m_start + m_length - 1, m_rect.left, m_rect.right);
}

void CChatMessageTextLineItem_String::ClearSelection() { SetSelection(-1, -1, -1, -1); }

void CChatMessageTextLineItem_String::Select(POINT first, POINT second, CJOVDrawContext*)
{
    ClearSelection();
    POINT s = first.y <= second.y ? first : second;
    POINT e = first.y <= second.y ? second : first;
    const LONG left = m_rect.left, top = m_rect.top, right = m_rect.right, bottom = m_rect.bottom;
    if (m_length <= 0 || e.y < top || s.y >= bottom || (s.x == e.x && s.y == e.y))
        return;
    std::vector<int> w;
    if (s.y < top) {
        if (e.y >= bottom) {
            SelectWhole();
            return;
        }
        if (e.x <= left)
            return;
        if (e.x >= right) {
            SelectWhole();
            return;
        }
        if (m_length == 1)
            return;
        Measure(w);
        int j = 0;
        while (j < m_length && Middle(w, j) < e.x)
            ++j;
        if (j >= 1)
            SelectChars(0, j - 1, w);
        return;
    }
    if (e.y >= bottom) {
        if (s.x >= right)
            return;
        if (s.x <= left) {
            SelectWhole();
            return;
        }
        Measure(w);
        int i = 0;
        while (i < m_length && Middle(w, i) <= s.x)
            ++i;
        if (i < m_length)
            SelectChars(i, m_length - 1, w);
        return;
    }
    // Both ends on the item's row.
    POINT p = s.x <= e.x ? s : e;
    POINT q = s.x <= e.x ? e : s;
    if (q.x <= left || p.x >= right)
        return;
    if (p.x <= left && q.x >= right) {
        SelectWhole();
        return;
    }
    Measure(w);
    int i = 0;
    if (p.x > left) {
        while (i < m_length && Middle(w, i) <= p.x)
            ++i;
    }
    if (i >= m_length)
        return;
    int j = m_length;
    if (q.x < right) {
        j = i;
        while (j < m_length && Middle(w, j) < q.x)
            ++j;
    }
    if (j - 1 >= i)
        SelectChars(i, j - 1, w);
}

void CChatMessageTextLineItem_String::SelectChars(int first, int last, const std::vector<int>& widths)
{
    // A line break's two characters go together.
    const wchar_t* run = m_text + m_start;
    if (first > 0 && run[first] == L'\n' && run[first - 1] == L'\r')
        --first;
    if (last + 1 < m_length && run[last] == L'\r' && run[last + 1] == L'\n')
        ++last;
    SetSelection(m_start + first, m_start + last, m_rect.left + widths[first], m_rect.left + widths[last + 1]);
}

int CChatMessageTextLineItem_String::SelectRange(int first, int last, CJOVDrawContext*)
{
    ClearSelection();
    int end = m_start + m_length;
    if (first >= end || last < m_start || last < first)
        return 0;
    int from = std::max(first, m_start);
    int to = std::min(last, end - 1);
    std::vector<int> w;
    Measure(w);
    int left = from == m_start ? m_rect.left : m_rect.left + w[from - m_start];
    SetSelection(from, to, left, m_rect.left + w[to - m_start + 1]);
    return 1;
}

void CChatMessageTextLineItem_String::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    if (m_selFirst >= 0 && m_selLast >= m_selFirst)
        buffer.Append(m_text + m_selFirst, m_selLast - m_selFirst + 1);
}

POINT CChatMessageTextLineItem_String::SetCaretFromPoint(POINT point, CJOVDrawContext*)
{
    int x = point.y > m_rect.bottom ? m_rect.right : point.x;
    std::vector<int> w;
    Measure(w);
    for (int k = CaretLength() - 1; k >= 0; --k) {
        if (x > Middle(w, k)) {
            m_caret = k;
            return {m_rect.left + w[k + 1], m_rect.top};
        }
    }
    m_caret = -1;
    return {m_rect.left, m_rect.top};
}

void CChatMessageTextLineItem_String::ResetCaret() { m_caret = -2; }

POINT CChatMessageTextLineItem_String::MoveCaret(int step, CJOVDrawContext*)
{
    if (m_caret == -2)
        return NoCaret();
    if (step == CaretNextChar) {
        if (m_caret + 1 >= CaretLength()) {
            m_caret = -2;
            return {m_rect.right, -1};
        }
        ++m_caret;
    } else if (step == CaretPrevChar) {
        if (m_caret == -1) {
            m_caret = -2;
            return {-1, m_rect.top};
        }
        --m_caret;
    }
    if (m_caret == -1)
        return {m_rect.left, m_rect.top};
    std::vector<int> w;
    Measure(w);
    return {m_rect.left + w[m_caret + 1], m_rect.top};
}
