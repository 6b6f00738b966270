// The add-contact dialog: the contact's ICQ number or screen name, its
// display name and one of the offered groups. DoModal answers 1 with the
// fields taken, 2 when cancelled.
// UI thread.
#pragma once

#include "ICQModalDialog.h"
#include "JOVArray.h"

class CAddContactDlg : public CICQModalDialog {
public:
    CAddContactDlg(HWND parent, const CJOVString& accountName, const CJOVString& contactName,
                   const CJOVString& group, const CJOVArray<CJOVString>& groups);

    const CJOVString& GetAccountName() const { return m_accountName; }
    const CJOVString& GetContactName() const { return m_contactName; }
    const CJOVString& GetGroup() const { return m_group; }

protected:
    // A missing number or group refuses with a word on what is missing.
    int DoDataExchange(int save) override;
    void OnInitDialog() override;

private:
    CJOVString m_accountName;
    CJOVString m_contactName;
    CJOVString m_group;
    CJOVArray<CJOVString> m_groups;
};
