// Tabbed dialogs with a plug-in's pages through the real protocols manager:
// loading, storing in tab order until a page refuses, "Apply", "Update",
// reloading while open, a plug-in that offers no page, and what is stored
// reaching "settings.jov" at once.
#include <gtest/gtest.h>

#include "contactlist/OptionsDlg.h"
#include "contactlist/UserDetailsDlg.h"
#include "core/AppGlobals.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "plugins/PagesPlugin.h"

namespace {

const wchar_t kOptions[] = L"Network settings";
const wchar_t kDetails[] = L"View/change my details";

// An options dialog the test can look into while it runs.
class COpenOptions : public COptionsDlg {
public:
    using COptionsDlg::COptionsDlg;
    HWND Edit(int page, int id) const { return GetDlgItem(GetPageWnd(page), id); }
};

std::wstring Text(HWND window)
{
    return CDialogScript::Text(window);
}

// As the user types: the edit tells its page of the change.
void Type(HWND edit, const wchar_t* text)
{
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t* c = text; *c; ++c)
        SendMessageW(edit, WM_CHAR, *c, 1);
}

} // namespace

TEST_F(DialogsTest, OptionsStoreEveryPageInTabOrderUntilOneRefuses)
{
    const unsigned int account = AddPagesAccount();
    manager->SetString(account, CJOVString(L"Login"), CJOVString(L"alice"));
    manager->SetString(account, CJOVString(L"Port"), CJOVString(L"5222"));
    COpenOptions dialog(nullptr, account);
    int pages = 0, currentAtWarning = -1;
    std::wstring loaded, warning, tabs;
    HWND focusAfterWarning = nullptr, serverEdit = nullptr;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND) {
                  // The page without a template gets no tab.
                  pages = dialog.GetPageCount();
                  for (int i = 0; i < pages; ++i)
                      tabs += Str(dialog.GetTabTitle(i)) + L" ";
                  loaded = Text(dialog.Edit(0, IDC_LOGIN));
                  SetWindowTextW(dialog.Edit(0, IDC_LOGIN), L"bob");
                  SetWindowTextW(dialog.Edit(1, IDC_SERVER), L"bad");
                  PostCommand(dialog.GetHwnd(), IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  currentAtWarning = dialog.GetCurrentPage();
                  PostCommand(box, IDOK);
              })
        .When(kOptions,
              [&](HWND) {
                  focusAfterWarning = GetFocus();
                  serverEdit = dialog.Edit(1, IDC_SERVER);
                  SetWindowTextW(dialog.Edit(1, IDC_SERVER), L"jabber.example");
                  PostCommand(dialog.GetHwnd(), IDOK);
              });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(script.GaveUp());

    EXPECT_EQ(pages, 3);
    EXPECT_EQ(tabs, L"Login Server Port ");
    EXPECT_EQ(loaded, L"alice");
    EXPECT_EQ(warning, L"Server is wrong");
    EXPECT_EQ(currentAtWarning, 1) << "the refusing page is shown";
    EXPECT_EQ(focusAfterWarning, serverEdit) << "on the control the page named";

    // First round: Login stored, Server refused, Port not asked. Second round:
    // all three, once each: ending the dialog stores no second time.
    const std::wstring id = L" " + std::to_wstring(account);
    EXPECT_EQ(CPluginLog::CountLines(L"store Login" + id), 2);
    EXPECT_EQ(CPluginLog::CountLines(L"refuse Server" + id), 1);
    EXPECT_EQ(CPluginLog::CountLines(L"store Server" + id), 1);
    EXPECT_EQ(CPluginLog::CountLines(L"store Port" + id), 1);
    EXPECT_LT(CPluginLog::FindLine(L"refuse Server" + id), CPluginLog::FindLine(L"store Port" + id));
    EXPECT_EQ(Setting(account, L"Login"), L"bob");
    EXPECT_EQ(Setting(account, L"Server"), L"jabber.example");
    EXPECT_EQ(Setting(account, L"Port"), L"5222");
}

