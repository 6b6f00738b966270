#include "contactlist/TabStrip.h"

#include <algorithm>
#include <cstdlib>

namespace {

int Scale(int units, int dpi)
{
    return (units * dpi + 48) / 96;
}

// A GDI object selected for the life of the scope.
class CSelected {
public:
    CSelected(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~CSelected() { SelectObject(m_dc, m_old); }
    CSelected(const CSelected&) = delete;
    CSelected& operator=(const CSelected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

void VerticalLine(HDC dc, int x, int top, int bottom)
{
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
}

} // namespace

CTabStrip::Metrics CTabStrip::MetricsFor(int dpiX, int dpiY)
{
    Metrics m;
    m.imageWidth = Scale(16, dpiX);
    m.imageHeight = Scale(16, dpiY);
    m.imageGap = Scale(4, dpiX);
    m.inset = Scale(4, dpiX);
    m.arrowWidth = Scale(15, dpiX);
    m.arrowHeight = Scale(15, dpiY);
    m.arrowGap = Scale(2, dpiX);
    m.dragDistance = Scale(16, dpiX);
    m.lineY = Scale(1, dpiY);
    m.lineX = Scale(1, dpiX);
    return m;
}

CTabStrip::CTabStrip()
    : m_metrics(MetricsFor(96, 96)), m_rect(), m_widths(10), m_firstVisible(0), m_nextShown(false),
      m_previousShown(false)
{
}

RECT CTabStrip::Layout(const RECT& client, int textHeight, int toolbarHeight)
{
    const int stripHeight = textHeight * 3 / 2;
    m_rect = client;
    m_rect.bottom = client.bottom - toolbarHeight;
    m_rect.top = m_rect.bottom - stripHeight;
    RECT page = client;
    page.bottom = m_rect.top - m_metrics.lineY;
    return page;
}

RECT CTabStrip::RepaintRect() const
{
    RECT rect = m_rect;
    rect.top -= m_metrics.lineY;
    return rect;
}

int CTabStrip::TabWidth(int textWidth, bool withImage) const
{
    return textWidth + 2 * m_metrics.inset + (withImage ? m_metrics.imageWidth + m_metrics.imageGap : 0);
}

HFONT CTabStrip::DialogFont(HWND dialog)
{
    HFONT font = dialog ? reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)) : nullptr;
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

RECT CTabStrip::LayoutIn(HWND dialog, int toolbarHeight)
{
    RECT client;
    GetClientRect(dialog, &client);
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(dialog);
    {
        CSelected font(dc, DialogFont(dialog));
        GetTextMetricsW(dc, &metrics);
    }
    ReleaseDC(dialog, dc);
    return Layout(client, metrics.tmHeight, toolbarHeight);
}

int CTabStrip::MeasureTitle(HWND dialog, CJOVString title, bool withImage) const
{
    SIZE size = {};
    HDC dc = GetDC(dialog);
    {
        CSelected font(dc, DialogFont(dialog));
        GetTextExtentPoint32W(dc, title, title.GetLength(), &size);
    }
    ReleaseDC(dialog, dc);
    return TabWidth(size.cx, withImage);
}

HWND CTabStrip::CreateFocusButton(HWND dialog, HINSTANCE instance, void* owner, WNDPROC proc, WNDPROC* previous)
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"Focus button",
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_NOTIFY | WS_CLIPSIBLINGS, 0, 0,
                                  50, 20, dialog, nullptr, instance, nullptr);
    if (button) {
        SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        *previous =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    }
    return button;
}

bool CTabStrip::OnFocusNotify(WPARAM wParam, int current, bool* focused)
{
    if (HIWORD(wParam) == BN_SETFOCUS) {
        *focused = true;
        KeepVisible(current);
        return true;
    }
    if (HIWORD(wParam) == BN_KILLFOCUS) {
        *focused = false;
        return true;
    }
    return false;
}

void CTabStrip::UpdateArrows(const PaintStyle& style)
{
    m_previousShown = m_firstVisible > 0;
    m_nextShown = false;
    int x = m_rect.left;
    for (int i = std::max(m_firstVisible, 0); i < m_widths.Count(); ++i) {
        x += m_widths[i];
        if (style.nextWhenReached ? x >= m_rect.right : x > m_rect.right) {
            m_nextShown = true;
            break;
        }
    }
}

int CTabStrip::HitTest(POINT point) const
{
    if (!PtInRect(&m_rect, point))
        return kNothing;
    const int right = m_rect.right;
    const Metrics& m = m_metrics;
    if (m_nextShown && point.x >= right - m.arrowWidth - 1 && point.x <= right - 1)
        return kNextArrow;
    if (m_previousShown && point.x >= right - 1 - 2 * m.arrowWidth - m.arrowGap &&
        point.x <= right - 1 - m.arrowWidth - m.arrowGap)
        return kPreviousArrow;
    int x = m_rect.left;
    for (int i = std::max(m_firstVisible, 0); i < m_widths.Count(); ++i) {
        x += m_widths[i];
        if (x > right || x > point.x)
            return i;
    }
    return kNothing;
}

void CTabStrip::KeepVisible(int current)
{
    if (current < 0 || current >= m_widths.Count())
        return;
    if (current <= m_firstVisible) {
        m_firstVisible = current;
        return;
    }
    int sum = 0;
    for (int i = m_firstVisible; i <= current; ++i)
        sum += m_widths[i];
    const int width = m_rect.right - m_rect.left;
    while (sum > width && m_firstVisible < current) {
        sum -= m_widths[m_firstVisible];
        ++m_firstVisible;
    }
}

