#include "contactlist/JOVColorsDlg.h"

#include <commctrl.h>

#include "HiDpi.h"
#include "contactlist/ControlText.h"
#include "contactlist/SelectColorDlg.h"

namespace {

const wchar_t* const kColorNames[kSkinColorCount] = {
    L"Account name text", L"Account button", L"Account button gradient", L"Divider", L"Group name",
    L"Online counter in group", L"Online", L"Offline", L"Not in list", L"Focus", L"Focus gradient",
    L"Focus frame", L"Incoming events timestamp", L"Outgoing events timestamp", L"Message text",
    L"Custom status text", L"Highlighting", L"Highlight text", L"Link", L"History separator", L"Editing text",
};
const int kFirstNameText = 133;
const int kRowHeight = 18;

} // namespace

CJOVColorsDlg::CJOVColorsDlg(HWND parent, const CJOVString& skin)
    : CModalDialog(parent, IDD_COLOR_SCHEME, IDM_APPLY_CANCEL, 0), m_skin(skin), m_colors()
{
    KeepsSettings();
}

CJOVColorsDlg::~CJOVColorsDlg() {}

int CJOVColorsDlg::DoDataExchange(int save)
{
    if (!save)
        DialogSkin().GetSkinColors(m_skin, m_colors);
    else
        DialogSkin().SetSkinColors(m_skin, m_colors);
    return CModalDialog::DoDataExchange(save);
}

void CJOVColorsDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_SCHEME_RESTORE), 131, L"Restore defaults");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_SCHEME_CHANGE), 132, L"Change selected...");

    HWND list = GetDlgItem(m_hDlg, IDC_SCHEME_LIST);
    ClearListView(list);
    RECT client;
    GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    WantReturnKey(list);
    RemeasureListRows(list);
    for (int i = 0; i < kSkinColorCount; ++i) {
        LVITEMW item = {};
        item.iItem = i;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetFocus(list);
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));

    SetListBackground(list);
}

void CJOVColorsDlg::DrawItem(DRAWITEMSTRUCT* draw)
{
    const int index = static_cast<int>(draw->itemID);
    if (index < 0 || index >= kSkinColorCount)
        return;
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    if (draw->itemState & ODS_SELECTED)
        FillRect(dc, &rect, GetSysColorBrush(GetFocus() == draw->hwndItem ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    const int oneX = (g_HIDPI_LogPixelsX + 48) / 96;
    const int oneY = (g_HIDPI_LogPixelsY + 48) / 96;
    RECT swatch = {rect.left + oneX, rect.top + oneY, rect.left + oneX + (g_HIDPI_LogPixelsX * 14 + 48) / 96,
                   rect.bottom - oneY};
    HBRUSH brush = CreateSolidBrush(m_colors[index]);
    FillRect(dc, &swatch, brush);
    DeleteObject(brush);
    RECT text = {swatch.right + (g_HIDPI_LogPixelsX * 5 + 48) / 96, rect.top, rect.right, rect.bottom};
    SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(draw->hwndItem, WM_GETFONT, 0, 0)));
    CJOVString name = LangText(kFirstNameText + index, kColorNames[index]);
    DrawTextW(dc, name, name.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
}

void CJOVColorsDlg::ChangeSelected()
{
    HWND list = GetDlgItem(m_hDlg, IDC_SCHEME_LIST);
    int index = GetSelectedListViewItem(list);
    if (index < 0 || index >= kSkinColorCount)
        return;
    CSelectColorDlg picker(m_hDlg, m_colors[index]);
    if (picker.DoModal() != IDOK)
        return;
    m_colors[index] = CSelectColorDlg::GetPickedColor();
    SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(index), static_cast<LPARAM>(index));
}

void CJOVColorsDlg::RestoreDefaults()
{
    DialogSkin().ReadColorsIni(m_skin, m_colors);
    InvalidateRect(GetDlgItem(m_hDlg, IDC_SCHEME_LIST), nullptr, TRUE);
}

INT_PTR CJOVColorsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure && measure->CtlType == ODT_LISTVIEW) {
            measure->itemHeight = static_cast<UINT>(HIDPI_ScaleY(kRowHeight));
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM:
        if (lParam)
            DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMLVKEYDOWN* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        if (key && key->hdr.idFrom == IDC_SCHEME_LIST && key->hdr.code == LVN_KEYDOWN && key->wVKey == VK_RETURN)
            ChangeSelected();
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SCHEME_CHANGE)
            ChangeSelected();
        else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SCHEME_RESTORE)
            RestoreDefaults();
        break;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
