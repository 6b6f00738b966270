// Stand-in for the contact-list control until the contact-list window exists:
// an empty list window with no selected item, so it offers no item menu.
// UI thread.
#pragma once

#include <windows.h>

#include "MenuInfo.h"
#include "Wnd.h"

class CContactsWnd : public CWnd {
public:
    CContactsWnd();

    // 1 when the window was made.
    int CreateWnd(DWORD style, const RECT& rect, HWND parent, int controlId);
    HWND GetWnd() const { return m_hWnd; }
    // The id of the current item, 0 for none.
    unsigned int GetCurrentItemId() const { return 0; }
    // Leaves menu empty: no item is selected.
    void FillSelectedItemMenu(CMenuInfo& menu);

protected:
    HBRUSH GetBkBrush() override;
};
