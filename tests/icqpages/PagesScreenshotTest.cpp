// Every page and dialog of the plug-in opened for real: the options pages in
// the program's options dialog, the own and the contact details pages in
// theirs, and the add-contact, authorization and x-status dialogs from the
// account's menus; with a picture of each on the pocket screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "MenuInfo.h"
#include "VerdelResource.h"
#include "cl/CLItemInfo.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/OptionsDlg.h"
#include "contactlist/UserDetailsDlg.h"
#include "dialogs/DialogScript.h"
#include "dialogs/Screenshot.h"
#include "icqpages/PluginWorld.h"

namespace {

// The program's tabbed dialogs with their pages turned by the test.
template <class Dialog>
class CTurned : public Dialog {
public:
    using Dialog::Dialog;
    using CTabsDialog::SelectPage;
};

const wchar_t* const kPageNames[] = {L"general", L"home",      L"work",      L"company", L"phones",
                                     L"personal", L"origin", L"interests", L"about"};
const wchar_t* const kPageTitles[] = {L"General",  L"Home",            L"Work",      L"Company", L"Phones",
                                      L"Personal", L"Originally from", L"Interests", L"About"};

bool Shot(const std::wstring& what)
{
    return SaveScreenshotAs(L"icq", what);
}

std::wstring Text(HWND page, int id)
{
    return CDialogScript::Text(GetDlgItem(page, id));
}

class PagesScreenshotTest : public PluginWorldTest {
protected:
    // Turns through every page of an open tabbed dialog, taking a picture of each.
    template <class Dialog>
    void ShootPages(CTurned<Dialog>& dialog, const std::wstring& prefix, std::vector<std::wstring>& titles,
                    int& created, int& shots)
    {
        for (int i = 0; i < dialog.GetPageCount(); ++i) {
            titles.push_back(Str(dialog.GetTabTitle(i)));
            created += dialog.GetPageWnd(i) != nullptr;
            dialog.SelectPage(i);
            shots += Shot(prefix + kPageNames[i]);
        }
    }

    void StoreOwnDetails(unsigned int account)
    {
        manager->SetString(account, CJOVString(L"ICQ: nick name"), CJOVString(L"Bob"));
        manager->SetString(account, CJOVString(L"ICQ: first name"), CJOVString(L"Robert"));
        manager->SetString(account, CJOVString(L"ICQ: last name"), CJOVString(L"Smith"));
        manager->SetString(account, CJOVString(L"ICQ: e-mail"), CJOVString(L"bob@mail.example"));
        manager->SetString(account, CJOVString(L"ICQ: home city"), CJOVString(L"Prague"));
        manager->SetString(account, CJOVString(L"ICQ: home address"), CJOVString(L"Long street 1\r\nFlat 2"));
        WORD country = 42;
        manager->SetWord(account, CJOVString(L"ICQ: home country code"), &country);
        WORD year = 1985;
        BYTE month = 6, day = 15, gender = 2, language = 12;
        manager->SetWord(account, CJOVString(L"ICQ: birth year"), &year);
        manager->SetByte(account, CJOVString(L"ICQ: birth month"), &month);
        manager->SetByte(account, CJOVString(L"ICQ: birth day"), &day);
        manager->SetByte(account, CJOVString(L"ICQ: gender"), &gender);
        manager->SetByte(account, CJOVString(L"ICQ: spoken language1"), &language);
        WORD interest = 101;
        manager->SetWord(account, CJOVString(L"ICQ: interest1"), &interest);
        manager->SetString(account, CJOVString(L"ICQ: interest keys1"), CJOVString(L"old cars"));
        manager->SetString(account, CJOVString(L"ICQ: about"), CJOVString(L"Pocket computers and long walks."));
    }

