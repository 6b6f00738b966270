#include "contactlist/PageControls.h"

#include <cwchar>

bool IsItemChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetItemChecked(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableItems(HWND dialog, const int* ids, bool enable)
{
    for (; *ids; ++ids)
        EnableWindow(GetDlgItem(dialog, *ids), enable ? TRUE : FALSE);
}

CJOVString GetItemString(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthW(item) : 0;
    if (length <= 0)
        return CJOVString();
    wchar_t* text = new wchar_t[length + 1];
    text[0] = 0;
    GetWindowTextW(item, text, length + 1);
    CJOVString result(text);
    delete[] text;
    return result;
}

bool GetComboSelection(HWND dialog, int id, CJOVString* text)
{
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return false;
    const LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return false;
    wchar_t* buffer = new wchar_t[length + 1];
    buffer[0] = 0;
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    *text = CJOVString(buffer);
    delete[] buffer;
    return true;
}

int FindComboExact(HWND dialog, int id, const CJOVString& text)
{
    // CB_FINDSTRINGEXACT ignores case: two skins may differ only in case.
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == CB_ERR || length != text.GetLength())
            continue;
        wchar_t* buffer = new wchar_t[length + 1];
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        const bool same = wmemcmp(buffer, text.Data() ? text.Data() : L"", static_cast<size_t>(length)) == 0;
        delete[] buffer;
        if (same)
            return i;
    }
    return -1;
}

int AddComboString(HWND dialog, int id, const wchar_t* text)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void ResetCombo(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
}

bool ReadUnsigned(HWND dialog, int id, unsigned long* value)
{
    CJOVString text = GetItemString(dialog, id);
    const wchar_t* chars = text.Data();
    const int length = text.GetLength();
    if (!chars || length == 0)
        return false;
    unsigned long long number = 0;
    for (int i = 0; i < length; ++i) {
        if (chars[i] < L'0' || chars[i] > L'9')
            return false;
        number = number * 10 + static_cast<unsigned long long>(chars[i] - L'0');
        if (number > 0xFFFFFFFFull)
            return false;
    }
    *value = static_cast<unsigned long>(number);
    return true;
}
