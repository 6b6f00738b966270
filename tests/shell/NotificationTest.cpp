// The shell's notification bubbles, tray icons and LEDs as this layer keeps
// them: one bubble popped up at a time, its soft keys answering its sink, and
// the records tests read back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Led.h"
#include "MenuBar.h"
#include "Notification.h"
#include "NotifyIcon.h"
#include "ShellTestSupport.h"
#include "SoftKeyBar.h"

namespace {

const CLSID kClsid = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

SHNOTIFICATIONDATA Bubble(HWND sink, DWORD id, const wchar_t* title, DWORD flags = 0, int keys = 2)
{
    SHNOTIFICATIONDATA data = {};
    data.cbStruct = sizeof(data);
    data.dwID = id;
    data.npPriority = SHNP_INFORM;
    data.csDuration = static_cast<DWORD>(-1);
    data.clsid = kClsid;
    data.hwndSink = sink;
    data.pszTitle = title;
    data.pszHTML = L"<b>body</b>";
    data.grfFlags = flags;
    if (keys > 0)
        data.rgskn[0] = SOFTKEYNOTIFY{L"Left", SOFTKEYCMD{501, NOTIF_SOFTKEY_FLAGS_DISMISS}};
    if (keys > 1)
        data.rgskn[1] = SOFTKEYNOTIFY{L"Right", SOFTKEYCMD{502, NOTIF_SOFTKEY_FLAGS_HIDE}};
    return data;
}

std::wstring ShownTitle()
{
    for (DWORD id = 1; id <= 3; ++id) {
        Platform::NotificationState state;
        if (Platform::GetNotificationState(kClsid, id, &state) && state.poppedUp)
            return state.title;
    }
    return L"";
}

} // namespace

TEST(ShellNotification, OneBubblePopsUpAtATimeTheNewestFirst)
{
    CTestHost sink;
    SHNOTIFICATIONDATA first = Bubble(sink.Window(), 1, L"first");
    SHNOTIFICATIONDATA second = Bubble(sink.Window(), 2, L"second");
    SHNOTIFICATIONDATA tray = Bubble(sink.Window(), 3, L"tray", SHNF_STRAIGHTTOTRAY);
    EXPECT_EQ(SHNotificationAdd(&first), ERROR_SUCCESS);
    EXPECT_EQ(SHNotificationAdd(&first), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(SHNotificationAdd(&second), ERROR_SUCCESS);
    EXPECT_EQ(SHNotificationAdd(&tray), ERROR_SUCCESS);
    EXPECT_EQ(Platform::GetNotificationCount(), 3);
    EXPECT_EQ(ShownTitle(), L"second") << "straight to the tray never pops up";
    HWND bubble = Platform::GetBubbleWindow();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(IsWindowVisible(bubble));
    EXPECT_NE(GetWindowThreadProcessId(bubble, nullptr), GetCurrentThreadId()) << "a thread of its own";

    EXPECT_EQ(SHNotificationRemove(&kClsid, 2), ERROR_SUCCESS);
    EXPECT_EQ(SHNotificationRemove(&kClsid, 2), ERROR_NOT_FOUND);
    EXPECT_EQ(ShownTitle(), L"first");
    SHNotificationRemove(&kClsid, 1);
    EXPECT_EQ(Platform::GetBubbleWindow(), nullptr) << "only the tray one is left";
    SHNotificationRemove(&kClsid, 3);
    EXPECT_EQ(Platform::GetNotificationCount(), 0);

    SHNOTIFICATIONDATA wrong = Bubble(sink.Window(), 4, L"x");
    wrong.cbStruct = 88;
    EXPECT_EQ(SHNotificationAdd(&wrong), ERROR_INVALID_PARAMETER) << "the record's size is our own";
}

TEST(ShellNotification, UpdatesChangeOnlyWhatTheMaskNames)
{
    CTestHost sink;
    SHNOTIFICATIONDATA data = Bubble(sink.Window(), 1, L"title");
    HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
    data.hicon = icon;
    ASSERT_EQ(SHNotificationAdd(&data), ERROR_SUCCESS);

    SHNOTIFICATIONDATA read = {};
    ASSERT_EQ(SHNotificationGetData(&kClsid, 1, &read), ERROR_SUCCESS);
    EXPECT_EQ(read.cbStruct, sizeof(SHNOTIFICATIONDATA));
    EXPECT_EQ(read.hicon, icon);
    EXPECT_EQ(read.hwndSink, sink.Window());
    EXPECT_EQ(read.pszTitle, nullptr) << "texts are not handed out";
    EXPECT_EQ(read.rgskn[1].skc.wpCmd, 502u);
    read.hicon = nullptr;
    read.pszTitle = L"ignored";
    EXPECT_EQ(SHNotificationUpdate(SHNUM_ICON, &read), ERROR_SUCCESS);
    Platform::NotificationState state;
    ASSERT_TRUE(Platform::GetNotificationState(kClsid, 1, &state));
    EXPECT_EQ(state.icon, nullptr);
    EXPECT_EQ(state.title, L"title");
    read.pszHTML = L"new body";
    read.pszTitle = L"new title";
    EXPECT_EQ(SHNotificationUpdate(SHNUM_HTML | SHNUM_TITLE, &read), ERROR_SUCCESS);
    ASSERT_TRUE(Platform::GetNotificationState(kClsid, 1, &state));
    EXPECT_EQ(state.html, L"new body");
    EXPECT_EQ(state.title, L"new title");
    SHNotificationRemove(&kClsid, 1);
    EXPECT_EQ(SHNotificationUpdate(SHNUM_ICON, &read), ERROR_NOT_FOUND);
    EXPECT_EQ(SHNotificationGetData(&kClsid, 1, &read), ERROR_NOT_FOUND);
}

TEST(ShellNotification, SoftKeysAnswerTheSinkAndDoWhatTheirFlagsSay)
{
    CTestHost sink;
    SHNOTIFICATIONDATA data = Bubble(sink.Window(), 1, L"keys");
    ASSERT_EQ(SHNotificationAdd(&data), ERROR_SUCCESS);
    HWND bar = Platform::GetBubbleSoftKeyBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetWindow(bar, GW_OWNER), Platform::GetBubbleWindow());

    // The right key hides the bubble: it stays, in the tray.
    PostMessageW(bar, JOV_MBM_PRESSKEY, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return sink.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LOWORD(sink.Last(WM_COMMAND)->wParam), 502);
    ASSERT_TRUE(PumpUntil([] { return Platform::GetBubbleWindow() == nullptr; }));
    EXPECT_EQ(Platform::GetNotificationCount(), 1);

    // The left key dismisses it; F1 on the program's window presses it while
    // a bubble is up.
    SHNotificationRemove(&kClsid, 1);
    ASSERT_EQ(SHNotificationAdd(&data), ERROR_SUCCESS);
    PostKey(sink.Window(), VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return sink.Count(WM_COMMAND) == 2; }));
    EXPECT_EQ(LOWORD(sink.Last(WM_COMMAND)->wParam), 501);
    ASSERT_TRUE(PumpUntil([] { return Platform::GetNotificationCount() == 0; }));

    // A disabled key and a missing one do nothing.
    data.rgskn[0].skc.grfFlags = NOTIF_SOFTKEY_FLAGS_DISABLED;
    data.rgskn[1].pszTitle = nullptr;
    ASSERT_EQ(SHNotificationAdd(&data), ERROR_SUCCESS);
    bar = Platform::GetBubbleSoftKeyBar();
    PostMessageW(bar, JOV_MBM_PRESSKEY, 0, 0);
    PostMessageW(bar, JOV_MBM_PRESSKEY, 1, 0);
    PumpFor(200);
    EXPECT_EQ(sink.Count(WM_COMMAND), 2);
    SHNotificationRemove(&kClsid, 1);
}

