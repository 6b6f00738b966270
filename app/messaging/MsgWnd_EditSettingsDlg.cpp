#include "messaging/MsgWnd_EditSettingsDlg.h"

#include <commctrl.h>

#include "contactlist/ControlText.h"
#include "messaging/MessagingIds.h"
#include "messaging/MsgWnd_ChatSettingsDlg.h"

namespace {

const int kFewestLines = 1;
const int kMostLines = 5;

} // namespace

CMsgWnd_EditSettingsDlg::CMsgWnd_EditSettingsDlg(HWND parent, MessageWndSettings* settings)
    : CModalDialog(parent, IDD_EDIT_SETTINGS, IDM_APPLY_CANCEL, 0), m_settings(settings)
{
    KeepsSettings();
}

void CMsgWnd_EditSettingsDlg::OnInitDialog()
{
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_EDIT_MAX_LINES_LABEL), 79, L"- max line count");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_EDIT_SEND_BUTTON_LABEL), 82, L"Show \"Send message\" button");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_EDIT_SEND_ON_ENTER_LABEL), 80, L"Send on Enter");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_EDIT_FONT), 78, L"Change text font...");
    // Fewest at the bottom, most at the top: the up arrow adds a line.
    SendDlgItemMessageW(m_hDlg, IDC_EDIT_MAX_LINES_SPIN, UDM_SETRANGE32, kFewestLines, kMostLines);
    CModalDialog::OnInitDialog();
}

int CMsgWnd_EditSettingsDlg::DoDataExchange(int save)
{
    if (!save) {
        const MessageWndSettings::EditOptions& options = m_settings->GetEditOptions();
        SetDlgItemInt(m_hDlg, IDC_EDIT_MAX_LINES, static_cast<UINT>(options.maxLines), TRUE);
        CheckDlgButton(m_hDlg, IDC_EDIT_SEND_BUTTON, options.showSendButton ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_EDIT_SEND_ON_ENTER, options.sendOnEnter ? BST_CHECKED : BST_UNCHECKED);
    } else {
        MessageWndSettings::EditOptions options;
        int lines = static_cast<int>(GetDlgItemInt(m_hDlg, IDC_EDIT_MAX_LINES, nullptr, TRUE));
        options.maxLines = lines < kFewestLines ? kFewestLines : (lines > kMostLines ? kMostLines : lines);
        options.showSendButton = IsDlgButtonChecked(m_hDlg, IDC_EDIT_SEND_BUTTON) == BST_CHECKED ? 1 : 0;
        options.sendOnEnter = IsDlgButtonChecked(m_hDlg, IDC_EDIT_SEND_ON_ENTER) == BST_CHECKED ? 1 : 0;
        m_settings->SetEditOptions(options);
    }
    return CModalDialog::DoDataExchange(save);
}

INT_PTR CMsgWnd_EditSettingsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_EDIT_FONT && HIWORD(wParam) == BN_CLICKED) {
        LOGFONTW chosen;
        if (RunFontDialog(m_hDlg, m_settings->GetLogFont(MessageWndSettings::EditFont), chosen))
            m_settings->SetEditFont(chosen);
        return 1;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
