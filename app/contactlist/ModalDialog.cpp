#include "contactlist/ModalDialog.h"

#include "contactlist/ControlText.h"
#include "core/AppGlobals.h"
#include "core/StartUp.h"
#include "core/skins/SkinManagerImpl.h"

namespace {

int TwoCaptions(int index, CJOVString& caption, int firstId, const wchar_t* first, int secondId,
                const wchar_t* second)
{
    if (index == 0)
        caption = LangText(firstId, first);
    else if (index == 1)
        caption = LangText(secondId, second);
    else
        return 0;
    return 1;
}

} // namespace

CModalDialog::CModalDialog(HWND parent, int dialogId, int softKeyBarId, int softKeysFlag)
    : CJOVModalDialog(g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr), parent, dialogId,
                      softKeyBarId, softKeysFlag)
{
}

INT_PTR CModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case IDOK:
            if (EndDialog(IDOK) && m_keepsSettings)
                SaveSettingsNow();
            return 1;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            return 1;
        case IDC_APPLY_COMMAND:
            Store();
            return 1;
        }
    }
    return CJOVModalDialog::DialogProc(dialog, message, wParam, lParam);
}

bool CModalDialog::Store()
{
    if (!DoDataExchange(1))
        return false;
    if (m_keepsSettings)
        SaveSettingsNow();
    return true;
}

int CModalDialog::GetSoftKeyCap(int index, CJOVString& caption)
{
    return m_menuBarId == IDM_APPLY_CANCEL ? GetApplyCancelSoftKeyCap(index, caption) : 0;
}

HBRUSH CModalDialog::GetBkBrush()
{
    if (g_App.pSkinManager)
        return g_App.pSkinManager->GetBackgroundBrush(0);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

int GetApplyCancelSoftKeyCap(int index, CJOVString& caption)
{
    return TwoCaptions(index, caption, 175, L"Apply", 174, L"Cancel");
}

int GetOkCancelSoftKeyCap(int index, CJOVString& caption)
{
    return TwoCaptions(index, caption, 173, L"OK", 174, L"Cancel");
}

int GetUpdateCloseSoftKeyCap(int index, CJOVString& caption)
{
    return TwoCaptions(index, caption, 177, L"Update", 178, L"Close");
}
