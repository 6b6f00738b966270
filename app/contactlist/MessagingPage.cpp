#include "contactlist/PreferencesPages.h"

#include "contactlist/ControlText.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

// The three dialogs change the messaging window at once: the page itself
// neither loads nor stores anything.
PanelCheckResult MessagingPageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0) {
        SetLocalizedWindowText(GetDlgItem(page, IDC_MESSAGING_TEXT), 68,
                               L"Click one of the buttons for editing messaging window properties");
        SetLocalizedWindowText(GetDlgItem(page, IDC_MESSAGING_HISTORY), 69, L"History...");
        SetLocalizedWindowText(GetDlgItem(page, IDC_MESSAGING_EDITOR), 70, L"Editor...");
        SetLocalizedWindowText(GetDlgItem(page, IDC_MESSAGING_CONTROLS), 71, L"Controls...");
    }
    return PanelCheckResult();
}

int MessagingPageCommand(HWND page, unsigned int first, unsigned int second, void*)
{
    if (second != BN_CLICKED)
        return 0;
    switch (first) {
    case IDC_MESSAGING_HISTORY:
        PreferencesOwners().OpenMessagingSettings(page, MessagingChatDialog);
        break;
    case IDC_MESSAGING_EDITOR:
        PreferencesOwners().OpenMessagingSettings(page, MessagingEditDialog);
        break;
    case IDC_MESSAGING_CONTROLS:
        PreferencesOwners().OpenMessagingSettings(page, MessagingControlsDialog);
        break;
    }
    return 0;
}
