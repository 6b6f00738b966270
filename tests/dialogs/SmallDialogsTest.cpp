// The name dialog, the about box and a contact's details.
#include <gtest/gtest.h>

#include <windows.h>

#include "MenuBar.h"
#include "Shell.h"
#include "contactlist/AboutDlg.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/DialogIds.h"
#include "contactlist/NewGroupDlg.h"
#include "core/clmodel/ContactListImpl.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "plugins/PagesPlugin.h"

namespace {

const wchar_t kGroup[] = L"Group";

std::wstring Field(HWND dialog, int id)
{
    return CDialogScript::Text(GetDlgItem(dialog, id));
}

} // namespace

TEST_F(DialogsTest, TheNameDialogRefusesAnEmptyNameWithAMessage)
{
    CNewGroupDlg create(nullptr);
    std::wstring shown, warning;
    CDialogScript script;
    script
        .When(kGroup,
              [&](HWND dialog) {
                  shown = Field(dialog, IDC_GROUP_NAME);
                  SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"");
                  PostCommand(dialog, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  PostCommand(box, IDOK);
              })
        .When(kGroup, [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Friends");
            PostCommand(dialog, IDOK);
        });
    script.Start();
    EXPECT_EQ(create.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(shown, L"New group");
    EXPECT_FALSE(warning.empty());
    EXPECT_EQ(Str(create.GetName()), L"Friends");

    // Renaming shows the current name; Cancel leaves it.
    CNewGroupDlg rename(nullptr);
    rename.SetName(CJOVString(L"Work"));
    CDialogScript second;
    second.When(kGroup, [&](HWND dialog) {
        shown = Field(dialog, IDC_GROUP_NAME);
        SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Play");
        PostCommand(dialog, IDCANCEL);
    });
    second.Start();
    EXPECT_EQ(rename.DoModal(), IDCANCEL);
    EXPECT_EQ(shown, L"Work");
    EXPECT_EQ(Str(rename.GetName()), L"Work");
}

TEST_F(DialogsTest, TheAboutBoxNamesTheBuildAndEachPluginAndClosesWithDone)
{
    std::wstring text = Str(CAboutDlg::BuildAboutText());
    EXPECT_NE(text.find(L"All trademarks are the property of their respective owners."), std::wstring::npos);
    EXPECT_NE(text.find(L"Main idea:\r\n"), std::wstring::npos);
    const size_t plugin = text.find(L"Pages protocol:\r\n the tests\r\n\r\n");
    EXPECT_NE(plugin, std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 14), L"Thanks to All!");

    // With no plug-in the credits run straight into the thanks.
    g_App.pProtocolsManager = nullptr;
    std::wstring bare = Str(CAboutDlg::BuildAboutText());
    EXPECT_NE(bare.find(L"the JOV team\r\n\r\nThanks to All!"), std::wstring::npos);
    EXPECT_EQ(bare.find(L"protocol:"), std::wstring::npos);
    g_App.pProtocolsManager = manager.get();

    CAboutDlg about(nullptr);
    std::wstring build, product, shownText;
    DWORD done = 0;
    int keys = -1;
    CDialogScript script;
    script.When(L"About", [&](HWND dialog) {
        build = Field(dialog, IDC_ABOUT_BUILD);
        product = Field(dialog, IDC_ABOUT_PRODUCT);
        shownText = Field(dialog, IDC_ABOUT_TEXT);
        done = Platform::GetDoneButtonState(dialog);
        keys = static_cast<int>(SendMessageW(SHFindMenuBar(dialog), TB_BUTTONCOUNT, 0, 0));
        PostMessageW(dialog, WM_KEYDOWN, VK_F3, 1);
    });
    script.Start();
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(build, L"Build: 2020");
    EXPECT_EQ(product, L"JOV");
    EXPECT_EQ(shownText, text);
    EXPECT_EQ(done, static_cast<DWORD>(SHDB_SHOW));
    EXPECT_EQ(keys, 0) << "an empty bar: only the Done button";
}

TEST_F(DialogsTest, ContactDetailsShowTheContactsPagesAndReloadForThatContactOnly)
{
    const unsigned int account = AddPagesAccount();
    CL::CContactListImpl model(Bus());
    model.SetAccountDirectory(manager.get());
    g_App.pContactList = &model;
    const unsigned int contact = model.CreateContact(account, 0);
    const unsigned int other = model.CreateContact(account, 0);
    ASSERT_NE(contact, 0u);
    const std::wstring forContact = L"load Nick " + std::to_wstring(contact);
    int loadsAtOpen = 0, afterOther = 0, afterOwn = 0;
    bool openAfterUpdate = false;
    CDialogScript script;
    script
        .When(L"Contact details",
              [&](HWND window) {
                  loadsAtOpen = CPluginLog::CountLines(forContact);
                  RefreshContactDetails(other);
                  afterOther = CPluginLog::CountLines(forContact);
                  RefreshContactDetails(contact);
                  afterOwn = CPluginLog::CountLines(forContact);
                  PostCommand(window, IDC_UPDATE_COMMAND);
              })
        .When(L"Contact details", [&](HWND window) {
            openAfterUpdate = true;
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(ShowContactDetails(nullptr, contact), IDCANCEL);
    g_App.pContactList = nullptr;
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(GetOpenContactDetails(), nullptr);
    EXPECT_EQ(loadsAtOpen, 1);
    EXPECT_EQ(afterOther, 1);
    EXPECT_EQ(afterOwn, 2);
    EXPECT_TRUE(openAfterUpdate);
    EXPECT_EQ(CPluginLog::CountLines(L"store Note " + std::to_wstring(contact)), 1);
}
