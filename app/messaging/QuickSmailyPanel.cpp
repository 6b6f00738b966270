#include "messaging/QuickSmailyPanel.h"

#include <algorithm>

#include "HiDpi.h"
#include "core/AppGlobals.h"
#include "messaging/ChatSmilies.h"
#include "messaging/MessagingSkin.h"
#include "messaging/SmailyCtrl.h"

namespace {

const int kGap = 1;
const int kMinCellWidth = 38;

} // namespace

CQuickSmailyPanel::CQuickSmailyPanel(HWND parent, const RECT& rect)
    : CWnd(g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr), parent), m_selection(-1),
      m_rebuildPending(1), m_skin(g_App.pSkinManager)
{
    Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP, rect);
}

CQuickSmailyPanel::~CQuickSmailyPanel()
{
    Clear();
}

HBRUSH CQuickSmailyPanel::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

int CQuickSmailyPanel::CellWidth(int smileyWidth) const
{
    return std::max(HIDPI_ScaleX(kMinCellWidth), smileyWidth);
}

int CQuickSmailyPanel::GetSmileyAt(int position) const
{
    CSmailyCtrl* control = GetControlAt(position);
    return control ? control->GetSmileyIndex() : -1;
}

CSmailyCtrl* CQuickSmailyPanel::GetControlAt(int position) const
{
    return position >= 0 && position < GetCount() ? m_recent[static_cast<size_t>(position)] : nullptr;
}

int CQuickSmailyPanel::IndexOf(int smiley) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (m_recent[static_cast<size_t>(i)]->GetSmileyIndex() == smiley)
            return i;
    }
    return -1;
}

void CQuickSmailyPanel::PauseAll()
{
    for (CSmailyCtrl* control : m_recent)
        control->Pause();
}

void CQuickSmailyPanel::PlayAll()
{
    for (CSmailyCtrl* control : m_recent)
        control->Play();
}

