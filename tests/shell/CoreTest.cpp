// The device's core calls over the desktop's: transparent blits, thread
// priorities, wide export names, bringing windows forward.
#include <gtest/gtest.h>

#include "Core.h"
#include "ShellTestSupport.h"

TEST(CoreTransparentImage, LeavesOutTheKeyColourFromABitmapOrADc)
{
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBits = CreateCompatibleBitmap(screen, 8, 8);
    SelectObject(target, targetBits);
    RECT all = {0, 0, 8, 8};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(target, &all, blue);

    HDC source = CreateCompatibleDC(screen);
    HBITMAP sourceBits = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ old = SelectObject(source, sourceBits);
    RECT key = {0, 0, 4, 4};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(source, &key, magenta);
    SetPixel(source, 1, 1, RGB(255, 0, 0));
    SelectObject(source, old);

    // From the bitmap, stretched twice.
    EXPECT_TRUE(TransparentImage(target, 0, 0, 8, 8, sourceBits, 0, 0, 4, 4, RGB(255, 0, 255)));
    EXPECT_EQ(GetPixel(target, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target, 3, 3), RGB(255, 0, 0));

    // From a device context.
    FillRect(target, &all, blue);
    SelectObject(source, sourceBits);
    EXPECT_TRUE(TransparentImage(target, 4, 4, 4, 4, source, 0, 0, 4, 4, RGB(255, 0, 255)));
    EXPECT_EQ(GetPixel(target, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target, 4, 4), RGB(0, 0, 255));
    EXPECT_FALSE(TransparentImage(target, 0, 0, 4, 4, blue, 0, 0, 4, 4, 0));

    SelectObject(source, old);
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(sourceBits);
    DeleteObject(targetBits);
    DeleteObject(blue);
    DeleteObject(magenta);
    ReleaseDC(nullptr, screen);
}

TEST(CoreThreadPriority, DeviceLevelFiveIsTheLowest)
{
    HANDLE self = GetCurrentThread();
    int before = ::GetThreadPriority(self);
    ASSERT_TRUE(Platform::SetThreadPriority(self, 5));
    EXPECT_EQ(::GetThreadPriority(self), THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(Platform::GetThreadPriority(self), 5);
    ASSERT_TRUE(Platform::SetThreadPriority(self, 3));
    EXPECT_EQ(::GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(Platform::SetThreadPriority(self, 8));
    ::SetThreadPriority(self, before);
}

TEST(CoreGetProcAddressW, FindsExportsByWideNameOrOrdinal)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    EXPECT_EQ(GetProcAddressW(kernel, L"GetTickCount"), GetProcAddress(kernel, "GetTickCount"));
    EXPECT_EQ(GetProcAddressW(kernel, L"NoSuchExport"), nullptr);
    EXPECT_EQ(GetProcAddressW(kernel, L"GetTick\x00E7ount"), nullptr);
    HMODULE common = GetModuleHandleW(L"jov_common.dll");
    EXPECT_NE(GetProcAddressW(common, L"SHCreateMenuBar"), nullptr);
}

// The foreground window is the whole desktop's: a test program running beside
// this one may take it at any moment. Each step starts again until nothing
// came between; only the call under test can bring our own window forward.
static bool BringsForward(HWND from, HWND request, HWND expected)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        SetForegroundWindow(from);
        if (GetForegroundWindow() == from) {
            if (!Platform::SetForegroundWindow(request))
                return false;
            if (GetForegroundWindow() == expected)
                return true;
        }
        // Gives the other program a moment to finish its own bringing forward.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return false;
}

TEST(CoreSetForegroundWindow, TheLowestBitBringsTheOwnedDialogForward)
{
    CTestHost main;
    RECT small = {20, 20, 120, 120};
    CTestHost other(&small);
    HWND dialog = CreateWindowExW(0, L"STATIC", L"Dialog", WS_POPUP | WS_VISIBLE, 30, 30, 80, 80, main.Window(),
                                  nullptr, TestModule(), nullptr);
    SetActiveWindow(dialog);

    HWND withBit = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(main.Window()) | 1);
    EXPECT_TRUE(BringsForward(other.Window(), withBit, dialog));
    EXPECT_TRUE(BringsForward(other.Window(), main.Window(), main.Window()));
    DestroyWindow(dialog);
}
