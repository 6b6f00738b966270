#include "messaging/MessageDialogCtrl.h"

#include <algorithm>
#include <vector>

#include "Gesture.h"
#include "HiDpi.h"
#include "contactlist/Clipboard.h"
#include "contactlist/ControlText.h"
#include "contactlist/JOVButton.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/skins/SkinColors.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/ChatCtrl.h"
#include "messaging/MessageWnd.h"
#include "messaging/MessagingIds.h"
#include "messaging/MessagingSkin.h"

namespace {

const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN;
const unsigned int kImageSend = 25;
const unsigned int kImageCut = 36;
const unsigned int kImageCopy = 33;
const unsigned int kImagePaste = 37;
const int kSendWidth = 40;
const int kOverlap = 1;
const int kLimitSpace = 20;

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

CMenuItemInfo CommandItem(int textId, const wchar_t* english, unsigned int command, unsigned int image)
{
    CMenuItemInfo item(LangText(textId, english), command, 0);
    item.images.Append(image);
    return item;
}

} // namespace

WNDPROC CMessageDialogCtrl::s_editClassProc = nullptr;

CMessageDialogCtrl::CMessageDialogCtrl(CMessageWnd* window)
    : CModelessDlg(ProgramModule(), window->GetWnd(), IDD_MESSAGE_PAGE, -1), m_window(window), m_chat(nullptr),
      m_edit(nullptr), m_editHeight(1), m_lineHeight(0), m_lineCount(1),
      m_maxLines(window->GetSettings().GetEditOptions().maxLines), m_sendButton(nullptr)
{
}

CMessageDialogCtrl::~CMessageDialogCtrl()
{
    delete m_chat;
    m_chat = nullptr;
    delete m_sendButton;
    m_sendButton = nullptr;
    if (m_edit && IsWindow(m_edit))
        SetWindowLongPtrW(m_edit, GWLP_USERDATA, 0);
}

const MessageWndSettings& CMessageDialogCtrl::GetSettings() const
{
    return m_window->GetSettings();
}

HBRUSH CMessageDialogCtrl::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

void CMessageDialogCtrl::OnInitDialog()
{
    CModelessDlg::OnInitDialog();
    RECT client;
    GetClientRect(m_hDlg, &client);
    m_chat = new CChatCtrl(m_hInstance, m_hDlg, this, 0);
    m_chat->Create(client);

    m_edit = CreateWindowExW(0, L"EDIT", L"", kEditStyle, client.left, client.top, client.right - client.left,
                             client.bottom - client.top, m_hDlg, nullptr, m_hInstance, nullptr);
    if (m_edit) {
        SetWindowLongPtrW(m_edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        WNDPROC previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditWndProc)));
        if (!s_editClassProc)
            s_editClassProc = previous;
    }
    m_sendButton = new CJOVButton(m_hDlg, kImageSend, client);
    ApplyEditFont();
}

int CMessageDialogCtrl::SendButtonWidth() const
{
    return GetSettings().GetEditOptions().showSendButton ? HIDPI_ScaleX(kSendWidth) - HIDPI_ScaleY(kOverlap) : 0;
}

