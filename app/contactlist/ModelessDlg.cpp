#include "contactlist/ModelessDlg.h"

#include "BufferedPaint.h"
#include "JOVModalDialog.h"
#include "MenuBar.h"
#include "contactlist/ControlText.h"
#include "contactlist/DialogTemplate.h"
#include "contactlist/ModalDialog.h"

CModelessDlg::CModelessDlg(HINSTANCE module, HWND parent, int dialogId, int softKeyBarId)
    : m_hInstance(module), m_hParent(parent), m_hDlg(nullptr), m_hMenuBar(nullptr), m_dialogId(dialogId),
      m_softKeyBarId(softKeyBarId), m_activateInfo()
{
    m_activateInfo.cbSize = sizeof(m_activateInfo);
}

CModelessDlg::~CModelessDlg()
{
    if (m_hDlg && IsWindow(m_hDlg)) {
        SetWindowLongPtrW(m_hDlg, DWLP_USER, 0);
        DestroyWindow(m_hDlg);
    }
    m_hDlg = nullptr;
}

bool CModelessDlg::Create()
{
    HWND dialog = CreateDialogFromTemplate(m_hInstance, static_cast<unsigned int>(m_dialogId), m_hParent, sDialogProc,
                                           reinterpret_cast<LPARAM>(this), false);
    if (dialog)
        m_hDlg = dialog;
    return dialog != nullptr;
}

void CModelessDlg::Show(bool show)
{
    if (!m_hDlg)
        return;
    if (show)
        SetWindowPos(m_hDlg, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    else
        SetWindowPos(m_hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW);
    if (m_hMenuBar)
        ShowWindow(m_hMenuBar, show ? SW_SHOW : SW_HIDE);
}

INT_PTR CALLBACK CModelessDlg::sDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        wParam = reinterpret_cast<WPARAM>(dialog);
    }
    CModelessDlg* object = reinterpret_cast<CModelessDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return object ? object->DialogProc(message, wParam, lParam) : 0;
}

INT_PTR CModelessDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsControlColorMessage(message))
        return AnswerControlColor(wParam, lParam, GetBkBrush());
    switch (message) {
    case WM_INITDIALOG:
        m_hDlg = reinterpret_cast<HWND>(wParam);
        // As on the device: the double-buffered paint must not cover the controls.
        SetWindowLongPtrW(m_hDlg, GWL_STYLE, GetWindowLongPtrW(m_hDlg, GWL_STYLE) | WS_CLIPCHILDREN);
        OnInitDialog();
        return 1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(m_hDlg, wParam, lParam, &m_activateInfo, 0);
        return 0;
    case WM_PAINT: {
        CBufferedPaint paint(m_hDlg, GetBkBrush());
        if (paint.GetDC())
            OnPaint(paint.GetDC());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(m_hDlg, wParam, lParam, &m_activateInfo);
        if (wParam == SPI_SETSIPINFO)
            OnChangeWindowSize();
        return 0;
    case WM_WINDOWPOSCHANGED: {
        WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        // As for the modal dialogs: just below its own bar counts as the top.
        bool raised = pos->hwndInsertAfter == HWND_TOP ||
                      (pos->hwndInsertAfter && GetWindow(pos->hwndInsertAfter, GW_OWNER) == m_hDlg);
        // A hidden window may be moved in the z-order too (hiding one does
        // that): its bar stays down then.
        if (!(pos->flags & SWP_NOZORDER) && raised && m_hMenuBar && IsWindowVisible(m_hDlg))
            ShowWindow(m_hMenuBar, SW_SHOWNA);
        OnWindowPosChanged(pos);
        return 0;
    }
    case WM_JOV_LANG_CHANGED:
        OnLangChange();
        return 0;
    }
    return 0;
}

void CModelessDlg::OnInitDialog()
{
    if (m_softKeyBarId == -1)
        return;
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = m_hDlg;
    init.dwFlags = SHIDIF_CANCELBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN;
    SHInitDialog(&init);

    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = m_hDlg;
    bar.dwFlags = SHCMBF_HMENU | SHCMBF_HIDDEN;
    bar.nToolBarId = static_cast<UINT>(m_softKeyBarId);
    bar.hInstRes = m_hInstance;
    m_hMenuBar = SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
    UpdateSoftKeyCaps();
}

void CModelessDlg::UpdateSoftKeyCaps()
{
    if (!m_hMenuBar)
        return;
    for (int index = 0; index < 2; ++index) {
        int command = GetToolbarButtonCommand(m_hMenuBar, index);
        if (command == -1)
            continue;
        CJOVString caption;
        if (!GetSoftKeyCap(index, caption))
            caption = CJOVString(L"???");
        SetToolbarButtonText(m_hMenuBar, command, caption);
    }
}

void CModelessDlg::OnPaint(HDC) {}

void CModelessDlg::OnWindowPosChanged(WINDOWPOS*) {}

void CModelessDlg::OnChangeWindowSize() {}

void CModelessDlg::OnDestroy() {}

void CModelessDlg::OnLangChange()
{
    UpdateSoftKeyCaps();
}

int CModelessDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return m_softKeyBarId == IDM_APPLY_CANCEL ? GetApplyCancelSoftKeyCap(index, caption) : 0;
}

HBRUSH CModelessDlg::GetBkBrush()
{
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
