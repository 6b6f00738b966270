#include "contactlist/PreferencesPages.h"

#include <commctrl.h>

#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"

namespace {

const int kMinCount = 1;
const int kMaxCount = 10;

const int kUnderSave[] = {IDC_HISTORY_NOT_IN_LIST, IDC_HISTORY_NOT_IN_LIST_TEXT, 0};
const int kUnderShow[] = {IDC_HISTORY_COUNT, IDC_HISTORY_COUNT_SPIN, IDC_HISTORY_COUNT_TEXT, 0};

void ApplySaveEnabling(HWND page)
{
    EnableItems(page, kUnderSave, IsItemChecked(page, IDC_HISTORY_SAVE));
}

void ApplyShowEnabling(HWND page)
{
    EnableItems(page, kUnderShow, IsItemChecked(page, IDC_HISTORY_SHOW));
}

void Load(HWND page, CPreferencesOwners& owners)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_HISTORY_SAVE_TEXT), 86, L"Save message history");
    SetLocalizedWindowText(GetDlgItem(page, IDC_HISTORY_NOT_IN_LIST_TEXT), 87,
                           L"Save message history for \"Not in list\"");
    SetLocalizedWindowText(GetDlgItem(page, IDC_HISTORY_SHOW_TEXT), 88, L"Show history in messaging window");
    SetLocalizedWindowText(GetDlgItem(page, IDC_HISTORY_COUNT_TEXT), 89, L"- Number of messages to show");

    SetItemChecked(page, IDC_HISTORY_SAVE, owners.GetHistorySaving(0));
    SetItemChecked(page, IDC_HISTORY_NOT_IN_LIST, owners.GetHistorySaving(1));
    ApplySaveEnabling(page);

    const MessageWndSettings::HistoryView view = owners.GetHistoryView();
    SetItemChecked(page, IDC_HISTORY_SHOW, view.showHistory != 0);
    SendDlgItemMessageW(page, IDC_HISTORY_COUNT_SPIN, UDM_SETRANGE32, kMinCount, kMaxCount);
    SetDlgItemInt(page, IDC_HISTORY_COUNT, static_cast<UINT>(view.historyCount), FALSE);
    ApplyShowEnabling(page);
}

void Store(HWND page, CPreferencesOwners& owners)
{
    owners.SetHistorySaving(0, IsItemChecked(page, IDC_HISTORY_SAVE));
    owners.SetHistorySaving(1, IsItemChecked(page, IDC_HISTORY_NOT_IN_LIST));

    unsigned long count = 0;
    if (!ReadUnsigned(page, IDC_HISTORY_COUNT, &count) || count < kMinCount)
        count = kMinCount;
    if (count > kMaxCount)
        count = kMaxCount;
    MessageWndSettings::HistoryView view;
    view.showHistory = IsItemChecked(page, IDC_HISTORY_SHOW) ? 1 : 0;
    view.historyCount = static_cast<int>(count);
    owners.SetHistoryView(view);
}

} // namespace

PanelCheckResult HistoryPageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0)
        Load(page, PreferencesOwners());
    else
        Store(page, PreferencesOwners());
    return PanelCheckResult();
}

int HistoryPageCommand(HWND page, unsigned int first, unsigned int second, void*)
{
    if (second != BN_CLICKED)
        return 0;
    if (first == IDC_HISTORY_SAVE)
        ApplySaveEnabling(page);
    else if (first == IDC_HISTORY_SHOW)
        ApplyShowEnabling(page);
    return 0;
}