void CQuickSmailyPanel::Repaint()
{
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CQuickSmailyPanel::Clear()
{
    for (CSmailyCtrl* control : m_recent)
        delete control;
    m_recent.clear();
    m_selection = -1;
}

void CQuickSmailyPanel::LayoutControls()
{
    const int height = GetClientHeight();
    int x = HIDPI_ScaleX(kGap);
    for (CSmailyCtrl* control : m_recent) {
        const int width = control->GetSmileyWidth();
        const int cell = CellWidth(width);
        control->MoveTo(x + (cell - width) / 2, (height - control->GetSmileyHeight()) / 2);
        ShowWindow(*control, SW_SHOWNA);
        x += cell + HIDPI_ScaleX(kGap);
    }
}

void CQuickSmailyPanel::AddRecent(int smiley)
{
    if (IndexOf(smiley) >= 0)
        return;
    PauseAll();
    m_recent.push_front(new CSmailyCtrl(m_hInstance, m_hWnd, smiley, &m_skin));
    Trim();
    LayoutControls();
    if (m_selection >= 0)
        m_selection = 0;
    Repaint();
    PlayAll();
}

void CQuickSmailyPanel::Trim()
{
    const int gap = HIDPI_ScaleX(kGap);
    int space = GetClientWidth() - gap;
    size_t kept = 0;
    while (kept < m_recent.size()) {
        space -= CellWidth(m_recent[kept]->GetSmileyWidth()) + gap;
        ++kept;
        if (space < 1)
            break;
    }
    while (m_recent.size() > kept) {
        delete m_recent.back();
        m_recent.pop_back();
    }
    // A selection past the kept smilies would name one that is gone.
    if (m_selection >= GetCount())
        m_selection = -1;
    if (m_selection < 0)
        Repaint();
}

void CQuickSmailyPanel::Rebuild()
{
    Clear();
    CChatSmilies* smilies = m_skin.GetSmilies();
    const int gap = HIDPI_ScaleX(kGap);
    int space = GetClientWidth() - gap;
    int count = 0;
    while (count < smilies->GetCount() && space >= 1) {
        space -= CellWidth(smilies->GetWidth(count)) + gap;
        ++count;
    }
    for (int smiley = count - 1; smiley >= 0; --smiley)
        AddRecent(smiley);
    m_rebuildPending = 0;
}

void CQuickSmailyPanel::OnWindowPosChanged(WINDOWPOS* pos)
{
    if ((pos->flags & SWP_SHOWWINDOW) && m_rebuildPending)
        Rebuild();
    if (!(pos->flags & SWP_NOSIZE))
        Trim();
}

void CQuickSmailyPanel::OnPaint(CJOVDrawContext* context)
{
    // A child of a hidden window is shown without being told: painted, it is on show.
    if (m_rebuildPending)
        Rebuild();
    if (m_selection < 0 || m_selection >= GetCount())
        return;
    const int gap = HIDPI_ScaleX(kGap);
    int left = gap;
    for (int i = 0; i < m_selection; ++i)
        left += CellWidth(m_recent[static_cast<size_t>(i)]->GetClientWidth()) + gap;
    const int right = left + CellWidth(m_recent[static_cast<size_t>(m_selection)]->GetClientWidth());
    const int height = GetClientHeight();
    HPEN pen = CreatePen(PS_SOLID, HIDPI_ScaleX(1), GetSysColor(COLOR_HIGHLIGHT));
    HGDIOBJ old = SelectObject(context->hDC, pen);
    MoveToEx(context->hDC, left - gap, 0, nullptr);
    LineTo(context->hDC, left - gap, height);
    MoveToEx(context->hDC, right, 0, nullptr);
    LineTo(context->hDC, right, height);
    SelectObject(context->hDC, old);
    DeleteObject(pen);
}

bool CQuickSmailyPanel::OnTap(int x, int y)
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    const POINT point = {x, y};
    if (!PtInRect(&client, point)) {
        SetFocus(m_hWnd);
        return false;
    }
    const int gap = HIDPI_ScaleX(kGap);
    int end = gap;
    int hit = -1;
    for (int i = 0; i < GetCount(); ++i) {
        end += CellWidth(m_recent[static_cast<size_t>(i)]->GetClientWidth()) + gap;
        if (end >= x) {
            hit = i;
            break;
        }
    }
    if (hit < 0)
        return true;
    m_selection = hit;
    if (GetFocus() == m_hWnd)
        Repaint();
    else
        SetFocus(m_hWnd);
    SendMessageW(m_hParent, WM_JOV_SMILEY_CHOSEN, static_cast<WPARAM>(GetSmileyAt(hit)), 0);
    return true;
}

bool CQuickSmailyPanel::OnKey(UINT key)
{
    switch (key) {
    case VK_RIGHT:
        if (++m_selection >= GetCount()) {
            m_selection = -1;
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 0, 0);
        }
        break;
    case VK_LEFT:
        if (--m_selection < 0) {
            m_selection = -1;
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 1, 0);
        }
        break;
    case VK_TAB:
    case VK_DOWN:
        PostMessageW(m_hParent, WM_NEXTDLGCTL, 0, 0);
        m_selection = -1;
        break;
    case VK_UP:
        PostMessageW(m_hParent, WM_NEXTDLGCTL, 1, 0);
        m_selection = -1;
        break;
    case VK_RETURN:
        if (m_selection >= 0 && m_selection < GetCount())
            SendMessageW(m_hParent, WM_JOV_SMILEY_CHOSEN, static_cast<WPARAM>(GetSmileyAt(m_selection)), 0);
        return true;
    default:
        return false;
    }
    Repaint();
    return true;
}

LRESULT CQuickSmailyPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (m_selection < 0 && GetCount() > 0)
            m_selection = 0;
        Repaint();
        break;
    case WM_KILLFOCUS:
        m_selection = -1;
        Repaint();
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (OnKey(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        if (wParam == VK_TAB || wParam == VK_RETURN)
            return 0;
        SendMessageW(m_hParent, WM_CHAR, wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
        if (OnTap(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))))
            return 0;
        break;
    case WM_JOV_SMILIES_CHANGE:
        if (wParam == 0) {
            Clear();
        } else {
            // A bar already on show is not shown again: it fills itself when next painted.
            m_rebuildPending = 1;
            Repaint();
        }
        break;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}
