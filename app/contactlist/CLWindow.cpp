// The control's window: double-buffered painting of the shown tree, the
// scroll bar and drag scrolling, taps, tap-and-hold, double taps, keys, the
// 500 ms timer of the blinking, and what the control's thread posts to it.
// UI thread only; the tree walks hold the control's lock, and nothing that
// may wait for another thread (menus, accounts, the messaging window) runs
// while it is held.
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "BufferedPaint.h"
#include "CriticalSectionLock.h"
#include "Gesture.h"
#include "HiDpi.h"
#include "Power.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/ChatPages.h"
#include "protocols/ProtocolsManager.h"

namespace {

const wchar_t kClassName[] = L"Contact List Wnd Class";
const UINT_PTR kBlinkTimer = 1;
const UINT kBlinkMs = 500;
const int kLineUnits = 20;
// The main window's status-menu commands of the digit keys 1 to 9.
const UINT kFirstStatusCommand = 500;

bool ReadGuiByte(Services::CServicesManager& bus, const wchar_t* name)
{
    auto* store = static_cast<Database::CJOVDatabase*>(bus.GetService(GUID_Database));
    unsigned char value = 0;
    return store && store->GetByte(GUID_GUI, CJOVString(name), &value) && value != 0;
}

// Chat entries still queued when the window goes would never be read: each
// owns its message, freed here.
void DropQueuedEntries(HWND window)
{
    MSG queued;
    while (PeekMessageW(&queued, window, kChatEntryMessage, kChatEntryMessage, PM_REMOVE))
        delete reinterpret_cast<SMessage*>(queued.lParam);
}

} // namespace

int CCLCtrl::CreateWnd(DWORD style, const RECT& rect, HWND parent, int controlId)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW known = {};
    if (!GetClassInfoW(instance, kClassName, &known)) {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = WndProc;
        windowClass.hInstance = instance;
        // The paint covers everything: no erasing, no flicker.
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassW(&windowClass))
            return 0;
    }
    HWND window = CreateWindowExW(0, kClassName, L"CL", style | WS_CHILD | WS_VSCROLL, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, this);
    if (!window)
        return 0;
    m_hWnd = window;
    m_ownsWindow = true;
    m_timerId = SetTimer(window, kBlinkTimer, kBlinkMs, nullptr);
    RecalcLayout();
    return 1;
}

void CCLCtrl::DestroyWnd()
{
    if (!m_ownsWindow || !m_hWnd)
        return;
    if (m_timerId)
        KillTimer(m_hWnd, m_timerId);
    m_timerId = 0;
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_ownsWindow = false;
}

LRESULT CALLBACK CCLCtrl::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* control = static_cast<CCLCtrl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        if (control)
            control->m_hWnd = window;
        return 0;
    }
    if (message == WM_NCDESTROY)
        DropQueuedEntries(window);
    auto* control = reinterpret_cast<CCLCtrl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    return control->OnWindowProc(window, message, wParam, lParam);
}

