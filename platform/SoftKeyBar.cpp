#include "SoftKeyBar.h"

#include "MenuBar.h"
#include "Screen.h"
#include "Shell.h"

namespace {

const wchar_t kBarClass[] = L"JOV Soft-key Bar";
const wchar_t kBarProp[] = L"JOV.MenuBar";
const UINT_PTR kOwnerSubclassId = 0x4A4F56;
const int kNoKey = -1;
const int kDoneKey = -2;
const int kDoneWidth = 36;  // units of 1/96 inch

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

bool RegisterBarClass(HINSTANCE module, WNDPROC proc)
{
    WNDCLASSW existing;
    if (GetClassInfoW(module, kBarClass, &existing))
        return true;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kBarClass;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int ScaleY(int units)
{
    return (units * Platform::GetScreenDpiY() + 48) / 96;
}

int ScaleX(int units)
{
    return (units * Platform::GetScreenDpiX() + 48) / 96;
}

} // namespace

int DoneButtonCommand(HWND window)
{
    if (!window)
        return 0;
    DWORD state = Platform::GetDoneButtonState(window);
    return state == SHDB_SHOW ? IDOK : state == SHDB_SHOWCANCEL ? IDCANCEL : 0;
}

HWND CSoftKeyBar::Create(HWND owner, const std::vector<SoftKey>& keys, HMENU menu, bool hidden,
                         const COLORREF* background)
{
    HINSTANCE module = ThisModule();
    if (!RegisterBarClass(module, WndProc)) {
        if (menu)
            DestroyMenu(menu);
        return nullptr;
    }
    CSoftKeyBar* bar = new CSoftKeyBar(owner, keys, menu, background);
    RECT screen = Platform::GetScreenRect();
    int height = Platform::GetMenuBarHeight();
    // Owned by the window, so it stays above it, goes with it and is
    // destroyed with it; it never takes the activation from it.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBarClass, L"",
                                  WS_POPUP | WS_CLIPSIBLINGS | (hidden ? 0 : WS_VISIBLE), screen.left,
                                  screen.bottom - height, screen.right - screen.left, height, owner, nullptr,
                                  module, bar);
    if (!window) {
        delete bar;
        return nullptr;
    }
    SetPropW(owner, kBarProp, window);
    SetWindowSubclass(owner, OwnerProc, kOwnerSubclassId, reinterpret_cast<DWORD_PTR>(window));
    return window;
}

CSoftKeyBar* CSoftKeyBar::FromWindow(HWND bar)
{
    wchar_t name[32];
    if (!bar || !GetClassNameW(bar, name, 32) || lstrcmpW(name, kBarClass) != 0)
        return nullptr;
    return reinterpret_cast<CSoftKeyBar*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
}

CSoftKeyBar::CSoftKeyBar(HWND owner, const std::vector<SoftKey>& keys, HMENU menu, const COLORREF* background)
    : m_window(nullptr), m_owner(owner), m_keys(keys), m_menu(menu), m_ownBackground(background != nullptr),
      m_background(background ? *background : 0), m_font(nullptr), m_pressed(-1), m_pressedInside(false)
{
    m_font = CreateFontW(-ScaleY(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

CSoftKeyBar::~CSoftKeyBar()
{
    if (m_menu)
        DestroyMenu(m_menu);
    if (m_font)
        DeleteObject(m_font);
}

LRESULT CALLBACK CSoftKeyBar::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        CSoftKeyBar* bar = static_cast<CSoftKeyBar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        bar->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    }
    CSoftKeyBar* bar = reinterpret_cast<CSoftKeyBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!bar)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete bar;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return bar->OnMessage(message, wParam, lParam);
}

