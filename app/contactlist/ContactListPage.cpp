#include "contactlist/PreferencesPages.h"

#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

namespace {

const wchar_t kMode[] = L"CL mode";
const wchar_t kOnlineOnly[] = L"CL online only";
const wchar_t kColumns[] = L"CLCtrl columns";
const wchar_t kStatusOnly[] = L"Status only";
const int kDefaultMode = 1;
const int kDefaultColumns = 2;
const int kMaxColumns = 4;

int StoredByte(CPreferencesOwners& owners, const wchar_t* name, int fallback)
{
    BYTE value = 0;
    return owners.GetGuiByte(name, &value) ? value : fallback;
}

void Load(HWND page, CPreferencesOwners& owners)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_CL_MODE_TEXT), 53, L"Mode:");
    SetLocalizedWindowText(GetDlgItem(page, IDC_CL_ONLINE_ONLY_TEXT), 56, L"Show only online contacts");
    SetLocalizedWindowText(GetDlgItem(page, IDC_CL_COLUMNS_TEXT), 57, L"Columns:");
    SetLocalizedWindowText(GetDlgItem(page, IDC_CL_STATUS_ONLY_TEXT), 58, L"Don't show additional icons");

    HWND mode = GetDlgItem(page, IDC_CL_MODE);
    ResetCombo(page, IDC_CL_MODE);
    AddLocalizedComboString(mode, 54, L"Simple");
    AddLocalizedComboString(mode, 55, L"Groups");
    SendMessageW(mode, CB_SETCURSEL, static_cast<WPARAM>(StoredByte(owners, kMode, kDefaultMode)), 0);
    SetFocus(mode);

    SetItemChecked(page, IDC_CL_ONLINE_ONLY, StoredByte(owners, kOnlineOnly, 0) != 0);

    ResetCombo(page, IDC_CL_COLUMNS);
    const wchar_t* counts[] = {L"1", L"2", L"3", L"4"};
    for (const wchar_t* count : counts)
        AddComboString(page, IDC_CL_COLUMNS, count);
    SendDlgItemMessageW(page, IDC_CL_COLUMNS, CB_SETCURSEL,
                        static_cast<WPARAM>(StoredByte(owners, kColumns, kDefaultColumns) - 1), 0);

    SetItemChecked(page, IDC_CL_STATUS_ONLY, StoredByte(owners, kStatusOnly, 0) != 0);
}

void Store(HWND page, CPreferencesOwners& owners)
{
    // A stored value out of range leaves a combo without a selection: the
    // mode then stays, and the columns come to the nearest count.
    const int mode = static_cast<int>(SendDlgItemMessageW(page, IDC_CL_MODE, CB_GETCURSEL, 0, 0));
    if (mode >= 0 && mode != owners.GetCLMode()) {
        owners.SetGuiByte(kMode, static_cast<BYTE>(mode));
        owners.SetCLMode(mode);
    }

    const BYTE onlineOnly = IsItemChecked(page, IDC_CL_ONLINE_ONLY) ? 1 : 0;
    owners.SetGuiByte(kOnlineOnly, onlineOnly);
    owners.SetCLOnlineOnly(onlineOnly);

    int columns = static_cast<int>(SendDlgItemMessageW(page, IDC_CL_COLUMNS, CB_GETCURSEL, 0, 0)) + 1;
    if (columns < 1)
        columns = 1;
    if (columns > kMaxColumns)
        columns = kMaxColumns;
    if (static_cast<unsigned int>(columns) != owners.GetCLColumns()) {
        owners.SetGuiByte(kColumns, static_cast<BYTE>(columns));
        owners.SetCLColumns(static_cast<unsigned int>(columns));
    }

    owners.SetGuiByte(kStatusOnly, IsItemChecked(page, IDC_CL_STATUS_ONLY) ? 1 : 0);
}

} // namespace

PanelCheckResult ContactListPageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0)
        Load(page, PreferencesOwners());
    else
        Store(page, PreferencesOwners());
    return PanelCheckResult();
}