LRESULT CCLCtrl::OnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OnWindowMessage(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DRAWITEM:
        if (wParam != 0)
            break;
        if (lParam)
            DrawMenuItem(window, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MEASUREITEM:
        if (wParam != 0)
            break;
        MeasureMenuItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        if (!(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            RecalcLayout();
        break;
    case WM_CONTEXTMENU:
        OnContextMenu(window, lParam);
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(window, wParam))
            return 0;
        break;
    case WM_CHAR:
        if (wParam >= L'1' && wParam <= L'9')
            PostMessageW(GetParent(window), WM_COMMAND, kFirstStatusCommand + static_cast<UINT>(wParam - L'1'), 0);
        return 0;
    case WM_TIMER:
        if (wParam == kBlinkTimer)
            OnTimer(window);
        return 0;
    case WM_VSCROLL:
        OnScroll(window, wParam);
        return 0;
    case WM_MOUSEMOVE:
        OnDrag(window, wParam, GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        if (OnTap(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
            return 0;
        break;
    case WM_LBUTTONUP:
        OnTapUp(window, GET_X_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OpenCurrentContact();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int CCLCtrl::ScrollPos(HWND window) const
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    return info.nPos;
}

void CCLCtrl::Paint(HWND window)
{
    const unsigned long rowsBefore = TraceOn() ? CTreeItem::GetRowsDrawn() : 0;
    m_paintStatusOnly = ReadGuiByte(m_bus, L"Status only");
    {
        CBufferedPaint paint(window, DialogSkin().GetBackgroundBrush());
        HDC dc = paint.GetDC();
        if (dc) {
            RECT client = {};
            GetClientRect(window, &client);
            const int position = ScrollPos(window);
            HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            {
                CCriticalSectionLock hold(m_lock);
                if (CRootItem* root = ShownRoot()) {
                    const RECT tree = {client.left, -position, client.right,
                                       static_cast<int>(root->GetHeight()) - position};
                    root->Draw(dc, &tree, &client, 1);
                }
            }
            SelectObject(dc, oldFont);
        }
    }
    if (TraceOn())
        TraceMark(L"list painted", CTreeItem::GetRowsDrawn() - rowsBefore);
    FetchStaleStatuses();
}

void CCLCtrl::NoteStaleStatus(unsigned int contactId, unsigned int accountId)
{
    const auto seen = std::make_pair(contactId, accountId);
    if (std::find(m_staleSeen.begin(), m_staleSeen.end(), seen) == m_staleSeen.end())
        m_staleSeen.push_back(seen);
}

void CCLCtrl::FetchStaleStatuses()
{
    std::vector<std::pair<unsigned int, unsigned int>> seen;
    {
        CCriticalSectionLock hold(m_lock);
        seen.swap(m_staleSeen);
    }
    Protocols::CProtocolsManager* manager = seen.empty() ? nullptr : Manager();
    if (!manager)
        return;
    bool changed = false;
    for (const auto& [contactId, accountId] : seen) {
        Protocols::ContactStatusInfo status;
        // A time-out is no answer: the status stays stale and is asked again.
        if (!manager->GetContactStatusInfo(accountId, contactId, &status))
            continue;
        CContactItem* contact = nullptr;
        CCriticalSectionLock hold(m_lock);
        // An event may have brought a newer status meanwhile.
        if (FindContactItem(contactId, nullptr, nullptr, &contact) && contact->IsStatusStale()) {
            contact->SetStatusInfo(status);
            contact->SetStatusStale(false);
            changed = true;
        }
        if (FindStatusContactItem(contactId, nullptr, &contact) && contact->IsStatusStale()) {
            contact->SetStatusInfo(status);
            contact->SetStatusStale(false);
            changed = true;
        }
    }
    TraceMark(L"stale statuses fetched", static_cast<long long>(seen.size()));
    if (changed)
        Invalidate();
}

void CCLCtrl::OpenCurrentContact()
{
    unsigned int contactId = 0;
    {
        CCriticalSectionLock hold(m_lock);
        if (m_current && m_current->GetKind() == TreeItemKind::Contact)
            contactId = static_cast<CContactItem*>(m_current)->GetContactId();
    }
    if (contactId)
        OpenChat(contactId);
}

bool CCLCtrl::OnKeyDown(HWND window, WPARAM key)
{
    if (key == VK_RETURN) {
        OpenCurrentContact();
        return false;
    }
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN)
        return false;
    {
        CCriticalSectionLock hold(m_lock);
        CTreeItem* item = m_current;
        if (!item)
            return true;
        if (key == VK_LEFT) {
            if (item->IsOpen() && item->GetFirstChild()) {
                item->SetOpen(0);
                RecalcLayout();
            } else if (item->GetParent() && item->GetParent()->GetParent()) {
                EnsureVisible(item->GetParent());
            } else {
                return true;
            }
        } else if (key == VK_RIGHT && !item->IsOpen() && item->GetFirstChild()) {
            item->SetOpen(1);
            RecalcLayout();
        } else if (key == VK_UP) {
            SelectPrevious();
        } else {
            SelectNext();
        }
    }
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void CCLCtrl::OnScroll(HWND window, WPARAM wParam)
{
    RECT client = {};
    GetClientRect(window, &client);
    const int line = HIDPI_ScaleY(kLineUnits);
    const int page = client.bottom - client.top;
    int position = ScrollPos(window);
    BOOL redraw = TRUE;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // The capture stays with the bar: releasing it would end the drag
        // of the thumb at its first step.
        position = HIWORD(wParam);
        redraw = FALSE;
        break;
    default:
        return;
    }
    SetScrollPos(window, SB_VERT, position, redraw);
    InvalidateRect(window, nullptr, FALSE);
}

void CCLCtrl::OnDrag(HWND window, WPARAM flags, int y)
{
    if (!(flags & MK_LBUTTON) || m_menuShown)
        return;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = ScrollPos(window) + (m_tapY - y) * 2;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    InvalidateRect(window, nullptr, FALSE);
    m_tapY = y;
}

bool CCLCtrl::OnTap(HWND window, int x, int y)
{
    const int position = ScrollPos(window);
    m_tapX = x;
    m_tapY = y;
    // A menu of a right click has no tap to end it: this tap is a new one.
    m_menuShown = false;
    RECT client = {};
    GetClientRect(window, &client);
    CTreeItem* hit = nullptr;
    bool wasCurrent = false;
    {
        CCriticalSectionLock hold(m_lock);
        CRootItem* root = ShownRoot();
        hit = root ? root->HitTest(x, y + position, client.right) : nullptr;
        if (!hit)
            return false;
        wasCurrent = hit == m_current;
        EnsureVisible(hit);
    }
    InvalidateRect(window, nullptr, FALSE);
    if (!wasCurrent)
        return true;

    // The gesture waits for the pen with the lock released; its answer
    // comes back instead of a WM_CONTEXTMENU.
    SHRGINFO gesture = {};
    gesture.cbSize = sizeof(gesture);
    gesture.hwndClient = window;
    gesture.ptDown = POINT{x, y};
    gesture.dwFlags = SHRG_RETURNCMD;
    if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
        POINT screen = {x, y};
        ClientToScreen(window, &screen);
        m_menuShown = true;
        ShowContextMenu(hit, window, screen.x, screen.y);
        return true;
    }
    int clicked = 0;
    {
        CCriticalSectionLock hold(m_lock);
        if (hit != m_current || !IsLiveItem(hit))
            return true;
        clicked = hit->OnClick();
        if (clicked)
            RecalcLayout();
    }
    if (clicked)
        InvalidateRect(window, nullptr, TRUE);
    return true;
}

void CCLCtrl::OnTapUp(HWND window, int x)
{
    RECT client = {};
    GetClientRect(window, &client);
    CChatPages* chat = m_chat;
    if (std::abs(m_tapX - x) * 2 > client.right - client.left && !m_menuShown && chat) {
        if (const unsigned int contactId = chat->GetCurrentContact())
            chat->OpenContact(contactId, 0);
    }
    m_menuShown = false;
}

void CCLCtrl::OnTimer(HWND window)
{
    // A timer's message comes when the thread has nothing else to do: the
    // trace's writing delays nothing it times.
    TraceFlush();
    m_blinkPhase = m_blinkPhase ? 0 : 1;
    if (m_blinkPhase && ReadGuiByte(m_bus, L"Don't sleep"))
        Platform::SystemIdleTimerReset();
    if (HasPending())
        InvalidateRect(window, nullptr, FALSE);
}

void CCLCtrl::OnContextMenu(HWND window, LPARAM lParam)
{
    CTreeItem* item = nullptr;
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    {
        CCriticalSectionLock hold(m_lock);
        item = m_current;
        if (!item)
            return;
        if (lParam == -1) {
            // From the keyboard: at the current row.
            RECT row = {};
            item->GetItemRect(&row);
            point = POINT{0, row.top + static_cast<int>(item->GetItemHeight()) - ScrollPos(window)};
            ClientToScreen(window, &point);
        }
    }
    m_menuShown = true;
    ShowContextMenu(item, window, point.x, point.y);
}
