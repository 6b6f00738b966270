#include "JOVModalDialog.h"

#include <commctrl.h>

#include "BufferedPaint.h"
#include "MenuBar.h"

CJOVModalDialog::CJOVModalDialog(HINSTANCE instance, HWND parent, int dialogId, int menuBarId, int softKeysFlag)
    : m_hParent(parent), m_hDlg(nullptr), m_hMenuBar(nullptr), m_hInstance(instance), m_dialogId(dialogId),
      m_menuBarId(menuBarId), m_softKeysFlag(softKeysFlag), m_activateInfo()
{
    m_activateInfo.cbSize = sizeof(m_activateInfo);
}

CJOVModalDialog::CJOVModalDialog(const CJOVModalDialog& other) = default;

CJOVModalDialog& CJOVModalDialog::operator=(const CJOVModalDialog& other) = default;

CJOVModalDialog::~CJOVModalDialog() {}

int CJOVModalDialog::DoModal()
{
    HRSRC found = FindResourceW(m_hInstance, MAKEINTRESOURCEW(m_dialogId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(m_hInstance, found) : nullptr;
    const DLGTEMPLATE* dialog = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (!dialog)
        return -1;
    INT_PTR code = DialogBoxIndirectParamW(m_hInstance, dialog, m_hParent, sDialogProc,
                                           reinterpret_cast<LPARAM>(this));
    m_hDlg = nullptr;
    m_hMenuBar = nullptr;
    return static_cast<int>(code);
}

INT_PTR CALLBACK CJOVModalDialog::sDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    CJOVModalDialog* object = reinterpret_cast<CJOVModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return object ? object->DialogProc(dialog, message, wParam, lParam) : 0;
}

INT_PTR CJOVModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsControlColorMessage(message))
        return AnswerControlColor(wParam, lParam, GetBkBrush());
    switch (message) {
    case WM_INITDIALOG:
        m_hDlg = dialog;
        // The device clips every window's children; here the double-buffered
        // paint would cover them.
        SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
        OnInitDialog();
        return 1;
    case WM_ACTIVATE:
        SHHandleWMActivate(dialog, wParam, lParam, &m_activateInfo, FALSE);
        return 0;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(dialog, wParam, lParam, &m_activateInfo);
        OnChangeWindowSize();
        return 0;
    case WM_WINDOWPOSCHANGED: {
        WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        // Brought to the top: its bar comes back above whatever hid it. A
        // window raised to the top goes in just below its own owned windows
        // (the bar among them), so that place counts as the top too.
        bool raised = pos->hwndInsertAfter == HWND_TOP ||
                      (pos->hwndInsertAfter && GetWindow(pos->hwndInsertAfter, GW_OWNER) == dialog);
        if (!(pos->flags & SWP_NOZORDER) && raised && m_hMenuBar)
            ShowWindow(m_hMenuBar, SW_SHOWNA);
        OnWindowPosChanged(pos);
        return 0;
    }
    case WM_PAINT: {
        CBufferedPaint paint(dialog, GetBkBrush());
        if (paint.GetDC())
            OnPaint(paint.GetDC());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        EndDialog(IDCANCEL);
        return 1;
    case WM_JOV_LANG_CHANGED:
        OnLangChange();
        return 0;
    }
    return 0;
}

int CJOVModalDialog::DoDataExchange(int)
{
    return 1;
}

void CJOVModalDialog::OnInitDialog()
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = m_hDlg;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    SHInitDialog(&init);

    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = m_hDlg;
    bar.dwFlags = m_softKeysFlag ? 0 : SHCMBF_HMENU;
    bar.nToolBarId = static_cast<UINT>(m_menuBarId);
    bar.hInstRes = m_hInstance;
    m_hMenuBar = SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;

    SetSoftKeys();
    DoDataExchange(0);
}

void CJOVModalDialog::OnPaint(HDC) {}

void CJOVModalDialog::OnChangeWindowSize() {}

void CJOVModalDialog::OnWindowPosChanged(WINDOWPOS*) {}

void CJOVModalDialog::OnLangChange()
{
    SetSoftKeys();
}

int CJOVModalDialog::EndDialog(int code)
{
    if (code == IDOK && !DoDataExchange(1))
        return 0;
    return ::EndDialog(m_hDlg, code);
}

int CJOVModalDialog::GetSoftKeyCap(int, CJOVString&)
{
    return 0;
}

HBRUSH CJOVModalDialog::GetBkBrush()
{
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CJOVModalDialog::SetSoftKeys()
{
    if (!m_hMenuBar)
        return;
    for (int index = 0; index < 2; ++index) {
        TBBUTTON button = {};
        if (!SendMessageW(m_hMenuBar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
            continue;
        CJOVString caption;
        if (!GetSoftKeyCap(index, caption))
            caption = CJOVString(L"???");
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = caption;
        SendMessageW(m_hMenuBar, TB_SETBUTTONINFOW, static_cast<WPARAM>(button.idCommand),
                     reinterpret_cast<LPARAM>(&info));
    }
}
