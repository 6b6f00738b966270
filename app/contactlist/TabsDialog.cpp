#include "contactlist/TabsDialog.h"


#include "HiDpi.h"
#include "contactlist/ControlText.h"
#include "core/AppGlobals.h"

CTabsDialog::CTabsDialog(HWND parent, int softKeyBarId, int initialPage)
    : CModalDialog(parent, IDD_TABS_FRAME, softKeyBarId, 0), m_pages(10), m_pageRect(), m_titles(10),
      m_images(10), m_current(initialPage), m_shown(initialPage), m_focusButton(nullptr),
      m_focusButtonProc(nullptr), m_stripFocused(false), m_pressedTab(-1), m_pressX(0), m_titleId(-1),
      m_titleText(nullptr)
{
    m_strip.SetFirstVisible(initialPage);
}

CTabsDialog::~CTabsDialog()
{
    for (int i = 0; i < m_pages.Count(); ++i)
        delete m_pages[i];
}

HWND CTabsDialog::GetPageWnd(int index) const
{
    return index >= 0 && index < m_pages.Count() ? m_pages[index]->GetWnd() : nullptr;
}

void CTabsDialog::SetTitle(int textId, const wchar_t* english)
{
    m_titleId = textId;
    m_titleText = english;
}

bool CTabsDialog::GetPanels(CJOVArray<CPanelInfo>&)
{
    return false;
}

unsigned int CTabsDialog::GetOwnerId()
{
    return 0;
}

void CTabsDialog::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    if (m_titleText)
        SetLocalizedWindowText(m_hDlg, m_titleId, m_titleText);

    m_focusButton = CTabStrip::CreateFocusButton(m_hDlg, m_hInstance, this, FocusButtonProc, &m_focusButtonProc);

    HIDPI_InitScaling();
    m_strip.SetMetrics(CTabStrip::MetricsFor(g_HIDPI_LogPixelsX, g_HIDPI_LogPixelsY));
    m_strip.Widths().RemoveAll();
    m_titles.RemoveAll();
    m_images.RemoveAll();
    RecalcLayout();
    CreatePanels();
}

void CTabsDialog::CreatePanels()
{
    CJOVArray<CPanelInfo> panels(10);
    bool supplied = GetPanels(panels);
    if (supplied && panels.Count() == 0) {
        EndDialog(IDCANCEL);
        return;
    }
    for (int i = 0; i < panels.Count(); ++i)
        CreatePanel(panels[i], i);
    LoadPanels();
}

