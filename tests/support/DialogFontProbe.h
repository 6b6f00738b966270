// The dialogs' font as the dialog manager makes it from the templates'
// "MS Shell Dlg" 8, for the tests that measure texts in it.
#pragma once

#include <windows.h>

// A hidden dialog made from such a template; its WM_GETFONT is that font.
// The caller destroys it.
inline HWND CreateDialogFontProbe()
{
    struct {
        DLGTEMPLATE head;
        WORD menu, windowClass, title;
        WORD pointSize;
        wchar_t face[13];
    } dialogTemplate = {};
    dialogTemplate.head.style = DS_SETFONT | WS_POPUP;
    dialogTemplate.head.cx = 100;
    dialogTemplate.head.cy = 50;
    dialogTemplate.pointSize = 8;
    lstrcpyW(dialogTemplate.face, L"MS Shell Dlg");
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.head, nullptr,
                                      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
}
