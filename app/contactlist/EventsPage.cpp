#include "contactlist/PreferencesPages.h"

#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

namespace {

// The boxes in the order of the manager's record.
const int kBoxes[] = {IDC_EVENTS_TURN_OFF,  IDC_EVENTS_SIGN_ON,     IDC_EVENTS_SIGN_OFF,  IDC_EVENTS_NO_BLINK,
                      IDC_EVENTS_SHOW_MSG, IDC_EVENTS_IF_OCCUPIED, IDC_EVENTS_IF_ACTIVE};

BOOL* Fields(NotificationOptions& options, int index)
{
    BOOL* fields[] = {&options.turnOff,  &options.signOn,           &options.signOff,        &options.dontBlink,
                      &options.showMsg, &options.dontShowIfOccupied, &options.dontShowIfActive};
    return fields[index];
}

// Everything under "Turn off events".
const int kUnderTurnOff[] = {IDC_EVENTS_SIGN_ON,          IDC_EVENTS_SIGN_OFF,        IDC_EVENTS_NO_BLINK,
                             IDC_EVENTS_SHOW_MSG,         IDC_EVENTS_IF_OCCUPIED,     IDC_EVENTS_IF_ACTIVE,
                             IDC_EVENTS_SIGN_ON_TEXT,     IDC_EVENTS_SIGN_OFF_TEXT,   IDC_EVENTS_NO_BLINK_TEXT,
                             IDC_EVENTS_SHOW_MSG_TEXT,    IDC_EVENTS_IF_OCCUPIED_TEXT, IDC_EVENTS_IF_ACTIVE_TEXT,
                             0};
// Everything under "Show tray messages".
const int kUnderShowMsg[] = {IDC_EVENTS_IF_OCCUPIED, IDC_EVENTS_IF_ACTIVE, IDC_EVENTS_IF_OCCUPIED_TEXT,
                             IDC_EVENTS_IF_ACTIVE_TEXT, 0};

void ApplyEnabling(HWND page)
{
    const bool off = IsItemChecked(page, IDC_EVENTS_TURN_OFF);
    EnableItems(page, kUnderTurnOff, !off);
    EnableItems(page, kUnderShowMsg, !off && IsItemChecked(page, IDC_EVENTS_SHOW_MSG));
}

void SetTexts(HWND page)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_TURN_OFF_TEXT), 59, L"Turn off events");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_NOTIFY_TEXT), 60, L"Notify when contacts:");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_SIGN_ON_TEXT), 61, L"Sign on");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_SIGN_OFF_TEXT), 62, L"Sign off");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_NO_BLINK_TEXT), 64, L"Disable tray icon blinking");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_OPTIONS_TEXT), 63, L"Options");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_SHOW_MSG_TEXT), 65, L"Show tray messages");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_IF_OCCUPIED_TEXT), 66,
                           L"Don't show if status is Occupied or N/A");
    SetLocalizedWindowText(GetDlgItem(page, IDC_EVENTS_IF_ACTIVE_TEXT), 67, L"Don't show if JOV is active");
}

} // namespace

PanelCheckResult EventsPageProc(HWND page, int direction, unsigned int)
{
    CPreferencesOwners& owners = PreferencesOwners();
    NotificationOptions options;
    const bool known = owners.GetNotificationOptions(&options);
    if (direction == 0) {
        SetTexts(page);
        for (int i = 0; i < 7; ++i)
            SetItemChecked(page, kBoxes[i], *Fields(options, i) != FALSE);
        ApplyEnabling(page);
    } else if (known) {
        for (int i = 0; i < 7; ++i)
            *Fields(options, i) = IsItemChecked(page, kBoxes[i]) ? TRUE : FALSE;
        owners.SetNotificationOptions(options);
    }
    return PanelCheckResult();
}

int EventsPageCommand(HWND page, unsigned int first, unsigned int second, void*)
{
    if (second == BN_CLICKED && (first == IDC_EVENTS_TURN_OFF || first == IDC_EVENTS_SHOW_MSG))
        ApplyEnabling(page);
    return 0;
}
