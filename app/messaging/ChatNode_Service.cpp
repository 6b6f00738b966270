#include "messaging/ChatNode_Service.h"

#include <algorithm>
#include <utility>

#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/FindText.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/TextMeasurer.h"

namespace {

std::wstring Copy(const CJOVString& text) { return std::wstring(text.Data() ? text.Data() : L"", text.GetLength()); }

} // namespace

CChatNode_Service::CChatNode_Service(int subKind, const CJOVString& nick, const CJOVString& time, CChatView* parent)
    : CChatNode(parent), m_image(subKind), m_first(Copy(nick)), m_second(Copy(time)), m_items(parent),
      m_imageSelected(0)
{
}

CChatNode_Service::~CChatNode_Service() = default;

int CChatNode_Service::GetType() const { return ChatItemService; }

void CChatNode_Service::Layout(RECT& rect)
{
    m_items.Clear();
    m_imageSelected = 0;
    const MessageWndSettings& settings = m_parent->GetSettings();
    const int row = SY(16);
    m_rect = rect;
    m_rect.bottom = rect.top + row;
    const int x0 = rect.left + SX(16) + SX(5);
    CTextMeasurer& measurer = m_parent->GetTextMeasurer();
    std::vector<int> widths;
    int h1 = 0;
    bool wrapped = false;
    int x = x0;
    if (!m_first.empty()) {
        {
            CViewMeasureContext context(m_parent, settings.GetFont(MessageWndSettings::HeadFont));
            h1 = MeasurePrefixes(measurer, context.hDC, m_first.c_str(), static_cast<int>(m_first.size()), widths);
        }
        int top = h1 < row ? rect.top + (row - h1) / 2 : rect.top;
        wrapped = m_items.PlaceRows(m_first, std::move(widths), x0, x0, rect.right, top, h1) || wrapped;
    }
    m_items.EndFirstText();
    const int firstItems = m_items.FirstCount();
    if (!m_second.empty()) {
        int h2;
        {
            CViewMeasureContext context(m_parent, settings.GetFont(MessageWndSettings::SubheadFont));
            h2 = MeasurePrefixes(measurer, context.hDC, m_second.c_str(), static_cast<int>(m_second.size()), widths);
        }
        int top = h2 < row ? rect.top + (row - h2) / 2 : rect.top;
        if (firstItems > 0) {
            const RECT& last = m_items[firstItems - 1]->GetRect();
            x = last.right;
            if (h2 <= h1)
                top = last.bottom - h2;
            else if (firstItems > 1)
                top = last.top;
        }
        wrapped = m_items.PlaceRows(m_second, std::move(widths), x, x0, rect.right, top, h2) || wrapped;
    }
    if (m_items.Count() > 0) {
        const RECT& last = m_items[m_items.Count() - 1]->GetRect();
        m_rect.bottom = std::max<LONG>(rect.top + row, last.bottom);
        if (!wrapped)
            m_rect.right = last.right;
    }
    rect = m_rect;
}

void CChatNode_Service::Offset(int dy)
{
    CChatItem::Offset(dy);
    m_items.Offset(dy);
}

void CChatNode_Service::Draw(CJOVDrawContext* context, int scroll)
{
    HDC dc = context->hDC;
    CChatSkin& skin = m_parent->GetSkin();
    skin.DrawImage(m_image, context, m_rect.left, m_rect.top - scroll, m_rect.left + SX(16),
                   m_rect.top + SY(16) - scroll, true, m_imageSelected ? 128 : 255);
    COLORREF oldText = SetTextColor(dc, skin.GetColor(CChatSkin::CustomStatusText));
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    for (int i = 0; i < m_items.Count(); ++i) {
        SelectObject(dc, m_items.Font(i));
        m_items[i]->Draw(context, scroll);
    }
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
}

void CChatNode_Service::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    m_imageSelected = 0;
    POINT t = first.y <= second.y ? first : second;
    POINT b = first.y <= second.y ? second : first;
    if (t.y > m_rect.bottom || b.y <= m_rect.top) {
        for (int i = 0; i < m_items.Count(); ++i)
            m_items[i]->ClearSelection();
        return;
    }
    const int rowBottom = m_rect.top + SY(16);
    const int middle = m_rect.left + SX(16) / 2;
    const int x0 = m_rect.left + SX(16) + SX(5);
    if (t.y <= rowBottom) {
        bool tInRow = t.y > m_rect.top;
        bool bInRow = b.y < rowBottom;
        if (tInRow && bInRow)
            m_imageSelected = std::min(t.x, b.x) <= middle && std::max(t.x, b.x) >= x0;
        else if (tInRow)
            m_imageSelected = t.x <= middle;
        else if (bInRow)
            m_imageSelected = b.x >= middle;
        else
            m_imageSelected = 1;
    }
    HDC dc = context->hDC;
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    for (int i = 0; i < m_items.Count(); ++i) {
        SelectObject(dc, m_items.Font(i));
        m_items[i]->Select(t, b, context);
    }
    SelectObject(dc, oldFont);
}

void CChatNode_Service::ClearSelection()
{
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->ClearSelection();
    m_imageSelected = 0;
}

void CChatNode_Service::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    CGrowingTextBuffer local;
    if (m_imageSelected)
        local.Append(buffer.IsEmpty() ? L" " : L"\r\n\r\n ");
    for (int i = 0; i < m_items.Count(); ++i)
        m_items[i]->AppendSelectedText(local);
    if (!local.IsEmpty())
        buffer.Append(local.GetText(), local.GetLength());
}

void CChatNode_Service::AppendAllText(CGrowingTextBuffer& buffer)
{
    buffer.Append(L" ");
    buffer.Append(m_first.c_str(), static_cast<int>(m_first.size()));
    buffer.Append(m_second.c_str(), static_cast<int>(m_second.size()));
    buffer.Append(L"\r\n");
}

int CChatNode_Service::Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context)
{
    return m_items.Find(m_first, m_second, pattern, flags, context);
}

void CChatNode_Service::ResetFind() { m_items.ResetFind(); }

POINT CChatNode_Service::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    int count = m_items.Count();
    if (count == 0)
        return NoCaret();
    int piece = count - 1;
    while (piece >= 0 && m_items[piece]->GetRect().top > point.y)
        --piece;
    if (piece < 0) {
        const RECT& first = m_items[0]->GetRect();
        CFontSelection font(context->hDC, m_items.Font(0));
        POINT caret = m_items[0]->SetCaretFromPoint({first.left, first.top}, context);
        m_items[0]->ResetCaret();  // the line holds no caret of its own
        return caret;
    }
    if (piece == m_items.FirstCount() && piece > 0 && point.x < m_items[piece]->GetRect().left &&
        m_items[piece - 1]->GetRect().bottom > m_items[piece]->GetRect().top)
        --piece;
    CChatMessageTextLineItem_String* item = m_items[piece];
    CFontSelection font(context->hDC, m_items.Font(piece));
    POINT caret = item->SetCaretFromPoint({std::max<LONG>(point.x, item->GetRect().left), point.y}, context);
    item->ResetCaret();
    return caret;
}
