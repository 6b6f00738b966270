// The tray icon of the overall status: shown, changed, switched off and on,
// and tapped.
#include <gtest/gtest.h>

#include "Core.h"
#include "NotifyIcon.h"
#include "ServiceIds.h"
#include "ShellTrace.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/notify/TrayIcon.h"
#include "core/settings/JOVDatabase.h"
#include "notify/NotifyFixture.h"

namespace {

CTrayIcon* s_routed = nullptr;

// The main window's handling of the tray message.
LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CTrayIcon::kCallbackMessage && s_routed)
        s_routed->OnMessage(static_cast<unsigned int>(wParam), static_cast<unsigned int>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// The icon's colour at a pixel, and whether its mask leaves it transparent.
struct IconPixel {
    COLORREF color;
    bool transparent;
};

IconPixel PixelOf(HICON icon, int x, int y)
{
    ICONINFO info = {};
    IconPixel pixel = {0, true};
    if (!GetIconInfo(icon, &info))
        return pixel;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmColor);
    COLORREF color = GetPixel(dc, x, y);
    pixel.color = color;
    SelectObject(dc, info.hbmMask);
    pixel.transparent = GetPixel(dc, x, y) != RGB(0, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixel;
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Tray test main";
        RegisterClassW(&wc);
        m_main = CreateWindowExW(0, L"Tray test main", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        m_host.mainWindow = m_main;
        m_storeId = m_bus.RegisterService(GUID_Database, &m_store);
        m_tray = std::make_unique<CTrayIcon>(&m_bus, m_host);
        s_routed = m_tray.get();
    }

    void TearDown() override
    {
        m_tray->Remove();
        s_routed = nullptr;
        DestroyWindow(m_main);
        m_bus.UnregisterService(m_storeId);
    }

    HICON ShellIcon()
    {
        Platform::TrayIconState state = {};
        return Platform::GetTrayIcon(m_main, CTrayIcon::kIconId, &state) ? state.icon : nullptr;
    }

    CTempFolder m_folder;
    Services::CServicesManagerImpl m_bus;
    Database::CJOVDatabase m_store{Database::CSettingsFile(m_folder.Path(L"settings.jov"))};
    unsigned int m_storeId = 0;
    CFakeNotifyHost m_host;
    HWND m_main = nullptr;
    std::unique_ptr<CTrayIcon> m_tray;
};

} // namespace

TEST_F(TrayIconTest, ShowsTheOverallStatusAndFollowsItsChanges)
{
    Platform::ClearShellCalls();
    m_tray->Update();
    ASSERT_TRUE(m_tray->IsShown());
    Platform::TrayIconState state = {};
    ASSERT_TRUE(Platform::GetTrayIcon(m_main, CTrayIcon::kIconId, &state));
    EXPECT_EQ(state.callbackMessage, WM_USER + 100);
    EXPECT_EQ(Platform::GetTrayIconCount(), 1);
    int side = (16 * GetDeviceCaps(GetDC(nullptr), LOGPIXELSX) + 48) / 96;
    IconPixel middle = PixelOf(state.icon, side / 2, side / 2);
    EXPECT_EQ(middle.color, RGB(0x20, 0xC0, 0x30)) << "the Online image";
    EXPECT_FALSE(middle.transparent);
    EXPECT_TRUE(PixelOf(state.icon, 0, 0).transparent) << "black is see-through";

    HICON before = state.icon;
    m_host.SetStatus(11, {kImageAway, kImageMessage});
    m_tray->Update();
    HICON after = ShellIcon();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(PixelOf(after, side / 2, side / 2).color, RGB(0x30, 0xA0, 0x40)) << "images drawn in order";
    EXPECT_EQ(PixelOf(after, side / 2, 2).color, RGB(0xF0, 0x90, 0x10)) << "the first image below";
    ICONINFO gone = {};
    EXPECT_FALSE(GetIconInfo(before, &gone)) << "the old icon is freed";
    EXPECT_EQ(Platform::FindShellCall("Shell_NotifyIcon"), 0);
    Platform::ShellCall call = {};
    Platform::GetShellCall(0, &call);
    EXPECT_EQ(call.value, static_cast<uintptr_t>(NIM_ADD));
    Platform::GetShellCall(Platform::FindShellCall("Shell_NotifyIcon", 1), &call);
    EXPECT_EQ(call.value, static_cast<uintptr_t>(NIM_MODIFY));

    m_host.SetStatus(0, {});
    m_tray->Update();
    EXPECT_TRUE(PixelOf(ShellIcon(), side / 2, side / 2).transparent) << "no image: a blank icon";
    m_host.SetStatus(1, {static_cast<unsigned int>(-1), kImageOnline});
    m_tray->Update();
    EXPECT_TRUE(PixelOf(ShellIcon(), side / 2, side / 2).transparent) << "a list starting with -1 draws nothing";
}

