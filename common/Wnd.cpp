#include "Wnd.h"

#include "BufferedPaint.h"

namespace {

const wchar_t kWndClass[] = L"JOV Wnd Class";

// The class belongs to this library, whatever module creates the window: a
// local class is found only under the instance it was registered with.
HINSTANCE LibraryInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&LibraryInstance), &module);
    return module;
}

bool RegisterWndClass()
{
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = CWnd::sWndProc;
    wc.hInstance = LibraryInstance();
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = kWndClass;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

} // namespace

CWnd::CWnd(HINSTANCE instance, HWND parent) : m_hWnd(nullptr), m_hParent(parent), m_hInstance(instance) {}

CWnd::CWnd(const CWnd& other) : m_hWnd(other.m_hWnd), m_hParent(other.m_hParent), m_hInstance(other.m_hInstance)
{
}

CWnd& CWnd::operator=(const CWnd& other)
{
    m_hWnd = other.m_hWnd;
    m_hParent = other.m_hParent;
    m_hInstance = other.m_hInstance;
    return *this;
}

CWnd::~CWnd()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

int CWnd::Create(DWORD style, const RECT& rect)
{
    if (!RegisterWndClass())
        return 0;
    HWND window = CreateWindowExW(0, kWndClass, L"", style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, m_hParent, nullptr, LibraryInstance(), this);
    return window ? 1 : 0;
}

void CWnd::Show(bool show)
{
    if (show)
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    else
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
}

void CWnd::Move(int x, int y)
{
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CWnd::Resize(int width, int height)
{
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void CWnd::MoveAndResize(int x, int y, int width, int height)
{
    SetWindowPos(m_hWnd, nullptr, x, y, width, height, SWP_NOZORDER);
}

void CWnd::MoveAndResize(const RECT& rect)
{
    MoveAndResize(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void CWnd::UpInZOrder()
{
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

int CWnd::GetClientWidth() const
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return client.right - client.left;
}

int CWnd::GetClientHeight() const
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return client.bottom - client.top;
}

LRESULT CALLBACK CWnd::sWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        // The object takes the window's first message, so that every later
        // one reaches it (and those it leaves go to the default procedure).
        CWnd* created = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created)
            created->m_hWnd = window;
    }
    CWnd* wnd = reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!wnd)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CREATE)
        return wnd->OnMessage(message, reinterpret_cast<WPARAM>(window), lParam);
    LRESULT result = wnd->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone, whoever destroyed it: the object must not touch the handle again.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (wnd->m_hWnd == window)
            wnd->m_hWnd = nullptr;
    }
    return result;
}

void CWnd::OnCreate() {}

void CWnd::OnPaint(CJOVDrawContext*) {}

void CWnd::OnDestroy() {}

void CWnd::OnChangeWindowSize() {}

void CWnd::OnWindowPosChanged(WINDOWPOS*) {}

HBRUSH CWnd::GetBkBrush()
{
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

LRESULT CWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsControlColorMessage(message))
        return AnswerControlColor(wParam, lParam, GetBkBrush());
    switch (message) {
    case WM_CREATE:
        m_hWnd = reinterpret_cast<HWND>(wParam);
        OnCreate();
        return 1;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT: {
        CBufferedPaint paint(m_hWnd, GetBkBrush());
        if (paint.GetDC()) {
            CJOVDrawContext context(paint.GetDC());
            OnPaint(&context);
        }
        return 0;
    }
    case WM_SETTINGCHANGE:
        // Only the input panel's moves and a screen change resize the window.
        if (wParam == 0x3002 || wParam == 224)
            OnChangeWindowSize();
        return 0;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    }
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}
