#include "Gesture.h"

#include <atomic>
#include <cstdlib>

#include "ShellTrace.h"

namespace {

std::atomic<DWORD> g_holdTime{500};

// Whether the stylus stays down near start until the hold time passes.
// Lifting or moving away ends the wait; that message stays queued.
bool WaitForHold(HWND client, POINT start, DWORD holdTime)
{
    if (GetKeyState(VK_RBUTTON) < 0)
        return true;
    int slopX = GetSystemMetrics(SM_CXDRAG);
    int slopY = GetSystemMetrics(SM_CYDRAG);
    DWORD begin = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
            if (msg.message != WM_MOUSEMOVE)
                return false;
            // A move without the button down is the system's own (capture
            // changes send one at the pointer): not the stylus moving.
            bool dragged = (msg.wParam & MK_LBUTTON) != 0;
            POINT point = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            if (msg.hwnd != client)
                MapWindowPoints(msg.hwnd, client, &point, 1);
            if (dragged && (std::abs(point.x - start.x) > slopX || std::abs(point.y - start.y) > slopY))
                return false;
            PeekMessageW(&msg, msg.hwnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
        }
        DWORD elapsed = GetTickCount() - begin;
        if (elapsed >= holdTime)
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, holdTime - elapsed, QS_MOUSE | QS_POSTMESSAGE);
    }
}

} // namespace

DWORD WINAPI SHRecognizeGesture(SHRGINFO* info)
{
    if (!info || info->cbSize < sizeof(SHRGINFO) || !IsWindow(info->hwndClient))
        return 0;
    DWORD holdTime = g_holdTime.load() * ((info->dwFlags & SHRG_LONGDELAY) ? 2 : 1);
    HWND client = info->hwndClient;
    bool tookCapture = GetCapture() != client;
    if (tookCapture)
        SetCapture(client);
    bool held = WaitForHold(client, info->ptDown, holdTime);
    if (tookCapture && GetCapture() == client)
        ReleaseCapture();
    Platform::TraceShellCall("SHRecognizeGesture", client, held ? GN_CONTEXTMENU : 0);
    if (!held)
        return 0;
    if (info->dwFlags & SHRG_RETURNCMD)
        return GN_CONTEXTMENU;
    POINT screen = info->ptDown;
    ClientToScreen(client, &screen);
    if (info->dwFlags & SHRG_NOTIFYPARENT) {
        NMRGINFO notify = {};
        notify.hdr.hwndFrom = client;
        notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(client));
        notify.hdr.code = GN_CONTEXTMENU;
        notify.ptAction = screen;
        SendMessageW(GetParent(client), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
    } else {
        SendMessageW(client, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(client), MAKELPARAM(screen.x, screen.y));
    }
    return GN_CONTEXTMENU;
}

namespace Platform {

void SetTapAndHoldTime(DWORD milliseconds)
{
    g_holdTime.store(milliseconds);
}

DWORD GetTapAndHoldTime()
{
    return g_holdTime.load();
}

} // namespace Platform