// Keeps the bar with its owner: hidden and shown with it, forgotten when it goes.
LRESULT CALLBACK CSoftKeyBar::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data)
{
    HWND bar = reinterpret_cast<HWND>(data);
    if (message == WM_WINDOWPOSCHANGED && IsWindow(bar)) {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & SWP_HIDEWINDOW)
            ShowWindow(bar, SW_HIDE);
        else if (pos->flags & SWP_SHOWWINDOW)
            ShowWindow(bar, SW_SHOWNA);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, OwnerProc, id);
        if (GetPropW(window, kBarProp) == bar)
            RemovePropW(window, kBarProp);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CSoftKeyBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // The property and the tracking go to the newest bar together; a
        // newer bar of the same window keeps both.
        if (GetPropW(m_owner, kBarProp) == m_window) {
            RemoveWindowSubclass(m_owner, OwnerProc, kOwnerSubclassId);
            RemovePropW(m_owner, kBarProp);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_window, &ps);
        Paint(dc);
        EndPaint(m_window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        int index = HitKey(point);
        if (index != kNoKey && Enabled(index)) {
            m_pressed = index;
            m_pressedInside = true;
            SetCapture(m_window);
            RedrawKey(index);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_pressed != kNoKey && GetCapture() == m_window) {
            POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            bool inside = HitKey(point) == m_pressed;
            if (inside != m_pressedInside) {
                m_pressedInside = inside;
                RedrawKey(m_pressed);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        int index = m_pressed;
        bool inside = m_pressedInside;
        if (GetCapture() == m_window)
            ReleaseCapture();
        m_pressed = kNoKey;
        if (index != kNoKey) {
            RedrawKey(index);
            if (inside)
                Press(index);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (m_pressed != kNoKey && reinterpret_cast<HWND>(lParam) != m_window) {
            int index = m_pressed;
            m_pressed = kNoKey;
            RedrawKey(index);
        }
        return 0;
    case JOV_MBM_PRESSKEY:
        if (wParam < m_keys.size())
            Press(static_cast<int>(wParam));
        return 0;
    case JOV_MBM_DONECHANGED:
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case TB_BUTTONCOUNT:
        return static_cast<LRESULT>(m_keys.size());
    case TB_GETBUTTON: {
        TBBUTTON* button = reinterpret_cast<TBBUTTON*>(lParam);
        if (wParam >= m_keys.size() || !button)
            return FALSE;
        const SoftKey& key = m_keys[wParam];
        *button = TBBUTTON{};
        button->iBitmap = I_IMAGENONE;
        button->idCommand = key.command;
        button->fsState = key.state;
        button->fsStyle = key.style;
        button->dwData = key.data;
        button->iString = reinterpret_cast<INT_PTR>(key.text.c_str());
        return TRUE;
    }
    case TB_GETBUTTONINFOW:
        return GetButtonInfo(wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam));
    case TB_SETBUTTONINFOW:
        return SetButtonInfo(wParam, reinterpret_cast<const TBBUTTONINFOW*>(lParam));
    case TB_COMMANDTOINDEX:
        return IndexOf(wParam, false);
    case TB_ENABLEBUTTON:
    case TB_SETSTATE: {
        int index = IndexOf(wParam, false);
        if (index < 0)
            return FALSE;
        SoftKey& key = m_keys[index];
        if (message == TB_SETSTATE)
            key.state = static_cast<BYTE>(LOWORD(lParam));
        else if (LOWORD(lParam))
            key.state |= TBSTATE_ENABLED;
        else
            key.state &= ~TBSTATE_ENABLED;
        RedrawKey(index);
        return TRUE;
    }
    case TB_ISBUTTONENABLED: {
        int index = IndexOf(wParam, false);
        return index >= 0 && Enabled(index);
    }
    case TB_GETSTATE: {
        int index = IndexOf(wParam, false);
        return index >= 0 ? m_keys[index].state : -1;
    }
    case TB_GETITEMRECT: {
        RECT* rect = reinterpret_cast<RECT*>(lParam);
        if (wParam >= m_keys.size() || !rect)
            return FALSE;
        *rect = KeyRect(static_cast<int>(wParam));
        return TRUE;
    }
    case SHCMBM_GETMENU:
        return reinterpret_cast<LRESULT>(m_menu);
    case SHCMBM_GETSUBMENU: {
        int index = IndexOf(lParam, false);
        return index >= 0 ? reinterpret_cast<LRESULT>(m_keys[index].menu) : 0;
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

RECT CSoftKeyBar::KeyRect(int index) const
{
    RECT client;
    GetClientRect(m_window, &client);
    if (index == kDoneKey)
        return DoneRect();
    int count = static_cast<int>(m_keys.size());
    RECT key = client;
    if (count == 0)
        return key;
    RECT done = DoneRect();
    if (IsRectEmpty(&done)) {
        key.left = client.left + (client.right - client.left) * index / count;
        key.right = client.left + (client.right - client.left) * (index + 1) / count;
        return key;
    }
    // The first half of the keys left of the Done button, the rest right of it.
    int leftCount = (count + 1) / 2;
    RECT side = client;
    if (index < leftCount) {
        side.right = done.left;
        count = leftCount;
    } else {
        side.left = done.right;
        index -= leftCount;
        count -= leftCount;
    }
    key.left = side.left + (side.right - side.left) * index / count;
    key.right = side.left + (side.right - side.left) * (index + 1) / count;
    return key;
}

RECT CSoftKeyBar::DoneRect() const
{
    RECT done = {};
    if (!DoneButtonCommand(m_owner))
        return done;
    RECT client;
    GetClientRect(m_window, &client);
    int width = ScaleX(kDoneWidth);
    done = client;
    done.left = client.left + (client.right - client.left - width) / 2;
    done.right = done.left + width;
    return done;
}

int CSoftKeyBar::HitKey(POINT point) const
{
    RECT done = DoneRect();
    if (PtInRect(&done, point))
        return kDoneKey;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        RECT key = KeyRect(static_cast<int>(i));
        if (PtInRect(&key, point))
            return static_cast<int>(i);
    }
    return kNoKey;
}

int CSoftKeyBar::IndexOf(WPARAM idOrIndex, bool byIndex) const
{
    if (byIndex)
        return idOrIndex < m_keys.size() ? static_cast<int>(idOrIndex) : -1;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (static_cast<WPARAM>(static_cast<UINT>(m_keys[i].command)) == idOrIndex)
            return static_cast<int>(i);
    }
    return -1;
}

bool CSoftKeyBar::Enabled(int index) const
{
    if (index == kDoneKey)
        return DoneButtonCommand(m_owner) != 0;
    return index >= 0 && static_cast<size_t>(index) < m_keys.size() && (m_keys[index].state & TBSTATE_ENABLED) != 0;
}

void CSoftKeyBar::RedrawKey(int index)
{
    if (index != kDoneKey && (index < 0 || static_cast<size_t>(index) >= m_keys.size()))
        return;
    RECT key = KeyRect(index);
    InvalidateRect(m_window, &key, FALSE);
}

void CSoftKeyBar::Paint(HDC dc)
{
    RECT client;
    GetClientRect(m_window, &client);
    HBRUSH face = m_ownBackground ? CreateSolidBrush(m_background) : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &client, face);
    if (m_ownBackground)
        DeleteObject(face);

    HPEN line = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, line);
    MoveToEx(dc, client.left, client.top, nullptr);
    LineTo(dc, client.right, client.top);
    HGDIOBJ oldFont = SelectObject(dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < m_keys.size(); ++i) {
        RECT key = KeyRect(static_cast<int>(i));
        key.top += 1;
        if (i > 0) {
            MoveToEx(dc, key.left, key.top + 2, nullptr);
            LineTo(dc, key.left, key.bottom - 2);
            key.left += 1;
        }
        bool down = static_cast<int>(i) == m_pressed && m_pressedInside;
        if (down)
            FillRect(dc, &key, GetSysColorBrush(COLOR_HIGHLIGHT));
        COLORREF text = !Enabled(static_cast<int>(i)) ? GetSysColor(COLOR_GRAYTEXT)
                        : down                         ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                                       : GetSysColor(COLOR_BTNTEXT);
        SetTextColor(dc, text);
        DrawTextW(dc, m_keys[i].text.c_str(), -1, &key, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    PaintDone(dc);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    DeleteObject(line);
}

// A rounded "ok" (or a cross for the Cancel form) in the bar's middle.
void CSoftKeyBar::PaintDone(HDC dc)
{
    RECT done = DoneRect();
    if (IsRectEmpty(&done))
        return;
    bool down = m_pressed == kDoneKey && m_pressedInside;
    InflateRect(&done, -ScaleX(3), -ScaleY(4));
    HBRUSH fill = GetSysColorBrush(down ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    int round = ScaleY(10);
    RoundRect(dc, done.left, done.top, done.right, done.bottom, round, round);
    SelectObject(dc, oldBrush);
    SetTextColor(dc, GetSysColor(down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    const wchar_t* text = DoneButtonCommand(m_owner) == IDCANCEL ? L"\x00D7" : L"ok";
    DrawTextW(dc, text, -1, &done, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CSoftKeyBar::Press(int index)
{
    if (!Enabled(index))
        return;
    if (index == kDoneKey) {
        PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(DoneButtonCommand(m_owner), 0), 0);
        return;
    }
    const SoftKey& key = m_keys[index];
    if (!key.menu) {
        // Posted: the owner may destroy itself, and the bar with it, on the command.
        PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(key.command, 0), 0);
        return;
    }
    RECT rect = KeyRect(index);
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    bool last = index > 0 && static_cast<size_t>(index) == m_keys.size() - 1;
    UINT align = TPM_BOTTOMALIGN | (last ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    m_pressed = index;
    m_pressedInside = true;
    RedrawKey(index);
    UpdateWindow(m_window);
    HWND window = m_window;
    // The owner gets WM_INITMENUPOPUP, the owner-drawn item messages and the command.
    TrackPopupMenuEx(key.menu, align, last ? rect.right : rect.left, rect.top, m_owner, nullptr);
    if (IsWindow(window) && FromWindow(window) == this) {
        m_pressed = kNoKey;
        RedrawKey(index);
    }
}

LRESULT CSoftKeyBar::GetButtonInfo(WPARAM id, TBBUTTONINFOW* info)
{
    if (!info || info->cbSize < sizeof(TBBUTTONINFOW))
        return -1;
    int index = IndexOf(id, (info->dwMask & TBIF_BYINDEX) != 0);
    if (index < 0)
        return -1;
    const SoftKey& key = m_keys[index];
    if (info->dwMask & TBIF_COMMAND)
        info->idCommand = key.command;
    if (info->dwMask & TBIF_STATE)
        info->fsState = key.state;
    if (info->dwMask & TBIF_STYLE)
        info->fsStyle = key.style;
    if (info->dwMask & TBIF_LPARAM)
        info->lParam = key.data;
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0)
        lstrcpynW(info->pszText, key.text.c_str(), info->cchText);
    return index;
}

LRESULT CSoftKeyBar::SetButtonInfo(WPARAM id, const TBBUTTONINFOW* info)
{
    if (!info || info->cbSize < sizeof(TBBUTTONINFOW))
        return FALSE;
    int index = IndexOf(id, (info->dwMask & TBIF_BYINDEX) != 0);
    if (index < 0)
        return FALSE;
    SoftKey& key = m_keys[index];
    if (info->dwMask & TBIF_COMMAND)
        key.command = info->idCommand;
    if (info->dwMask & TBIF_STATE)
        key.state = info->fsState;
    if (info->dwMask & TBIF_STYLE)
        key.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM)
        key.data = info->lParam;
    if (info->dwMask & TBIF_TEXT)
        key.text = info->pszText ? info->pszText : L"";
    RedrawKey(index);
    return TRUE;
}
