#include "messaging/ChatCtrl.h"

#include <string>

#include "Gesture.h"
#include "HiDpi.h"
#include "contactlist/Clipboard.h"
#include "contactlist/ControlText.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/ChatContent.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/MessageDialogCtrl.h"
#include "messaging/MessageWnd.h"
#include "messaging/MessagingSkin.h"

namespace {

const int kLineStep = 10;
const int kAutoScrollStep = 10;
const int kMarginX = 3;
const int kMarginTop = 1;
const int kSpaceUnderLast = 10;
const int kFindMargin = 30;

const unsigned int kImageCopy = 33;
const unsigned int kImageQuote = 35;

CMenuItemInfo CommandItem(int textId, const wchar_t* english, unsigned int command, unsigned int image)
{
    CMenuItemInfo item(LangText(textId, english), command, 0);
    item.images.Append(image);
    return item;
}

} // namespace

const MessageWndSettings& GetMessagingSettings()
{
    static MessageWndSettings defaults(nullptr, nullptr);
    return g_App.pMessageWnd ? g_App.pMessageWnd->GetSettings() : defaults;
}

CChatCtrl::CChatCtrl(HINSTANCE instance, HWND parent, CMessageDialogCtrl* owner, int contentFlag)
    : CScrollWnd(instance, parent, kLineStep), m_owner(owner), m_quoteWindow(nullptr), m_quoteContact(0),
      m_content(nullptr), m_dragging(0), m_anchor(), m_end(), m_autoScroll(NoAutoScroll), m_caretHeight(0),
      m_holdLayout(false), m_skin(g_App.pSkinManager)
{
    m_content = new CChatContent(this, contentFlag);
}

CChatCtrl::~CChatCtrl()
{
    delete m_content;
    m_content = nullptr;
    if (m_autoScroll != NoAutoScroll && m_hWnd)
        KillTimer(m_hWnd, kAutoScrollTimer);
}

int CChatCtrl::Create(const RECT& rect)
{
    if (!CScrollWnd::Create(WS_VISIBLE, rect))
        return 0;
    UpdateLayout();
    return 1;
}

const MessageWndSettings& CChatCtrl::GetSettings()
{
    return m_owner ? m_owner->GetSettings() : GetMessagingSettings();
}

HBRUSH CChatCtrl::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

void CChatCtrl::ScrollToEnd()
{
    const RECT& content = m_content->GetRect();
    const int height = content.bottom - content.top;
    SetScrollInfo(0, height + kMarginTop + kSpaceUnderLast, GetClientHeight(), height + kMarginTop);
}

void CChatCtrl::AddEvent(const SMessage* message)
{
    AddEvents(message, 1);
}

