#include "AuthorizationRequestDlg.h"

#include "PageControls.h"
#include "VerdelResource.h"

namespace {

const int kMaxReason = 255;

} // namespace

CAuthorizationRequestDlg::CAuthorizationRequestDlg(HWND parent, const CJOVString& reason)
    : CICQModalDialog(parent, IDD_AUTH_REQUEST), m_reason(reason)
{
}

void CAuthorizationRequestDlg::OnInitDialog()
{
    CICQModalDialog::OnInitDialog();
    SetTitle(33, L"Authorization request");
    SetLabel(m_hDlg, IDC_AUTH_LABEL, 34, L"Enter request reason");
}

int CAuthorizationRequestDlg::DoDataExchange(int save)
{
    if (!save) {
        SetControlText(m_hDlg, IDC_AUTH_REASON, m_reason);
        return 1;
    }
    CJOVString reason = ControlText(m_hDlg, IDC_AUTH_REASON);
    m_reason = reason.GetLength() > kMaxReason ? reason.Substring(0, kMaxReason) : reason;
    return 1;
}
