#include "PageControls.h"

#include <vector>

#include "DetailsValues.h"
#include "PluginModule.h"

namespace {

// The loaded item's index + 1, kept on the list itself: pages keep no state.
const wchar_t kLoadedChoice[] = L"ICQ loaded choice";

bool IsEdit(HWND control)
{
    wchar_t name[16] = {};
    return GetClassNameW(control, name, 16) && lstrcmpiW(name, L"Edit") == 0;
}

} // namespace

CJOVString ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return CJOVString();
    int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, 0);
    GetWindowTextW(control, text.data(), length + 1);
    return CJOVString(text.data());
}

void SetControlText(HWND dialog, int id, const CJOVString& text)
{
    CJOVString copy(text);
    SetDlgItemTextW(dialog, id, copy.GetLength() ? static_cast<wchar_t*>(copy) : L"");
}

void SetLabel(HWND dialog, int id, int textId, const wchar_t* english)
{
    SetControlText(dialog, id, GetPluginText(textId, english));
}

void SelectCode(HWND dialog, int id, int code)
{
    HWND list = GetDlgItem(dialog, id);
    if (!list)
        return;
    LRESULT chosen = 0;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; code > 0 && i < count; ++i) {
        if (SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == code) {
            chosen = i;
            break;
        }
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    SetPropW(list, kLoadedChoice, reinterpret_cast<HANDLE>(static_cast<intptr_t>(chosen + 1)));
}

int ChosenCode(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    if (!list)
        return kCodeUnchanged;
    const LRESULT chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
    const intptr_t loaded = reinterpret_cast<intptr_t>(GetPropW(list, kLoadedChoice)) - 1;
    if (chosen < 0 || chosen == loaded)
        return kCodeUnchanged;
    return static_cast<int>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(chosen), 0));
}

void SetEditable(HWND dialog, int id, bool editable)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    if (IsEdit(control))
        SendMessageW(control, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
    else
        EnableWindow(control, editable);
}