void CChatCtrl::AddEvents(const SMessage* messages, int count)
{
    if (count <= 0)
        return;
    MakeRoomFor(messages, count);
    m_content->AddEvents(messages, count);
    ScrollToEnd();
    RefreshCaret();
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CChatCtrl::MakeRoomFor(const SMessage* messages, int count)
{
    if (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VSCROLL)
        return;
    const RECT& content = m_content->GetRect();
    const int page = GetClientHeight();
    if (content.bottom - content.top + kMarginTop + m_content->LeastHeightOf(messages, count) <= page)
        return;
    // The bar narrows the window: the content follows here, with no scroll
    // range of its own, which would take the bar away again.
    m_holdLayout = true;
    SetScrollInfo(0, 2 * page, page, 0);
    m_holdLayout = false;
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT layout = {client.left + kMarginX, client.top + kMarginTop, client.right - kMarginX, client.top + kMarginTop};
    m_content->Layout(layout);
}

void CChatCtrl::UpdateLayout()
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT layout = {client.left + kMarginX, client.top + kMarginTop, client.right - kMarginX, client.top + kMarginTop};
    m_content->Layout(layout);
    SetScrollInfo(client.top, layout.bottom + kSpaceUnderLast, client.bottom - client.top, layout.bottom);
    RefreshCaret();
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CChatCtrl::Clear()
{
    m_content->Clear();
    m_anchor = m_end = POINT{};
    UpdateLayout();
}

int CChatCtrl::Find(const wchar_t* text, const FindFlags& flags)
{
    int y;
    {
        CViewDrawContext context(this);
        y = m_content->Find(text, flags, &context);
    }
    if (y >= 0) {
        const int position = GetScrollPos();
        const int margin = HIDPI_ScaleY(kFindMargin);
        if (y < position || y > position + GetClientHeight() - margin) {
            SetScrollPos(y);
            RefreshCaret();
        }
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return y;
}

int CChatCtrl::FindFromStart(const wchar_t* text, const FindFlags& flags)
{
    m_content->ResetFind();
    return Find(text, flags);
}

void CChatCtrl::GetAllText(CGrowingTextBuffer& buffer)
{
    m_content->AppendAllText(buffer);
}

void CChatCtrl::CopySelectionToClipboard()
{
    CGrowingTextBuffer buffer;
    m_content->AppendSelectedText(buffer);
    if (!buffer.IsEmpty())
        CopyTextToClipboard(m_hWnd, buffer.GetText());
}

void CChatCtrl::Copy()
{
    if (HasSelection())
        CopySelectionToClipboard();
}

void CChatCtrl::CopyAll()
{
    CGrowingTextBuffer buffer;
    m_content->AppendAllText(buffer);
    if (!buffer.IsEmpty())
        CopyTextToClipboard(m_hWnd, buffer.GetText());
}

CMessageDialogCtrl* CChatCtrl::QuoteTarget() const
{
    if (m_owner)
        return m_owner;
    return m_quoteWindow && m_quoteContact ? m_quoteWindow->FindPage(m_quoteContact) : nullptr;
}

void CChatCtrl::Quote()
{
    CMessageDialogCtrl* target = QuoteTarget();
    if (!target || !HasSelection())
        return;
    CGrowingTextBuffer buffer;
    m_content->AppendSelectedText(buffer);
    const int length = buffer.GetLength();
    if (length == 0)
        return;
    const wchar_t* text = buffer.GetText();
    // Every line starts with ">" and keeps its own line break.
    std::wstring quoted;
    quoted.reserve(static_cast<size_t>(length) * 2 + 1);
    quoted += L'>';
    for (int i = 0; i < length; ++i) {
        quoted += text[i];
        if (text[i] == L'\n')
            quoted += L'>';
    }
    target->ReplaceSelection(quoted.c_str());
}

void CChatCtrl::FillContextMenu(CMenuInfo& menu, bool withQuote)
{
    menu.Append(CommandItem(123, L"Copy", kChatCmdCopy, kImageCopy));
    menu.Append(CommandItem(124, L"Copy all", kChatCmdCopyAll, kImageCopy));
    if (withQuote)
        menu.Append(CommandItem(126, L"Quote", kChatCmdQuote, kImageQuote));
}

void CChatCtrl::ShowContextMenu(int x, int y)
{
    CMenuInfo menu;
    FillContextMenu(menu, QuoteTarget() != nullptr);
    unsigned int nextId = kChatCmdCopy;
    HMENU popup = BuildPopupMenu(menu, nextId, nullptr);
    if (!popup)
        return;
    if (!HasSelection()) {
        EnableMenuItem(popup, kChatCmdCopy, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, kChatCmdQuote, MF_BYCOMMAND | MF_GRAYED);
    }
    const int chosen = static_cast<int>(TrackPopupMenuEx(popup, TPM_RETURNCMD, x, y, m_hWnd, nullptr));
    if (chosen >= static_cast<int>(kChatCmdCopy)) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(popup, static_cast<UINT>(chosen), FALSE, &info) && info.dwItemData) {
            switch (reinterpret_cast<const CMenuItemInfo*>(info.dwItemData)->commandId) {
            case kChatCmdCopy:
                Copy();
                break;
            case kChatCmdCopyAll:
                CopyAll();
                break;
            case kChatCmdQuote:
                Quote();
                break;
            }
        }
    }
    DestroyMenu(popup);
}

void CChatCtrl::RefreshCaret()
{
    if (GetFocus() != m_hWnd)
        return;
    CViewDrawContext context(this);
    POINT caret = m_content->MoveCaret(CaretHere, &context);
    if (IsCaretAt(caret))
        SetCaretPos(caret.x, caret.y - GetScrollPos());
}

POINT CChatCtrl::PlaceCaret(POINT point)
{
    CViewDrawContext context(this);
    POINT caret = m_content->SetCaretFromPoint(point, &context);
    if (IsCaretAt(caret)) {
        SetCaretPos(caret.x, caret.y - GetScrollPos());
        ShowCaret(m_hWnd);
    }
    return caret;
}

