#include "XStatusesDlg.h"

#include "HiDpi.h"
#include "PageControls.h"
#include "VerdelResource.h"
#include "PluginModule.h"

namespace {

const int kColumns = 6;
const int kRows = 6;
const int kMaxText = 255;

CJOVString Field(HWND dialog, int id)
{
    CJOVString text = ControlText(dialog, id);
    return text.GetLength() > kMaxText ? text.Substring(0, kMaxText) : text;
}

} // namespace

XStatusGridLayout LayoutXStatusGrid(int dpiX, int dpiY, const RECT& client, int top)
{
    XStatusGridLayout layout;
    layout.cellWidth = (dpiX + 3) * 16 / 96;
    layout.cellHeight = (dpiY + 3) * 16 / 96;
    layout.vertGap = (dpiY * 5 + 48) / 96;
    layout.rect = client;
    layout.rect.top = top;
    InflateRect(&layout.rect, -5, -5);
    const int tallest = kRows * (layout.cellHeight + layout.vertGap);
    if (layout.rect.bottom - layout.rect.top > tallest)
        layout.rect.bottom = layout.rect.top + tallest;
    // Six cells and five gaps fill the width inside the grid's border and
    // its one-pixel margin.
    const int inner = layout.rect.right - layout.rect.left - 4;
    layout.horzGap = (inner - kColumns * layout.cellWidth) / (kColumns - 1);
    if (layout.horzGap < 0)
        layout.horzGap = 0;
    return layout;
}

CXStatusesDlg::CXStatusesDlg(HWND parent, XStatusTable& table, int selection, const CJOVArray<unsigned int>& images)
    : CICQModalDialog(parent, IDD_XSTATUSES), m_grid(nullptr), m_selection(selection), m_table(table),
      m_images(images)
{
}

CXStatusesDlg::~CXStatusesDlg()
{
    delete m_grid;
}

void CXStatusesDlg::OnInitDialog()
{
    CICQModalDialog::OnInitDialog();
    SetTitle(28, L"Status picture");
    SetLabel(m_hDlg, IDC_XS_NAME_LABEL, 29, L"Name");
    SetLabel(m_hDlg, IDC_XS_DESC_LABEL, 30, L"Description");
    ShowTexts();

    HIDPI_InitScaling();
    RECT client;
    GetClientRect(m_hDlg, &client);
    RECT field;
    GetWindowRect(GetDlgItem(m_hDlg, IDC_XS_DESC), &field);
    MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&field), 2);
    XStatusGridLayout layout = LayoutXStatusGrid(g_HIDPI_LogPixelsX, g_HIDPI_LogPixelsY, client, field.bottom);
    m_grid = new CXStatusesCtrl(m_hInstance, m_hDlg, m_images, layout.cellWidth, layout.cellHeight,
                                layout.horzGap, layout.vertGap);
    m_grid->Create(WS_VISIBLE, layout.rect);
    SetFocus(*m_grid);
    m_grid->SetSelectImage(m_selection);
}

void CXStatusesDlg::ShowTexts()
{
    CJOVString title, description;
    const bool picked = GetXStatusText(m_table, m_selection - 1, title, description) != 0;
    SetControlText(m_hDlg, IDC_XS_NAME, title);
    SetControlText(m_hDlg, IDC_XS_DESC, description);
    EnableWindow(GetDlgItem(m_hDlg, IDC_XS_NAME), picked);
    EnableWindow(GetDlgItem(m_hDlg, IDC_XS_DESC), picked);
}

void CXStatusesDlg::KeepTexts()
{
    SetXStatusText(m_table, m_selection - 1, Field(m_hDlg, IDC_XS_NAME), Field(m_hDlg, IDC_XS_DESC));
}

INT_PTR CXStatusesDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_JOV_IMAGE_SELECTED || message == WM_JOV_IMAGE_CHOSEN) && m_grid &&
        reinterpret_cast<HWND>(wParam) == static_cast<HWND>(*m_grid)) {
        // What was typed for the one left stays with it in the copy.
        KeepTexts();
        m_selection = static_cast<int>(lParam);
        ShowTexts();
        if (message == WM_JOV_IMAGE_CHOSEN)
            SetFocus(GetDlgItem(dialog, IDC_XS_NAME));
        return 1;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        KeepTexts();
        ::EndDialog(dialog, IDOK);
        return 1;
    }
    return CICQModalDialog::DialogProc(dialog, message, wParam, lParam);
}