void CMessageDialogCtrl::Layout()
{
    if (!m_chat || !m_edit)
        return;
    RECT c;
    GetClientRect(m_hDlg, &c);
    const int width = c.right - c.left;
    const int send = SendButtonWidth();
    SetWindowPos(*m_chat, nullptr, 0, 0, width, (c.bottom - c.top) - m_editHeight + HIDPI_ScaleY(kOverlap),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_edit, nullptr, 0, c.bottom - m_editHeight, width - send, m_editHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_sendButton) {
        const bool shown = GetSettings().GetEditOptions().showSendButton != 0;
        SetWindowPos(*m_sendButton, nullptr, c.right - HIDPI_ScaleX(kSendWidth), c.bottom - m_editHeight,
                     HIDPI_ScaleX(kSendWidth), m_editHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

void CMessageDialogCtrl::RecalcEditHeight()
{
    if (!m_edit)
        return;
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(m_edit);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_edit, dc);
    const int systemLine = metrics.tmHeight + metrics.tmExternalLeading;
    const int margin = 2 * GetSystemMetrics(SM_CYBORDER) + std::min(m_lineHeight, systemLine) / 2;
    RECT client;
    GetClientRect(m_hDlg, &client);
    const int limit = client.bottom - client.top + HIDPI_ScaleY(kOverlap) - HIDPI_ScaleY(kLimitSpace);

    int height;
    bool scrolling;
    bool changed;
    if (m_lineCount > m_maxLines) {
        height = m_maxLines * m_lineHeight + margin;
        scrolling = true;
        changed = height != m_editHeight;
    } else {
        height = m_lineCount * m_lineHeight + margin;
        scrolling = false;
        changed = true;
    }
    if (height > limit) {
        // Only the whole lines that fit, but always one: a page too short
        // for one line still has an edit box to type in.
        int lines = m_lineCount;
        height = lines * m_lineHeight + margin;
        while (height > limit && lines > 1) {
            --lines;
            height -= m_lineHeight;
        }
        m_maxLines = lines;
        scrolling = true;
        changed = true;
    }
    if (changed)
        m_editHeight = height;

    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (scrolling) {
        info.nMax = m_lineCount * m_lineHeight + margin;
        info.nPage = static_cast<UINT>(m_editHeight);
    }
    SetScrollInfo(m_edit, SB_VERT, &info, TRUE);
    if (changed)
        Layout();
}

void CMessageDialogCtrl::ApplyEditFont()
{
    if (!m_edit)
        return;
    HFONT font = GetSettings().GetFont(MessageWndSettings::EditFont);
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(m_edit);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_edit, dc);
    m_lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_maxLines = GetSettings().GetEditOptions().maxLines;
    RecalcEditHeight();
}

void CMessageDialogCtrl::OnWindowPosChanged(WINDOWPOS* pos)
{
    if ((pos->flags & SWP_NOSIZE) || !m_edit)
        return;
    RECT client;
    GetClientRect(m_hDlg, &client);
    const int width = client.right - client.left - SendButtonWidth();
    RECT edit;
    GetWindowRect(m_edit, &edit);
    if (edit.right - edit.left != width) {
        // The text wraps anew: the line count follows it.
        SetWindowPos(m_edit, nullptr, 0, 0, width, m_editHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_lineCount = static_cast<int>(SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0));
    }
    m_maxLines = GetSettings().GetEditOptions().maxLines;
    RecalcEditHeight();
    Layout();
}

void CMessageDialogCtrl::AddEvent(const SMessage* message)
{
    if (m_chat)
        m_chat->AddEvent(message);
}

void CMessageDialogCtrl::AddEvents(const SMessage* messages, int count)
{
    if (m_chat)
        m_chat->AddEvents(messages, count);
}

void CMessageDialogCtrl::ClearChat()
{
    if (m_chat)
        m_chat->Clear();
}

int CMessageDialogCtrl::TakeEditText(CJOVString& text)
{
    const int length = m_edit ? GetWindowTextLengthW(m_edit) : 0;
    if (length < 1)
        return 0;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    GetWindowTextW(m_edit, buffer.data(), length + 1);
    text = CJOVString(buffer.data());
    ClearEdit();
    return 1;
}

void CMessageDialogCtrl::RestoreEditText(const CJOVString& text)
{
    if (!m_edit)
        return;
    CJOVString copy = text;
    SetWindowTextW(m_edit, copy);
    m_lineCount = static_cast<int>(SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0));
    RecalcEditHeight();
    const int length = GetWindowTextLengthW(m_edit);
    SendMessageW(m_edit, EM_SETSEL, length, length);
}

void CMessageDialogCtrl::ClearEdit()
{
    if (!m_edit)
        return;
    SetWindowTextW(m_edit, L"");
    m_lineCount = 1;
    RecalcEditHeight();
}

