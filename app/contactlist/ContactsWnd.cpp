#include "contactlist/ContactsWnd.h"

CContactsWnd::CContactsWnd() : CWnd(GetModuleHandleW(nullptr), nullptr)
{
}

int CContactsWnd::CreateWnd(DWORD style, const RECT& rect, HWND parent, int controlId)
{
    m_hParent = parent;
    if (!Create(style, rect))
        return 0;
    SetWindowLongPtrW(m_hWnd, GWLP_ID, controlId);
    return 1;
}

void CContactsWnd::FillSelectedItemMenu(CMenuInfo&)
{
}

HBRUSH CContactsWnd::GetBkBrush()
{
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
