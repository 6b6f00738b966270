#include "contactlist/PreferencesPages.h"

#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

namespace {

const int kTypeCount = 4;
const int kMaxTextChars = 256;
const unsigned long kMaxPort = 65535;

const int kProxyControls[] = {IDC_PROXY_HOST, IDC_PROXY_PORT, IDC_PROXY_AUTH, IDC_PROXY_AUTH_TEXT, 0};
const int kLoginControls[] = {IDC_PROXY_LOGIN, IDC_PROXY_PASSWORD, 0};

int SelectedType(HWND page)
{
    return static_cast<int>(SendDlgItemMessageW(page, IDC_PROXY_TYPE, CB_GETCURSEL, 0, 0));
}

void ApplyEnabling(HWND page)
{
    const bool proxy = SelectedType(page) > JOVSockets::kProxyNone;
    EnableItems(page, kProxyControls, proxy);
    EnableItems(page, kLoginControls, proxy && IsItemChecked(page, IDC_PROXY_AUTH));
}

// The text of at most 256 characters.
CJOVString ShortText(HWND page, int id)
{
    CJOVString text = GetItemString(page, id);
    return text.GetLength() > kMaxTextChars ? text.Substring(0, kMaxTextChars) : text;
}

void Load(HWND page, CPreferencesOwners& owners)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_TYPE_TEXT), 107, L"Proxy type");
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_HOST_TEXT), 108, L"Server");
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_PORT_TEXT), 109, L"Port");
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_AUTH_TEXT), 110, L"Authentication (if needed)");
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_LOGIN_TEXT), 111, L"User name");
    SetLocalizedWindowText(GetDlgItem(page, IDC_PROXY_PASSWORD_TEXT), 112, L"User password");

    HWND type = GetDlgItem(page, IDC_PROXY_TYPE);
    ResetCombo(page, IDC_PROXY_TYPE);
    const wchar_t* names[kTypeCount] = {L"NONE", L"HTTP(S)", L"SOCKS 4", L"SOCKS 5"};
    for (const wchar_t* name : names)
        AddComboString(page, IDC_PROXY_TYPE, name);
    SetFocus(type);

    JOVSockets::SocketParams params;
    owners.GetProxySettings(&params);
    const int selected = params.proxyType >= 0 && params.proxyType < kTypeCount ? params.proxyType : 0;
    SendMessageW(type, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SetDlgItemTextW(page, IDC_PROXY_HOST, params.proxyHost);
    SetDlgItemInt(page, IDC_PROXY_PORT, static_cast<UINT>(params.proxyPort), FALSE);
    SetItemChecked(page, IDC_PROXY_AUTH, params.proxyAuth);
    SetDlgItemTextW(page, IDC_PROXY_LOGIN, params.proxyLogin);
    SetDlgItemTextW(page, IDC_PROXY_PASSWORD, params.proxyPassword);
    ApplyEnabling(page);
}

PanelCheckResult Store(HWND page, CPreferencesOwners& owners)
{
    PanelCheckResult result;
    const int type = SelectedType(page);
    if (type < 0)
        return result;
    JOVSockets::SocketParams params;
    owners.GetProxySettings(&params);
    unsigned long port = 0;
    const bool validPort = ReadUnsigned(page, IDC_PROXY_PORT, &port) && port >= 1 && port <= kMaxPort;
    if (type != JOVSockets::kProxyNone && !validPort) {
        // A proxy that cannot be reached would fail every connection later.
        result.failed = 1;
        result.message = LangText(206, L"Not valid host port");
        result.control = IDC_PROXY_PORT;
        return result;
    }
    params.proxyType = type;
    params.proxyHost = ShortText(page, IDC_PROXY_HOST);
    // Without a proxy the port box is off; a port it cannot hold keeps the stored one.
    if (validPort)
        params.proxyPort = static_cast<int>(port);
    params.proxyAuth = IsItemChecked(page, IDC_PROXY_AUTH);
    params.proxyLogin = ShortText(page, IDC_PROXY_LOGIN);
    params.proxyPassword = ShortText(page, IDC_PROXY_PASSWORD);
    owners.SetProxySettings(params);
    return result;
}

} // namespace

PanelCheckResult ConnectionPageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0) {
        Load(page, PreferencesOwners());
        return PanelCheckResult();
    }
    return Store(page, PreferencesOwners());
}

int ConnectionPageCommand(HWND page, unsigned int first, unsigned int second, void*)
{
    if ((first == IDC_PROXY_TYPE && second == CBN_SELCHANGE) || (first == IDC_PROXY_AUTH && second == BN_CLICKED))
        ApplyEnabling(page);
    return 0;
}
