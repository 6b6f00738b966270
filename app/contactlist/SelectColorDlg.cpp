#include "contactlist/SelectColorDlg.h"

#include <commctrl.h>

#include "contactlist/ControlText.h"
#include "contactlist/PaletteDlg.h"

namespace {

const UINT_PTR kNumberBoxSubclass = 0x434F4C;
const int kMaxComponent = 255;

COLORREF s_picked = 0;

struct Component {
    int slider;
    int box;
};

const Component kComponents[] = {
    {IDC_RED_SLIDER, IDC_RED_EDIT}, {IDC_GREEN_SLIDER, IDC_GREEN_EDIT}, {IDC_BLUE_SLIDER, IDC_BLUE_EDIT}};

} // namespace

CSelectColorDlg::CSelectColorDlg(HWND parent, COLORREF color)
    : CModalDialog(parent, IDD_SELECT_COLOR, IDM_OK_CANCEL, 0), m_red(GetRValue(color)), m_green(GetGValue(color)),
      m_blue(GetBValue(color)), m_previewBrush(nullptr)
{
    s_picked = color;
    m_previewBrush = CreateSolidBrush(color);
}

CSelectColorDlg::~CSelectColorDlg()
{
    if (m_previewBrush)
        DeleteObject(m_previewBrush);
}

COLORREF CSelectColorDlg::GetPickedColor()
{
    return s_picked;
}

int CSelectColorDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetOkCancelSoftKeyCap(index, caption);
}

int CSelectColorDlg::DoDataExchange(int save)
{
    if (!save) {
        m_red = GetRValue(s_picked);
        m_green = GetGValue(s_picked);
        m_blue = GetBValue(s_picked);
    } else {
        // A number typed but not yet entered counts too.
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == m_hDlg)
            TakeNumber(GetDlgCtrlID(focus));
        s_picked = RGB(m_red, m_green, m_blue);
    }
    return CModalDialog::DoDataExchange(save);
}

void CSelectColorDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_RED_LABEL), 197, L"R:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_GREEN_LABEL), 198, L"G:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_BLUE_LABEL), 199, L"B:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FROM_PALETTE), 200, L"Choose from palette...");
    for (const Component& component : kComponents) {
        HWND box = GetDlgItem(m_hDlg, component.box);
        SendMessageW(box, EM_LIMITTEXT, 3, 0);
        // Return in a box takes its number instead of pressing OK.
        SetWindowSubclass(box, NumberBoxProc, kNumberBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
        SendDlgItemMessageW(m_hDlg, component.slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxComponent));
    }
    SetControls();
}

void CSelectColorDlg::SetControls()
{
    s_picked = RGB(m_red, m_green, m_blue);
    const BYTE values[] = {m_red, m_green, m_blue};
    for (int i = 0; i < 3; ++i) {
        SendDlgItemMessageW(m_hDlg, kComponents[i].slider, TBM_SETPOS, TRUE, values[i]);
        SetDlgItemInt(m_hDlg, kComponents[i].box, values[i], FALSE);
    }
    UpdatePreview();
}

void CSelectColorDlg::UpdatePreview()
{
    s_picked = RGB(m_red, m_green, m_blue);
    if (m_previewBrush)
        DeleteObject(m_previewBrush);
    m_previewBrush = CreateSolidBrush(s_picked);
    InvalidateRect(GetDlgItem(m_hDlg, IDC_COLOR_PREVIEW), nullptr, TRUE);
}

void CSelectColorDlg::TakeNumber(int boxId)
{
    for (int i = 0; i < 3; ++i) {
        if (kComponents[i].box != boxId)
            continue;
        BOOL read = FALSE;
        UINT number = GetDlgItemInt(m_hDlg, boxId, &read, FALSE);
        // Past the top is the top, not the number's low byte.
        BYTE value = static_cast<BYTE>(number > kMaxComponent ? kMaxComponent : number);
        BYTE* targets[] = {&m_red, &m_green, &m_blue};
        *targets[i] = value;
        SendDlgItemMessageW(m_hDlg, kComponents[i].slider, TBM_SETPOS, TRUE, value);
        if (number > kMaxComponent)
            SetDlgItemInt(m_hDlg, boxId, value, FALSE);
        UpdatePreview();
    }
}

void CSelectColorDlg::TakeSlider(HWND slider)
{
    const int id = GetDlgCtrlID(slider);
    BYTE* targets[] = {&m_red, &m_green, &m_blue};
    for (int i = 0; i < 3; ++i) {
        if (kComponents[i].slider != id)
            continue;
        BYTE value = static_cast<BYTE>(SendMessageW(slider, TBM_GETPOS, 0, 0) & 0xFF);
        *targets[i] = value;
        SetDlgItemInt(m_hDlg, kComponents[i].box, value, FALSE);
        UpdatePreview();
    }
}

void CSelectColorDlg::ChooseFromPalette()
{
    CPaletteDlg palette(m_hDlg);
    if (palette.DoModal() != IDOK)
        return;
    COLORREF color = CPaletteDlg::GetSelectedColor();
    if (color == 0xFFFFFFFF)
        return;
    m_red = GetRValue(color);
    m_green = GetGValue(color);
    m_blue = GetBValue(color);
    SetControls();
}

LRESULT CALLBACK CSelectColorDlg::NumberBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                DWORD_PTR dialog)
{
    switch (message) {
    case WM_GETDLGCODE: {
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(box, message, wParam, lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            reinterpret_cast<CSelectColorDlg*>(dialog)->TakeNumber(GetDlgCtrlID(box));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r')
            return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, NumberBoxProc, id);
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

INT_PTR CSelectColorDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HSCROLL:
        // Desktop trackbars report their moves here.
        if (lParam)
            TakeSlider(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_KILLFOCUS)
            TakeNumber(LOWORD(wParam));
        else if (LOWORD(wParam) == IDC_FROM_PALETTE && HIWORD(wParam) == BN_CLICKED)
            ChooseFromPalette();
        break;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_COLOR_PREVIEW)
            return reinterpret_cast<INT_PTR>(m_previewBrush);
        break;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
