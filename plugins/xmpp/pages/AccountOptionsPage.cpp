// The "Account" page: user name, password, resource, server, port and SSL.
#include "OptionsPages.h"

#include "AccountRegistry.h"
#include "JabberProtocol.h"
#include "JabberResource.h"
#include "JabberSettings.h"
#include "OptionsPageValues.h"
#include "PageControls.h"
#include "PluginModule.h"

namespace {

bool g_showPassword = false;

const int kAccountControls[] = {IDC_ACCOUNT_NAME,          IDC_ACCOUNT_PASSWORD,           IDC_ACCOUNT_SHOW_PASSWORD,
                                IDC_ACCOUNT_SAVE_PASSWORD, IDC_ACCOUNT_RESOURCE,           IDC_ACCOUNT_SERVER,
                                IDC_ACCOUNT_PORT,          IDC_ACCOUNT_SSL,                IDC_ACCOUNT_SHOW_PASSWORD_LABEL,
                                IDC_ACCOUNT_SAVE_PASSWORD_LABEL};

void ShowPassword(HWND page, bool shown)
{
    HWND edit = GetDlgItem(page, IDC_ACCOUNT_PASSWORD);
    SendMessageW(edit, EM_SETPASSWORDCHAR, shown ? 0 : L'*', 0);
    InvalidateRect(edit, nullptr, TRUE);
}

void Load(HWND page, unsigned int accountId)
{
    SetLabel(page, IDC_ACCOUNT_NAME_LABEL, 14, L"Username");
    SetLabel(page, IDC_ACCOUNT_PASSWORD_LABEL, 15, L"Password");
    SetLabel(page, IDC_ACCOUNT_RESOURCE_LABEL, 18, L"Resource");
    SetLabel(page, IDC_ACCOUNT_SERVER_LABEL, 19, L"Server");
    SetLabel(page, IDC_ACCOUNT_PORT_LABEL, 20, L"Port");
    SetLabel(page, IDC_ACCOUNT_SHOW_PASSWORD_LABEL, 16, L"Show password");
    SetLabel(page, IDC_ACCOUNT_SAVE_PASSWORD_LABEL, 17, L"Save password");
    SetLabel(page, IDC_ACCOUNT_SSL_LABEL, 21, L"Use SSL");
    SendDlgItemMessageW(page, IDC_ACCOUNT_NAME, EM_LIMITTEXT, kJabberMaxNameLength, 0);
    SendDlgItemMessageW(page, IDC_ACCOUNT_PASSWORD, EM_LIMITTEXT, kJabberMaxPasswordLength, 0);
    SendDlgItemMessageW(page, IDC_ACCOUNT_PORT, EM_LIMITTEXT, 5, 0);

    AccountPageValues values = LoadAccountPage(*GetAccountSettings(), accountId, g_showPassword);
    SetControlText(page, IDC_ACCOUNT_NAME, values.name);
    SetControlText(page, IDC_ACCOUNT_PASSWORD, values.password);
    SetChecked(page, IDC_ACCOUNT_SAVE_PASSWORD, values.savePassword);
    SetChecked(page, IDC_ACCOUNT_SHOW_PASSWORD, values.showPassword);
    ShowPassword(page, values.showPassword);
    SetControlText(page, IDC_ACCOUNT_RESOURCE, values.resource);
    SetControlText(page, IDC_ACCOUNT_SERVER, values.server);
    SetControlText(page, IDC_ACCOUNT_PORT, values.port);
    SetChecked(page, IDC_ACCOUNT_SSL, values.ssl);

    // What the login uses cannot change under it.
    CJabberProtocol* account = FindAccount(accountId);
    const bool offline = !account || account->GetState() == 0;
    for (int control : kAccountControls)
        EnableControl(page, control, offline);
    if (offline)
        EnableControl(page, IDC_ACCOUNT_SHOW_PASSWORD, values.showPasswordEnabled);
}

PanelCheckResult Store(HWND page, unsigned int accountId)
{
    AccountPageValues values;
    values.name = GetControlText(page, IDC_ACCOUNT_NAME, kJabberMaxNameLength);
    values.password = GetControlText(page, IDC_ACCOUNT_PASSWORD, kJabberMaxPasswordLength);
    values.savePassword = IsChecked(page, IDC_ACCOUNT_SAVE_PASSWORD);
    values.showPassword = IsChecked(page, IDC_ACCOUNT_SHOW_PASSWORD);
    values.resource = GetControlText(page, IDC_ACCOUNT_RESOURCE, kJabberMaxNameLength);
    values.server = GetControlText(page, IDC_ACCOUNT_SERVER, kJabberMaxNameLength);
    values.port = GetControlText(page, IDC_ACCOUNT_PORT, 16);
    values.ssl = IsChecked(page, IDC_ACCOUNT_SSL);
    bool changed = false;
    PanelCheckResult result = StoreAccountPage(values, *GetAccountSettings(), accountId, &changed);
    if (result.failed)
        return result;
    g_showPassword = values.showPassword;
    if (changed) {
        if (CJabberProtocol* account = FindAccount(accountId))
            account->NotifyAccountChanged();
    }
    return result;
}

} // namespace

bool GetShowPasswordFlag()
{
    return g_showPassword;
}

void AppendJabberOptionsPages(CJOVArray<CPanelInfo>& pages)
{
    pages.Append(
        PluginPage(14, L"Account", IDD_JABBER_ACCOUNT_PAGE, AccountOptionsPageProc, AccountOptionsPageCommand));
    pages.Append(PluginPage(22, L"Expert", IDD_JABBER_EXPERT_PAGE, ExpertOptionsPageProc, ExpertOptionsPageCommand));
}

PanelCheckResult AccountOptionsPageProc(HWND page, int direction, unsigned int accountId)
{
    if (direction == 0) {
        Load(page, accountId);
        return PanelCheckResult();
    }
    return Store(page, accountId);
}

int AccountOptionsPageCommand(HWND page, unsigned int control, unsigned int code, void*)
{
    if (control == IDC_ACCOUNT_SHOW_PASSWORD && code == BN_CLICKED) {
        ShowPassword(page, IsChecked(page, IDC_ACCOUNT_SHOW_PASSWORD));
    } else if (control == IDC_ACCOUNT_PASSWORD && code == EN_CHANGE) {
        // Once the mask is gone the typed password may be shown.
        if (GetWindowTextLengthW(GetDlgItem(page, IDC_ACCOUNT_PASSWORD)) == 0)
            EnableControl(page, IDC_ACCOUNT_SHOW_PASSWORD, true);
    } else if (control == IDC_ACCOUNT_SSL && code == BN_CLICKED) {
        SetControlText(page, IDC_ACCOUNT_PORT, PortForSsl(IsChecked(page, IDC_ACCOUNT_SSL)));
    }
    return 0;
}
