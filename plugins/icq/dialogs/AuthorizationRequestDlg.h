// The reason sent with a request for a contact's authorization. DoModal
// answers 1 with the reason taken, 2 when cancelled.
// UI thread.
#pragma once

#include "ICQModalDialog.h"

class CAuthorizationRequestDlg : public CICQModalDialog {
public:
    CAuthorizationRequestDlg(HWND parent, const CJOVString& reason);

    const CJOVString& GetReason() const { return m_reason; }

protected:
    int DoDataExchange(int save) override;
    void OnInitDialog() override;

private:
    CJOVString m_reason;
};