    void StoreContactDetails(unsigned int contact)
    {
        model->SetString(contact, CJOVString(L"ICQ: nick name"), CJOVString(L"Alice"));
        model->SetString(contact, CJOVString(L"ICQ: first name"), CJOVString(L"Alice"));
        model->SetString(contact, CJOVString(L"ICQ: home city"), CJOVString(L"Brno"));
        WORD country = 42, age = 31, year = 1990;
        BYTE month = 3, day = 9, gender = 1, first = 12, second = 0, third = 9;
        model->SetWord(contact, CJOVString(L"ICQ: home country code"), &country);
        model->SetWord(contact, CJOVString(L"ICQ: age"), &age);
        model->SetWord(contact, CJOVString(L"ICQ: birth year"), &year);
        model->SetByte(contact, CJOVString(L"ICQ: birth month"), &month);
        model->SetByte(contact, CJOVString(L"ICQ: birth day"), &day);
        model->SetByte(contact, CJOVString(L"ICQ: gender"), &gender);
        model->SetByte(contact, CJOVString(L"ICQ: spoken language1"), &first);
        model->SetByte(contact, CJOVString(L"ICQ: spoken language2"), &second);
        model->SetByte(contact, CJOVString(L"ICQ: spoken language3"), &third);
        model->SetString(contact, CJOVString(L"ICQ: about"), CJOVString(L"Met at the chess club."));
    }
};

} // namespace