void CMessageDialogCtrl::ReplaceSelection(const wchar_t* text)
{
    if (m_edit)
        SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

void CMessageDialogCtrl::InsertSmiley(int index)
{
    CSmiliesPack* pack = g_App.pSkinManager ? g_App.pSkinManager->GetSmilies() : nullptr;
    CSmaily* smiley = pack ? (*pack)[index] : nullptr;
    if (!smiley || smiley->GetCodeCount() < 1)
        return;
    CJOVString code = smiley->GetCode(0);
    ReplaceSelection(code);
}

void CMessageDialogCtrl::Cut()
{
    SendMessageW(m_edit, WM_CUT, 0, 0);
}

void CMessageDialogCtrl::Copy()
{
    SendMessageW(m_edit, WM_COPY, 0, 0);
}

void CMessageDialogCtrl::Paste()
{
    SendMessageW(m_edit, WM_PASTE, 0, 0);
}

void CMessageDialogCtrl::CopyAll()
{
    const int length = GetWindowTextLengthW(m_edit);
    if (length < 1)
        return;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    GetWindowTextW(m_edit, text.data(), length + 1);
    CopyTextToClipboard(m_edit, text.data());
}

void CMessageDialogCtrl::ApplySettings(int kind)
{
    switch (kind) {
    case MessageWndSettings::ApplyAll:
        ApplyEditFont();
        if (m_chat)
            m_chat->UpdateLayout();
        break;
    case MessageWndSettings::ApplyChatViews:
        if (m_chat)
            m_chat->UpdateLayout();
        break;
    case MessageWndSettings::ApplyEditBoxes:
        ApplyEditFont();
        break;
    }
}

void CMessageDialogCtrl::MoveCaretToEnd()
{
    SetFocus(m_edit);
    const int length = GetWindowTextLengthW(m_edit);
    SendMessageW(m_edit, EM_SETSEL, length, length);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

int CMessageDialogCtrl::GetCaretCharIndex()
{
    POINT caret;
    if (GetFocus() != m_edit || !GetCaretPos(&caret))
        return 0;
    return LOWORD(SendMessageW(m_edit, EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y)));
}

void CMessageDialogCtrl::FillEditMenu(CMenuInfo& menu)
{
    menu.Append(CommandItem(122, L"Cut", kEditCmdCut, kImageCut));
    menu.Append(CommandItem(123, L"Copy", kEditCmdCopy, kImageCopy));
    menu.Append(CommandItem(124, L"Copy all", kEditCmdCopyAll, kImageCopy));
    menu.Append(CommandItem(125, L"Paste", kEditCmdPaste, kImagePaste));
}

void CMessageDialogCtrl::ShowEditMenu(int x, int y)
{
    CMenuInfo menu;
    FillEditMenu(menu);
    unsigned int nextId = kEditCmdCut;
    HMENU popup = BuildPopupMenu(menu, nextId, nullptr);
    if (!popup)
        return;
    DWORD start = 0, end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        EnableMenuItem(popup, kEditCmdCut, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, kEditCmdCopy, MF_BYCOMMAND | MF_GRAYED);
    }
    if (GetWindowTextLengthW(m_edit) == 0)
        EnableMenuItem(popup, kEditCmdCopyAll, MF_BYCOMMAND | MF_GRAYED);
    if (!IsClipboardTextAvailable())
        EnableMenuItem(popup, kEditCmdPaste, MF_BYCOMMAND | MF_GRAYED);
    const int chosen = static_cast<int>(TrackPopupMenuEx(popup, TPM_RETURNCMD, x, y, m_edit, nullptr));
    if (chosen >= static_cast<int>(kEditCmdCut)) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(popup, static_cast<UINT>(chosen), FALSE, &info) && info.dwItemData) {
            switch (reinterpret_cast<const CMenuItemInfo*>(info.dwItemData)->commandId) {
            case kEditCmdCut:
                Cut();
                break;
            case kEditCmdCopy:
                Copy();
                break;
            case kEditCmdCopyAll:
                CopyAll();
                break;
            case kEditCmdPaste:
                Paste();
                break;
            }
        }
    }
    DestroyMenu(popup);
}

void CMessageDialogCtrl::LeavePage(HWND control, bool backward)
{
    HWND window = m_window->GetWnd();
    HWND next = GetNextDlgTabItem(window, control, backward ? TRUE : FALSE);
    if (next)
        SetFocus(next);
}

INT_PTR CMessageDialogCtrl::Answer(LRESULT result)
{
    SetWindowLongPtrW(m_hDlg, DWLP_MSGRESULT, result);
    return 1;
}

