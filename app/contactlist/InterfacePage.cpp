#include "contactlist/PreferencesPages.h"

#include <commctrl.h>

#include "JOVModalDialog.h"
#include "contactlist/ControlText.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesOwners.h"
#include "core/skins/SkinFolders.h"

namespace {

const int kMaxSmilies = 99;

typedef BOOL (*ListNamesFn)(CJOVArray<const wchar_t*>& out, const CJOVString& appDir);

void FillNames(HWND page, int combo, ListNamesFn list, const CJOVString& folder)
{
    ResetCombo(page, combo);
    CJOVArray<const wchar_t*> names(10);
    list(names, folder);
    for (int i = 0; i < names.Count(); ++i)
        AddComboString(page, combo, names[i]);
    Skins::FreeNameList(names);
}

void Select(HWND page, int combo, int index)
{
    SendDlgItemMessageW(page, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SetTexts(HWND page)
{
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_SKIN_TEXT), 100, L"Skin/Icons:");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_COLORS), 101, L"Colors");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_COLORS_TEXT), 102, L"- press to edit most colors");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_SMILIES_TEXT), 103, L"Smilies:");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_TEXT_SMILIES_TEXT), 104, L"Use text smilies");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_MAX_SMILIES_TEXT), 105, L"- max smilies count");
    SetLocalizedWindowText(GetDlgItem(page, IDC_INTERFACE_LANGUAGE_TEXT), 106, L"User interface language:");
}

void Load(HWND page, CPreferencesOwners& owners)
{
    SetTexts(page);
    Skins::SkinChoice choice;
    owners.GetSkinChoice(&choice);
    const CJOVString folder = owners.GetProgramFolder();

    FillNames(page, IDC_INTERFACE_SKIN, Skins::ListSkins, folder);
    int skin = FindComboExact(page, IDC_INTERFACE_SKIN, choice.skin);
    if (skin < 0 && SendDlgItemMessageW(page, IDC_INTERFACE_SKIN, CB_GETCOUNT, 0, 0) == 0)
        skin = AddComboString(page, IDC_INTERFACE_SKIN, choice.skin);
    Select(page, IDC_INTERFACE_SKIN, skin < 0 ? 0 : skin);

    FillNames(page, IDC_INTERFACE_SMILIES, Skins::ListSmiliesPacks, folder);
    Select(page, IDC_INTERFACE_SMILIES, FindComboExact(page, IDC_INTERFACE_SMILIES, choice.smilies));

    SetItemChecked(page, IDC_INTERFACE_TEXT_SMILIES, choice.textSmilies != FALSE);
    SendDlgItemMessageW(page, IDC_INTERFACE_MAX_SMILIES_SPIN, UDM_SETRANGE32, 0, kMaxSmilies);
    SetDlgItemInt(page, IDC_INTERFACE_MAX_SMILIES, static_cast<UINT>(choice.smiliesNumber), FALSE);

    FillNames(page, IDC_INTERFACE_LANGUAGE, Skins::ListLanguages, folder);
    Select(page, IDC_INTERFACE_LANGUAGE, FindComboExact(page, IDC_INTERFACE_LANGUAGE, choice.language));
}

void Store(HWND page, CPreferencesOwners& owners)
{
    Skins::SkinChoice choice;
    if (!owners.GetSkinChoice(&choice))
        return;
    const CJOVString language = choice.language;
    CJOVString text;
    if (GetComboSelection(page, IDC_INTERFACE_SKIN, &text))
        choice.skin = text;
    if (GetComboSelection(page, IDC_INTERFACE_SMILIES, &text))
        choice.smilies = text;
    if (GetComboSelection(page, IDC_INTERFACE_LANGUAGE, &text))
        choice.language = text;
    choice.textSmilies = IsItemChecked(page, IDC_INTERFACE_TEXT_SMILIES) ? TRUE : FALSE;
    unsigned long number = 0;
    ReadUnsigned(page, IDC_INTERFACE_MAX_SMILIES, &number);
    choice.smiliesNumber = static_cast<int>(number > kMaxSmilies ? kMaxSmilies : number);
    owners.ApplySkinChoice(choice);
    // Posted: the dialog re-titles its tabs and reloads its pages once every
    // page has been stored.
    if (choice.language != language)
        PostMessageW(GetParent(page), WM_JOV_LANG_CHANGED, 0, 0);
}

} // namespace

PanelCheckResult InterfacePageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0)
        Load(page, PreferencesOwners());
    else
        Store(page, PreferencesOwners());
    return PanelCheckResult();
}

int InterfacePageCommand(HWND page, unsigned int first, unsigned int second, void*)
{
    if (first == IDC_INTERFACE_COLORS && second == BN_CLICKED) {
        CJOVString skin;
        GetComboSelection(page, IDC_INTERFACE_SKIN, &skin);
        PreferencesOwners().OpenSkinColors(page, skin);
    }
    return 0;
}
