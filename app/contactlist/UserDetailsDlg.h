// The details of an account's own user: the pages its plug-in supplies ("Get
// account details dlg info"). "Update" stores every page and stays open; the
// title bar's OK stores and closes. While open it is reloaded when the
// account reports new details, page by page where the user changed nothing.
// UI thread, RefreshUserDetails included (the "GUI" client hands it over).
#pragma once

#include "contactlist/DetailsDialog.h"

class CUserDetailsDlg : public CDetailsDialog {
public:
    CUserDetailsDlg(HWND parent, unsigned int accountId);

    unsigned int GetAccountId() const { return m_ownerId; }

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override;
};

// Runs the dialog modally, known to RefreshUserDetails meanwhile.
int ShowUserDetails(HWND parent, unsigned int accountId);
// Reloads the open dialog when it shows that account.
void RefreshUserDetails(unsigned int accountId);
// The open dialog, or null.
CUserDetailsDlg* GetOpenUserDetails();
