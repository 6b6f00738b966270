// The status toolbar's buttons: one per account with its data word, the
// overall status's with its name.
#include <gtest/gtest.h>

#include "MainWindowFixture.h"

#include <commctrl.h>

#include "core/StatusToolbar.h"

namespace {

unsigned int DataWord(HWND toolbar, int index)
{
    TBBUTTON button = {};
    SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    return static_cast<unsigned int>(button.dwData);
}

int CommandAt(HWND toolbar, int index)
{
    TBBUTTON button = {};
    SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    return button.idCommand;
}

} // namespace

TEST_F(MainWindowTest, StatusButtonsKeepTheirCommandsAndOnlyTheOverallOneHasText)
{
    HWND toolbar = g_App.hStatusToolbar;
    // An account can report before the overall status does.
    UpdateAccountStatusButton(toolbar, 0x10000001, MakeStatus(2, L"Online"));
    UpdateAccountStatusButton(toolbar, 0, MakeStatus(2, L"Online"));
    ASSERT_EQ(ButtonCount(), 2);
    EXPECT_EQ(CommandAt(toolbar, 0), 500);
    EXPECT_EQ(DataWord(toolbar, 0), 0x10000001u);
    EXPECT_EQ(CommandAt(toolbar, 1), 501);
    EXPECT_EQ(DataWord(toolbar, 1), 0u);
    EXPECT_EQ(ButtonText(500), L"");
    EXPECT_EQ(ButtonText(501), L"Online");

    UpdateAccountStatusButton(toolbar, 0x10000001, MakeStatus(11, L"Away"));
    UpdateAccountStatusButton(toolbar, 0, MakeStatus(11, L"Away"));
    EXPECT_EQ(ButtonCount(), 2);
    EXPECT_EQ(ButtonText(500), L"");
    EXPECT_EQ(ButtonText(501), L"Away");
    EXPECT_EQ(g_App.accountStatusMap[0x10000001].status, 11);

    RemoveToolbarButton(toolbar, 0x10000001);
    ASSERT_EQ(ButtonCount(), 1);
    EXPECT_EQ(DataWord(toolbar, 0), 0u);
    EXPECT_EQ(g_App.accountStatusMap.count(0x10000001), 1u) << "the map keeps its entries";
    RemoveToolbarButton(toolbar, 0x10000009);
    EXPECT_EQ(ButtonCount(), 1);

    UpdateAccountStatusButton(toolbar, 0x10000002, MakeStatus(0, L"Offline"));
    EXPECT_EQ(CommandAt(toolbar, 1), 502);
}

TEST_F(MainWindowTest, AVeryLongStatusNameIsCutToTheButtonsBuffer)
{
    std::wstring name(150, L'x');
    UpdateAccountStatusButton(g_App.hStatusToolbar, 0, MakeStatus(2, name.c_str()));
    EXPECT_EQ(ButtonText(500), std::wstring(99, L'x'));
}

TEST_F(MainWindowTest, AButtonDrawsItsAccountsStatusImagesInOrder)
{
    HWND toolbar = g_App.hStatusToolbar;
    UpdateAccountStatusButton(toolbar, 0x10000001, MakeStatus(2, L"Online", {61, 7}));
    NMTBCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = toolbar;
    draw.nmcd.hdr.idFrom = kStatusToolbarId;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.hdc = GetDC(toolbar);
    draw.nmcd.rc = RECT{0, 0, 40, 24};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(SendMessageW(main, WM_NOTIFY, kStatusToolbarId, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    EXPECT_EQ(SendMessageW(main, WM_NOTIFY, kStatusToolbarId, reinterpret_cast<LPARAM>(&draw)),
              CDRF_NOTIFYPOSTPAINT);
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    draw.nmcd.dwItemSpec = 500;
    EXPECT_EQ(SendMessageW(main, WM_NOTIFY, kStatusToolbarId, reinterpret_cast<LPARAM>(&draw)), 0);
    ReleaseDC(toolbar, draw.nmcd.hdc);
    EXPECT_EQ(services.drawnImages, (std::vector<unsigned int>{61, 7}));
}
