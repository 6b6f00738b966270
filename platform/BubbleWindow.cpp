#include "BubbleWindow.h"

#include <objbase.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "BubbleLayout.h"
#include "Screen.h"
#include "SoftKeyBar.h"

namespace {

const wchar_t kControllerClass[] = L"JOV Notification Shell";
const wchar_t kBubbleClass[] = L"JOV Notification Bubble";
const UINT WM_BUBBLE_REFRESH = WM_APP + 1;
const DWORD kRefreshWaitMs = 5000;

const int kMarginUnits = 3;
const int kPaddingUnits = 4;
const int kHeaderUnits = 22;
const int kIconUnits = 16;

const COLORREF kHeaderTop = RGB(0x4A, 0x7D, 0xC8);
const COLORREF kHeaderBottom = RGB(0x1E, 0x4C, 0x96);
const COLORREF kCriticalTop = RGB(0xD0, 0x4A, 0x3C);
const COLORREF kCriticalBottom = RGB(0x8E, 0x1C, 0x12);
const COLORREF kBody = RGB(0xFF, 0xFF, 0xFF);
const COLORREF kBorder = RGB(0x3C, 0x3C, 0x46);

int Scale(int units)
{
    return (units * Platform::GetScreenDpiY() + 48) / 96;
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The bubble on display; lives on the bubble thread.
struct Bubble {
    HWND window = nullptr;
    HWND bar = nullptr;
    BubbleContent content = {};
    CBubbleLayout layout;
    HFONT titleFont = nullptr;
    int bodyHeight = 0;

    Bubble()
    {
        titleFont = CreateFontW(-Scale(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    }
    ~Bubble()
    {
        if (window)
            DestroyWindow(window);  // the bar goes with it
        DeleteObject(titleFont);
    }
    Bubble(const Bubble&) = delete;
    Bubble& operator=(const Bubble&) = delete;
};

struct ThreadState {
    std::mutex startLock;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HWND controller = nullptr;
    std::atomic<HWND> window{nullptr};
    std::atomic<HWND> bar{nullptr};
    std::unique_ptr<Bubble> bubble;  // bubble thread only
};

ThreadState& State()
{
    static ThreadState state;
    return state;
}

bool SameKeys(const BubbleContent& a, const BubbleContent& b)
{
    for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
        if (a.keyPresent[i] != b.keyPresent[i] || a.keyTitles[i] != b.keyTitles[i] ||
            a.keyCommands[i] != b.keyCommands[i] || a.keyFlags[i] != b.keyFlags[i])
            return false;
    }
    return true;
}

HWND CreateBar(HWND owner, const BubbleContent& content)
{
    std::vector<SoftKey> keys;
    for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
        SoftKey key = {};
        if (content.keyPresent[i]) {
            key.command = static_cast<int>(content.keyCommands[i]);
            key.state = (content.keyFlags[i] & NOTIF_SOFTKEY_FLAGS_DISABLED) ? 0 : TBSTATE_ENABLED;
            key.text = content.keyTitles[i];
        }
        keys.push_back(key);
    }
    HWND bar = CSoftKeyBar::Create(owner, keys, nullptr, false, nullptr);
    if (bar)
        SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return bar;
}

// Sizes the bubble to its content, within the screen above the bar.
void Place(Bubble& bubble)
{
    RECT screen = Platform::GetScreenRect();
    int margin = Scale(kMarginUnits);
    int padding = Scale(kPaddingUnits);
    int width = screen.right - screen.left - 2 * margin;
    HDC dc = GetDC(bubble.window);
    bubble.bodyHeight = bubble.layout.Layout(dc, bubble.content.html, width - 2 * padding - 2);
    ReleaseDC(bubble.window, dc);
    int height = 1 + Scale(kHeaderUnits) + padding + bubble.bodyHeight + padding + 1;
    int room = screen.bottom - Platform::GetMenuBarHeight() - 2 * margin;
    SetWindowPos(bubble.window, HWND_TOPMOST, screen.left + margin, screen.top + margin, width,
                 height < room ? height : room, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(bubble.window, nullptr, TRUE);
}

void Gradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom)
{
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
         static_cast<COLOR16>(GetBValue(top) << 8), 0},
        {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
         static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT gradient = {0, 1};
    GradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
}

void Paint(Bubble& bubble, HDC dc)
{
    RECT client;
    GetClientRect(bubble.window, &client);
    int padding = Scale(kPaddingUnits);
    int header = Scale(kHeaderUnits);
    int icon = Scale(kIconUnits);

    HBRUSH border = CreateSolidBrush(kBorder);
    FrameRect(dc, &client, border);
    DeleteObject(border);
    RECT band = {1, 1, client.right - 1, 1 + header};
    bool critical = (bubble.content.flags & SHNF_CRITICAL) != 0;
    Gradient(dc, band, critical ? kCriticalTop : kHeaderTop, critical ? kCriticalBottom : kHeaderBottom);
    RECT body = {1, band.bottom, client.right - 1, client.bottom - 1};
    HBRUSH bodyBrush = CreateSolidBrush(kBody);
    FillRect(dc, &body, bodyBrush);
    DeleteObject(bodyBrush);

    int x = band.left + padding;
    if (bubble.content.icon) {
        DrawIconEx(dc, x, band.top + (header - icon) / 2, bubble.content.icon, icon, icon, 0, nullptr, DI_NORMAL);
        x += icon + padding;
    }
    HGDIOBJ oldFont = SelectObject(dc, bubble.titleFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT title = {x, band.top, band.right - padding, band.bottom};
    DrawTextW(dc, bubble.content.title.c_str(), static_cast<int>(bubble.content.title.size()), &title,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    HRGN clip = CreateRectRgn(body.left, body.top, body.right, body.bottom);
    SelectClipRgn(dc, clip);
    bubble.layout.Paint(dc, body.left + padding, body.top + padding);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

LRESULT CALLBACK BubbleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    Bubble* bubble = state.bubble && state.bubble->window == window ? state.bubble.get() : nullptr;
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (bubble)
            Paint(*bubble, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_COMMAND:
        if (bubble) {
            BubbleRecords::OnSoftKey(bubble->content.clsid, bubble->content.id, LOWORD(wParam));
            PostMessageW(state.controller, WM_BUBBLE_REFRESH, 0, 0);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Makes the screen match the records: the newest pop-up notification shown,
// or none.
void Update()
{
    ThreadState& state = State();
    BubbleContent content = {};
    bool any = BubbleRecords::Current(&content);
    Bubble* bubble = state.bubble.get();
    bool same = any && bubble && IsEqualGUID(bubble->content.clsid, content.clsid) &&
                bubble->content.id == content.id && SameKeys(bubble->content, content);
    if (!same) {
        state.window = nullptr;
        state.bar = nullptr;
        state.bubble.reset();
        if (!any)
            return;
        auto fresh = std::make_unique<Bubble>();
        fresh->content = content;
        state.bubble = std::move(fresh);
        bubble = state.bubble.get();
        bubble->window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBubbleClass, L"",
                                         WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ThisModule(), nullptr);
        if (!bubble->window) {
            state.bubble.reset();
            return;
        }
        bubble->bar = CreateBar(bubble->window, content);
    } else {
        bubble->content = content;
    }
    Place(*bubble);
    UpdateWindow(bubble->window);
    state.window = bubble->window;
    state.bar = bubble->bar;
}

LRESULT CALLBACK ControllerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_BUBBLE_REFRESH) {
        Update();
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI ThreadProc(void* ready)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HINSTANCE module = ThisModule();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ControllerProc;
    wc.hInstance = module;
    wc.lpszClassName = kControllerClass;
    RegisterClassW(&wc);
    wc.lpfnWndProc = BubbleProc;
    wc.lpszClassName = kBubbleClass;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    ThreadState& state = State();
    state.controller = CreateWindowExW(0, kControllerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                                       nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool EnsureThread()
{
    ThreadState& state = State();
    std::lock_guard<std::mutex> hold(state.startLock);
    if (state.thread)
        return state.controller != nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready)
        return false;
    // Lives as long as the process: bubbles can come from any thread at any time.
    state.thread = CreateThread(nullptr, 0, ThreadProc, ready, 0, &state.threadId);
    if (state.thread)
        WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    return state.controller != nullptr;
}

} // namespace

namespace BubbleThread {

void Refresh()
{
    if (!EnsureThread())
        return;
    ThreadState& state = State();
    if (GetCurrentThreadId() == state.threadId) {
        Update();
        return;
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(state.controller, WM_BUBBLE_REFRESH, 0, 0, SMTO_NORMAL, kRefreshWaitMs, &result);
}

HWND Window()
{
    return State().window.load();
}

HWND SoftKeyBar()
{
    return State().bar.load();
}

} // namespace BubbleThread
