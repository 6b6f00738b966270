#include "messaging/ChatMessageTextLineItem_String.h"

#include <algorithm>

#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/TextMeasurer.h"

namespace {

void DrawPart(HDC dc, const wchar_t* text, int count, RECT rect)
{
    if (count > 0)
        DrawTextW(dc, text, count, &rect, DT_NOPREFIX | DT_NOCLIP);
}

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
                                                                 const RECT& rect, CChatView* parent)
    : CChatMessageTextLineItem(parent, text, start, length, rect), m_selFirst(-1), m_selLast(-1), m_selLeft(-1),
      m_selRight(-1), m_caret(-2)
{
}

int CChatMessageTextLineItem_String::GetType() const { return ChatItemString; }

void CChatMessageTextLineItem_String::Draw(CJOVDrawContext* context, int scroll)
{
    DrawRun(context, scroll, nullptr, false);
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

    const wchar_t* run = m_text + m_start;
    if (!HasSelection()) {
        DrawPart(dc, run, m_length, rect);
        if (underline)
            Underline(dc, rect.left, rect.right, underlineY, thickness, ink);
    } else {
        if (m_selFirst > m_start) {
            DrawPart(dc, run, m_selFirst - m_start, rect);
            if (underline)
                Underline(dc, rect.left, m_selLeft, underlineY, thickness, ink);
        }
        RECT selected = rect;
        selected.left = m_selLeft;
        selected.right = m_selRight;
        COLORREF highlightText = skin.GetColor(CChatSkin::HighlightText);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, skin.GetColor(CChatSkin::Highlighting));
        SetTextColor(dc, highlightText);
        DrawPart(dc, m_text + m_selFirst, m_selLast - m_selFirst + 1, selected);
        if (underline)
            Underline(dc, m_selLeft, m_selRight, underlineY, thickness, highlightText);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        int end = m_start + m_length;
        if (m_selLast < end - 1) {
            RECT rest = rect;
            rest.left = m_selRight;
            DrawPart(dc, m_text + m_selLast + 1, end - m_selLast - 1, rest);
            if (underline)
                Underline(dc, m_selRight, rect.right, underlineY, thickness, ink);
        }
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void CChatMessageTextLineItem_String::Measure(CJOVDrawContext* context, std::vector<int>& widths) const
{
    MeasurePrefixes(m_parent->GetTextMeasurer(), context->hDC, m_text + m_start, m_length, widths);
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

void CChatMessageTextLineItem_String::Select(POINT first, POINT second, CJOVDrawContext* context)
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
        Measure(context, w);
        int j = 0;
        while (j < m_length && Middle(w, j) < e.x)
            ++j;
        if (j >= 1)
            SetSelection(m_start, m_start + j - 1, left, left + w[j]);
        return;
    }
    if (e.y >= bottom) {
        if (s.x >= right)
            return;
        if (s.x <= left) {
            SelectWhole();
            return;
        }
        Measure(context, w);
        int i = 0;
        while (i < m_length && Middle(w, i) <= s.x)
            ++i;
        if (i < m_length)
            SetSelection(m_start + i, m_start + m_length - 1, left + w[i], right);
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
    Measure(context, w);
    int i = 0;
    if (p.x > left) {
        while (i < m_length && Middle(w, i) <= p.x)
            ++i;
    }
    if (i >= m_length)
        return;
    int firstSel = m_start + i, leftSel = left + w[i];
    int lastSel = -1, rightSel = -1;
    if (q.x >= right) {
        lastSel = m_start + m_length - 1;
        rightSel = right;
    } else {
        int j = i;
        while (j < m_length && Middle(w, j) < q.x)
            ++j;
        if (j >= 1) {
            lastSel = m_start + j - 1;
            rightSel = left + w[j];
        }
    }
    if (lastSel >= firstSel)
        SetSelection(firstSel, lastSel, leftSel, rightSel);
}

int CChatMessageTextLineItem_String::SelectRange(int first, int last, CJOVDrawContext* context)
{
    ClearSelection();
    int end = m_start + m_length;
    if (first >= end || last < m_start || last < first)
        return 0;
    int from = std::max(first, m_start);
    int to = std::min(last, end - 1);
    std::vector<int> w;
    Measure(context, w);
    int left = from == m_start ? m_rect.left : m_rect.left + w[from - m_start];
    SetSelection(from, to, left, m_rect.left + w[to - m_start + 1]);
    return 1;
}

void CChatMessageTextLineItem_String::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    if (m_selFirst >= 0 && m_selLast >= m_selFirst)
        buffer.Append(m_text + m_selFirst, m_selLast - m_selFirst + 1);
}

POINT CChatMessageTextLineItem_String::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    int x = point.y > m_rect.bottom ? m_rect.right : point.x;
    std::vector<int> w;
    Measure(context, w);
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

POINT CChatMessageTextLineItem_String::MoveCaret(int step, CJOVDrawContext* context)
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
    Measure(context, w);
    return {m_rect.left + w[m_caret + 1], m_rect.top};
}
