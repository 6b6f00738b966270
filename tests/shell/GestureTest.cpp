// Tap-and-hold: the stylus kept down and still is the context-menu gesture;
// lifted or moved away it is a plain tap, left queued for the window.
#include <gtest/gtest.h>

#include "Gesture.h"
#include "ShellTestSupport.h"

namespace {

class TapAndHold : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = Platform::GetTapAndHoldTime();
        Platform::SetTapAndHoldTime(40);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, host.Window(),
                                reinterpret_cast<HMENU>(7), TestModule(), nullptr);
    }
    void TearDown() override
    {
        Platform::SetTapAndHoldTime(saved);
        Pump();
    }

    DWORD Recognize(HWND window, DWORD flags)
    {
        SHRGINFO info = {sizeof(SHRGINFO), window, {20, 30}, flags};
        return SHRecognizeGesture(&info);
    }

    bool Queued(UINT message)
    {
        MSG msg;
        return PeekMessageW(&msg, nullptr, message, message, PM_NOREMOVE) != 0;
    }

    CTestHost host;
    HWND child = nullptr;
    DWORD saved = 0;
};

} // namespace

TEST_F(TapAndHold, HoldingStillIsTheContextMenuGesture)
{
    // Small moves within the drag distance do not break the hold.
    PostMessageW(host.Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(21, 31));
    DWORD start = GetTickCount();
    EXPECT_EQ(Recognize(host.Window(), SHRG_RETURNCMD), static_cast<DWORD>(GN_CONTEXTMENU));
    EXPECT_GE(GetTickCount() - start, 35u);
    // Asked for the answer only: nobody is told.
    Pump();
    EXPECT_EQ(host.Count(WM_CONTEXTMENU), 0);
}

TEST_F(TapAndHold, LiftingOrMovingAwayIsATap)
{
    PostMessageW(host.Window(), WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
    EXPECT_EQ(Recognize(host.Window(), SHRG_RETURNCMD), 0u);
    EXPECT_TRUE(Queued(WM_LBUTTONUP));
    Pump();

    PostMessageW(host.Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 30));
    EXPECT_EQ(Recognize(host.Window(), SHRG_RETURNCMD), 0u);
    EXPECT_TRUE(Queued(WM_MOUSEMOVE));
}

TEST_F(TapAndHold, WithoutReturnTheWindowOrItsParentIsTold)
{
    EXPECT_EQ(Recognize(host.Window(), 0), static_cast<DWORD>(GN_CONTEXTMENU));
    const RecordedMessage* menu = host.Last(WM_CONTEXTMENU);
    ASSERT_NE(menu, nullptr);
    POINT screen = {20, 30};
    ClientToScreen(host.Window(), &screen);
    EXPECT_EQ(menu->lParam, MAKELPARAM(screen.x, screen.y));

    UINT code = 0;
    UINT_PTR from = 0;
    host.onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_NOTIFY) {
            code = reinterpret_cast<NMHDR*>(lParam)->code;
            from = reinterpret_cast<NMHDR*>(lParam)->idFrom;
        }
    };
    EXPECT_EQ(Recognize(child, SHRG_NOTIFYPARENT), static_cast<DWORD>(GN_CONTEXTMENU));
    EXPECT_EQ(code, static_cast<UINT>(GN_CONTEXTMENU));
    EXPECT_EQ(from, 7u);
}

TEST_F(TapAndHold, ARightButtonDownIsAHoldAtOnce)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_RBUTTON];
    keys[VK_RBUTTON] = 0x80;
    SetKeyboardState(keys);
    Platform::SetTapAndHoldTime(5000);
    DWORD start = GetTickCount();
    EXPECT_EQ(Recognize(host.Window(), SHRG_RETURNCMD), static_cast<DWORD>(GN_CONTEXTMENU));
    EXPECT_LT(GetTickCount() - start, 1000u);
    keys[VK_RBUTTON] = saved;
    SetKeyboardState(keys);
}

TEST_F(TapAndHold, RealTimeDefaultHold)
{
    Platform::SetTapAndHoldTime(saved);
    DWORD start = GetTickCount();
    EXPECT_EQ(Recognize(host.Window(), SHRG_RETURNCMD), static_cast<DWORD>(GN_CONTEXTMENU));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 490u);
    EXPECT_LT(elapsed, 2000u);
}
