#include "NotifyIcon.h"

#include <map>
#include <mutex>
#include <utility>

#include "ShellTrace.h"

namespace {

struct TrayIcon {
    UINT flags = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    WCHAR tip[64] = {};
};

typedef std::pair<HWND, UINT> TrayKey;

struct Tray {
    std::mutex lock;
    std::map<TrayKey, TrayIcon> icons;
};

Tray& TheTray()
{
    static Tray tray;
    return tray;
}

// Applies the fields that data's flags name.
void Apply(TrayIcon& icon, const Platform::NOTIFYICONDATA& data)
{
    if (data.uFlags & NIF_MESSAGE)
        icon.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON) {
        HICON copy = data.hIcon ? CopyIcon(data.hIcon) : nullptr;
        if (icon.icon)
            DestroyIcon(icon.icon);
        icon.icon = copy;
    }
    if (data.uFlags & NIF_TIP)
        lstrcpynW(icon.tip, data.szTip, 64);
    icon.flags |= data.uFlags;
}

} // namespace

namespace Platform {

BOOL Shell_NotifyIcon(DWORD message, NOTIFYICONDATA* data)
{
    if (!data || data->cbSize != sizeof(NOTIFYICONDATA))
        return FALSE;
    TraceShellCall("Shell_NotifyIcon", data->hWnd, message);
    Tray& tray = TheTray();
    std::lock_guard<std::mutex> hold(tray.lock);
    TrayKey key(data->hWnd, data->uID);
    auto found = tray.icons.find(key);
    switch (message) {
    case NIM_ADD:
        if (found != tray.icons.end() || !IsWindow(data->hWnd))
            return FALSE;
        Apply(tray.icons[key], *data);
        return TRUE;
    case NIM_MODIFY:
        if (found == tray.icons.end())
            return FALSE;
        Apply(found->second, *data);
        return TRUE;
    case NIM_DELETE:
        if (found == tray.icons.end())
            return FALSE;
        if (found->second.icon)
            DestroyIcon(found->second.icon);
        tray.icons.erase(found);
        return TRUE;
    }
    return FALSE;
}

bool GetTrayIcon(HWND window, UINT id, TrayIconState* state)
{
    Tray& tray = TheTray();
    std::lock_guard<std::mutex> hold(tray.lock);
    auto found = tray.icons.find(TrayKey(window, id));
    if (found == tray.icons.end())
        return false;
    if (state) {
        state->callbackMessage = found->second.callbackMessage;
        state->icon = found->second.icon;
        lstrcpynW(state->tip, found->second.tip, 64);
    }
    return true;
}

int GetTrayIconCount()
{
    Tray& tray = TheTray();
    std::lock_guard<std::mutex> hold(tray.lock);
    return static_cast<int>(tray.icons.size());
}

bool TapTrayIcon(HWND window, UINT id, UINT mouseMessage)
{
    UINT callback = 0;
    {
        Tray& tray = TheTray();
        std::lock_guard<std::mutex> hold(tray.lock);
        auto found = tray.icons.find(TrayKey(window, id));
        if (found == tray.icons.end() || !(found->second.flags & NIF_MESSAGE))
            return false;
        callback = found->second.callbackMessage;
    }
    return PostMessageW(window, callback, id, mouseMessage) != FALSE;
}

} // namespace Platform
