// The "Account" and "Connection" pages of an account's options: their
// controls. What they store is OptionsPageValues'.
// UI thread.
#include "OptionsPages.h"

#include "AccountLink.h"
#include "AccountRequests.h"
#include "OptionsPageValues.h"
#include "PageControls.h"
#include "PluginPages.h"
#include "VerdelResource.h"
#include "PluginModule.h"

namespace {

// Remembers "Show password" between openings of the page, not in the settings.
bool s_showPassword = false;

bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void Check(HWND page, int id, bool checked)
{
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ShowPasswordText(HWND page, bool show)
{
    HWND password = GetDlgItem(page, IDC_PASSWORD);
    SendMessageW(password, EM_SETPASSWORDCHAR, show ? 0 : L'*', 0);
    // The field redraws with its new character once it has had the focus.
    HWND focused = GetFocus();
    SetFocus(password);
    if (focused)
        SetFocus(focused);
    InvalidateRect(password, nullptr, TRUE);
}

void LoadAccount(HWND page, unsigned int accountId)
{
    SetLabel(page, IDC_PASSWORD_LABEL, 50, L"Password");
    SetLabel(page, IDC_SHOW_PASSWORD_TEXT, 51, L"Show password");
    SetLabel(page, IDC_SAVE_PASSWORD_TEXT, 52, L"Save password");
    AccountPageValues values = LoadAccountPage(PluginAccountSettings(), accountId);
    SetControlText(page, IDC_LOGIN, values.login);
    // The texts first: setting them notifies the page, which enables "Show
    // password" for an empty field.
    SetControlText(page, IDC_PASSWORD, values.password);
    Check(page, IDC_SAVE_PASSWORD, values.savePassword);
    if (values.savePassword) {
        // The placeholder is no password to show.
        Check(page, IDC_SHOW_PASSWORD, false);
        SendDlgItemMessageW(page, IDC_PASSWORD, EM_SETPASSWORDCHAR, L'*', 0);
        EnableWindow(GetDlgItem(page, IDC_SHOW_PASSWORD), FALSE);
    } else {
        EnableWindow(GetDlgItem(page, IDC_SHOW_PASSWORD), TRUE);
        Check(page, IDC_SHOW_PASSWORD, s_showPassword);
        SendDlgItemMessageW(page, IDC_PASSWORD, EM_SETPASSWORDCHAR, s_showPassword ? 0 : L'*', 0);
    }
    // Login and password cannot change while the account is connected or connecting.
    const bool offline = AccountStatus(accountId) == Protocols::StatusOffline;
    for (int id : {IDC_LOGIN, IDC_PASSWORD, IDC_SHOW_PASSWORD, IDC_SAVE_PASSWORD, IDC_SHOW_PASSWORD_TEXT,
                   IDC_SAVE_PASSWORD_TEXT, IDC_REGISTER}) {
        if (!offline)
            EnableWindow(GetDlgItem(page, id), FALSE);
        else if (id != IDC_SHOW_PASSWORD)
            EnableWindow(GetDlgItem(page, id), TRUE);
    }
}

PanelCheckResult SaveAccount(HWND page, unsigned int accountId)
{
    AccountPageValues values;
    values.login = ControlText(page, IDC_LOGIN);
    values.savePassword = IsChecked(page, IDC_SAVE_PASSWORD);
    values.password = ControlText(page, IDC_PASSWORD);
    AccountPageOutcome outcome = SaveAccountPage(PluginAccountSettings(), accountId, values);
    if (outcome.passwordCut)
        SetControlText(page, IDC_PASSWORD, outcome.password);
    if (outcome.check.failed)
        return outcome.check;
    SetControlText(page, IDC_LOGIN, outcome.login);
    s_showPassword = IsChecked(page, IDC_SHOW_PASSWORD);
    if (outcome.loginChanged)
        PostAccountRequest(accountId, ICQ_EVENT_LOGIN_CHANGED, nullptr);
    return outcome.check;
}

void LoadConnection(HWND page, unsigned int accountId)
{
    SetLabel(page, IDC_HOST_LABEL, 54, L"Host");
    SetLabel(page, IDC_PORT_LABEL, 55, L"Port");
    SetLabel(page, IDC_KEEP_ALIVE_TEXT, 56, L"Keep connection alive");
    SetLabel(page, IDC_LOAD_CL_TEXT, 57, L"Automatically update contact list");
    SetLabel(page, IDC_AUTO_PRIVACY_TEXT, 58, L"Auto-switch privacy status");
    HWND hosts = GetDlgItem(page, IDC_HOST);
    SendMessageW(hosts, CB_RESETCONTENT, 0, 0);
    for (const wchar_t* host : kLoginServers)
        SendMessageW(hosts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host));
    ConnectionPageValues values = LoadConnectionPage(PluginAccountSettings(), accountId);
    SetControlText(page, IDC_HOST, values.host);
    SetControlText(page, IDC_PORT, values.port);
    Check(page, IDC_KEEP_ALIVE, values.keepAlive);
    Check(page, IDC_LOAD_CL, values.loadContactList);
    Check(page, IDC_AUTO_PRIVACY, values.autoPrivacy);
}

PanelCheckResult SaveConnection(HWND page, unsigned int accountId)
{
    ConnectionPageValues values;
    values.host = ControlText(page, IDC_HOST);
    values.port = ControlText(page, IDC_PORT);
    values.keepAlive = IsChecked(page, IDC_KEEP_ALIVE);
    values.loadContactList = IsChecked(page, IDC_LOAD_CL);
    values.autoPrivacy = IsChecked(page, IDC_AUTO_PRIVACY);
    return SaveConnectionPage(PluginAccountSettings(), accountId, values);
}

} // namespace

