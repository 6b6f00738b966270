// A contact's details: the pages its account's plug-in supplies ("Get
// contact details dlg info"). "Update" stores every page and stays open.
// While open it is reloaded when the account reports the contact's details,
// page by page where the user changed nothing.
// UI thread, RefreshContactDetails included (the "GUI" client hands it over).
#pragma once

#include "contactlist/TabsDialog.h"

class CContactDetailsDlg : public CTabsDialog {
public:
    CContactDetailsDlg(HWND parent, unsigned int contactId);
    ~CContactDetailsDlg() override;

    unsigned int GetContactId() const { return m_contactId; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override;
    unsigned int GetOwnerId() override { return m_contactId; }

private:
    unsigned int m_contactId;
};

int ShowContactDetails(HWND parent, unsigned int contactId);
// Reloads the open dialog when it shows that contact.
void RefreshContactDetails(unsigned int contactId);
CContactDetailsDlg* GetOpenContactDetails();