INT_PTR CMessageDialogCtrl::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (m_edit)
            SetFocus(m_edit);
        return Answer(0);
    case WM_NEXTDLGCTL: {
        if (LOWORD(lParam) != 0)
            break;
        HWND focus = GetFocus();
        const bool sendShown = m_sendButton && IsWindowVisible(*m_sendButton);
        if (wParam == 1 && m_chat && focus == *m_chat) {
            LeavePage(*m_chat, true);
            return Answer(0);
        }
        if (wParam == 0 && ((sendShown && focus == *m_sendButton) || (!sendShown && focus == m_edit))) {
            LeavePage(focus, false);
            return Answer(0);
        }
        break;
    }
    case WM_CHAR:
        if (!m_edit)
            break;
        SetFocus(m_edit);
        return Answer(SendMessageW(m_edit, WM_CHAR, wParam, lParam));
    case WM_COMMAND:
        if (m_edit && reinterpret_cast<HWND>(lParam) == m_edit && HIWORD(wParam) == EN_UPDATE) {
            const int count = static_cast<int>(SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0));
            if (count != m_lineCount) {
                m_lineCount = count;
                RecalcEditHeight();
            }
        } else if (m_sendButton && reinterpret_cast<HWND>(lParam) == *m_sendButton && HIWORD(wParam) == 0) {
            m_window->SendCurrentMessage();
        }
        break;
    case WM_CTLCOLOREDIT:
        if (m_edit && reinterpret_cast<HWND>(lParam) == m_edit)
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSkinColour(Skins::kColourEditingText));
        break;
    case WM_JOV_SMILIES_CHANGE:
        if (m_chat)
            SendMessageW(*m_chat, message, wParam, lParam);
        break;
    }
    return CModelessDlg::DialogProc(message, wParam, lParam);
}

LRESULT CALLBACK CMessageDialogCtrl::EditWndProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMessageDialogCtrl* page = reinterpret_cast<CMessageDialogCtrl*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    if (!page || page->m_edit != edit)
        return s_editClassProc ? CallWindowProcW(s_editClassProc, edit, message, wParam, lParam)
                               : DefWindowProcW(edit, message, wParam, lParam);
    return page->OnEditMessage(message, wParam, lParam);
}

bool CMessageDialogCtrl::OnEditKey(UINT key)
{
    const int caret = GetCaretCharIndex();
    const int length = GetWindowTextLengthW(m_edit);
    if ((key == VK_RIGHT || key == VK_DOWN) && caret >= length) {
        PostMessageW(m_hDlg, WM_NEXTDLGCTL, 0, 0);
        return true;
    }
    if ((key == VK_LEFT || key == VK_UP) && caret == 0) {
        PostMessageW(m_hDlg, WM_NEXTDLGCTL, 1, 0);
        return true;
    }
    if (key == VK_TAB) {
        PostMessageW(m_hDlg, WM_NEXTDLGCTL, 0, 0);
        return true;
    }
    if (key != VK_UP && key != VK_DOWN)
        return false;
    const int line = static_cast<int>(SendMessageW(m_edit, EM_LINEFROMCHAR, caret, 0));
    const int lines = static_cast<int>(SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0));
    int target;
    if (key == VK_UP && line == 0)
        target = 0;
    else if (key == VK_DOWN && line == lines - 1)
        target = length;
    else
        return false;
    // The caret jumps to the edge; a selection keeps its other end.
    DWORD start = 0, end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int anchor = target;
    if (start != end)
        anchor = static_cast<int>(start) == caret ? static_cast<int>(end) : static_cast<int>(start);
    SendMessageW(m_edit, EM_SETSEL, anchor, target);
    return true;
}

LRESULT CMessageDialogCtrl::OnEditMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        MoveCaretToEnd();
        break;
    case WM_DRAWITEM:
        if (wParam == 0) {
            if (lParam)
                DrawMenuItem(m_edit, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_MEASUREITEM:
        if (wParam == 0) {
            MeasureMenuItem(m_edit, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (OnEditKey(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        if (wParam == VK_RETURN && GetSettings().GetEditOptions().sendOnEnter) {
            m_window->SendCurrentMessage();
            return 0;
        }
        if (wParam == VK_TAB)
            return 0;
        break;
    case WM_LBUTTONDOWN: {
        SetFocus(m_edit);
        SHRGINFO gesture = {};
        gesture.cbSize = sizeof(gesture);
        gesture.hwndClient = m_edit;
        gesture.ptDown = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        gesture.dwFlags = SHRG_RETURNCMD;
        if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
            POINT screen = gesture.ptDown;
            ClientToScreen(m_edit, &screen);
            ShowEditMenu(screen.x, screen.y);
        }
        break;
    }
    }
    return CallWindowProcW(s_editClassProc, m_edit, message, wParam, lParam);
}