TEST_F(PagesScreenshotTest, EveryPageAndDialogOfThePlugIn)
{
    const unsigned int account = AddIcqAccount();

    // Options, offline: both pages, the account's defaults and its server.
    CTurned<COptionsDlg> options(nullptr, account);
    std::vector<std::wstring> optionTitles;
    int optionPages = 0, shots = 0, expectedShots = 2;
    std::wstring host, port, passwordLabel;
    bool loginEnabled = false;
    CDialogScript optionsScript;
    optionsScript.When(L"Network settings", [&](HWND window) {
        HWND accountPage = options.GetPageWnd(0), connectionPage = options.GetPageWnd(1);
        loginEnabled = IsWindowEnabled(GetDlgItem(accountPage, IDC_LOGIN));
        passwordLabel = Text(accountPage, IDC_PASSWORD_LABEL);
        host = Text(connectionPage, IDC_HOST);
        port = Text(connectionPage, IDC_PORT);
        SetDlgItemTextW(accountPage, IDC_LOGIN, L"123-456-789");
        // The scripted server's port changes from run to run; the picture must not.
        SetDlgItemTextW(connectionPage, IDC_PORT, L"5190");
        const wchar_t* const names[] = {L"options-account", L"options-connection"};
        for (int i = 0; i < options.GetPageCount() && i < 2; ++i) {
            optionTitles.push_back(Str(options.GetTabTitle(i)));
            optionPages += options.GetPageWnd(i) != nullptr;
            options.SelectPage(i);
            shots += Shot(names[i]);
        }
        PostCommand(window, IDCANCEL);
    });
    optionsScript.Start();
    EXPECT_EQ(options.DoModal(), IDCANCEL);
    EXPECT_EQ(optionTitles, (std::vector<std::wstring>{L"Account", L"Connection"}));
    EXPECT_EQ(optionPages, 2);
    EXPECT_TRUE(loginEnabled);
    EXPECT_EQ(passwordLabel, L"Password");
    EXPECT_EQ(host, L"127.0.0.1");
    EXPECT_EQ(port, std::to_wstring(login->GetPort()));

    // Online, with a group and a contact awaiting authorization.
    SetLogin(account, L"123456789", "secret");
    OscarWire::Builder buddy;
    buddy.Tlv(0x0131, std::string("Alice")).Tlv(0x0066, OscarWire::Bytes());
    ScriptLogin("123456789", "secret",
                {{"Friends", 1, 0, 1, {}}, {"Work", 2, 0, 1, {}}, {"111222333", 1, 10, 0, buddy.Get()},
                 OnlinePrivacyItem()});
    ASSERT_TRUE(GoOnline(account)) << login->Report() << bos->Report();
    const unsigned int contact = ContactOf(account, L"111222333");
    ASSERT_NE(contact, 0u);

    StoreOwnDetails(account);
    CTurned<CUserDetailsDlg> own(nullptr, account);
    std::vector<std::wstring> ownTitles;
    int ownPages = 0;
    std::wstring nick, country, birthdayClass;
    int countries = 0;
    CDialogScript ownScript;
    ownScript.When(L"View/change my details", [&](HWND window) {
        nick = Text(own.GetPageWnd(0), IDC_D_NICK);
        country = Text(own.GetPageWnd(1), IDC_D_HOME_COUNTRY);
        countries = static_cast<int>(SendDlgItemMessageW(own.GetPageWnd(1), IDC_D_HOME_COUNTRY, CB_GETCOUNT, 0, 0));
        ShootPages(own, L"own-", ownTitles, ownPages, shots);
        PostCommand(window, IDCANCEL);
    });
    ownScript.Start();
    EXPECT_EQ(own.DoModal(), IDCANCEL);
    expectedShots += 9;
    EXPECT_EQ(ownTitles, std::vector<std::wstring>(std::begin(kPageTitles), std::end(kPageTitles)));
    EXPECT_EQ(ownPages, 9);
    EXPECT_EQ(nick, L"Bob");
    EXPECT_EQ(country, L"Czech Republic");
    EXPECT_GT(countries, 100);

    StoreContactDetails(contact);
    CTurned<CContactDetailsDlg> details(nullptr, contact);
    std::vector<std::wstring> contactTitles;
    int contactPages = 0;
    std::wstring contactCountry, languages, age;
    CDialogScript contactScript;
    contactScript.When(L"Contact details", [&](HWND window) {
        contactCountry = Text(details.GetPageWnd(1), IDC_D_HOME_COUNTRY);
        languages = Text(details.GetPageWnd(5), IDC_D_LANGUAGES);
        age = Text(details.GetPageWnd(5), IDC_D_AGE);
        ShootPages(details, L"contact-", contactTitles, contactPages, shots);
        PostCommand(window, IDCANCEL);
    });
    contactScript.Start();
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    expectedShots += 9;
    EXPECT_EQ(contactTitles, std::vector<std::wstring>(std::begin(kPageTitles), std::end(kPageTitles)));
    EXPECT_EQ(contactPages, 9);
    EXPECT_EQ(contactCountry, L"Czech Republic");
    EXPECT_EQ(age, L"31");
    EXPECT_NE(languages.find(L';'), std::wstring::npos) << "two known languages: " << std::string(languages.begin(), languages.end());

    // The dialogs, from the items the account puts in its menus.
    CMenuInfo root = RootMenu();
    manager->InitRootMenu(account, &root);
    CMenuInfo contactMenu = ContactMenu();
    manager->InitContactMenu(account, contact, &contactMenu);
    CMenuInfo status;
    manager->GetStatusMenuInfo(account, &status);
    const CMenuItemInfo* add = nullptr;
    for (int i = 0; i < root.Count(); ++i)
        add = root[i].handler ? &root[i] : add;
    ASSERT_NE(add, nullptr);
    ASSERT_GE(contactMenu.Count(), 2);
    ASSERT_GT(status.Count(), 0);

    std::wstring softKey;
    CDialogScript dialogs;
    dialogs
        .When(L"Add contact",
              [&](HWND dialog) {
                  SetDlgItemTextW(dialog, IDC_ADD_ACCOUNT, L"555666777");
                  SetDlgItemTextW(dialog, IDC_ADD_NAME, L"Pal");
                  shots += Shot(L"add-contact");
                  PostCommand(dialog, IDCANCEL);
              })
        .When(L"Authorization request",
              [&](HWND dialog) {
                  shots += Shot(L"authorization");
                  PostCommand(dialog, IDCANCEL);
              })
        .When(L"Status picture", [&](HWND dialog) {
            HWND grid = FindWindowExW(dialog, nullptr, L"JOV Wnd Class", nullptr);
            for (int i = 0; i < 8; ++i)
                SendMessageW(grid, WM_KEYDOWN, VK_RIGHT, 1);
            SetDlgItemTextW(dialog, IDC_XS_NAME, L"Reading");
            SetDlgItemTextW(dialog, IDC_XS_DESC, L"a long book");
            shots += Shot(L"xstatus");
            PostCommand(dialog, IDCANCEL);
        });
    dialogs.Start();
    Choose(*add, account);
    Choose(contactMenu[1], contact);
    Choose(status.Last(), account);
    EXPECT_TRUE(dialogs.Done());
    expectedShots += 3;
    EXPECT_EQ(shots, expectedShots);
    GoOffline(account);
}
