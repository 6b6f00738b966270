#include "contactlist/ModelessTabsDlg.h"

#include <cstdlib>

#include "HiDpi.h"
#include "contactlist/TabsDialog.h"
#include "core/AppGlobals.h"

namespace {

const unsigned int kNotBlinking = static_cast<unsigned int>(-1);
const DWORD kDoubleTapMs = 500;
const DWORD kBlinkHalfPeriodMs = 500;
const CTabStrip::PaintStyle kStyle = {1, true};

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

} // namespace

CModelessTabsDlg::CModelessTabsDlg(HWND parent, int softKeyBarId)
    : CModelessDlg(ProgramModule(), parent, IDD_TABS_FRAME, softKeyBarId), m_current(0), m_pages(10),
      m_pageRect(), m_titles(10), m_images(10), m_blinkImages(10), m_blinking(0), m_shown(0), m_focusButton(nullptr),
      m_focusButtonProc(nullptr), m_stripFocused(true), m_pressedTab(-1), m_pressX(0), m_lastPress(0),
      m_ignoreUp(false), m_clock(DefaultClock)
{
}

CModelessTabsDlg::~CModelessTabsDlg()
{
    if (m_blinking > 0 && m_hDlg)
        KillTimer(m_hDlg, kBlinkTimer);
    for (int i = 0; i < m_images.Count(); ++i)
        delete m_images[i];
}

DWORD CModelessTabsDlg::DefaultClock()
{
    return GetTickCount();
}

CModelessDlg* CModelessTabsDlg::GetPage(int index) const
{
    return index >= 0 && index < m_pages.Count() ? m_pages[index] : nullptr;
}

int CModelessTabsDlg::IndexOf(const CModelessDlg* page) const
{
    for (int i = 0; i < m_pages.Count(); ++i) {
        if (m_pages[i] == page)
            return i;
    }
    return -1;
}

void CModelessTabsDlg::OnInitDialog()
{
    CModelessDlg::OnInitDialog();
    m_focusButton = CTabStrip::CreateFocusButton(m_hDlg, m_hInstance, this, FocusButtonProc, &m_focusButtonProc);
    HIDPI_InitScaling();
    m_strip.SetMetrics(CTabStrip::MetricsFor(g_HIDPI_LogPixelsX, g_HIDPI_LogPixelsY));
    RecalcLayout();
    m_strip.Widths().RemoveAll();
    m_titles.RemoveAll();
}

void CModelessTabsDlg::RecalcLayout()
{
    m_pageRect = m_strip.LayoutIn(m_hDlg, GetToolbarHeight());
}

int CModelessTabsDlg::MeasureTab(const CJOVString& title)
{
    // The image's place is kept even for a tab without images.
    return m_strip.MeasureTitle(m_hDlg, title, true);
}