void CTabsDialog::CreatePanel(const CPanelInfo& info, int recordIndex)
{
    CTabPanel* panel = new CTabPanel(m_hDlg, info, recordIndex);
    if (!panel->Create()) {
        delete panel;
        return;
    }
    m_pages.Append(panel);
    m_strip.Widths().Append(MeasureTab(info.title, info.image));
    m_titles.Append(info.title);
    m_images.Append(info.image);
    SetWindowPos(panel->GetWnd(), nullptr, m_pageRect.left, m_pageRect.top, m_pageRect.right - m_pageRect.left,
                 m_pageRect.bottom - m_pageRect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void CTabsDialog::LoadPanels()
{
    m_pages.Compress();
    m_strip.Widths().Compress();
    m_titles.Compress();
    m_images.Compress();
    // An opener may ask for a page this dialog did not get.
    if (m_current < 0 || m_current >= m_pages.Count()) {
        m_current = 0;
        m_shown = 0;
        m_strip.SetFirstVisible(0);
    }
    DoDataExchange(0);
    if (m_pages.Count() > 0) {
        m_strip.KeepVisible(m_current);
        ShowCurrentPage();
    }
}

void CTabsDialog::RecalcLayout()
{
    m_pageRect = m_strip.LayoutIn(m_hDlg, 0);
}

int CTabsDialog::MeasureTab(const CJOVString& title, int image)
{
    return m_strip.MeasureTitle(m_hDlg, title, image != -1);
}

void CTabsDialog::OnChangeWindowSize()
{
    RecalcLayout();
    for (int i = 0; i < m_pages.Count(); ++i) {
        m_strip.Widths()[i] = MeasureTab(m_titles[i], m_images[i]);
        SetWindowPos(m_pages[i]->GetWnd(), nullptr, m_pageRect.left, m_pageRect.top,
                     m_pageRect.right - m_pageRect.left, m_pageRect.bottom - m_pageRect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RepaintStrip();
}

void CTabsDialog::OnPaint(HDC dc)
{
    const CTabStrip::Metrics& m = m_strip.GetMetrics();
    // The current tab reaches 1 unit up, into its page.
    const CTabStrip::PaintStyle style = {m.lineY, false};
    HGDIOBJ oldFont = SelectObject(dc, CTabStrip::DialogFont(m_hDlg));
    POINT origin = {0, 0};
    ClientToScreen(m_hDlg, &origin);
    m_strip.Paint(dc, style, m_current, m_stripFocused, GetBkBrush(), POINT{-origin.x, -origin.y},
                  [&](HDC tabDc, int index, const RECT& tab) {
                      const int middle = (tab.top + tab.bottom) / 2;
                      int textLeft = tab.left + m.inset;
                      if (m_images[index] != -1) {
                          RECT image = {tab.left + m.inset, middle - m.imageHeight / 2, tab.left + m.inset + m.imageWidth,
                                        middle + m.imageHeight / 2};
                          if (g_App.pServices)
                              g_App.pServices->DrawImage(static_cast<unsigned int>(m_images[index]), tabDc, image);
                          textLeft += m.imageWidth + m.imageGap;
                      }
                      RECT text = {textLeft, tab.top, tab.right, tab.bottom};
                      CJOVString title = m_titles[index];
                      DrawTextW(tabDc, title, title.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                  });
    SelectObject(dc, oldFont);
}

void CTabsDialog::RepaintStrip()
{
    RECT rect = m_strip.RepaintRect();
    InvalidateRect(m_hDlg, &rect, FALSE);
}

void CTabsDialog::ShowCurrentPage()
{
    if (m_shown >= 0 && m_shown < m_pages.Count() && m_shown != m_current)
        SetWindowPos(m_pages[m_shown]->GetWnd(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    m_shown = m_current;
    if (m_current >= 0 && m_current < m_pages.Count())
        SetWindowPos(m_pages[m_current]->GetWnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    if (m_focusButton)
        SetFocus(m_focusButton);
    RepaintStrip();
}

void CTabsDialog::SelectPage(int index)
{
    if (index < 0 || index >= m_pages.Count())
        return;
    m_current = index;
    m_strip.KeepVisible(m_current);
    ShowCurrentPage();
}

int CTabsDialog::DoDataExchange(int direction)
{
    const unsigned int owner = GetOwnerId();
    for (int i = 0; i < m_pages.Count(); ++i) {
        CTabPanel* page = m_pages[i];
        if (!page->HasDataExchange())
            continue;
        PanelCheckResult result = page->Exchange(direction, owner);
        if (!result.failed)
            continue;
        SelectPage(i);
        HWND control = GetDlgItem(page->GetWnd(), static_cast<int>(result.control));
        if (control)
            SetFocus(control);
        // Told even when the control is not there: a silent refusal looks
        // like a dead OK.
        if (result.message.GetLength() > 0)
            MessageBoxW(page->GetWnd(), result.message, LangText(170, L"Warning"), MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

void CTabsDialog::ReloadUneditedPages()
{
    const unsigned int owner = GetOwnerId();
    for (int i = 0; i < m_pages.Count(); ++i) {
        if (m_pages[i]->HasDataExchange() && !m_pages[i]->IsEdited())
            m_pages[i]->Exchange(0, owner);
    }
}

int CTabsDialog::EndDialog(int code)
{
    if (code == IDOK && !DoDataExchange(1))
        return 0;
    DestroyPages();
    // Not the base's EndDialog: that would store a second time, into pages
    // that are gone.
    return ::EndDialog(m_hDlg, code);
}

void CTabsDialog::DestroyPages()
{
    for (int i = 0; i < m_pages.Count(); ++i)
        m_pages[i]->Destroy();
    if (m_focusButton)
        DestroyWindow(m_focusButton);
    m_focusButton = nullptr;
}

void CTabsDialog::OnLangChange()
{
    CModalDialog::OnLangChange();
    if (m_titleText)
        SetLocalizedWindowText(m_hDlg, m_titleId, m_titleText);
    CJOVArray<CPanelInfo> panels(10);
    if (GetPanels(panels)) {
        // Each tab takes its own record's title: a page that could not be
        // made has no tab, so tab and record indexes may differ.
        for (int i = 0; i < m_pages.Count(); ++i) {
            int record = m_pages[i]->GetRecordIndex();
            if (record < panels.Count()) {
                m_titles[i] = panels[record].title;
                m_strip.Widths()[i] = MeasureTab(m_titles[i], m_images[i]);
            }
        }
        m_strip.KeepVisible(m_current);
        RepaintStrip();
        DoDataExchange(0);
    }
}

void CTabsDialog::FocusNextControl(bool previous)
{
    HWND next = GetNextDlgTabItem(m_hDlg, m_focusButton, previous ? TRUE : FALSE);
    if (next)
        SetFocus(next);
}

bool CTabsDialog::OnTabsKey(UINT key)
{
    int target = CTabStrip::KeyTarget(key, m_current, m_pages.Count(), false);
    if (target == CTabStrip::kNothing)
        return false;
    if (target >= 0) {
        m_current = target;
        ShowCurrentPage();
    } else {
        FocusNextControl(target == CTabStrip::kPreviousControl);
    }
    m_strip.KeepVisible(m_current);
    RepaintStrip();
    return true;
}

void CTabsDialog::OnButtonDown(POINT point)
{
    m_pressX = point.x;
    m_pressedTab = m_strip.HitTest(point);
    if (m_pressedTab >= 0)
        SetCapture(m_hDlg);
}

void CTabsDialog::OnButtonUp(POINT point)
{
    if (GetCapture() == m_hDlg)
        ReleaseCapture();
    bool moved = false;
    int tapped = m_strip.Release(point, m_pressX, m_pressedTab, &moved);
    if (moved)
        RepaintStrip();
    if (tapped >= 0 && tapped != m_current)
        SelectPage(tapped);
    else if (tapped >= 0 && m_focusButton)
        SetFocus(m_focusButton);
    m_pressedTab = -1;
    m_pressX = 0;
}

INT_PTR CTabsDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
        OnButtonDown(point);
        return 1;
    case WM_MOUSEMOVE:
        if (m_pressedTab >= 0) {
            m_strip.Drag(m_pressedTab, point.x);
            RepaintStrip();
        }
        return 1;
    case WM_LBUTTONUP:
        OnButtonUp(point);
        return 1;
    case WM_JOV_TABS_KEY: {
        // The answer goes back through the dialog's message result.
        LONG_PTR answer = m_stripFocused && OnTabsKey(static_cast<UINT>(wParam)) ? 0 : 1;
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
        return 1;
    }
    case WM_COMMAND:
        if (m_focusButton && reinterpret_cast<HWND>(lParam) == m_focusButton &&
            m_strip.OnFocusNotify(wParam, m_current, &m_stripFocused))
            RepaintStrip();
        break;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}

LRESULT CALLBACK CTabsDialog::FocusButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    CTabsDialog* dialog = reinterpret_cast<CTabsDialog*>(GetWindowLongPtrW(button, GWLP_USERDATA));
    if (!dialog || !dialog->m_focusButtonProc)
        return DefWindowProcW(button, message, wParam, lParam);
    if (message == WM_GETDLGCODE)
        return DLGC_WANTARROWS;
    if (message == WM_KEYDOWN && SendMessageW(GetParent(button), WM_JOV_TABS_KEY, wParam, lParam) == 0)
        return 0;
    return CallWindowProcW(dialog->m_focusButtonProc, button, message, wParam, lParam);
}
