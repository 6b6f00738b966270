#include "messaging/MsgWnd_MenuSettingsDlg.h"

#include "contactlist/ControlText.h"
#include "messaging/MessagingIds.h"

namespace {

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, int value)
{
    CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

} // namespace

CMsgWnd_MenuSettingsDlg::CMsgWnd_MenuSettingsDlg(HWND parent, MessageWndSettings* settings)
    : CModalDialog(parent, IDD_CONTROL_SETTINGS, IDM_APPLY_CANCEL, 0), m_settings(settings)
{
    KeepsSettings();
}

void CMsgWnd_MenuSettingsDlg::OnInitDialog()
{
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CONTROLS_TOOLBAR_LABEL), 81, L"Show Smilies bar");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CONTROLS_SEND_LABEL), 82, L"Show \"Send message\" button");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CONTROLS_SMILIES_LABEL), 83, L"Show \"Select smilies\" button");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CONTROLS_LEFT_KEY_LABEL), 84, L"Left key:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CONTROLS_REVERSE_LABEL), 85, L"Reverse soft keys");
    CModalDialog::OnInitDialog();
}

void CMsgWnd_MenuSettingsDlg::EnableButtonBoxes(bool enable)
{
    for (int id = IDC_CONTROLS_SEND; id <= IDC_CONTROLS_SMILIES_LABEL; ++id)
        EnableWindow(GetDlgItem(m_hDlg, id), enable ? TRUE : FALSE);
}

int CMsgWnd_MenuSettingsDlg::DoDataExchange(int save)
{
    HWND keys = GetDlgItem(m_hDlg, IDC_CONTROLS_LEFT_KEY);
    if (!save) {
        const MessageWndSettings::Controls& controls = m_settings->GetControls();
        Check(m_hDlg, IDC_CONTROLS_TOOLBAR, controls.toolbar);
        Check(m_hDlg, IDC_CONTROLS_SEND, controls.sendButton);
        Check(m_hDlg, IDC_CONTROLS_SMILIES, controls.smiliesButton);
        Check(m_hDlg, IDC_CONTROLS_REVERSE, controls.reverseKeys);
        SendMessageW(keys, CB_RESETCONTENT, 0, 0);
        AddLocalizedComboString(keys, 120, L"Send");
        AddLocalizedComboString(keys, 121, L"Smilies");
        AddLocalizedComboString(keys, 178, L"Close");
        SendMessageW(keys, CB_SETCURSEL, static_cast<WPARAM>(controls.leftKey), 0);
        EnableButtonBoxes(controls.toolbar != 0);
    } else {
        MessageWndSettings::Controls controls = m_settings->GetControls();
        controls.toolbar = Checked(m_hDlg, IDC_CONTROLS_TOOLBAR) ? 1 : 0;
        controls.sendButton = Checked(m_hDlg, IDC_CONTROLS_SEND) ? 1 : 0;
        controls.smiliesButton = Checked(m_hDlg, IDC_CONTROLS_SMILIES) ? 1 : 0;
        const LRESULT key = SendMessageW(keys, CB_GETCURSEL, 0, 0);
        if (key >= 0)
            controls.leftKey = static_cast<int>(key);
        controls.reverseKeys = Checked(m_hDlg, IDC_CONTROLS_REVERSE) ? 1 : 0;
        m_settings->SetControls(controls);
    }
    return CModalDialog::DoDataExchange(save);
}

INT_PTR CMsgWnd_MenuSettingsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CONTROLS_TOOLBAR && HIWORD(wParam) == BN_CLICKED)
        EnableButtonBoxes(Checked(m_hDlg, IDC_CONTROLS_TOOLBAR));
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
