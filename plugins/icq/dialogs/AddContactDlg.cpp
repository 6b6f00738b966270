#include "AddContactDlg.h"

#include "PageControls.h"
#include "VerdelResource.h"
#include "PluginModule.h"

namespace {

const int kMaxField = 255;

CJOVString Field(HWND dialog, int id)
{
    CJOVString text = ControlText(dialog, id);
    return text.GetLength() > kMaxField ? text.Substring(0, kMaxField) : text;
}

} // namespace

CAddContactDlg::CAddContactDlg(HWND parent, const CJOVString& accountName, const CJOVString& contactName,
                               const CJOVString& group, const CJOVArray<CJOVString>& groups)
    : CICQModalDialog(parent, IDD_ADD_CONTACT), m_accountName(accountName), m_contactName(contactName),
      m_group(group), m_groups(groups)
{
}

void CAddContactDlg::OnInitDialog()
{
    for (int i = 0; i < m_groups.Count(); ++i) {
        CJOVString name = m_groups[i];
        SendDlgItemMessageW(m_hDlg, IDC_ADD_GROUP, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.GetLength() ? static_cast<wchar_t*>(name) : L""));
    }
    CICQModalDialog::OnInitDialog();
    SetTitle(45, L"Add contact");
    SetLabel(m_hDlg, IDC_ADD_ACCOUNT_LABEL, 46, L"Account name");
    SetLabel(m_hDlg, IDC_ADD_NAME_LABEL, 47, L"Contact name");
    SetLabel(m_hDlg, IDC_ADD_GROUP_LABEL, 48, L"Group");
}

int CAddContactDlg::DoDataExchange(int save)
{
    if (!save) {
        SetControlText(m_hDlg, IDC_ADD_ACCOUNT, m_accountName);
        SetControlText(m_hDlg, IDC_ADD_NAME, m_contactName);
        CJOVString group = m_group;
        LRESULT found = group.GetLength() == 0
                            ? CB_ERR
                            : SendDlgItemMessageW(m_hDlg, IDC_ADD_GROUP, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(static_cast<wchar_t*>(group)));
        SendDlgItemMessageW(m_hDlg, IDC_ADD_GROUP, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
        return 1;
    }
    CJOVString accountName = Field(m_hDlg, IDC_ADD_ACCOUNT);
    CJOVString contactName = Field(m_hDlg, IDC_ADD_NAME);
    CJOVString group = Field(m_hDlg, IDC_ADD_GROUP);
    int missing = 0;
    CJOVString why;
    if (accountName.GetLength() == 0) {
        missing = IDC_ADD_ACCOUNT;
        why = GetPluginText(142, L"Enter the contact's ICQ number or screen name.");
    } else if (group.GetLength() == 0) {
        // A new account's list has no group yet, and a contact needs one.
        missing = IDC_ADD_GROUP;
        why = GetPluginText(143, L"The contact list has no group yet: create a group first.");
    }
    if (missing) {
        MessageBoxW(m_hDlg, why, GetPluginText(144, L"Warning"), MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(m_hDlg, missing));
        return 0;
    }
    m_accountName = accountName;
    m_contactName = contactName;
    m_group = group;
    return 1;
}