PanelCheckResult AccountOptionsPageProc(HWND page, int direction, unsigned int accountId)
{
    if (direction == 0)
        LoadAccount(page, accountId);
    else
        return SaveAccount(page, accountId);
    return PanelCheckResult();
}

int AccountOptionsPageMessage(HWND page, unsigned int control, unsigned int code, void*)
{
    if (control == IDC_SHOW_PASSWORD && code == BN_CLICKED) {
        ShowPasswordText(page, IsChecked(page, IDC_SHOW_PASSWORD));
    } else if (control == IDC_PASSWORD && code == EN_CHANGE) {
        const CJOVString text = ControlText(page, IDC_PASSWORD);
        if (text.GetLength() == 0) {
            EnableWindow(GetDlgItem(page, IDC_SHOW_PASSWORD), TRUE);
        } else if (text != CJOVString(ICQ_PASSWORD_PLACEHOLDER)) {
            // A typed password is one to keep: nothing else asks for it.
            Check(page, IDC_SAVE_PASSWORD, true);
        }
    }
    return 0;
}

PanelCheckResult ConnectionOptionsPageProc(HWND page, int direction, unsigned int accountId)
{
    if (direction == 0)
        LoadConnection(page, accountId);
    else
        return SaveConnection(page, accountId);
    return PanelCheckResult();
}

int NoPageMessage(HWND, unsigned int, unsigned int, void*)
{
    return 0;
}

void AppendOptionsPages(CJOVArray<CPanelInfo>& pages)
{
    pages.Append(PluginPage(49, L"Account", IDD_ACCOUNT_OPTIONS, AccountOptionsPageProc, AccountOptionsPageMessage));
    pages.Append(PluginPage(53, L"Connection", IDD_CONNECTION_OPTIONS, ConnectionOptionsPageProc, NoPageMessage));
}

CPanelInfo MakePluginPage(int textId, const wchar_t* english, unsigned int dialog, PanelDataExchangeProc exchange)
{
    return PluginPage(textId, english, dialog, exchange, NoPageMessage);
}
