// The "Expert" page: the host and port connected to by hand, and compression.
#include "OptionsPages.h"

#include "AccountRegistry.h"
#include "JabberProtocol.h"
#include "JabberResource.h"
#include "JabberSettings.h"
#include "OptionsPageValues.h"
#include "PageControls.h"

namespace {

void EnableManualHost(HWND page, bool enabled)
{
    EnableControl(page, IDC_EXPERT_SERVER, enabled);
    EnableControl(page, IDC_EXPERT_PORT, enabled);
}

} // namespace

PanelCheckResult ExpertOptionsPageProc(HWND page, int direction, unsigned int accountId)
{
    if (direction != 0) {
        ExpertPageValues values;
        values.manual = IsChecked(page, IDC_EXPERT_MANUAL);
        values.server = GetControlText(page, IDC_EXPERT_SERVER, kJabberMaxNameLength);
        values.port = GetControlText(page, IDC_EXPERT_PORT, 16);
        values.compression = IsChecked(page, IDC_EXPERT_COMPRESSION);
        return StoreExpertPage(values, *GetAccountSettings(), accountId);
    }
    SetLabel(page, IDC_EXPERT_MANUAL_LABEL, 23, L"Manually specify connection host");
    SetLabel(page, IDC_EXPERT_SERVER_LABEL, 24, L"Server");
    SetLabel(page, IDC_EXPERT_PORT_LABEL, 25, L"Port");
    SetLabel(page, IDC_EXPERT_COMPRESSION_LABEL, 26, L"Enable stream compression");
    SendDlgItemMessageW(page, IDC_EXPERT_PORT, EM_LIMITTEXT, 5, 0);
    ExpertPageValues values = LoadExpertPage(*GetAccountSettings(), accountId);
    SetChecked(page, IDC_EXPERT_MANUAL, values.manual);
    SetControlText(page, IDC_EXPERT_SERVER, values.server);
    SetControlText(page, IDC_EXPERT_PORT, values.port);
    SetChecked(page, IDC_EXPERT_COMPRESSION, values.compression);

    CJabberProtocol* account = FindAccount(accountId);
    const bool offline = !account || account->GetState() == 0;
    EnableControl(page, IDC_EXPERT_MANUAL, offline);
    EnableControl(page, IDC_EXPERT_COMPRESSION, offline);
    EnableManualHost(page, offline && values.manual);
    return PanelCheckResult();
}

int ExpertOptionsPageCommand(HWND page, unsigned int control, unsigned int code, void*)
{
    if (control == IDC_EXPERT_MANUAL && code == BN_CLICKED)
        EnableManualHost(page, IsChecked(page, IDC_EXPERT_MANUAL));
    return 0;
}
