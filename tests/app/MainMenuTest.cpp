// The left soft-key menu as the accounts make it, and the commands of both menus.
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "MenuBar.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/MainMenu.h"

namespace {

const UINT kLeftKey = 32779;
const UINT kRightKey = 32778;

std::vector<std::pair<unsigned int, uintptr_t>> g_calls;

void RecordCall(unsigned int subject, uintptr_t param)
{
    g_calls.emplace_back(subject, param);
}

std::wstring Caption(const CMenuItemInfo& item)
{
    CJOVString caption = item.caption;
    return static_cast<wchar_t*>(caption);
}

} // namespace

TEST(MainMenuDescription, WithoutAccountsHoldsPreferencesAboutAndQuit)
{
    CFakeGuiServices services;
    CMenuInfo left;
    DescribeLeftMenu(services, left);
    ASSERT_EQ(left.Count(), 3);
    EXPECT_EQ(Caption(left[0]), L"Preferences");
    EXPECT_EQ(left[0].commandId, 5002u);
    EXPECT_EQ(left[0].images[0], 56u);
    EXPECT_EQ(Caption(left[1]), L"About JOV");
    EXPECT_EQ(left[1].commandId, 5001u);
    EXPECT_EQ(left[1].images[0], 55u);
    EXPECT_EQ(Caption(left[2]), L"Quit JOV");
    EXPECT_EQ(left[2].commandId, 5000u);
    EXPECT_EQ(left[2].images[0], 54u);
}

TEST(MainMenuDescription, ListsEachAccountsDetailsInAccountOrderInTheCurrentLanguage)
{
    CFakeGuiServices services;
    services.accounts = {{0x10000002, L"bob@example.org"}, {0x10000001, L"123456"}};
    services.texts[17] = L"Mé údaje";
    services.texts[18] = L"Nastavení";
    CMenuInfo left;
    DescribeLeftMenu(services, left);
    ASSERT_EQ(left.Count(), 4);
    EXPECT_EQ(left[0].type, CMenuItemInfo::MenuItemSubmenu);
    EXPECT_EQ(Caption(left[0]), L"Mé údaje");
    EXPECT_EQ(left[0].commandId, 5003u);
    EXPECT_EQ(left[0].images[0], 57u);
    const CMenuInfo* details = left[0].GetSubmenu();
    ASSERT_NE(details, nullptr);
    ASSERT_EQ(details->Count(), 2);
    EXPECT_EQ(Caption((*details)[0]), L"bob@example.org");
    EXPECT_EQ((*details)[0].commandId, 5005u);
    EXPECT_EQ(Caption((*details)[1]), L"123456");
    EXPECT_EQ((*details)[1].commandId, 5006u);
    EXPECT_EQ(Caption(left[1]), L"Nastavení");
    EXPECT_EQ(Caption(left[3]), L"Quit JOV");
}

TEST_F(MainWindowTest, BuildingTheMenusFillsTheLeftKeyAndTurnsOffTheEmptyRightKey)
{
    services.accounts = {{0x10000001, L"123456"}};
    BuildMainMenu(g_App.hMenuBar);
    BuildMainMenu(g_App.hMenuBar);  // a rebuild replaces, never adds

    EXPECT_EQ(SoftKeyText(kLeftKey), L"Menu");
    HMENU left = GetLeftSoftKeyMenu(g_App.hMenuBar);
    ASSERT_NE(left, nullptr);
    ASSERT_EQ(GetMenuItemCount(left), 4);
    for (int i = 0; i < 4; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_ID | MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoW(left, i, TRUE, &info));
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(&g_App.leftMenu[i])) << i;
        // A submenu item has its submenu in place of a command.
        if (!g_App.leftMenu[i].GetSubmenu()) {
            EXPECT_EQ(info.wID, g_App.leftMenu[i].commandId) << i;
        }
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    }
    HMENU details = GetSubMenu(left, 0);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(GetMenuItemID(details, 0), 5005u);

    EXPECT_EQ(SoftKeyText(kRightKey), L"");
    EXPECT_FALSE(SendMessageW(g_App.hMenuBar, TB_ISBUTTONENABLED, kRightKey, 0));
}

TEST_F(MainWindowTest, AnAccountsItemInTheRightMenuRunsItsHandler)
{
    // Items an account adds carry no command of their own and are numbered
    // from 5100; choosing one calls its handler with the current item.
    g_calls.clear();
    CMenuInfo right;
    CMenuItemInfo item(CJOVString(L"Ask authorization"), reinterpret_cast<void*>(&RecordCall), 0);
    item.param = 42;
    right.Append(item);
    unsigned int next = kFirstMenuCommand;
    ASSERT_NE(BuildPopupMenu(right, next, GetRightSoftKeyMenu(g_App.hMenuBar)), nullptr);

    SendMessageW(main, WM_COMMAND, kFirstMenuCommand, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].first, 0u);
    EXPECT_EQ(g_calls[0].second, 42u);

    SendMessageW(main, WM_COMMAND, kFirstMenuCommand + 1, 0);  // no such item
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(MainWindowTest, AccountDetailsCommandsStopAtTheAccountCount)
{
    // 5005 + n with n past the accounts is not a details command: it reaches
    // the default procedure, which answers 0 and opens nothing.
    services.accounts = {{0x10000001, L"123456"}};
    EXPECT_EQ(SendMessageW(main, WM_COMMAND, 5006, 0), 0);
    EXPECT_EQ(SendMessageW(main, WM_COMMAND, 40000, 0), 0);
    EXPECT_EQ(SendMessageW(main, WM_COMMAND, 40002, 0), 0);
    EXPECT_TRUE(IsWindow(main));
}
