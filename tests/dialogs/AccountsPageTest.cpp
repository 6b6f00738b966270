// The preferences on the "Accounts" page: the rows, "Add" with a menu of the
// protocols, "Settings" and Return opening the options, and "Delete" asking
// first.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "contactlist/AccountsPage.h"
#include "contactlist/DialogIds.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/PreferencesDlg.h"
#include "dialogs/BackgroundSkin.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"

namespace {

const wchar_t kPreferences[] = L"Preferences";
const wchar_t kOptions[] = L"Network settings";

bool s_answer = false;
std::vector<std::wstring> s_asked;

bool Answer(HWND, const CJOVString& text)
{
    s_asked.push_back(Str(text));
    return s_answer;
}

int Rows(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int Selected(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

class AccountsPageTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        s_answer = false;
        s_asked.clear();
        SetAccountDeleteConfirmation(Answer);
    }
    void TearDown() override
    {
        SetAccountDeleteConfirmation(nullptr);
        DialogsTest::TearDown();
    }
};

} // namespace

TEST_F(AccountsPageTest, AccountsAreListedAddedFromAProtocolMenuAndDeletedAfterAsking)
{
    const unsigned int existing = AddPagesAccount();
    CPreferencesDlg preferences(nullptr, 8);
    HWND page = nullptr, list = nullptr;
    int pages = 0, current = -1, rowsAtOpen = 0, selectedAtOpen = -1, menuItems = 0;
    int rowsAfterAdd = 0, selectedAfterAdd = -1, rowsAfterNo = 0, rowsAfterYes = 0, selectedAfterYes = -1;
    std::wstring tab;
    unsigned int firstRowAccount = 0;
    CDialogScript script;
    script
        .When(kPreferences,
              [&](HWND) {
                  pages = preferences.GetPageCount();
                  current = preferences.GetCurrentPage();
                  tab = Str(preferences.GetTabTitle(current));
                  page = preferences.GetPageWnd(current);
                  list = GetDlgItem(page, IDC_ACCOUNTS_LIST);
                  rowsAtOpen = Rows(list);
                  selectedAtOpen = Selected(list);
                  LVITEMW item = {};
                  item.mask = LVIF_PARAM;
                  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
                  firstRowAccount = static_cast<unsigned int>(item.lParam);
                  Click(page, IDC_ACCOUNT_ADD);
              })
        .WhenMenu([&](HWND menu) {
            menuItems = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
        })
        .When(kPreferences,
              [&](HWND) {
                  rowsAfterAdd = Rows(list);
                  selectedAfterAdd = Selected(list);
                  Click(page, IDC_ACCOUNT_DELETE);
              })
        .When(kPreferences,
              [&](HWND) {
                  rowsAfterNo = Rows(list);
                  s_answer = true;
                  Click(page, IDC_ACCOUNT_DELETE);
              })
        .When(kPreferences, [&](HWND window) {
            rowsAfterYes = Rows(list);
            selectedAfterYes = Selected(list);
            PostCommand(window, IDOK);
        });
    script.Start();
    EXPECT_EQ(preferences.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(script.GaveUp());

    EXPECT_EQ(pages, 9);
    EXPECT_EQ(current, 8) << "start-up's page: the last";
    EXPECT_EQ(tab, L"Accounts");
    EXPECT_EQ(rowsAtOpen, 1);
    EXPECT_EQ(selectedAtOpen, 0);
    EXPECT_EQ(firstRowAccount, existing);
    EXPECT_EQ(menuItems, manager->GetProtocolCount());
    EXPECT_EQ(rowsAfterAdd, 2);
    EXPECT_EQ(selectedAfterAdd, 1);
    EXPECT_EQ(s_asked, (std::vector<std::wstring>{L"Pages Tester", L"Pages Tester"}));
    EXPECT_EQ(rowsAfterNo, 2) << "no: nothing deleted";
    EXPECT_EQ(rowsAfterYes, 1);
    EXPECT_EQ(selectedAfterYes, 0) << "the row before the deleted one";

    // The manager deletes on its own thread.
    const DWORD start = GetTickCount();
    while (manager->GetAccountCount() != 1 && GetTickCount() - start < 3000)
        Sleep(10);
    EXPECT_EQ(manager->GetAccountCount(), 1);
    EXPECT_EQ(manager->GetAccountId(0), existing);
}

TEST_F(AccountsPageTest, SettingsAndReturnOpenTheSelectedAccountsOptions)
{
    const unsigned int account = AddPagesAccount();
    CPreferencesDlg preferences(nullptr, 8);
    HWND page = nullptr;
    int optionsOpened = 0;
    CDialogScript script;
    script
        .When(kPreferences,
              [&](HWND) {
                  page = preferences.GetPageWnd(8);
                  Click(page, IDC_ACCOUNT_SETTINGS);
              })
        .When(kOptions,
              [&](HWND options) {
                  ++optionsOpened;
                  PostCommand(options, IDCANCEL);
              })
        .When(kPreferences,
              [&](HWND) {
                  HWND list = GetDlgItem(page, IDC_ACCOUNTS_LIST);
                  SetFocus(list);
                  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
              })
        .When(kOptions,
              [&](HWND options) {
                  ++optionsOpened;
                  PostCommand(options, IDCANCEL);
              })
        .When(kPreferences, [&](HWND window) { PostCommand(window, IDCANCEL); });
    script.Start();
    EXPECT_EQ(preferences.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(optionsOpened, 2);
    EXPECT_EQ(CPluginLog::CountLines(L"load Login " + std::to_wstring(account)), 2);
}

TEST_F(AccountsPageTest, TheListKeepsItsBackgroundAndTheListAloneFreesIt)
{
    AddPagesAccount();
    CBackgroundSkin skin;
    SetDialogSkin(&skin);
    CDeletedObjects deleted;
    ASSERT_TRUE(deleted.IsSet());
    for (int opening = 0; opening < 2; ++opening) {
        CPreferencesDlg preferences(nullptr, 8);
        CDialogScript script;
        script.When(kPreferences, [&](HWND window) { PostCommand(window, IDCANCEL); });
        script.Start();
        EXPECT_EQ(preferences.DoModal(), IDCANCEL);
        EXPECT_TRUE(script.Done());
    }
    SetDialogSkin(nullptr);
    ASSERT_EQ(skin.MadeFor(IDC_ACCOUNTS_LIST).size(), 2u);
    for (HBITMAP bitmap : skin.MadeFor(IDC_ACCOUNTS_LIST)) {
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "a background outlived its list";
        EXPECT_FALSE(deleted.Deleted(bitmap)) << "the page deleted a background that the list owned";
    }
}
