#include "contactlist/PaletteDlg.h"

#include "contactlist/ControlText.h"

namespace {

int s_paletteIndex = 0;

} // namespace

CPaletteDlg::CPaletteDlg(HWND parent) : CModalDialog(parent, IDD_PALETTE, IDM_OK_CANCEL, 0), m_grid(nullptr) {}

CPaletteDlg::~CPaletteDlg()
{
    delete m_grid;
}

COLORREF CPaletteDlg::GetSelectedColor()
{
    if (s_paletteIndex < 0 || s_paletteIndex >= kPaletteSize)
        return 0xFFFFFFFF;
    CJOVArray<unsigned long> colors;
    CPaletteCtrl::FillColors(colors);
    return colors[s_paletteIndex];
}

int CPaletteDlg::GetPaletteIndex()
{
    return s_paletteIndex;
}

void CPaletteDlg::SetPaletteIndex(int index)
{
    s_paletteIndex = index;
}

int CPaletteDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetOkCancelSoftKeyCap(index, caption);
}

void CPaletteDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_PALETTE_RED_LABEL), 197, L"R:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_PALETTE_GREEN_LABEL), 198, L"G:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_PALETTE_BLUE_LABEL), 199, L"B:");
    for (int id : {IDC_PALETTE_RED, IDC_PALETTE_GREEN, IDC_PALETTE_BLUE})
        SendDlgItemMessageW(m_hDlg, id, EM_LIMITTEXT, 3, 0);

    HWND frame = GetDlgItem(m_hDlg, IDC_PALETTE_FRAME);
    RECT place;
    GetWindowRect(frame, &place);
    MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&place), 2);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const int cellWidth = (width - 9) / 8;
    const int cellHeight = (height - 17) / 16;
    m_grid = new CPaletteCtrl(m_hDlg, cellWidth, cellHeight);
    m_grid->Create(WS_VISIBLE, place);
    HWND grid = *m_grid;
    // A bare grid: exactly 8 columns by 16 rows fill it.
    SetWindowLongPtrW(grid, GWL_STYLE, GetWindowLongPtrW(grid, GWL_STYLE) & ~(WS_BORDER | WS_VSCROLL));
    ShowScrollBar(grid, SB_VERT, FALSE);
    SetWindowPos(grid, HWND_TOP, place.left, place.top, cellWidth * 8 + 9, cellHeight * 16 + 17, SWP_FRAMECHANGED);
    SetFocus(grid);
    m_grid->SetSelectImage(s_paletteIndex);
    ShowSelectedColor();
}

void CPaletteDlg::ShowSelectedColor()
{
    COLORREF color = GetSelectedColor();
    if (color == 0xFFFFFFFF)
        return;
    SetDlgItemInt(m_hDlg, IDC_PALETTE_RED, GetRValue(color), FALSE);
    SetDlgItemInt(m_hDlg, IDC_PALETTE_GREEN, GetGValue(color), FALSE);
    SetDlgItemInt(m_hDlg, IDC_PALETTE_BLUE, GetBValue(color), FALSE);
}

INT_PTR CPaletteDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_JOV_IMAGE_CHOSEN || message == WM_JOV_IMAGE_SELECTED) {
        const int index = static_cast<int>(lParam);
        if (index != -1) {
            s_paletteIndex = index;
            ShowSelectedColor();
        }
        return 1;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
