#include "messaging/SelectionSmailyDlg.h"

#include <algorithm>

#include "contactlist/ControlText.h"
#include "core/AppGlobals.h"
#include "messaging/AppChatSkin.h"
#include "messaging/ListSmailyCtrl.h"

namespace {

int s_chosen = 0;

} // namespace

CSelectionSmailyDlg::CSelectionSmailyDlg(HWND parent)
    : CModalDialog(parent, IDD_TABS_FRAME, IDM_OK_CANCEL, 0), m_grid(nullptr)
{
}

CSelectionSmailyDlg::~CSelectionSmailyDlg()
{
    delete m_grid;
}

int CSelectionSmailyDlg::GetChosenIndex()
{
    return s_chosen;
}

void CSelectionSmailyDlg::SetChosenIndex(int index)
{
    s_chosen = index;
}

int CSelectionSmailyDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetOkCancelSoftKeyCap(index, caption);
}

void CSelectionSmailyDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(m_hDlg, 121, L"Smilies");
    CAppChatSkin skin(g_App.pSkinManager);
    CChatSmilies* smilies = skin.GetSmilies();
    const int count = smilies->GetCount();
    int width = 0;
    int height = 0;
    for (int i = 0; i < count; ++i) {
        width = std::max(width, smilies->GetWidth(i));
        height = std::max(height, smilies->GetHeight(i));
    }
    RECT client;
    GetClientRect(m_hDlg, &client);
    m_grid = new CListSmailyCtrl(m_hDlg, count, width, height);
    m_grid->Create(WS_VISIBLE, client);
    SetFocus(*m_grid);
    m_grid->SetSelectImage(s_chosen);
}

void CSelectionSmailyDlg::OnChangeWindowSize()
{
    if (!m_grid)
        return;
    RECT client;
    GetClientRect(m_hDlg, &client);
    SetWindowPos(*m_grid, nullptr, 0, 0, client.right, client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CSelectionSmailyDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_JOV_IMAGE_CHOSEN) {
        s_chosen = static_cast<int>(lParam);
        EndDialog(IDOK);
        return 1;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}

int CSelectionSmailyDlg::DoDataExchange(int save)
{
    if (save && m_grid)
        s_chosen = m_grid->GetSelectImage();
    return CModalDialog::DoDataExchange(save);
}
