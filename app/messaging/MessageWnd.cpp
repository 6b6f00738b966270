#include "messaging/MessageWnd.h"

#include "JOVModalDialog.h"
#include "core/AppGlobals.h"
#include "core/JOVResource.h"

CMessageWnd::CMessageWnd(HWND parent) : m_hParent(parent), m_hWnd(nullptr)
{
}

CMessageWnd::~CMessageWnd()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

bool CMessageWnd::Create()
{
    HINSTANCE instance = g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
    m_hWnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MESSAGE_WND), m_hParent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

void CMessageWnd::OnLangChange()
{
}

void CMessageWnd::OpenContact(unsigned int, int)
{
}

void CMessageWnd::AddMessage(unsigned int, const SMessage*)
{
}

void CMessageWnd::UpdateContactPage(unsigned int, int, int)
{
}

void CMessageWnd::ClosePage(unsigned int)
{
}

INT_PTR CALLBACK CMessageWnd::DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    CMessageWnd* window = reinterpret_cast<CMessageWnd*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (window && message == WM_JOV_LANG_CHANGED) {
        window->OnLangChange();
        return TRUE;
    }
    return FALSE;
}