void CModelessTabsDlg::PlacePage(CModelessDlg* page)
{
    SetWindowPos(page->GetWnd(), nullptr, m_pageRect.left, m_pageRect.top, m_pageRect.right - m_pageRect.left,
                 m_pageRect.bottom - m_pageRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CModelessTabsDlg::RepaintStrip()
{
    RECT rect = m_strip.RepaintRect();
    InvalidateRect(m_hDlg, &rect, FALSE);
}

void CModelessTabsDlg::AddPage(CModelessDlg* page, const CJOVString& title, const CJOVArray<unsigned int>& images)
{
    if (!page)
        return;
    m_pages.Append(page);
    m_strip.Widths().Append(MeasureTab(title));
    m_titles.Append(title);
    m_images.Append(new CJOVArray<unsigned int>(images));
    m_blinkImages.Append(kNotBlinking);
    PlacePage(page);
    page->Show(true);
    m_current = m_pages.Count() - 1;
    ActivatePage();
    RepaintStrip();
}

void CModelessTabsDlg::SetPageTitle(CModelessDlg* page, const CJOVString& title,
                                    const CJOVArray<unsigned int>& images)
{
    int index = IndexOf(page);
    if (index < 0)
        return;
    m_titles[index] = title;
    *m_images[index] = images;
    m_strip.Widths()[index] = MeasureTab(title);
    RepaintStrip();
}

void CModelessTabsDlg::SetPageImages(CModelessDlg* page, const CJOVArray<unsigned int>& images)
{
    int index = IndexOf(page);
    if (index < 0)
        return;
    *m_images[index] = images;
    RepaintStrip();
}

bool CModelessTabsDlg::SelectPage(CModelessDlg* page)
{
    int index = IndexOf(page);
    if (index < 0)
        return false;
    m_current = index;
    m_strip.KeepVisible(m_current);
    ActivatePage();
    return true;
}

void CModelessTabsDlg::ActivatePage()
{
    if (m_current < 0 || m_current >= m_pages.Count())
        return;
    if (m_shown >= 0 && m_shown < m_pages.Count() && m_shown != m_current)
        m_pages[m_shown]->Show(false);
    m_shown = m_current;
    m_pages[m_current]->Show(true);
    if (m_focusButton)
        SetFocus(m_focusButton);
    RepaintStrip();
}

void CModelessTabsDlg::StopBlink(int index)
{
    if (m_blinkImages[index] == kNotBlinking)
        return;
    m_blinkImages[index] = kNotBlinking;
    if (InterlockedDecrement(&m_blinking) == 0 && m_hDlg)
        KillTimer(m_hDlg, kBlinkTimer);
}

void CModelessTabsDlg::RemovePage(CModelessDlg* page)
{
    int index = IndexOf(page);
    if (index < 0)
        return;
    StopBlink(index);
    delete page;
    m_pages.Remove(index);
    m_strip.Widths().Remove(index);
    m_titles.Remove(index);
    delete m_images[index];
    m_images.Remove(index);
    m_blinkImages.Remove(index);

    // The indexes after the removed page move down by one; the shown page
    // was deleted when it was this one.
    const int count = m_pages.Count();
    if (index < m_current || (index == m_current && m_current >= count && m_current > 0))
        --m_current;
    if (index < m_shown)
        --m_shown;
    else if (index == m_shown)
        m_shown = -1;
    if (index < m_strip.GetFirstVisible())
        m_strip.SetFirstVisible(m_strip.GetFirstVisible() - 1);
    if (m_strip.GetFirstVisible() >= count)
        m_strip.SetFirstVisible(count > 0 ? count - 1 : 0);

    ActivatePage();
    m_strip.KeepVisible(m_current);
    if (count == 0)
        Show(false);
    else
        RepaintStrip();
}

void CModelessTabsDlg::StartPageBlink(CModelessDlg* page, unsigned int image)
{
    int index = IndexOf(page);
    if (index < 0)
        return;
    const bool wasBlinking = m_blinkImages[index] != kNotBlinking;
    m_blinkImages[index] = image;
    if (!wasBlinking && InterlockedIncrement(&m_blinking) == 1 && m_hDlg)
        SetTimer(m_hDlg, kBlinkTimer, kBlinkHalfPeriodMs, nullptr);
    RepaintStrip();
}

void CModelessTabsDlg::StopPageBlink(CModelessDlg* page)
{
    int index = IndexOf(page);
    if (index < 0)
        return;
    StopBlink(index);
    RepaintStrip();
}

void CModelessTabsDlg::OnChangeWindowSize()
{
    RecalcLayout();
    for (int i = 0; i < m_pages.Count(); ++i) {
        m_strip.Widths()[i] = MeasureTab(m_titles[i]);
        PlacePage(m_pages[i]);
    }
    RepaintStrip();
}

void CModelessTabsDlg::OnPaint(HDC dc)
{
    const CTabStrip::Metrics& m = m_strip.GetMetrics();
    HGDIOBJ oldFont = SelectObject(dc, CTabStrip::DialogFont(m_hDlg));
    POINT origin = {0, 0};
    ClientToScreen(m_hDlg, &origin);
    const bool blinkOn = (m_clock() / kBlinkHalfPeriodMs) % 2 == 1;
    HBRUSH pageBrush = GetBkBrush();
    m_strip.Paint(dc, kStyle, m_current, m_stripFocused, pageBrush, POINT{-origin.x, -origin.y},
                  [&](HDC tabDc, int index, const RECT& tab) {
                      const int middle = (tab.top + tab.bottom) / 2;
                      RECT square = {tab.left + m.inset, middle - m.imageHeight / 2, tab.left + m.inset + m.imageWidth,
                                     middle + m.imageHeight / 2};
                      if (g_App.pServices) {
                          if (m_blinkImages[index] == kNotBlinking) {
                              const CJOVArray<unsigned int>& images = *m_images[index];
                              for (int i = 0; i < images.Count(); ++i)
                                  g_App.pServices->DrawImage(images[i], tabDc, square);
                          } else if (blinkOn) {
                              g_App.pServices->DrawImage(m_blinkImages[index], tabDc, square);
                          }
                      }
                      RECT text = {square.right + m.imageGap, tab.top, tab.right, tab.bottom};
                      CJOVString title = m_titles[index];
                      DrawTextW(tabDc, title, title.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                  });
    SelectObject(dc, oldFont);
}

void CModelessTabsDlg::OnTabDoubleTap() {}

int CModelessTabsDlg::GetToolbarHeight()
{
    return 0;
}

void CModelessTabsDlg::OnButtonDown(POINT point)
{
    const int previousX = m_pressX;
    m_pressX = point.x;
    m_pressedTab = m_strip.HitTest(point);
    if (m_pressedTab < 0)
        return;
    SetCapture(m_hDlg);
    const DWORD now = m_clock();
    if (now - m_lastPress < kDoubleTapMs && std::abs(point.x - previousX) < m_strip.GetMetrics().dragDistance) {
        OnTabDoubleTap();
        ReleaseCapture();
        m_pressedTab = -1;
        m_pressX = 0;
        m_ignoreUp = true;
    }
    m_lastPress = now;
}

void CModelessTabsDlg::OnButtonUp(POINT point)
{
    if (m_pressedTab >= 0 && GetCapture() == m_hDlg)
        ReleaseCapture();
    if (m_ignoreUp) {
        // The second press of a double tap is neither a tap nor a drag.
        m_ignoreUp = false;
    } else {
        bool moved = false;
        int tapped = m_strip.Release(point, m_pressX, m_pressedTab, &moved);
        if (moved)
            RepaintStrip();
        if (tapped >= 0 && tapped != m_current) {
            m_current = tapped;
            m_strip.KeepVisible(m_current);
            ActivatePage();
        } else if (tapped >= 0 && m_focusButton) {
            SetFocus(m_focusButton);
        }
    }
    m_pressedTab = -1;
}

bool CModelessTabsDlg::OnTabsKey(UINT key)
{
    int target = CTabStrip::KeyTarget(key, m_current, m_pages.Count(), true);
    if (target == CTabStrip::kNothing)
        return false;
    if (target >= 0) {
        m_current = target;
        ActivatePage();
    } else {
        PostMessageW(m_hDlg, WM_NEXTDLGCTL, target == CTabStrip::kPreviousControl ? 1 : 0, FALSE);
    }
    m_strip.KeepVisible(m_current);
    RepaintStrip();
    return true;
}

INT_PTR CModelessTabsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
        OnButtonDown(point);
        break;
    case WM_LBUTTONUP:
        OnButtonUp(point);
        break;
    case WM_MOUSEMOVE:
        if (m_pressedTab >= 0) {
            m_strip.Drag(m_pressedTab, point.x);
            RepaintStrip();
        }
        break;
    case WM_TIMER:
        if (wParam == kBlinkTimer) {
            RepaintStrip();
            return 0;
        }
        break;
    case WM_JOV_MODELESS_TABS_KEY: {
        LONG_PTR answer = m_stripFocused && OnTabsKey(static_cast<UINT>(wParam)) ? 0 : 1;
        SetWindowLongPtrW(m_hDlg, DWLP_MSGRESULT, answer);
        return 1;
    }
    case WM_COMMAND:
        if (m_focusButton && reinterpret_cast<HWND>(lParam) == m_focusButton &&
            m_strip.OnFocusNotify(wParam, m_current, &m_stripFocused))
            RepaintStrip();
        break;
    }
    return CModelessDlg::DialogProc(message, wParam, lParam);
}

LRESULT CALLBACK CModelessTabsDlg::FocusButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    CModelessTabsDlg* dialog = reinterpret_cast<CModelessTabsDlg*>(GetWindowLongPtrW(button, GWLP_USERDATA));
    if (!dialog || !dialog->m_focusButtonProc)
        return DefWindowProcW(button, message, wParam, lParam);
    switch (message) {
    case WM_GETDLGCODE:
        // The strip's keys, Tab among them, must reach it past the dialog manager.
        return CallWindowProcW(dialog->m_focusButtonProc, button, message, wParam, lParam) | DLGC_WANTARROWS |
               DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (SendMessageW(dialog->m_hDlg, WM_JOV_MODELESS_TABS_KEY, wParam, lParam) == 0)
            return 0;
        break;
    case WM_CHAR:
        return SendMessageW(dialog->m_hDlg, WM_CHAR, wParam, lParam);
    }
    return CallWindowProcW(dialog->m_focusButtonProc, button, message, wParam, lParam);
}
