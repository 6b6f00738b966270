#include "messaging/MsgWnd_ChatSettingsDlg.h"

#include "contactlist/ControlText.h"
#include "messaging/FontDlg.h"
#include "messaging/MessagingIds.h"

bool RunFontDialog(HWND parent, const LOGFONTW& font, LOGFONTW& chosen)
{
    CFontDlg dialog(parent, font);
    if (dialog.DoModal() != IDOK)
        return false;
    chosen = CFontDlg::GetFont();
    return true;
}

CMsgWnd_ChatSettingsDlg::CMsgWnd_ChatSettingsDlg(HWND parent, MessageWndSettings* settings)
    : CModalDialog(parent, IDD_CHAT_SETTINGS, IDM_APPLY_CANCEL, 0), m_settings(settings)
{
    KeepsSettings();
}

void CMsgWnd_ChatSettingsDlg::OnInitDialog()
{
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_FORMATTING), 72, L"Message formatting:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_SHOW_NAMES_LABEL), 73, L"Show names");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_SHOW_TIME_LABEL), 74, L"Show timestamp");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_NEW_LINE_LABEL), 75, L"Message from new line");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_HEAD_FONT), 76, L"Change head font...");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_SUBHEAD_FONT), 77, L"Change subhead font...");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_CHAT_TEXT_FONT), 78, L"Change text font...");
    CModalDialog::OnInitDialog();
}

int CMsgWnd_ChatSettingsDlg::DoDataExchange(int save)
{
    if (!save) {
        const MessageWndSettings::ChatFlags& flags = m_settings->GetChatFlags();
        CheckDlgButton(m_hDlg, IDC_CHAT_SHOW_NAMES, flags.showNames ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_CHAT_SHOW_TIME, flags.showTime ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_CHAT_NEW_LINE, flags.newLine ? BST_CHECKED : BST_UNCHECKED);
    } else {
        MessageWndSettings::ChatFlags flags;
        flags.showNames = IsDlgButtonChecked(m_hDlg, IDC_CHAT_SHOW_NAMES) == BST_CHECKED ? 1 : 0;
        flags.showTime = IsDlgButtonChecked(m_hDlg, IDC_CHAT_SHOW_TIME) == BST_CHECKED ? 1 : 0;
        flags.newLine = IsDlgButtonChecked(m_hDlg, IDC_CHAT_NEW_LINE) == BST_CHECKED ? 1 : 0;
        m_settings->SetChatFlags(flags);
    }
    return CModalDialog::DoDataExchange(save);
}

INT_PTR CMsgWnd_ChatSettingsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        MessageWndSettings::Font font;
        switch (LOWORD(wParam)) {
        case IDC_CHAT_HEAD_FONT:
            font = MessageWndSettings::HeadFont;
            break;
        case IDC_CHAT_SUBHEAD_FONT:
            font = MessageWndSettings::SubheadFont;
            break;
        case IDC_CHAT_TEXT_FONT:
            font = MessageWndSettings::TextFont;
            break;
        default:
            return CModalDialog::DialogProc(dialog, message, wParam, lParam);
        }
        LOGFONTW chosen;
        if (RunFontDialog(m_hDlg, m_settings->GetLogFont(font), chosen)) {
            if (font == MessageWndSettings::HeadFont)
                m_settings->SetHeadFont(chosen);
            else if (font == MessageWndSettings::SubheadFont)
                m_settings->SetSubheadFont(chosen);
            else
                m_settings->SetTextFont(chosen);
        }
        return 1;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
