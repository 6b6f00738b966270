// The pages as the user meets them in the program's dialogs: a typed password
// is one to save, a long one is cut with a word, a bad port shows its page
// with the warning, the login is locked while connected, and the own fields
// are locked while offline, where only the note is kept.
#include <gtest/gtest.h>

#include <windows.h>

#include "MD5.h"
#include "VerdelResource.h"
#include "cl/CLItemInfo.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/DialogIds.h"
#include "contactlist/OptionsDlg.h"
#include "contactlist/UserDetailsDlg.h"
#include "dialogs/DialogScript.h"
#include "icqpages/PluginWorld.h"

namespace {

const wchar_t kOptions[] = L"Network settings";

std::vector<unsigned char> Md5(const char* text)
{
    std::vector<unsigned char> digest(16);
    CMD5::Hash(text, static_cast<unsigned>(strlen(text)), digest.data());
    return digest;
}

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

bool ReadOnly(HWND page, int id)
{
    return (GetWindowLongPtrW(GetDlgItem(page, id), GWL_STYLE) & ES_READONLY) != 0;
}

class PagesBehaviourTest : public PluginWorldTest {
protected:
    std::vector<unsigned char> Password(unsigned int account)
    {
        unsigned size = 0;
        if (!manager->GetValueSize(account, CJOVString(L"Account password"), &size))
            return {};
        std::vector<unsigned char> digest(size);
        manager->GetData(account, CJOVString(L"Account password"), digest.data(), &size);
        return digest;
    }
};

} // namespace

TEST_F(PagesBehaviourTest, ATypedPasswordIsSavedAndALongOneCutWithAWord)
{
    const unsigned int account = AddIcqAccount();
    COptionsDlg options(nullptr, account);
    bool savedBeforeTyping = true, savedAfterTyping = false;
    std::wstring warning, shown;
    bool passwordFocused = false;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND window) {
                  HWND page = options.GetPageWnd(0);
                  SetDlgItemTextW(page, IDC_LOGIN, L"123-456-789");
                  savedBeforeTyping = Checked(page, IDC_SAVE_PASSWORD);
                  SetDlgItemTextW(page, IDC_PASSWORD, L"abcdefghijkl");
                  savedAfterTyping = Checked(page, IDC_SAVE_PASSWORD);
                  PostCommand(window, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  HWND page = options.GetPageWnd(0);
                  shown = CDialogScript::Text(GetDlgItem(page, IDC_PASSWORD));
                  PostCommand(box, IDOK);
              })
        .When(kOptions, [&](HWND window) {
            passwordFocused = GetFocus() == GetDlgItem(options.GetPageWnd(0), IDC_PASSWORD);
            PostCommand(window, IDOK);
        });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(savedBeforeTyping) << "a new account has no password";
    EXPECT_TRUE(savedAfterTyping) << "a password typed is one to keep";
    EXPECT_NE(warning.find(L"8"), std::wstring::npos);
    EXPECT_EQ(shown, L"abcdefgh") << "the field shows what will be stored";
    EXPECT_TRUE(passwordFocused);
    EXPECT_EQ(Setting(account, L"Account name"), L"123456789");
    EXPECT_EQ(Password(account), Md5("abcdefgh"));

    // Opened again: the placeholder, "Show password" off; unchecking "Save password" clears it.
    COptionsDlg again(nullptr, account);
    std::wstring placeholder, login;
    bool showEnabled = true;
    CDialogScript second;
    second.When(kOptions, [&](HWND window) {
        HWND page = again.GetPageWnd(0);
        placeholder = CDialogScript::Text(GetDlgItem(page, IDC_PASSWORD));
        login = CDialogScript::Text(GetDlgItem(page, IDC_LOGIN));
        showEnabled = IsWindowEnabled(GetDlgItem(page, IDC_SHOW_PASSWORD));
        CheckDlgButton(page, IDC_SAVE_PASSWORD, BST_UNCHECKED);
        PostCommand(window, IDOK);
    });
    second.Start();
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(placeholder, L"**************");
    EXPECT_EQ(login, L"123456789");
    EXPECT_FALSE(showEnabled) << "the placeholder is no password to show";
    EXPECT_TRUE(Password(account).empty());
}

