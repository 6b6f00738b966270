// A page of a tabbed dialog, supplied by the program or by a plug-in: the
// dialog template (in any module) and the two callbacks that load, store and
// serve it. Records cross the plug-in boundary by value in a
// CJOVArray<CPanelInfo>; the layout is the same in every deliverable.
// The callbacks run on the UI thread, inside the dialog's modal loop.
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVCommon.h"
#include "JOVString.h"

// What a page answers when asked to store: failed nonzero refuses the values,
// with message shown to the user and control the one holding the bad value.
struct PanelCheckResult {
    unsigned char failed = 0;
    CJOVString message;
    unsigned int control = 0;
};

// direction 0: the settings into the controls; 1: check and store the
// controls' values. ownerId: the account or contact shown, 0 for none.
typedef PanelCheckResult (*PanelDataExchangeProc)(HWND page, int direction, unsigned int ownerId);

// The page's control notifications:
//   WM_COMMAND from a control: (control id, notification code, null)
//   WM_NOTIFY:                 (idFrom, code, the NMHDR)
//   WM_DRAWITEM, WM_MEASUREITEM: (wParam, the message, lParam), answer used
//   WM_VKEYTOITEM:             (list id, WM_VKEYTOITEM, wParam), answer used
typedef int (*PanelMessageProc)(HWND page, unsigned int first, unsigned int second, void* data);

struct CPanelInfo {
    CJOVString title;
    int image = -1;  // skin image id on the tab, -1 for none
    HINSTANCE module = nullptr;
    unsigned int dialog = 0;  // RT_DIALOG resource id in module
    PanelDataExchangeProc dataExchange = nullptr;  // null: never loaded or stored
    PanelMessageProc message = nullptr;
};

// The library's own instance of the array, shared by every module.
extern template class JOV_COMMON_API CJOVArray<CPanelInfo>;
