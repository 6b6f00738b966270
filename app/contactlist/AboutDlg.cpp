#include "contactlist/AboutDlg.h"

#include <cstdio>

#include "HiDpi.h"
#include "contactlist/ControlText.h"
#include "core/AppGlobals.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

const wchar_t kLegalNotice[] = L"JOV, instant messaging for pocket devices.\r\nCopyright (C) 2020 the JOV team.";
const wchar_t kCredits[] = L"Main idea:\r\nthe JOV team\r\n\r\n"
                           L"Programming:\r\nthe JOV team\r\n\r\n"
                           L"Translations:\r\nthe JOV team\r\n\r\n";

} // namespace

CAboutDlg::CAboutDlg(HWND parent) : CModalDialog(parent, IDD_ABOUT_BOX, 0, 0), m_productFont(nullptr) {}

CAboutDlg::~CAboutDlg()
{
    if (m_productFont)
        DeleteObject(m_productFont);
}

CJOVString CAboutDlg::BuildAboutText()
{
    CJOVString text(kLegalNotice);
    text += CJOVString(L"\r\n");
    text += LangText(172, L"All trademarks are the property of their respective owners.");
    text += CJOVString(L"\r\n\r\n");
    text += CJOVString(kCredits);
    if (Protocols::CProtocolsManager* manager = g_App.pProtocolsManager) {
        for (int i = 0; i < manager->GetProtocolCount(); ++i) {
            Protocols::ProtocolInfo info = manager->GetProtocol(i);
            text += info.name + CJOVString(L" protocol:\r\n") + info.reserved + CJOVString(L" ") + info.authors +
                    CJOVString(L"\r\n\r\n");
        }
    }
    text += CJOVString(L"Thanks to All!");
    return text;
}

void CAboutDlg::OnInitDialog()
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = m_hDlg;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
    SHInitDialog(&init);

    LOGFONTW font = {};
    font.lfHeight = HIDPI_ScaleX(24);
    font.lfWeight = FW_BOLD;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    m_productFont = CreateFontIndirectW(&font);
    SendDlgItemMessageW(m_hDlg, IDC_ABOUT_PRODUCT, WM_SETFONT, reinterpret_cast<WPARAM>(m_productFont), FALSE);
    SetDlgItemTextW(m_hDlg, IDC_ABOUT_PRODUCT, L"JOV");

    wchar_t build[32];
    std::swprintf(build, 32, L"Build: %.4d", kBuildNumber);
    SetDlgItemTextW(m_hDlg, IDC_ABOUT_BUILD, build);
    CJOVString about = BuildAboutText();
    SetDlgItemTextW(m_hDlg, IDC_ABOUT_TEXT, about);
    // The dialog manager selects the whole text when it gives the box the
    // focus: afterwards, read from the top with nothing selected.
    HWND text = GetDlgItem(m_hDlg, IDC_ABOUT_TEXT);
    PostMessageW(text, EM_SETSEL, 0, 0);
    PostMessageW(text, EM_SCROLLCARET, 0, 0);
}

INT_PTR CAboutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ABOUT_PRODUCT)
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0x41, 0x41, 0x41));
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