TEST_F(TrayIconTest, EachStatusChangeFreesTheIconItMade)
{
    for (int i = 0; i < 5; ++i) {
        m_host.drawnOn.clear();
        m_host.SetStatus(2 + i % 2, {kImageOnline, kImageMessage});
        m_tray->Update();
        ASSERT_EQ(m_host.drawnOn.size(), 2u);
        EXPECT_EQ(m_host.drawnOn[0], m_host.drawnOn[1]) << "one colour bitmap";
        EXPECT_EQ(GetObjectType(m_host.drawnOn[0]), 0u) << "freed once the shell has its copy";
    }
    EXPECT_EQ(Platform::GetTrayIconCount(), 1);
}

TEST_F(TrayIconTest, TheSettingSwitchesItOffAndOnAtOnce)
{
    SetTrayIcon(m_tray.get());
    EXPECT_TRUE(IsTrayIconEnabled()) << "on when never set";
    UpdateTrayIcon();
    ASSERT_TRUE(m_tray->IsShown());
    ApplyTrayIconSetting(false);
    EXPECT_FALSE(m_tray->IsShown());
    EXPECT_EQ(ShellIcon(), nullptr);
    EXPECT_FALSE(IsTrayIconEnabled());
    unsigned char stored = 9;
    EXPECT_TRUE(m_store.GetByte(GUID_GUI, CJOVString(L"Show tray icon"), &stored));
    EXPECT_EQ(stored, 0);
    UpdateTrayIcon();
    EXPECT_EQ(ShellIcon(), nullptr) << "a status change does not bring it back";
    m_host.SetStatus(11, {kImageAway});
    ApplyTrayIconSetting(true);
    ASSERT_NE(ShellIcon(), nullptr);
    int side = (16 * GetDeviceCaps(GetDC(nullptr), LOGPIXELSX) + 48) / 96;
    EXPECT_EQ(PixelOf(ShellIcon(), side / 2, side / 2).color, RGB(0xF0, 0x90, 0x10)) << "with the current status";
    RemoveTrayIcon();
    EXPECT_EQ(ShellIcon(), nullptr);
    EXPECT_FALSE(m_tray->IsShown());
    SetTrayIcon(nullptr);
    EXPECT_TRUE(IsTrayIconEnabled()) << "no icon made yet: the default";
}

TEST_F(TrayIconTest, OnlyAStylusDownOnOurIconBringsTheProgramForward)
{
    m_tray->Update();
    Platform::ClearShellCalls();
    ASSERT_TRUE(Platform::TapTrayIcon(m_main, CTrayIcon::kIconId, WM_LBUTTONUP));
    PostMessageW(m_main, CTrayIcon::kCallbackMessage, CTrayIcon::kIconId + 1, WM_LBUTTONDOWN);
    Pump(100);
    EXPECT_EQ(Platform::FindShellCall("SetForegroundWindow"), -1);
    ASSERT_TRUE(Platform::TapTrayIcon(m_main, CTrayIcon::kIconId, WM_LBUTTONDOWN));
    Pump(100);
    int found = Platform::FindShellCall("SetForegroundWindow");
    ASSERT_GE(found, 0);
    Platform::ShellCall call = {};
    Platform::GetShellCall(found, &call);
    EXPECT_EQ(call.window, m_main);
    EXPECT_EQ(call.value, 1u) << "with the lowest bit: the window and what it owns";
    EXPECT_FALSE(Platform::TapTrayIcon(m_main, CTrayIcon::kIconId + 1, WM_LBUTTONDOWN));
}
