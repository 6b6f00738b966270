#include "contactlist/ControlText.h"

#include <commctrl.h>

#include "core/AppGlobals.h"

namespace {

const UINT_PTR kReturnKeySubclass = 0x52455455;

LRESULT CALLBACK ReturnKeyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_GETDLGCODE) {
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, ReturnKeyProc, id);
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

CJOVString LangText(int textId, const wchar_t* english)
{
    CJOVString text;
    if (g_App.pServices && g_App.pServices->GetString(textId, text))
        return text;
    return CJOVString(english);
}

CJOVString LangTextWith(int textId, const wchar_t* english, const CJOVString& value)
{
    const CJOVString text = LangText(textId, english);
    const CJOVString mark(L"%s");
    const int at = text.Find(0, mark);
    if (at < 0)
        return text + value;
    return text.Substring(0, at) + value + text.Substring(at + 2, text.GetLength() - at - 2);
}

void SetLocalizedWindowText(HWND window, int textId, const wchar_t* english)
{
    CJOVString text = LangText(textId, english);
    SetWindowTextW(window, text);
}

void AddLocalizedComboString(HWND combo, int textId, const wchar_t* english)
{
    CJOVString text = LangText(textId, english);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<wchar_t*>(text)));
}

void SetMenuItemText(HMENU menu, UINT command, const CJOVString& text)
{
    CJOVString copy = text;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = copy;
    SetMenuItemInfoW(menu, command, FALSE, &info);
}

void SetMenuItemTextFromLang(HMENU menu, UINT command, int textId, const wchar_t* english)
{
    SetMenuItemText(menu, command, LangText(textId, english));
}

void SetToolbarButtonText(HWND bar, int command, const CJOVString& text)
{
    CJOVString copy = text;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = copy;
    SendMessageW(bar, TB_SETBUTTONINFOW, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
}

void SetToolbarButtonTextFromLang(HWND bar, int command, int textId)
{
    SetToolbarButtonText(bar, command, LangText(textId, L""));
}

int GetToolbarButtonCommand(HWND bar, int index)
{
    TBBUTTON button = {};
    if (!bar || !SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)))
        return -1;
    return button.idCommand;
}

int GetSelectedListViewItem(HWND list)
{
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        if (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)
            return row;
    }
    return -1;
}

void ClearListView(HWND list)
{
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
}

void WantReturnKey(HWND control)
{
    SetWindowSubclass(control, ReturnKeyProc, kReturnKeySubclass, 0);
}

void RemeasureListRows(HWND list)
{
    RECT place;
    GetWindowRect(list, &place);
    const int width = place.right - place.left, height = place.bottom - place.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(list, nullptr, 0, 0, width, height - 1, flags);
    SetWindowPos(list, nullptr, 0, 0, width, height, flags);
}
