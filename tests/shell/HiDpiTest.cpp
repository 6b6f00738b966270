// Scaling of device-independent lengths and relaying a dialog out from
// another template.
#include <gtest/gtest.h>

#include "HiDpi.h"
#include "ShellTestIds.h"
#include "ShellTestSupport.h"

namespace {

class HiDpiScale : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedX = g_HIDPI_LogPixelsX;
        savedY = g_HIDPI_LogPixelsY;
    }
    void TearDown() override
    {
        g_HIDPI_LogPixelsX = savedX;
        g_HIDPI_LogPixelsY = savedY;
    }
    int savedX = 0;
    int savedY = 0;
};

} // namespace

TEST_F(HiDpiScale, RoundsToTheNearestPixel)
{
    g_HIDPI_LogPixelsX = 192;
    g_HIDPI_LogPixelsY = 131;
    EXPECT_EQ(HIDPI_ScaleX(16), 32);
    EXPECT_EQ(HIDPI_ScaleX(0), 0);
    // (n * dpi + 48) / 96: 5 * 131 = 655 -> 703 / 96 = 7.
    EXPECT_EQ(HIDPI_ScaleY(5), 7);
    EXPECT_EQ(HIDPI_ScaleY(1), 1);  // 179 / 96
    // A font height keeps its sign.
    EXPECT_EQ(HIDPI_ScaleY(-5), -7);
    g_HIDPI_LogPixelsX = 96;
    EXPECT_EQ(HIDPI_ScaleX(50), 50);
}

TEST_F(HiDpiScale, ReadsTheScreenOnce)
{
    g_HIDPI_LogPixelsX = 0;
    g_HIDPI_LogPixelsY = 0;
    HIDPI_InitScaling();
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(g_HIDPI_LogPixelsX, GetDeviceCaps(screen, LOGPIXELSX));
    EXPECT_EQ(g_HIDPI_LogPixelsY, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    // Set by the program already: left alone.
    g_HIDPI_LogPixelsX = 120;
    HIDPI_InitScaling();
    EXPECT_EQ(g_HIDPI_LogPixelsX, 120);
}

TEST(RelayoutDialog, MovesControlsToTheOtherTemplatesPlaces)
{
    HWND dialog = CreateDialogParamW(TestModule(), MAKEINTRESOURCEW(IDD_FORM), nullptr,
                                     [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(dialog, nullptr);
    auto place = [&](int id) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    auto units = [&](int left, int top, int width, int height) {
        RECT rect = {left, top, left + width, top + height};
        MapDialogRect(dialog, &rect);
        return rect;
    };
    RECT before = place(IDC_NAME);
    RECT expected = units(4, 18, 100, 12);
    EXPECT_EQ(before.left, expected.left);
    EXPECT_EQ(before.bottom, expected.bottom);

    ASSERT_TRUE(RelayoutDialog(TestModule(), dialog, MAKEINTRESOURCEW(IDD_FORM_OTHER)));
    RECT name = place(IDC_NAME);
    expected = units(10, 52, 60, 14);
    EXPECT_EQ(name.left, expected.left);
    EXPECT_EQ(name.top, expected.top);
    EXPECT_EQ(name.right, expected.right);
    EXPECT_EQ(name.bottom, expected.bottom);
    EXPECT_EQ(place(IDC_LABEL).top, units(10, 40, 50, 10).top);

    // And back, from the classic template layout.
    ASSERT_TRUE(RelayoutDialog(TestModule(), dialog, MAKEINTRESOURCEW(IDD_FORM)));
    EXPECT_EQ(place(IDC_NAME).left, before.left);
    EXPECT_FALSE(RelayoutDialog(TestModule(), dialog, MAKEINTRESOURCEW(IDD_MISSING)));
    DestroyWindow(dialog);
}
