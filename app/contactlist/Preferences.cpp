#include "contactlist/Preferences.h"

#include <string>

#include "contactlist/ModalDialog.h"
#include "core/JOVResource.h"

namespace {

class CPreferencesDlg : public CModalDialog {
public:
    CPreferencesDlg(HWND parent, int page) : CModalDialog(parent, IDD_PREFERENCES, IDR_DIALOG_MENUBAR, 1), m_page(page)
    {
    }

protected:
    void OnInitDialog() override
    {
        CModalDialog::OnInitDialog();
        SetDlgItemTextW(m_hDlg, IDC_PAGE, (L"Page " + std::to_wstring(m_page)).c_str());
    }

private:
    int m_page;
};

} // namespace

int ShowPreferences(HWND parent, int page)
{
    CPreferencesDlg dialog(parent, page);
    return dialog.DoModal();
}
