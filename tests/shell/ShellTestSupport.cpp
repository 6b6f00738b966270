#include "ShellTestSupport.h"

#include "Screen.h"

namespace {

const wchar_t kHostClass[] = L"JOV Shell Test Host";

} // namespace

CTestHost::CTestHost(const RECT* rect) : m_window(nullptr)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = TestModule();
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    RECT place = rect ? *rect : Platform::GetScreenRect();
    m_window = CreateWindowExW(0, kHostClass, L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, place.left,
                               place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                               TestModule(), this);
    SetForegroundWindow(m_window);
    Pump();
}

CTestHost::~CTestHost()
{
    if (IsWindow(m_window))
        DestroyWindow(m_window);
    Pump();
}

int CTestHost::Count(UINT message) const
{
    int count = 0;
    for (const RecordedMessage& m : m_messages)
        count += m.message == message;
    return count;
}

const RecordedMessage* CTestHost::Last(UINT message) const
{
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it) {
        if (it->message == message)
            return &*it;
    }
    return nullptr;
}

LRESULT CALLBACK CTestHost::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    CTestHost* host = reinterpret_cast<CTestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host) {
        host->m_messages.push_back(RecordedMessage{message, wParam, lParam});
        if (host->onMessage)
            host->onMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            host->m_window = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout)
            return false;
        Pump();
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= milliseconds; }, milliseconds + 1000);
}

HINSTANCE TestModule()
{
    return GetModuleHandleW(nullptr);
}

void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}
