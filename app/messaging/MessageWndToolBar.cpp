#include "messaging/MessageWndToolBar.h"

#include "HiDpi.h"
#include "contactlist/JOVButton.h"
#include "core/AppGlobals.h"
#include "messaging/MessagingSkin.h"
#include "messaging/QuickSmailyPanel.h"

namespace {

const int kButtonWidth = 40;
const unsigned int kImageSmilies = 38;
const unsigned int kImageSend = 25;

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

} // namespace

CMessageWnd::CToolBar::CToolBar(CMessageWnd* owner, const RECT& rect)
    : CWnd(ProgramModule(), owner->GetWnd()), m_owner(owner), m_quickBar(nullptr), m_smiliesButton(nullptr),
      m_sendButton(nullptr)
{
    Create(WS_VISIBLE | WS_TABSTOP, rect);
}

CMessageWnd::CToolBar::~CToolBar()
{
    delete m_quickBar;
    delete m_smiliesButton;
    delete m_sendButton;
}

HBRUSH CMessageWnd::CToolBar::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

CMessageWnd::CToolBar::Geometry CMessageWnd::CToolBar::Measure() const
{
    const MessageWndSettings::Controls& controls = m_owner->GetSettings().GetControls();
    RECT r;
    GetClientRect(m_hWnd, &r);
    const int bottom = r.bottom + 1;
    const int width = HIDPI_ScaleX(kButtonWidth);
    const int smilies = controls.smiliesButton ? width - 1 : 0;
    const int send = controls.sendButton ? width - 1 : 0;
    Geometry geometry;
    geometry.bar = RECT{r.left, r.top, r.right - smilies - send, bottom};
    // Each shown button overlaps its left neighbour by a pixel.
    int left = geometry.bar.right - 1;
    geometry.smilies = RECT{left, r.top, left + width, bottom};
    if (controls.smiliesButton)
        left += width - 1;
    geometry.send = RECT{left, r.top, left + width, bottom};
    return geometry;
}

void CMessageWnd::CToolBar::OnCreate()
{
    const Geometry geometry = Measure();
    const MessageWndSettings::Controls& controls = m_owner->GetSettings().GetControls();
    m_quickBar = new CQuickSmailyPanel(m_hWnd, geometry.bar);
    m_smiliesButton = new CJOVButton(m_hWnd, kImageSmilies, geometry.smilies);
    m_sendButton = new CJOVButton(m_hWnd, kImageSend, geometry.send);
    ShowWindow(*m_smiliesButton, controls.smiliesButton ? SW_SHOWNA : SW_HIDE);
    ShowWindow(*m_sendButton, controls.sendButton ? SW_SHOWNA : SW_HIDE);
}

void CMessageWnd::CToolBar::OnWindowPosChanged(WINDOWPOS*)
{
    Relayout();
}

void CMessageWnd::CToolBar::Relayout()
{
    if (!m_quickBar)
        return;
    const Geometry geometry = Measure();
    const MessageWndSettings::Controls& controls = m_owner->GetSettings().GetControls();
    auto place = [](HWND control, const RECT& rect, bool shown) {
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    };
    place(*m_quickBar, geometry.bar, true);
    place(*m_smiliesButton, geometry.smilies, controls.smiliesButton != 0);
    place(*m_sendButton, geometry.send, controls.sendButton != 0);
}

int CMessageWnd::CToolBar::Focusables(HWND* controls) const
{
    int count = 0;
    controls[count++] = *m_quickBar;
    if (IsWindowVisible(*m_smiliesButton) || (GetWindowLongPtrW(*m_smiliesButton, GWL_STYLE) & WS_VISIBLE))
        controls[count++] = *m_smiliesButton;
    if (IsWindowVisible(*m_sendButton) || (GetWindowLongPtrW(*m_sendButton, GWL_STYLE) & WS_VISIBLE))
        controls[count++] = *m_sendButton;
    return count;
}

void CMessageWnd::CToolBar::MoveFocus(bool backward)
{
    HWND controls[3];
    const int count = Focusables(controls);
    HWND focus = GetFocus();
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (controls[i] == focus)
            at = i;
    }
    const int next = at < 0 ? (backward ? count - 1 : 0) : at + (backward ? -1 : 1);
    if (next >= 0 && next < count) {
        SetFocus(controls[next]);
        return;
    }
    if (HWND outside = GetNextDlgTabItem(m_owner->GetWnd(), m_hWnd, backward ? TRUE : FALSE))
        SetFocus(outside);
}

LRESULT CMessageWnd::CToolBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_quickBar)
        return CWnd::OnMessage(message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS: {
        HWND before = GetNextDlgTabItem(m_owner->GetWnd(), m_hWnd, TRUE);
        if (before && reinterpret_cast<HWND>(wParam) == before) {
            SetFocus(*m_quickBar);
            return 0;
        }
        HWND controls[3];
        const int count = Focusables(controls);
        SetFocus(controls[count - 1]);
        break;
    }
    case WM_NEXTDLGCTL:
        if (lParam == 0)
            MoveFocus(wParam != 0);
        return 0;
    case WM_CHAR:
        if (wParam == VK_TAB || wParam == VK_RETURN)
            return 0;
        SendMessageW(m_owner->GetWnd(), WM_CHAR, wParam, lParam);
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) {
            if (reinterpret_cast<HWND>(lParam) == *m_smiliesButton)
                m_owner->ChooseSmiley();
            else if (reinterpret_cast<HWND>(lParam) == *m_sendButton)
                m_owner->SendCurrentMessage();
        }
        break;
    case WM_JOV_SMILEY_CHOSEN:
        m_owner->InsertSmiley(static_cast<int>(wParam));
        return 0;
    case WM_JOV_SMILIES_CHANGE:
        SendMessageW(*m_quickBar, message, wParam, lParam);
        break;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}
