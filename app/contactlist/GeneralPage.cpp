#include "contactlist/PreferencesPages.h"

#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

namespace {

struct ByteBox {
    int control;
    const wchar_t* name;
};

const ByteBox kBoxes[] = {
    {IDC_GENERAL_NO_SLEEP, L"Don't sleep"},
    {IDC_GENERAL_FULL_SCREEN, L"Full screen"},
    {IDC_GENERAL_WAKE_UP, L"Wake up"},
};

void SetTexts(HWND page)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_GENERAL_TRAY_TEXT), 49, L"Show tray icon");
    SetLocalizedWindowText(GetDlgItem(page, IDC_GENERAL_NO_SLEEP_TEXT), 50, L"Don't let device sleep");
    SetLocalizedWindowText(GetDlgItem(page, IDC_GENERAL_FULL_SCREEN_TEXT), 51, L"Full screen");
    SetLocalizedWindowText(GetDlgItem(page, IDC_GENERAL_WAKE_UP_TEXT), 52, L"Wake up device when received message");
}

} // namespace

PanelCheckResult GeneralPageProc(HWND page, int direction, unsigned int)
{
    CPreferencesOwners& owners = PreferencesOwners();
    if (direction == 0) {
        SetTexts(page);
        SetItemChecked(page, IDC_GENERAL_TRAY, owners.IsTrayIconEnabled());
        for (const ByteBox& box : kBoxes) {
            BYTE value = 0;
            SetItemChecked(page, box.control, owners.GetGuiByte(box.name, &value) && value != 0);
        }
    } else {
        owners.ApplyTrayIconSetting(IsItemChecked(page, IDC_GENERAL_TRAY));
        for (const ByteBox& box : kBoxes)
            owners.SetGuiByte(box.name, IsItemChecked(page, box.control) ? 1 : 0);
    }
    return PanelCheckResult();
}
