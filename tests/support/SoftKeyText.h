// The text of a soft key: a button of a menu bar of this process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// "<none>" when the bar has no button with that command.
inline std::wstring SoftKeyText(HWND bar, UINT command)
{
    wchar_t text[64] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = text;
    info.cchText = 64;
    if (SendMessageW(bar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0)
        return L"<none>";
    return text;
}
