// A contact's details: the pages its account's plug-in supplies ("Get
// contact details dlg info"). "Update" stores every page and stays open.
// While open it is reloaded when the account reports the contact's details,
// page by page where the user changed nothing.
// UI thread, RefreshContactDetails included (the "GUI" client hands it over).
#pragma once

#include "contactlist/DetailsDialog.h"

class CContactDetailsDlg : public CDetailsDialog {
public:
    CContactDetailsDlg(HWND parent, unsigned int contactId);

    unsigned int GetContactId() const { return m_ownerId; }

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override;
};

int ShowContactDetails(HWND parent, unsigned int contactId);
// Reloads the open dialog when it shows that contact.
void RefreshContactDetails(unsigned int contactId);
CContactDetailsDlg* GetOpenContactDetails();