void CTabStrip::Drag(int pressedTab, int x)
{
    if (pressedTab < 0 || pressedTab >= m_widths.Count())
        return;
    m_firstVisible = pressedTab;
    int sum = m_rect.left;
    while (m_firstVisible > 0) {
        sum += m_widths[m_firstVisible - 1];
        if (sum >= x)
            break;
        --m_firstVisible;
    }
}

void CTabStrip::ScrollBy(int tabs)
{
    m_firstVisible = std::clamp(m_firstVisible + tabs, 0, std::max(m_widths.Count() - 1, 0));
}

int CTabStrip::Release(POINT point, int pressX, int pressedTab, bool* moved)
{
    *moved = false;
    if (std::abs(point.x - pressX) >= m_metrics.dragDistance) {
        if (pressedTab >= 0) {
            Drag(pressedTab, point.x);
            *moved = true;
        }
        return kNothing;
    }
    int hit = HitTest(point);
    if (hit == kNextArrow || hit == kPreviousArrow) {
        ScrollBy(hit == kNextArrow ? 1 : -1);
        *moved = true;
        return kNothing;
    }
    return hit;
}

int CTabStrip::KeyTarget(UINT key, int current, int count, bool tabMovesOn)
{
    switch (key) {
    case VK_RIGHT:
        return current < count - 1 ? current + 1 : kNextControl;
    case VK_LEFT:
        return current > 0 ? current - 1 : kPreviousControl;
    case VK_UP:
        return kPreviousControl;
    case VK_DOWN:
        return kNextControl;
    case VK_TAB:
        return tabMovesOn ? kNextControl : kNothing;
    default:
        return kNothing;
    }
}

void CTabStrip::Paint(HDC dc, const PaintStyle& style, int current, bool focused, HBRUSH pageBrush,
                      POINT brushOrigin, const std::function<void(HDC, int, const RECT&)>& drawTab)
{
    const Metrics& m = m_metrics;
    HPEN framePen = CreatePen(PS_SOLID, m.lineY, GetSysColor(COLOR_WINDOWFRAME));
    CSelected pen(dc, framePen);
    FillRect(dc, &m_rect, GetSysColorBrush(COLOR_BTNFACE));
    MoveToEx(dc, m_rect.left, m_rect.top, nullptr);
    LineTo(dc, m_rect.right, m_rect.top);

    m_nextShown = false;
    m_previousShown = m_firstVisible > 0;
    SetBkMode(dc, TRANSPARENT);
    const int middle = (m_rect.top + m_rect.bottom) / 2;
    int x = m_rect.left;
    for (int i = std::max(m_firstVisible, 0); i < m_widths.Count(); ++i) {
        const int width = m_widths[i];
        if (i == current) {
            RECT fill = {x, m_rect.top - style.currentRaise, x + width, m_rect.bottom};
            POINT old;
            SetBrushOrgEx(dc, brushOrigin.x, brushOrigin.y, &old);
            FillRect(dc, &fill, pageBrush);
            SetBrushOrgEx(dc, old.x, old.y, nullptr);
            if (i > 0)
                VerticalLine(dc, x, m_rect.top, m_rect.bottom);
            if (focused) {
                HPEN focusPen = CreatePen(PS_SOLID, m.lineY, GetSysColor(COLOR_HIGHLIGHT));
                CSelected selectedPen(dc, focusPen);
                CSelected hollow(dc, GetStockObject(NULL_BRUSH));
                const int half = m.imageHeight / 2 + m.lineY;
                Rectangle(dc, x + m.inset - m.lineX, middle - half, x + width - m.inset + m.lineX, middle + half);
                SelectObject(dc, framePen);
                DeleteObject(focusPen);
            }
        }
        RECT tab = {x, m_rect.top, x + width, m_rect.bottom};
        drawTab(dc, i, tab);
        x += width;
        if (style.nextWhenReached ? x >= m_rect.right : x > m_rect.right) {
            m_nextShown = true;
            break;
        }
        VerticalLine(dc, x, m_rect.top, m_rect.bottom);
    }
    DrawArrows(dc);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(framePen);
}

void CTabStrip::DrawArrows(HDC dc)
{
    if (!m_nextShown && !m_previousShown)
        return;
    const Metrics& m = m_metrics;
    const int middle = (m_rect.top + m_rect.bottom) / 2;
    const int top = middle - m.arrowHeight / 2;
    const int bottom = top + m.arrowHeight;
    const int nextTip = m_rect.right - 1;
    const int nextBase = nextTip - m.arrowWidth;
    const int previousBase = nextBase - m.arrowGap;
    const int previousTip = previousBase - m.arrowWidth;
    // The arrows sit over the last tabs: clear their place so they read.
    RECT place = {previousTip - m.lineX, m_rect.top + m.lineY, m_rect.right, m_rect.bottom};
    FillRect(dc, &place, GetSysColorBrush(COLOR_BTNFACE));
    HPEN pen = CreatePen(PS_SOLID, m.lineY, GetSysColor(COLOR_ACTIVEBORDER));
    CSelected selectedPen(dc, pen);
    // Filled too: an outline of the border colour alone vanishes on the
    // strip where that colour is the strip's own.
    CSelected fill(dc, GetSysColorBrush(COLOR_BTNSHADOW));
    if (m_nextShown) {
        POINT next[] = {{nextBase, top}, {nextTip, middle}, {nextBase, bottom}};
        Polygon(dc, next, 3);
    }
    if (m_previousShown) {
        POINT previous[] = {{previousBase, top}, {previousTip, middle}, {previousBase, bottom}};
        Polygon(dc, previous, 3);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