TEST_F(PagesBehaviourTest, ABadPortKeepsTheDialogOpenOnItsPage)
{
    const unsigned int account = AddIcqAccount();
    COptionsDlg options(nullptr, account);
    std::wstring warning;
    int pageAtWarning = -1;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND window) {
                  SetDlgItemTextW(options.GetPageWnd(0), IDC_LOGIN, L"42");
                  SetDlgItemTextW(options.GetPageWnd(1), IDC_HOST, L"localhost");
                  SetDlgItemTextW(options.GetPageWnd(1), IDC_PORT, L"70000");
                  CheckDlgButton(options.GetPageWnd(1), IDC_KEEP_ALIVE, BST_UNCHECKED);
                  PostCommand(window, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  pageAtWarning = options.GetCurrentPage();
                  PostCommand(box, IDOK);
              })
        .When(kOptions, [&](HWND window) {
            SetDlgItemTextW(options.GetPageWnd(1), IDC_PORT, L"5191");
            PostCommand(window, IDOK);
        });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDOK);
    EXPECT_EQ(warning, L"Not valid host port");
    EXPECT_EQ(pageAtWarning, 1);
    EXPECT_EQ(Setting(account, L"Server name"), L"localhost");
    WORD port = 0;
    EXPECT_TRUE(manager->GetWord(account, CJOVString(L"Server port"), &port));
    EXPECT_EQ(port, 5191);
    BYTE keepAlive = 1;
    EXPECT_TRUE(manager->GetByte(account, CJOVString(L"Keep alive"), &keepAlive));
    EXPECT_EQ(keepAlive, 0);
}

TEST_F(PagesBehaviourTest, OfflineTheOwnFieldsAreLockedAndOnlyTheNoteIsKept)
{
    const unsigned int account = AddIcqAccount();
    manager->SetString(account, CJOVString(L"ICQ: nick name"), CJOVString(L"Bob"));
    CUserDetailsDlg details(nullptr, account);
    bool nickLocked = false, countryLocked = false, noteOpen = false, birthdayLocked = false;
    CDialogScript script;
    script.When(L"View/change my details", [&](HWND window) {
        nickLocked = ReadOnly(details.GetPageWnd(0), IDC_D_NICK);
        countryLocked = !IsWindowEnabled(GetDlgItem(details.GetPageWnd(1), IDC_D_HOME_COUNTRY));
        birthdayLocked = !IsWindowEnabled(GetDlgItem(details.GetPageWnd(5), IDC_D_BIRTHDAY));
        noteOpen = !ReadOnly(details.GetPageWnd(8), IDC_D_NOTE);
        SetDlgItemTextW(details.GetPageWnd(8), IDC_D_NOTE, L"my own note");
        PostCommand(window, IDC_UPDATE_COMMAND);
        PostCommand(window, IDCANCEL);
    });
    script.Start();
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    EXPECT_TRUE(nickLocked);
    EXPECT_TRUE(countryLocked);
    EXPECT_TRUE(birthdayLocked);
    EXPECT_TRUE(noteOpen);
    EXPECT_EQ(Setting(account, L"ICQ: notes"), L"my own note") << "\"Update\" stores the pages";
    EXPECT_EQ(Setting(account, L"ICQ: nick name"), L"Bob");
}

TEST_F(PagesBehaviourTest, WhileConnectedTheLoginIsLockedAndAContactsNoteIsKept)
{
    const unsigned int account = AddIcqAccount();
    SetLogin(account, L"123456789", "secret");
    ScriptLogin("123456789", "secret",
                {{"Friends", 1, 0, 1, {}}, {"111222333", 1, 10, 0, {}}, OnlinePrivacyItem()});
    ASSERT_TRUE(GoOnline(account)) << login->Report() << bos->Report();

    COptionsDlg options(nullptr, account);
    std::vector<bool> enabled;
    CDialogScript script;
    script.When(kOptions, [&](HWND window) {
        for (int id : {IDC_LOGIN, IDC_PASSWORD, IDC_SHOW_PASSWORD, IDC_SAVE_PASSWORD})
            enabled.push_back(IsWindowEnabled(GetDlgItem(options.GetPageWnd(0), id)) != FALSE);
        PostCommand(window, IDCANCEL);
    });
    script.Start();
    options.DoModal();
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, false}));

    const unsigned int contact = ContactOf(account, L"111222333");
    ASSERT_NE(contact, 0u);
    CContactDetailsDlg details(nullptr, contact);
    bool nickLocked = false;
    CDialogScript contactScript;
    contactScript.When(L"Contact details", [&](HWND window) {
        nickLocked = ReadOnly(details.GetPageWnd(0), IDC_D_NICK);
        SetDlgItemTextW(details.GetPageWnd(8), IDC_D_NOTE, L"owes me a coffee");
        PostCommand(window, IDC_UPDATE_COMMAND);
        PostCommand(window, IDCANCEL);
    });
    contactScript.Start();
    details.DoModal();
    EXPECT_TRUE(nickLocked);
    CJOVString note;
    EXPECT_TRUE(model->GetString(contact, CJOVString(L"ICQ: notes"), note));
    EXPECT_EQ(Str(note), L"owes me a coffee");
    GoOffline(account);
}
