#include "messaging/FontDlg.h"

#include <cwchar>
#include <string>

#include "HiDpi.h"
#include "contactlist/ControlText.h"
#include "messaging/MessagingIds.h"

namespace {

const int kDefaultSizeEntry = 5;  // 14

LOGFONTW InitialFont()
{
    LOGFONTW font = {};
    font.lfHeight = 14;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"Tahoma");
    return font;
}

LOGFONTW s_font = InitialFont();

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

} // namespace

const int CFontDlg::kSizes[] = {8, 9, 10, 11, 12, 14, 16, 20, 24, 28, 36};
const int CFontDlg::kSizeCount = sizeof(kSizes) / sizeof(kSizes[0]);

CFontDlg::CFontDlg(HWND parent, const LOGFONTW& font)
    : CModalDialog(parent, IDD_FONT, IDM_OK_CANCEL, 0), m_previewFont(nullptr)
{
    s_font = font;
}

CFontDlg::~CFontDlg()
{
    if (m_previewFont)
        DeleteObject(m_previewFont);
}

const LOGFONTW& CFontDlg::GetFont()
{
    return s_font;
}

int CFontDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetOkCancelSoftKeyCap(index, caption);
}

int CALLBACK CFontDlg::AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM dialog)
{
    const LRESULT added = SendDlgItemMessageW(reinterpret_cast<HWND>(dialog), IDC_FONT_FACE, CB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(font->lfFaceName));
    return added == CB_ERR || added == CB_ERRSPACE ? 0 : 1;
}

void CFontDlg::FillFaces()
{
    HWND list = GetDlgItem(m_hDlg, IDC_FONT_FACE);
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesW(screen, nullptr, AddFace, reinterpret_cast<LPARAM>(m_hDlg));
    ReleaseDC(nullptr, screen);
    // The exact face, case and all.
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    int selected = -1;
    for (int i = 0; i < count && selected < 0; ++i) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || length >= LF_FACESIZE)
            continue;
        wchar_t face[LF_FACESIZE] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
        if (wcscmp(face, s_font.lfFaceName) == 0)
            selected = i;
    }
    SendMessageW(list, CB_SETCURSEL, selected >= 0 ? selected : 0, 0);
}

void CFontDlg::FillSizes()
{
    HWND list = GetDlgItem(m_hDlg, IDC_FONT_SIZE);
    int selected = -1;
    for (int i = 0; i < kSizeCount; ++i) {
        wchar_t text[8];
        swprintf(text, 8, L"%d", kSizes[i]);
        const LRESULT added = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (added == CB_ERR || added == CB_ERRSPACE)
            return;
        if (selected < 0 && kSizes[i] == s_font.lfHeight)
            selected = i;
    }
    SendMessageW(list, CB_SETCURSEL, selected >= 0 ? selected : kDefaultSizeEntry, 0);
}

void CFontDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_LABEL), 181, L"Font:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_SIZE_LABEL), 182, L"Size:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_BOLD_LABEL), 183, L"Bold");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_ITALIC_LABEL), 184, L"Italic");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_UNDERLINE_LABEL), 185, L"Underline");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_STRIKEOUT_LABEL), 186, L"Strikethrough");
    FillFaces();
    FillSizes();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_FONT_PREVIEW), 187, L"AaBbCcDd");
    UpdatePreview();
}

LOGFONTW CFontDlg::ChosenFont() const
{
    LOGFONTW font = s_font;
    HWND faces = GetDlgItem(m_hDlg, IDC_FONT_FACE);
    const LRESULT face = SendMessageW(faces, CB_GETCURSEL, 0, 0);
    const LRESULT length = face >= 0 ? SendMessageW(faces, CB_GETLBTEXTLEN, face, 0) : CB_ERR;
    if (length >= 0) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(faces, CB_GETLBTEXT, face, reinterpret_cast<LPARAM>(text.data()));
        // At most 31 characters and the terminator.
        wcsncpy(font.lfFaceName, text.c_str(), LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    const LRESULT size = SendDlgItemMessageW(m_hDlg, IDC_FONT_SIZE, CB_GETCURSEL, 0, 0);
    if (size >= 0 && size < kSizeCount)
        font.lfHeight = kSizes[size];
    font.lfWeight = Checked(m_hDlg, IDC_FONT_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = Checked(m_hDlg, IDC_FONT_ITALIC) ? 1 : 0;
    font.lfUnderline = Checked(m_hDlg, IDC_FONT_UNDERLINE) ? 1 : 0;
    font.lfStrikeOut = Checked(m_hDlg, IDC_FONT_STRIKEOUT) ? 1 : 0;
    return font;
}

void CFontDlg::UpdatePreview()
{
    HWND preview = GetDlgItem(m_hDlg, IDC_FONT_PREVIEW);
    if (m_previewFont) {
        SendMessageW(preview, WM_SETFONT, 0, FALSE);
        DeleteObject(m_previewFont);
        m_previewFont = nullptr;
    }
    LOGFONTW font = ChosenFont();
    font.lfHeight = HIDPI_ScaleY(font.lfHeight);  // keeps the sign
    m_previewFont = CreateFontIndirectW(&font);
    SendMessageW(preview, WM_SETFONT, reinterpret_cast<WPARAM>(m_previewFont), TRUE);
}

int CFontDlg::DoDataExchange(int save)
{
    if (!save) {
        CheckDlgButton(m_hDlg, IDC_FONT_BOLD, s_font.lfWeight == FW_BOLD ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_FONT_ITALIC, s_font.lfItalic ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_FONT_UNDERLINE, s_font.lfUnderline ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hDlg, IDC_FONT_STRIKEOUT, s_font.lfStrikeOut ? BST_CHECKED : BST_UNCHECKED);
    } else {
        s_font = ChosenFont();
    }
    return CModalDialog::DoDataExchange(save);
}

INT_PTR CFontDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && m_hDlg) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        const bool styleClicked = code == BN_CLICKED && (id == IDC_FONT_BOLD || id == IDC_FONT_ITALIC ||
                                                          id == IDC_FONT_UNDERLINE || id == IDC_FONT_STRIKEOUT);
        const bool listChanged = code == CBN_SELCHANGE && (id == IDC_FONT_FACE || id == IDC_FONT_SIZE);
        if (styleClicked || listChanged)
            UpdatePreview();
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