void CChatCtrl::ApplySelection()
{
    {
        CViewDrawContext context(this);
        m_content->Select(m_anchor, m_end, &context);
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CChatCtrl::StopAutoScroll()
{
    if (m_autoScroll == NoAutoScroll)
        return;
    KillTimer(m_hWnd, kAutoScrollTimer);
    m_autoScroll = NoAutoScroll;
}

void CChatCtrl::OnPaint(CJOVDrawContext* context)
{
    if (m_content)
        m_content->Draw(context, GetScrollPos());
}

void CChatCtrl::OnWindowPosChanged(WINDOWPOS*)
{
    if (!m_content || m_holdLayout)
        return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    const RECT& content = m_content->GetRect();
    if (content.right - content.left + 2 * kMarginX != client.right - client.left) {
        UpdateLayout();
    } else if (client.bottom - client.top != GetScrollPage()) {
        ScrollToEnd();
        RefreshCaret();
    }
}

void CChatCtrl::OnScroll()
{
    RefreshCaret();
}

void CChatCtrl::OnSetFocus()
{
    m_content->ClearSelection();
    const MessageWndSettings& settings = GetSettings();
    // The size of the text font, whatever the sign of its height.
    m_caretHeight = settings.GetTextHeight();
    CreateCaret(m_hWnd, nullptr, HIDPI_ScaleX(1), m_caretHeight);
    RECT client;
    GetClientRect(m_hWnd, &client);
    // At the end of the last line fully in view.
    POINT point = {client.right, GetScrollPos() + client.bottom - m_caretHeight};
    m_anchor = m_end = PlaceCaret(point);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CChatCtrl::OnButtonDown(int x, int y)
{
    SetFocus(m_hWnd);
    SHRGINFO gesture = {};
    gesture.cbSize = sizeof(gesture);
    gesture.hwndClient = m_hWnd;
    gesture.ptDown = POINT{x, y};
    gesture.dwFlags = SHRG_RETURNCMD;
    if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
        // Asked for the answer, the shell sends no WM_CONTEXTMENU itself.
        POINT screen = {x, y};
        ClientToScreen(m_hWnd, &screen);
        ShowContextMenu(screen.x, screen.y);
        return;
    }
    POINT point = {x, y + GetScrollPos()};
    m_content->ClearSelection();
    m_content->ResetFind();
    m_anchor = m_end = point;
    ApplySelection();
    PlaceCaret(point);
    if (!m_content->OnClick(m_anchor)) {
        m_dragging = 1;
        SetCapture(m_hWnd);
    }
}

void CChatCtrl::OnMouseMove(int x, int y)
{
    m_end.x = x;
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (y >= client.bottom || y <= client.top) {
        if (m_autoScroll == NoAutoScroll) {
            m_autoScroll = y < client.bottom ? ScrollingUp : ScrollingDown;
            SetTimer(m_hWnd, kAutoScrollTimer, kAutoScrollPeriodMs, nullptr);
        }
        return;
    }
    StopAutoScroll();
    m_end.y = y + GetScrollPos();
    ApplySelection();
    PlaceCaret(m_end);
}

void CChatCtrl::OnAutoScrollTick()
{
    const int step = m_autoScroll == ScrollingDown ? kAutoScrollStep : -kAutoScrollStep;
    SetScrollPos(GetScrollPos() + step);
    m_end.y += step;
    ApplySelection();
    PlaceCaret(m_end);
}

bool CChatCtrl::OnKeyDown(UINT key)
{
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (control && (key == 'C' || key == VK_INSERT) && HasSelection()) {
        CopySelectionToClipboard();
        return true;
    }
    switch (key) {
    case VK_RIGHT:
    case VK_TAB:
        PostMessageW(m_hParent, WM_NEXTDLGCTL, 0, 0);
        break;
    case VK_LEFT:
        PostMessageW(m_hParent, WM_NEXTDLGCTL, 1, 0);
        break;
    case VK_UP:
        if (GetScrollPos() <= GetScrollMinRange())
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 1, 0);
        else
            SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEUP, 0);
        break;
    case VK_DOWN:
        if (GetScrollPos() + GetScrollPage() >= GetScrollMaxRange())
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 0, 0);
        else
            SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
        break;
    }
    return false;
}

LRESULT CChatCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_content)
        return CScrollWnd::OnMessage(message, wParam, lParam);
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_LBUTTONDOWN:
        OnButtonDown(x, y);
        break;
    case WM_MOUSEMOVE:
        // A move without the button held is the system's own (a capture
        // change sends one at the pointer), not the stylus dragging.
        if (m_dragging && (wParam & MK_LBUTTON))
            OnMouseMove(x, y);
        break;
    case WM_LBUTTONUP:
        if (m_dragging) {
            StopAutoScroll();
            ReleaseCapture();
            m_dragging = 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kAutoScrollTimer) {
            if (m_autoScroll != NoAutoScroll)
                OnAutoScrollTick();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        break;
    case WM_KILLFOCUS:
        m_content->ResetCaret();
        DestroyCaret();
        break;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return 1;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_CHAR:
        if (wParam == VK_TAB)
            return 0;
        if (m_owner)
            return SendMessageW(m_owner->GetWnd(), WM_CHAR, wParam, lParam);
        break;
    case WM_CONTEXTMENU:
        ShowContextMenu(x, y);
        return 0;
    case WM_MEASUREITEM:
        if (wParam == 0) {
            MeasureMenuItem(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == 0) {
            if (lParam)
                DrawMenuItem(m_hWnd, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_JOV_SMILIES_CHANGE:
        if (wParam == 0) {
            m_content->RefreshSmilies();
            ScrollToEnd();
            InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    }
    return CScrollWnd::OnMessage(message, wParam, lParam);
}
