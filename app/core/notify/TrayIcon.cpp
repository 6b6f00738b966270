#include "core/notify/TrayIcon.h"

#include <atomic>
#include <vector>

#include "Core.h"
#include "NotifyIcon.h"
#include "Screen.h"
#include "ServiceIds.h"
#include "core/DebugLine.h"
#include "core/notify/ImageIcon.h"
#include "core/settings/JOVDatabase.h"

namespace {

const wchar_t kShowTrayIcon[] = L"Show tray icon";

std::atomic<CTrayIcon*> s_trayIcon{nullptr};

Database::CJOVDatabase* Store(Services::CServicesManager* bus)
{
    return bus ? static_cast<Database::CJOVDatabase*>(bus->GetService(GUID_Database)) : nullptr;
}

} // namespace

HICON CreateStatusTrayIcon(CNotifyHost& host, const CJOVArray<unsigned int>& images)
{
    std::vector<int> list;
    for (int i = 0; i < images.Count(); ++i)
        list.push_back(static_cast<int>(images[i]));
    int side = IconSide(Platform::GetScreenDpiX());
    return CreateImageIcon(host, list, side, side);
}

CTrayIcon::CTrayIcon(Services::CServicesManager* bus, CNotifyHost& host) : m_bus(bus), m_host(host), m_shown(false)
{
}

bool CTrayIcon::IsEnabled()
{
    Database::CJOVDatabase* store = Store(m_bus);
    unsigned char show = 1;
    if (store)
        store->GetByte(GUID_GUI, CJOVString(kShowTrayIcon), &show);
    return show != 0;
}

bool CTrayIcon::IsShown()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_shown;
}

void CTrayIcon::Update()
{
    if (!IsEnabled())
        return;
    int status = 0;
    CJOVArray<unsigned int> images;
    if (!m_host.GetOverallStatus(&status, &images))
        images.RemoveAll();
    HICON icon = CreateStatusTrayIcon(m_host, images);
    std::lock_guard<std::mutex> hold(m_lock);
    Platform::NOTIFYICONDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_host.GetMainWindow();
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon;
    DWORD message = m_shown ? NIM_MODIFY : NIM_ADD;
    m_shown = Platform::Shell_NotifyIcon(message, &data) != FALSE;
    // The shell keeps a copy: ours, and the bitmaps it was made of, go now.
    if (icon)
        DestroyIcon(icon);
    DebugLine(L"tray icon %ls: status %d%ls", message == NIM_ADD ? L"added" : L"changed", status,
              m_shown ? L"" : L" (refused)");
}

void CTrayIcon::Remove()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_shown)
        return;
    Platform::NOTIFYICONDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_host.GetMainWindow();
    data.uID = kIconId;
    Platform::Shell_NotifyIcon(NIM_DELETE, &data);
    m_shown = false;
    DebugLine(L"tray icon removed");
}

void CTrayIcon::ApplySetting(bool show)
{
    if (Database::CJOVDatabase* store = Store(m_bus)) {
        unsigned char value = show ? 1 : 0;
        store->SetByte(GUID_GUI, CJOVString(kShowTrayIcon), &value);
    }
    bool shown = IsShown();
    if (show && !shown)
        Update();
    else if (!show && shown)
        Remove();
}

void CTrayIcon::OnMessage(unsigned int id, unsigned int mouseMessage)
{
    if (id != kIconId || mouseMessage != WM_LBUTTONDOWN)
        return;
    HWND main = m_host.GetMainWindow();
    if (main)
        Platform::SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(main) | 1));
}

void SetTrayIcon(CTrayIcon* icon)
{
    s_trayIcon = icon;
}

bool IsTrayIconEnabled()
{
    CTrayIcon* icon = s_trayIcon;
    return icon ? icon->IsEnabled() : true;
}

void UpdateTrayIcon()
{
    if (CTrayIcon* icon = s_trayIcon)
        icon->Update();
}

void RemoveTrayIcon()
{
    if (CTrayIcon* icon = s_trayIcon)
        icon->Remove();
}

void ApplyTrayIconSetting(bool show)
{
    if (CTrayIcon* icon = s_trayIcon)
        icon->ApplySetting(show);
}

void OnTrayIconMessage(unsigned int id, unsigned int mouseMessage)
{
    if (CTrayIcon* icon = s_trayIcon)
        icon->OnMessage(id, mouseMessage);
}
