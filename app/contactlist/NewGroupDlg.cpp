#include "contactlist/NewGroupDlg.h"

#include "contactlist/ControlText.h"

namespace {

const int kMaxName = 255;

} // namespace

CNewGroupDlg::CNewGroupDlg(HWND parent) : CModalDialog(parent, IDD_NEW_GROUP, IDM_OK_CANCEL, 0), m_name(L"New group")
{
}

CNewGroupDlg::~CNewGroupDlg() {}

int CNewGroupDlg::DoDataExchange(int save)
{
    HWND edit = GetDlgItem(m_hDlg, IDC_GROUP_NAME);
    if (!save) {
        SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_GROUP_NAME_TEXT), 137, L"Group name");
        SetWindowTextW(edit, m_name);
        return 1;
    }
    wchar_t text[kMaxName + 1] = {};
    GetWindowTextW(edit, text, kMaxName + 1);
    if (!text[0]) {
        // Without a word OK would look broken.
        MessageBoxW(m_hDlg, LangText(205, L"Please enter a name."), LangText(170, L"Warning"), MB_ICONEXCLAMATION);
        SetFocus(edit);
        return 0;
    }
    m_name = CJOVString(text);
    return 1;
}

int CNewGroupDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetOkCancelSoftKeyCap(index, caption);
}
