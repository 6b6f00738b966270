#include "contactlist/PreferencesPages.h"

#include <commctrl.h>

#include "MenuInfo.h"
#include "Sound.h"
#include "contactlist/ControlText.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"
#include "contactlist/SelectFileDlg.h"
#include "core/alerts/SoundSchemes.h"

namespace {

const int kMaxFileChars = 260;

const wchar_t* StandardAlertName(unsigned int textId)
{
    switch (textId) {
    case 154:
        return L"JOV startup";
    case 155:
        return L"Incoming message";
    case 156:
        return L"Message sent";
    case 157:
        return L"Contact online alert";
    }
    return L"";
}

HWND List(HWND page)
{
    return GetDlgItem(page, IDC_SOUNDS_LIST);
}

int RowCount(HWND page)
{
    return static_cast<int>(SendMessageW(List(page), LVM_GETITEMCOUNT, 0, 0));
}

CJOVString RowFile(HWND page, int row)
{
    wchar_t text[kMaxFileChars + 1] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = kMaxFileChars + 1;
    SendMessageW(List(page), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return CJOVString(text);
}

void SetRowFile(HWND page, int row, const CJOVString& file)
{
    CJOVString copy = file;
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = copy;
    SendMessageW(List(page), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

unsigned int RowAlert(HWND page, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(List(page), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<unsigned int>(item.lParam);
}

void FreeNames(CJOVArray<wchar_t*>& names)
{
    for (int i = 0; i < names.Count(); ++i)
        delete[] names[i];
    names.RemoveAll();
}

void ApplyEnabling(HWND page)
{
    static const int kSoftMode[] = {IDC_SOUNDS_SOFT_MODE, IDC_SOUNDS_SOFT_MODE_TEXT, 0};
    EnableItems(page, kSoftMode, !(IsItemChecked(page, IDC_SOUNDS_OFF) && IsItemChecked(page, IDC_SOUNDS_NO_VIBRATE)));
}

void SetTexts(HWND page)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_SOUNDS_OFF_TEXT), 90, L"Disable sounds");
    SetLocalizedWindowText(GetDlgItem(page, IDC_SOUNDS_NO_VIBRATE_TEXT), 91, L"Disable vibrate");
    SetLocalizedWindowText(GetDlgItem(page, IDC_SOUNDS_SOFT_MODE_TEXT), 92, L"Don't play if status is Occupied or N/A");
    SetLocalizedWindowText(GetDlgItem(page, IDC_SOUNDS_CHANGE), 95, L"Change");
    SetLocalizedWindowText(GetDlgItem(page, IDC_SOUNDS_PLAY), 96, L"Play");
}

void AddColumn(HWND list, int index, int textId, const wchar_t* english, int width)
{
    CJOVString title = LangText(textId, english);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cx = width;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void LoadRows(HWND page, Alert::CAlertManager* alerts, Alert::CAlertOptions* options)
{
    HWND list = List(page);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ClearListView(list);
    RECT client;
    GetClientRect(list, &client);
    const int width = client.right - client.left;
    AddColumn(list, 0, 93, L"Events", width / 2);
    AddColumn(list, 1, 94, L"Sound file", width * 3 / 2);

    CJOVArray<unsigned int> ids(10);
    options->GetAlertIds(&ids);
    for (int i = 0; i < ids.Count(); ++i) {
        Alert::AlertInfo info;
        if (!alerts || !alerts->GetAlert(ids[i], &info))
            continue;
        CJOVString name = LangText(static_cast<int>(info.name), StandardAlertName(info.name));
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = RowCount(page);
        item.pszText = name;
        item.lParam = static_cast<LPARAM>(ids[i]);
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            continue;
        SetRowFile(page, row, info.wavPath);
        ListView_SetCheckState(list, row, info.use != 0);
    }
}

void LoadSchemes(HWND page, const CJOVString& current, const CJOVString& programFolder)
{
    ResetCombo(page, IDC_SOUNDS_SCHEME);
    CJOVArray<wchar_t*> names(10);
    ListSoundSchemes(&names, programFolder);
    for (int i = 0; i < names.Count(); ++i)
        AddComboString(page, IDC_SOUNDS_SCHEME, names[i]);
    FreeNames(names);
    int index = FindComboExact(page, IDC_SOUNDS_SCHEME, current);
    // A scheme that is gone from the disk still shows as the one in use.
    if (index < 0) {
        CJOVString name = current;
        index = AddComboString(page, IDC_SOUNDS_SCHEME, name);
    }
    SendDlgItemMessageW(page, IDC_SOUNDS_SCHEME, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The selected scheme's files, one for each alert in order; false when none is selected.
bool ReadSelectedScheme(HWND page, CJOVArray<wchar_t*>* files)
{
    CJOVString scheme;
    if (!GetComboSelection(page, IDC_SOUNDS_SCHEME, &scheme))
        return false;
    ReadSoundScheme(scheme, files, PreferencesOwners().GetProgramFolder());
    return true;
}

// A scheme may name fewer files than there are rows: the rest keep theirs.
void WriteSchemeFile(HWND page, int row)
{
    CJOVArray<wchar_t*> files(10);
    if (ReadSelectedScheme(page, &files) && row < files.Count())
        SetRowFile(page, row, CJOVString(files[row]));
    FreeNames(files);
}

void WriteSchemeFiles(HWND page)
{
    CJOVArray<wchar_t*> files(10);
    if (ReadSelectedScheme(page, &files)) {
        const int rows = RowCount(page);
        for (int row = 0; row < rows && row < files.Count(); ++row)
            SetRowFile(page, row, CJOVString(files[row]));
    }
    FreeNames(files);
}

void Play(HWND page)
{
    const int row = GetSelectedListViewItem(List(page));
    if (row < 0)
        return;
    CJOVString file = RowFile(page, row);
    if (file.GetLength() > 0)
        Platform::PlaySoundFile(file, nullptr, JOV_SND_ASYNC | JOV_SND_FILENAME | JOV_SND_NODEFAULT);
}

void ChooseFile(HWND page, int row)
{
    CSelectFileDlg picker(page, L"*.wav;", 1);
    if (picker.DoModal() == IDOK)
        SetRowFile(page, row, CSelectFileDlg::GetChosenPath());
}

void Change(HWND page)
{
    const int row = GetSelectedListViewItem(List(page));
    if (row < 0)
        return;
    CMenuInfo info;
    info.Append(CMenuItemInfo(LangText(97, L"Select file..."), IDM_SOUND_SELECT_FILE, 0));
    info.Append(CMenuItemInfo(LangText(98, L"Default"), IDM_SOUND_DEFAULT, 0));
    info.Append(CMenuItemInfo(LangText(99, L"Disable sound"), IDM_SOUND_DISABLE, 0));
    unsigned int nextId = IDM_SOUND_DISABLE + 1;
    HMENU menu = BuildPopupMenu(info, nextId, nullptr);
    if (!menu)
        return;
    RECT button;
    GetWindowRect(GetDlgItem(page, IDC_SOUNDS_CHANGE), &button);
    const UINT flags = TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN;
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu, flags, button.left, button.top, page, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
    case IDM_SOUND_SELECT_FILE:
        ChooseFile(page, row);
        break;
    case IDM_SOUND_DEFAULT:
        WriteSchemeFile(page, row);
        break;
    case IDM_SOUND_DISABLE:
        SetRowFile(page, row, CJOVString());
        break;
    }
}

void Store(HWND page, Alert::CAlertOptions* options)
{
    Alert::AlertSettings settings = options->GetSettings();
    settings.disableSounds = IsItemChecked(page, IDC_SOUNDS_OFF) ? TRUE : FALSE;
    settings.disableVibrate = IsItemChecked(page, IDC_SOUNDS_NO_VIBRATE) ? TRUE : FALSE;
    settings.useSoftMode = IsItemChecked(page, IDC_SOUNDS_SOFT_MODE) ? TRUE : FALSE;
    CJOVString scheme;
    if (GetComboSelection(page, IDC_SOUNDS_SCHEME, &scheme))
        settings.scheme = scheme;
    options->SetSettings(settings);

    HWND list = List(page);
    const int rows = RowCount(page);
    for (int row = 0; row < rows; ++row)
        options->SetAlertSound(RowAlert(page, row), RowFile(page, row), ListView_GetCheckState(list, row) ? 1 : 0);
}

} // namespace

PanelCheckResult SoundsPageProc(HWND page, int direction, unsigned int)
{
    CPreferencesOwners& owners = PreferencesOwners();
    Alert::CAlertOptions* options = owners.GetAlertOptions();
    if (!options)
        return PanelCheckResult();
    if (direction == 0) {
        SetTexts(page);
        const Alert::AlertSettings settings = options->GetSettings();
        SetItemChecked(page, IDC_SOUNDS_OFF, settings.disableSounds != FALSE);
        SetItemChecked(page, IDC_SOUNDS_NO_VIBRATE, settings.disableVibrate != FALSE);
        SetItemChecked(page, IDC_SOUNDS_SOFT_MODE, settings.useSoftMode != FALSE);
        ApplyEnabling(page);
        LoadRows(page, owners.GetAlerts(), options);
        LoadSchemes(page, settings.scheme, owners.GetProgramFolder());
    } else {
        Store(page, options);
    }
    return PanelCheckResult();
}

int SoundsPageCommand(HWND page, unsigned int first, unsigned int second, void* data)
{
    switch (second) {
    case WM_MEASUREITEM:
        return data ? MeasureMenuItem(page, static_cast<MEASUREITEMSTRUCT*>(data)) : 0;
    case WM_DRAWITEM:
        return data ? DrawMenuItem(page, static_cast<DRAWITEMSTRUCT*>(data)) : 0;
    }
    if (!PreferencesOwners().GetAlertOptions())
        return 0;
    if (first == IDC_SOUNDS_SCHEME && second == CBN_SELCHANGE) {
        WriteSchemeFiles(page);
        return 0;
    }
    if (second != BN_CLICKED)
        return 0;
    switch (first) {
    case IDC_SOUNDS_OFF:
    case IDC_SOUNDS_NO_VIBRATE:
        ApplyEnabling(page);
        break;
    case IDC_SOUNDS_PLAY:
        Play(page);
        break;
    case IDC_SOUNDS_CHANGE:
        Change(page);
        break;
    }
    return 0;
}
