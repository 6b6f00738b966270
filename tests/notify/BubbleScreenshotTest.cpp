// A message and a warning bubble over a list on the pocket screen, kept as
// screenshots (<build>/screenshots/notify-<what>-<qvga|vga>.png) for a person
// to look at. The same tests run at 240x320/96 dpi and at 480x640/192 dpi.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <png.h>

#include <string>
#include <vector>

#include "Screen.h"
#include "dialogs/Screenshot.h"
#include "notify/NotifyFixture.h"

namespace {

bool WritePng(const std::string& path, int width, int height, const std::vector<DWORD>& bgra)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, path.c_str(), 0, bgra.data(), 0, nullptr) != 0;
}

// A smiley of the set: a yellow face, its corners see-through.
std::wstring WriteSmiley(const std::wstring& folder)
{
    const int side = 16;
    std::vector<DWORD> pixels(side * side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int dx = 2 * x + 1 - side, dy = 2 * y + 1 - side;
            int r2 = dx * dx + dy * dy;
            if (r2 > side * side)
                continue;
            bool eye = (y == 5 || y == 6) && (x == 5 || x == 10);
            bool mouth = y == 11 && x >= 5 && x <= 10;
            bool rim = r2 > (side - 2) * (side - 2);
            pixels[y * side + x] = eye || mouth || rim ? 0xFF704010 : 0xFFF8D020;
        }
    }
    std::wstring path = folder + L"smile.png";
    WritePng(std::string(path.begin(), path.end()), side, side, pixels);
    return path;
}

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        int row = (18 * Platform::GetScreenDpiY() + 48) / 96;
        HFONT font = CreateFontW(-(12 * Platform::GetScreenDpiY() + 48) / 96, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, L"Tahoma");
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        const wchar_t* names[] = {L"ICQ 123456789", L"  Friends", L"    Alice", L"    Bob", L"    Carol",
                                  L"  Work", L"    Dave", L"    Erin", L"    Frank", L"    Grace", L"    Heidi"};
        for (int i = 0; i < 11; ++i) {
            RECT line = {row / 3, i * row, client.right, (i + 1) * row};
            SetTextColor(dc, i == 0 ? RGB(0x10, 0x30, 0x80) : RGB(0x20, 0x20, 0x20));
            DrawTextW(dc, names[i], -1, &line, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
        SelectObject(dc, oldFont);
        DeleteObject(font);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class BubbleScreenshots : public NotificationsTest {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ListProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Screenshot list";
        RegisterClassW(&wc);
        RECT screen = Platform::GetScreenRect();
        m_list = CreateWindowExW(0, L"Screenshot list", L"JOV", WS_POPUP | WS_VISIBLE, 0, 0, screen.right,
                                 screen.bottom, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(m_list);
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        m_smiley = WriteSmiley(temp);
        BubbleSmiley smiley;
        smiley.codes = {CJOVString(L":)"), CJOVString(L":-)")};
        smiley.imagePath = CJOVString(m_smiley.c_str());
        m_host.smilies = {smiley};
    }

    void TearDown() override
    {
        NotificationsTest::TearDown();
        DestroyWindow(m_list);
        DeleteFileW(m_smiley.c_str());
    }

    // Waits until the bubble is up and painted.
    HWND ShownBubble()
    {
        Platform::NotificationState state;
        EXPECT_TRUE(WaitForBubble(&state, 5000));
        EXPECT_TRUE(PumpUntil([] { return Platform::GetBubbleWindow() && Platform::GetBubbleSoftKeyBar(); }, 5000));
        Pump(500);
        return Platform::GetBubbleWindow();
    }

    HWND m_list = nullptr;
    std::wstring m_smiley;
};

} // namespace

TEST_F(BubbleScreenshots, AMessageWithASmileyInTheUpperPartOfTheScreen)
{
    CNotificationsManager& manager = Start(NotificationTimings{20000, 20000, 60000});
    manager.AddMessageNotification(1, kImageMessage, kAlice,
                                   CJOVString(L"Hi! Are we still on for lunch today? :)\r\nI'll be at the caf\x00E9 "
                                              L"at noon & <b>won't</b> wait long."));
    HWND bubble = ShownBubble();
    ASSERT_NE(bubble, nullptr);
    RECT rect, screen = Platform::GetScreenRect();
    GetWindowRect(bubble, &rect);
    EXPECT_LT(rect.top, screen.bottom / 8);
    EXPECT_LT(rect.bottom, screen.bottom * 2 / 3) << "the upper part of the screen";
    EXPECT_GT(rect.right - rect.left, (screen.right - screen.left) * 9 / 10);
    HWND bar = Platform::GetBubbleSoftKeyBar();
    RECT barRect;
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.bottom, screen.bottom);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_TRUE(SaveScreenshotAs(L"notify", L"message"));
    Press(CNotificationsManager::kCmdHide);
    EXPECT_TRUE(WaitForNoBubble(5000));
}

TEST_F(BubbleScreenshots, AWarningWithItsRedTitle)
{
    CNotificationsManager& manager = Start(NotificationTimings{20000, 20000, 60000});
    manager.AddWarningNotification(
        CJOVString(L"Connection to the server was lost. JOV will try again in 30 seconds."));
    HWND bubble = ShownBubble();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(SaveScreenshotAs(L"notify", L"warning"));
    Press(CNotificationsManager::kCmdOk);
    EXPECT_TRUE(WaitForNoBubble(5000));
}
