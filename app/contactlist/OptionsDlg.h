// An account's connection and login options: the pages its plug-in supplies
// ("Get options dlg info"), stored on "Apply" and OK.
// UI thread.
#pragma once

#include "contactlist/TabsDialog.h"

class COptionsDlg : public CTabsDialog {
public:
    COptionsDlg(HWND parent, unsigned int accountId);

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override;
    unsigned int GetOwnerId() override { return m_accountId; }

private:
    unsigned int m_accountId;
};

// Runs the account's options modally; answers the end code (2 when the
// plug-in offers no page).
int ShowOptionsDlg(HWND parent, unsigned int accountId);
