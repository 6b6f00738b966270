// The program's settings dialog: a tabbed dialog of the program's own pages.
// "Apply" stores every page and stays open, the title bar's OK stores and
// closes, "Cancel" closes. Nine pages, "Accounts" last.
// UI thread.
#pragma once

#include "contactlist/TabsDialog.h"

class CPreferencesDlg : public CTabsDialog {
public:
    CPreferencesDlg(HWND parent, int initialPage);
    ~CPreferencesDlg() override;

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override;

private:
    CJOVArray<int> m_tabImages;
};

// Runs the preferences modally on that page (outside the pages, the first);
// answers the end code.
int ShowPreferences(HWND parent, int page);
