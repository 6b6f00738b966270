#include "contactlist/TabPanel.h"

#include <commctrl.h>

#include "BufferedPaint.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/DialogTemplate.h"

namespace {

bool IsToggle(HWND button)
{
    switch (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    }
    return false;
}

bool IsClass(HWND window, const wchar_t* name)
{
    wchar_t found[32] = {};
    return GetClassNameW(window, found, 32) && lstrcmpiW(found, name) == 0;
}

} // namespace

CTabPanel::CTabPanel(HWND parentDialog, const CPanelInfo& info, int recordIndex)
    : m_parent(parentDialog), m_page(nullptr), m_module(info.module), m_dialogId(info.dialog),
      m_dataExchange(info.dataExchange), m_message(info.message), m_recordIndex(recordIndex), m_exchanging(false),
      m_edited(false)
{
}

CTabPanel::~CTabPanel()
{
    Destroy();
}

void CTabPanel::Destroy()
{
    if (m_page && IsWindow(m_page))
        DestroyWindow(m_page);
    m_page = nullptr;
}

bool CTabPanel::Create()
{
    m_page = CreateDialogFromTemplate(m_module, m_dialogId, m_parent, PageProc, reinterpret_cast<LPARAM>(this), true);
    return m_page != nullptr;
}

PanelCheckResult CTabPanel::Exchange(int direction, unsigned int ownerId)
{
    PanelCheckResult result;
    if (!m_dataExchange)
        return result;
    m_exchanging = true;
    result = m_dataExchange(m_page, direction, ownerId);
    m_exchanging = false;
    if (direction == 0 || !result.failed)
        m_edited = false;
    return result;
}

INT_PTR CALLBACK CTabPanel::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        CTabPanel* panel = reinterpret_cast<CTabPanel*>(lParam);
        if (panel)
            panel->m_page = page;
    }
    CTabPanel* panel = reinterpret_cast<CTabPanel*>(GetWindowLongPtrW(page, DWLP_USER));
    return panel ? panel->DialogProc(page, message, wParam, lParam) : 0;
}

INT_PTR CTabPanel::DialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsControlColorMessage(message))
        return AnswerControlColor(wParam, lParam, DialogSkin().GetBackgroundBrush());
    switch (message) {
    case WM_INITDIALOG:
        return 1;
    case WM_COMMAND:
        // Menu and accelerator commands come without a control window.
        if (!lParam)
            return 0;
        NoteChange(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        if (m_message)
            m_message(page, LOWORD(wParam), HIWORD(wParam), nullptr);
        return 0;
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && m_message)
            m_message(page, static_cast<unsigned int>(header->idFrom), header->code, header);
        if (header && !m_exchanging &&
            (header->code == LVN_ITEMCHANGED || header->code == DTN_DATETIMECHANGE || header->code == UDN_DELTAPOS))
            m_edited = true;
        return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Trackbars and up-down controls report moves here on the desktop.
        if (lParam && !m_exchanging)
            m_edited = true;
        return 0;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return m_message ? m_message(page, static_cast<unsigned int>(wParam), message, reinterpret_cast<void*>(lParam))
                         : 0;
    case WM_VKEYTOITEM: {
        HWND list = reinterpret_cast<HWND>(lParam);
        int id = list ? GetDlgCtrlID(list) : 0;
        if (!list || id == 0 || !m_message)
            return 0;
        int answer = m_message(page, static_cast<unsigned int>(id), WM_VKEYTOITEM,
                               reinterpret_cast<void*>(static_cast<uintptr_t>(wParam)));
        SetWindowLongPtrW(page, DWLP_MSGRESULT, answer);
        return answer;
    }
    }
    return 0;
}

void CTabPanel::NoteChange(HWND control, UINT code)
{
    if (m_exchanging)
        return;
    if (IsClass(control, L"Edit"))
        m_edited = m_edited || code == EN_CHANGE;
    else if (IsClass(control, L"Button"))
        m_edited = m_edited || (code == BN_CLICKED && IsToggle(control));
    else if (IsClass(control, L"ComboBox"))
        m_edited = m_edited || code == CBN_SELCHANGE || code == CBN_EDITCHANGE;
    else if (IsClass(control, L"ListBox"))
        m_edited = m_edited || code == LBN_SELCHANGE;
}