TEST_F(DialogsTest, ARefusalNamingNoControlOfThePageStillTellsTheUser)
{
    const unsigned int account = AddPagesAccount();
    COpenOptions dialog(nullptr, account);
    std::wstring warning;
    bool stillOpen = false;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND) {
                  SetWindowTextW(dialog.Edit(1, IDC_SERVER), L"absent");
                  PostCommand(dialog.GetHwnd(), IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  PostCommand(box, IDOK);
              })
        .When(kOptions, [&](HWND window) {
            stillOpen = IsWindowVisible(window) != 0;
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(warning, L"Nothing to point at");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(CPluginLog::Count(L"store Port"), 0);
}

TEST_F(DialogsTest, ApplyStoresAndStaysOpenAndCancelDropsTheRest)
{
    const unsigned int account = AddPagesAccount();
    COpenOptions dialog(nullptr, account);
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND window) {
                  SetWindowTextW(dialog.Edit(0, IDC_LOGIN), L"carol");
                  PostCommand(window, IDC_APPLY_COMMAND);
              })
        .When(kOptions, [&](HWND window) {
            SetWindowTextW(dialog.Edit(0, IDC_LOGIN), L"dave");
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(Setting(account, L"Login"), L"carol");
    EXPECT_EQ(CPluginLog::Count(L"store Login"), 1);
}

TEST_F(DialogsTest, AnAccountWhosePluginOffersNoPageOpensNothing)
{
    const unsigned int account = AddPagesAccount();
    BYTE none = 1;
    manager->SetByte(account, CJOVString(L"No pages"), &none);
    const DWORD start = GetTickCount();
    EXPECT_EQ(ShowOptionsDlg(nullptr, account), IDCANCEL);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(CPluginLog::Count(L"load "), 0);
}

TEST_F(DialogsTest, OwnDetailsReloadOnlyUneditedPagesAndUpdateStoresStayingOpen)
{
    const unsigned int account = AddPagesAccount();
    const unsigned int other = AddPagesAccount();
    manager->SetString(account, CJOVString(L"Nick"), CJOVString(L"n1"));
    manager->SetString(account, CJOVString(L"Note"), CJOVString(L"first"));
    const std::wstring id = L" " + std::to_wstring(account);
    std::wstring nickAfterReload, noteAfterReload, nickAfterUpdate, noteAfterUpdate;
    int loadsBefore = 0, loadsAfterOther = 0;
    bool openAfterUpdate = false;
    CDialogScript script;
    script
        .When(kDetails,
              [&](HWND) {
                  CUserDetailsDlg* dialog = GetOpenUserDetails();
                  // The user types into the note; then new details arrive.
                  Type(GetDlgItem(dialog->GetPageWnd(1), IDC_NOTE), L"typed");
                  manager->SetString(account, CJOVString(L"Nick"), CJOVString(L"n2"));
                  manager->SetString(account, CJOVString(L"Note"), CJOVString(L"second"));
                  loadsBefore = CPluginLog::Count(L"load ");
                  RefreshUserDetails(other);
                  loadsAfterOther = CPluginLog::Count(L"load ");
                  RefreshUserDetails(account);
                  nickAfterReload = Text(GetDlgItem(dialog->GetPageWnd(0), IDC_NICK));
                  noteAfterReload = Text(GetDlgItem(dialog->GetPageWnd(1), IDC_NOTE));
                  PostCommand(dialog->GetHwnd(), IDC_UPDATE_COMMAND);
              })
        .When(kDetails, [&](HWND window) {
            openAfterUpdate = IsWindowVisible(window) != 0;
            // Stored, so the note is no longer the user's own edit.
            manager->SetString(account, CJOVString(L"Nick"), CJOVString(L"n3"));
            manager->SetString(account, CJOVString(L"Note"), CJOVString(L"third"));
            RefreshUserDetails(account);
            CUserDetailsDlg* dialog = GetOpenUserDetails();
            nickAfterUpdate = Text(GetDlgItem(dialog->GetPageWnd(0), IDC_NICK));
            noteAfterUpdate = Text(GetDlgItem(dialog->GetPageWnd(1), IDC_NOTE));
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(ShowUserDetails(nullptr, account), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(GetOpenUserDetails(), nullptr);

    EXPECT_EQ(loadsAfterOther, loadsBefore) << "another account's details reload nothing";
    EXPECT_EQ(nickAfterReload, L"n2");
    EXPECT_EQ(noteAfterReload, L"typed");
    EXPECT_TRUE(openAfterUpdate);
    EXPECT_EQ(CPluginLog::CountLines(L"store Note" + id), 1);
    EXPECT_EQ(nickAfterUpdate, L"n3");
    EXPECT_EQ(noteAfterUpdate, L"third");
}

TEST_F(DialogsTest, WhatTheDialogsStoreIsInTheFileAtOnceAndWhatTheyDropIsNot)
{
    // The program's store: the one the dialogs save.
    g_App.pDatabase = Store();
    const unsigned int account = AddPagesAccount();
    COpenOptions options(nullptr, account);
    std::string afterApply;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND window) {
                  SetWindowTextW(options.Edit(0, IDC_LOGIN), L"erin");
                  PostCommand(window, IDC_APPLY_COMMAND);
              })
        .When(kOptions, [&](HWND window) {
            afterApply = SavedBytes();
            SetWindowTextW(options.Edit(0, IDC_LOGIN), L"frank");
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDCANCEL);
    EXPECT_NE(afterApply.find("erin"), std::string::npos) << "\"Apply\" saved nothing";
    EXPECT_EQ(SavedBytes().find("frank"), std::string::npos) << "\"Cancel\" saved";

    std::string afterUpdate;
    CDialogScript details;
    details
        .When(kDetails,
              [&](HWND) {
                  CUserDetailsDlg* dialog = GetOpenUserDetails();
                  SetWindowTextW(GetDlgItem(dialog->GetPageWnd(1), IDC_NOTE), L"kept here");
                  PostCommand(dialog->GetHwnd(), IDC_UPDATE_COMMAND);
              })
        .When(kDetails, [&](HWND window) {
            afterUpdate = SavedBytes();
            PostCommand(window, IDCANCEL);
        });
    details.Start();
    ShowUserDetails(nullptr, account);
    g_App.pDatabase = nullptr;
    EXPECT_NE(afterUpdate.find("kept here"), std::string::npos) << "\"Update\" saved nothing";
}