TEST(ShellNotifyIcon, KeepsIconsPerWindowAndIdAndTapsGiveTheCallback)
{
    CTestHost host;
    HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING));
    Platform::NOTIFYICONDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = host.Window();
    data.uID = 7;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_APP + 9;
    data.hIcon = icon;
    EXPECT_FALSE(Platform::Shell_NotifyIcon(NIM_MODIFY, &data));
    EXPECT_TRUE(Platform::Shell_NotifyIcon(NIM_ADD, &data));
    EXPECT_FALSE(Platform::Shell_NotifyIcon(NIM_ADD, &data));
    Platform::TrayIconState state = {};
    ASSERT_TRUE(Platform::GetTrayIcon(host.Window(), 7, &state));
    EXPECT_NE(state.icon, icon) << "the shell keeps a copy";
    ASSERT_TRUE(Platform::TapTrayIcon(host.Window(), 7, WM_LBUTTONDOWN));
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_APP + 9) == 1; }));
    EXPECT_EQ(host.Last(WM_APP + 9)->wParam, 7u);
    EXPECT_EQ(host.Last(WM_APP + 9)->lParam, WM_LBUTTONDOWN);
    data.cbSize = 152;
    EXPECT_FALSE(Platform::Shell_NotifyIcon(NIM_DELETE, &data)) << "the record's size is our own";
    data.cbSize = sizeof(data);
    EXPECT_TRUE(Platform::Shell_NotifyIcon(NIM_DELETE, &data));
    EXPECT_FALSE(Platform::GetTrayIcon(host.Window(), 7, &state));
    EXPECT_FALSE(Platform::TapTrayIcon(host.Window(), 7, WM_LBUTTONDOWN));
}

TEST(ShellLed, OnePlainLedAndOneVibratorRecordingEachSwitch)
{
    Platform::ClearLedSwitches();
    NLED_COUNT_INFO count = {};
    ASSERT_TRUE(NLedGetDeviceInfo(NLED_COUNT_INFO_ID, &count));
    EXPECT_EQ(count.cLeds, 2u);
    NLED_SUPPORTS_INFO supports = {};
    supports.LedNum = 1;
    ASSERT_TRUE(NLedGetDeviceInfo(NLED_SUPPORTS_INFO_ID, &supports));
    EXPECT_EQ(supports.lCycleAdjust, -1) << "the vibrator";
    supports.LedNum = 0;
    ASSERT_TRUE(NLedGetDeviceInfo(NLED_SUPPORTS_INFO_ID, &supports));
    EXPECT_NE(supports.lCycleAdjust, -1);
    supports.LedNum = 2;
    EXPECT_FALSE(NLedGetDeviceInfo(NLED_SUPPORTS_INFO_ID, &supports));

    NLED_SETTINGS_INFO settings = {};
    settings.LedNum = 1;
    settings.OffOnBlink = 1;
    EXPECT_TRUE(NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings));
    EXPECT_EQ(Platform::GetLedState(1), 1);
    settings.OffOnBlink = 0;
    EXPECT_TRUE(NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings));
    settings.OffOnBlink = 5;
    EXPECT_FALSE(NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings));
    EXPECT_FALSE(NLedSetDevice(NLED_COUNT_INFO_ID, &settings));
    std::vector<Platform::LedSwitch> switches = Platform::GetLedSwitches();
    ASSERT_EQ(switches.size(), 2u);
    EXPECT_EQ(switches[0].offOnBlink, 1);
    EXPECT_EQ(switches[1].offOnBlink, 0);
    EXPECT_GE(switches[1].tick, switches[0].tick);
}
