// The preferences' own pages against owners the test sets: what each page
// shows of its owner's values, which enabling rules hold, and what reaches
// the owners on "Apply" and OK (an unchanged value calls no setter; numbers
// are brought into range; a bad proxy port is refused).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "Sound.h"
#include "contactlist/PageControls.h"
#include "contactlist/PreferencesDlg.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/SelectFileDlg.h"
#include "core/alerts/SoundSchemes.h"
#include "core/alerts/AlertManagerImpl.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "dialogs/FakePreferencesOwners.h"
#include "dialogs/TestFiles.h"

namespace {

const wchar_t kPreferences[] = L"Preferences";
const UINT kApply = 32774;

enum Page { General, ContactList, Events, Messaging, History, Sounds, Interface, Connection, Accounts };

typedef std::function<void(HWND dialog, HWND page)> Step;

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

bool Enabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

// Sets a check box as a tap would, and tells the page.
void Toggle(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Choose(HWND page, int id, int index)
{
    SendDlgItemMessageW(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

int Selection(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

std::wstring ComboText(HWND page, int id, int index)
{
    wchar_t text[300] = {};
    SendDlgItemMessageW(page, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboCount(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0));
}

std::wstring ItemText(HWND page, int id)
{
    wchar_t text[300] = {};
    GetDlgItemTextW(page, id, text, 300);
    return text;
}

std::wstring Cell(HWND list, int row, int column)
{
    wchar_t text[300] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 300;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void SelectRow(HWND list, int row)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// A scheme folder under "Sounds" whose "_sounds.ini" names files.
void WriteScheme(const CTestTree& tree, const std::wstring& scheme, const std::vector<std::string>& files)
{
    tree.MakeFolder(L"Sounds");
    tree.MakeFolder(L"Sounds\\" + scheme);
    std::string ini = "[Sounds]\r\n";
    for (size_t i = 0; i < files.size(); ++i)
        ini += "s" + std::to_string(i) + "=" + files[i] + "\r\n";
    tree.Write(L"Sounds\\" + scheme + L"\\_sounds.ini", ini);
}

std::vector<std::wstring> s_played;

BOOL WINAPI RecordPlay(LPCWSTR sound, HMODULE, DWORD flags)
{
    s_played.push_back(std::wstring(sound ? sound : L"") + L" " + std::to_wstring(flags));
    return TRUE;
}

class PreferencesPagesTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        owners.programFolder = tree.Jov();
        SetPreferencesOwners(&owners);
    }
    void TearDown() override
    {
        SetPreferencesOwners(nullptr);
        DialogsTest::TearDown();
    }

    // Opens the preferences on page and runs the steps, each with the
    // dialog and that page; then ends with endCommand.
    int Run(int page, const std::vector<Step>& steps, UINT endCommand = IDOK)
    {
        CPreferencesDlg preferences(nullptr, page);
        CDialogScript script;
        for (const Step& step : steps)
            script.When(kPreferences, [&, step](HWND dialog) { step(dialog, preferences.GetPageWnd(page)); });
        script.When(kPreferences, [&](HWND dialog) { PostCommand(dialog, endCommand); });
        script.Start();
        const int result = preferences.DoModal();
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(script.GaveUp());
        return result;
    }

    CTestTree tree;
    CFakePreferencesOwners owners;
};

} // namespace

TEST_F(PreferencesPagesTest, NinePagesInTabOrderWithAccountsLast)
{
    std::vector<std::wstring> titles;
    int current = -1;
    CPreferencesDlg preferences(nullptr, 0);
    CDialogScript script;
    script.When(kPreferences, [&](HWND dialog) {
        for (int i = 0; i < preferences.GetPageCount(); ++i)
            titles.push_back(Str(preferences.GetTabTitle(i)));
        current = preferences.GetCurrentPage();
        PostCommand(dialog, IDCANCEL);
    });
    script.Start();
    EXPECT_EQ(preferences.DoModal(), IDCANCEL);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"General", L"Contact list", L"Events", L"Messaging", L"History",
                                                 L"Sounds", L"Interface", L"Connection", L"Accounts"}));
    EXPECT_EQ(current, 0);
    EXPECT_TRUE(owners.calls.empty()) << "Cancel stores nothing";
}

TEST_F(PreferencesPagesTest, GeneralShowsTheTrayAndItsThreeValuesAndStoresThem)
{
    owners.tray = false;
    owners.bytes[L"Full screen"] = 1;
    bool tray = true, noSleep = true, fullScreen = false, wakeUp = true;
    Run(General, {[&](HWND, HWND page) {
                      tray = Checked(page, IDC_GENERAL_TRAY);
                      noSleep = Checked(page, IDC_GENERAL_NO_SLEEP);
                      fullScreen = Checked(page, IDC_GENERAL_FULL_SCREEN);
                      wakeUp = Checked(page, IDC_GENERAL_WAKE_UP);
                      Toggle(page, IDC_GENERAL_TRAY, true);
                      Toggle(page, IDC_GENERAL_WAKE_UP, true);
                  }});
    EXPECT_FALSE(tray);
    EXPECT_FALSE(noSleep) << "missing: 0";
    EXPECT_TRUE(fullScreen);
    EXPECT_FALSE(wakeUp);
    EXPECT_TRUE(owners.tray) << "through the tray's setter";
    EXPECT_EQ(owners.bytes[L"Don't sleep"], 0);
    EXPECT_EQ(owners.bytes[L"Full screen"], 1);
    EXPECT_EQ(owners.bytes[L"Wake up"], 1);
}

TEST_F(PreferencesPagesTest, ContactListCallsTheControlOnlyForWhatChanged)
{
    owners.bytes[L"CL mode"] = 1;
    owners.bytes[L"CLCtrl columns"] = 2;
    int mode = -1, columns = -1;
    Run(ContactList, {[&](HWND dialog, HWND page) {
                          mode = Selection(page, IDC_CL_MODE);
                          columns = Selection(page, IDC_CL_COLUMNS);
                          Toggle(page, IDC_CL_STATUS_ONLY, true);
                          PostCommand(dialog, kApply);
                      }});
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(columns, 1) << "two columns";
    const auto listCalls = {L"byte CL", L"SetCL", L"byte Status"};
    EXPECT_EQ(owners.CallsOf(listCalls), (std::vector<std::wstring>{L"byte CL online only=0", L"SetCLOnlineOnly 0",
                                                       L"byte Status only=1", L"byte CL online only=0",
                                                       L"SetCLOnlineOnly 0", L"byte Status only=1"}))
        << "Apply, then OK: online-only every time, mode and columns never";

    owners.calls.clear();
    Run(ContactList, {[&](HWND, HWND page) {
            Choose(page, IDC_CL_MODE, 0);
            Choose(page, IDC_CL_COLUMNS, 3);
        }});
    EXPECT_EQ(owners.CallsOf(listCalls), (std::vector<std::wstring>{L"byte CL mode=0", L"SetCLMode 0", L"byte CL online only=0",
                                                       L"SetCLOnlineOnly 0", L"byte CLCtrl columns=4",
                                                       L"SetCLColumns 4", L"byte Status only=1"}));
}

TEST_F(PreferencesPagesTest, ContactListValuesOutOfRangeKeepTheModeAndClampTheColumns)
{
    // Neither stored value is one the combos hold: nothing is selected.
    owners.bytes[L"CL mode"] = 7;
    owners.bytes[L"CLCtrl columns"] = 9;
    owners.columns = 3;
    int mode = 0, columns = 0;
    Run(ContactList, {[&](HWND, HWND page) {
            mode = Selection(page, IDC_CL_MODE);
            columns = Selection(page, IDC_CL_COLUMNS);
        }});
    EXPECT_EQ(mode, CB_ERR);
    EXPECT_EQ(columns, CB_ERR);
    EXPECT_FALSE(owners.Called(L"SetCLMode")) << "no mode chosen: the mode stays";
    EXPECT_TRUE(owners.Called(L"SetCLColumns 1")) << "never 0 columns";
    EXPECT_EQ(owners.bytes[L"CLCtrl columns"], 1);
}

TEST_F(PreferencesPagesTest, EventsCopiesTheSevenOptionsAndGreysWhatTheyTurnOff)
{
    owners.notifications.signOff = TRUE;
    owners.notifications.showMsg = FALSE;
    bool signOff = false, showMsg = true, occupiedOn = true, signOnOn = false, signOnOff = true, occupiedAfter = false;
    Run(Events, {[&](HWND, HWND page) {
                     signOff = Checked(page, IDC_EVENTS_SIGN_OFF);
                     showMsg = Checked(page, IDC_EVENTS_SHOW_MSG);
                     occupiedOn = Enabled(page, IDC_EVENTS_IF_OCCUPIED);
                     signOnOn = Enabled(page, IDC_EVENTS_SIGN_ON);
                     Toggle(page, IDC_EVENTS_TURN_OFF, true);
                     signOnOff = Enabled(page, IDC_EVENTS_SIGN_ON_TEXT);
                     Toggle(page, IDC_EVENTS_TURN_OFF, false);
                     Toggle(page, IDC_EVENTS_SHOW_MSG, true);
                     occupiedAfter = Enabled(page, IDC_EVENTS_IF_OCCUPIED_TEXT);
                     Toggle(page, IDC_EVENTS_SIGN_ON, true);
                     Toggle(page, IDC_EVENTS_IF_ACTIVE, false);
                 }});
    EXPECT_TRUE(signOff);
    EXPECT_FALSE(showMsg);
    EXPECT_FALSE(occupiedOn) << "no tray messages: their two options are off";
    EXPECT_TRUE(signOnOn);
    EXPECT_FALSE(signOnOff) << "events off: all below are off";
    EXPECT_TRUE(occupiedAfter);
    const NotificationOptions& options = owners.notifications;
    EXPECT_EQ(options.turnOff, FALSE);
    EXPECT_EQ(options.signOn, TRUE);
    EXPECT_EQ(options.signOff, TRUE);
    EXPECT_EQ(options.dontBlink, FALSE);
    EXPECT_EQ(options.showMsg, TRUE);
    EXPECT_EQ(options.dontShowIfOccupied, FALSE);
    EXPECT_EQ(options.dontShowIfActive, FALSE);
}

TEST_F(PreferencesPagesTest, MessagingButtonsOpenTheThreeSettingsDialogsOverThePage)
{
    HWND shown = nullptr;
    Run(Messaging, {[&](HWND, HWND page) {
                        shown = page;
                        Click(page, IDC_MESSAGING_HISTORY);
                        Click(page, IDC_MESSAGING_EDITOR);
                        Click(page, IDC_MESSAGING_CONTROLS);
                    }},
        IDCANCEL);
    EXPECT_EQ(owners.calls, (std::vector<std::wstring>{L"OpenMessagingSettings 0", L"OpenMessagingSettings 1",
                                                       L"OpenMessagingSettings 2"}));
    EXPECT_EQ(owners.messagingParent, shown);
}

TEST_F(PreferencesPagesTest, HistoryKeepsTheCountWithinOneToTen)
{
    owners.saving[1] = false;
    owners.historyView = {1, 4};
    std::wstring count;
    bool notInListOn = false, notInListOff = true, countOff = true;
    Run(History, {[&](HWND, HWND page) {
                      count = ItemText(page, IDC_HISTORY_COUNT);
                      notInListOn = Enabled(page, IDC_HISTORY_NOT_IN_LIST);
                      Toggle(page, IDC_HISTORY_SAVE, false);
                      notInListOff = Enabled(page, IDC_HISTORY_NOT_IN_LIST_TEXT);
                      Toggle(page, IDC_HISTORY_SHOW, false);
                      countOff = Enabled(page, IDC_HISTORY_COUNT_SPIN);
                      SetDlgItemTextW(page, IDC_HISTORY_COUNT, L"0");
                  }});
    EXPECT_EQ(count, L"4");
    EXPECT_TRUE(notInListOn);
    EXPECT_FALSE(notInListOff);
    EXPECT_FALSE(countOff);
    EXPECT_EQ(owners.CallsOf({L"SetHistory"}), (std::vector<std::wstring>{L"SetHistorySaving 0=0", L"SetHistorySaving 1=0",
                                                       L"SetHistoryView 0,1"}));

    for (const auto& typed : std::vector<std::pair<std::wstring, int>>{{L"25", 10}, {L"7", 7}, {L"", 1}}) {
        owners.calls.clear();
        Run(History, {[&](HWND, HWND page) { SetDlgItemTextW(page, IDC_HISTORY_COUNT, typed.first.c_str()); }});
        EXPECT_EQ(owners.historyView.historyCount, typed.second) << Str(CJOVString(typed.first.c_str()));
    }
}

TEST_F(PreferencesPagesTest, SoundsShowsTheAlertsAndChangesTheirFilesFromSchemes)
{
    WriteScheme(tree, kDefaultSoundScheme, {"d1.wav", "d2.wav", "d3.wav", "d4.wav"});
    WriteScheme(tree, L"Short", {"s1.wav", "s2.wav"});
    Alert::AlertEnvironment environment;
    environment.programFolder = tree.Jov();
    Alert::CAlertManagerImpl alerts(&Bus(), environment);
    Alert::AlertSettings settings = alerts.GetSettings();
    settings.scheme = CJOVString(L"Gone");
    alerts.SetSettings(settings);
    alerts.SetAlertSound(Alert::kAlertIncomingMessage, tree.Jov(L"old.wav"), 0);
    Alert::AlertInfo plugin;
    plugin.owner = kPagesProtocol;
    plugin.name = 999;
    plugin.wavPath = tree.Jov(L"plugin.wav");
    plugin.use = 1;
    const unsigned int pluginAlert = alerts.RegisterAlert(&plugin);
    owners.alerts = &alerts;
    owners.alertOptions = &alerts;
    Platform::PlaySoundFn previous = Platform::SetSoundPlayer(RecordPlay);
    s_played.clear();

    int rows = 0, schemes = 0;
    std::wstring firstName, secondFile, chosen, afterShort, thirdAfterShort, fifthAfterShort;
    bool secondChecked = true;
    Run(Sounds,
        {[&](HWND, HWND page) {
             HWND list = GetDlgItem(page, IDC_SOUNDS_LIST);
             rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
             firstName = Cell(list, 0, 0);
             secondFile = Cell(list, 1, 1);
             secondChecked = ListView_GetCheckState(list, 1) != 0;
             schemes = ComboCount(page, IDC_SOUNDS_SCHEME);
             chosen = ComboText(page, IDC_SOUNDS_SCHEME, Selection(page, IDC_SOUNDS_SCHEME));
             SelectRow(list, 1);
             Click(page, IDC_SOUNDS_PLAY);
         },
         [&](HWND, HWND page) {
             HWND list = GetDlgItem(page, IDC_SOUNDS_LIST);
             // "Short" names two files: the rows past them keep theirs.
             Choose(page, IDC_SOUNDS_SCHEME, FindComboExact(page, IDC_SOUNDS_SCHEME, CJOVString(L"Short")));
             afterShort = Cell(list, 1, 1);
             thirdAfterShort = Cell(list, 2, 1);
             fifthAfterShort = Cell(list, 4, 1);
         }});
    Platform::SetSoundPlayer(previous);

    EXPECT_EQ(rows, 5) << "four of the program's and the plug-in's";
    EXPECT_EQ(firstName, L"JOV startup");
    EXPECT_EQ(secondFile, Str(tree.Jov(L"old.wav")));
    EXPECT_FALSE(secondChecked);
    EXPECT_EQ(schemes, 3) << "a scheme gone from the disk is still shown";
    EXPECT_EQ(chosen, L"Gone");
    ASSERT_EQ(s_played.size(), 1u);
    EXPECT_EQ(s_played[0], Str(tree.Jov(L"old.wav")) + L" " +
                               std::to_wstring(JOV_SND_ASYNC | JOV_SND_FILENAME | JOV_SND_NODEFAULT));
    EXPECT_EQ(afterShort, Str(tree.Jov(L"Sounds\\Short\\s2.wav")));
    EXPECT_EQ(thirdAfterShort, Str(tree.Jov(std::wstring(L"Sounds\\") + kDefaultSoundScheme + L"\\d3.wav")));
    EXPECT_EQ(fifthAfterShort, Str(tree.Jov(L"plugin.wav")));

    EXPECT_EQ(Str(alerts.GetSettings().scheme), L"Short");
    Alert::AlertInfo info;
    ASSERT_TRUE(alerts.GetAlert(Alert::kAlertIncomingMessage, &info));
    EXPECT_EQ(Str(info.wavPath), Str(tree.Jov(L"Sounds\\Short\\s2.wav")));
    EXPECT_EQ(info.use, 0);
    ASSERT_TRUE(alerts.GetAlert(pluginAlert, &info));
    EXPECT_EQ(Str(info.wavPath), Str(tree.Jov(L"plugin.wav")));
    EXPECT_EQ(info.use, 1);
}

TEST_F(PreferencesPagesTest, SoundsChangeMenuDisablesDefaultsAndPicksAFile)
{
    WriteScheme(tree, kDefaultSoundScheme, {"d1.wav", "d2.wav", "d3.wav", "d4.wav"});
    WriteScheme(tree, L"Loud", {"l1.wav", "l2.wav", "l3.wav", "l4.wav"});
    tree.Write(L"ding.wav", "RIFF");
    Alert::AlertEnvironment environment;
    environment.programFolder = tree.Jov();
    Alert::CAlertManagerImpl alerts(&Bus(), environment);
    Alert::AlertSettings settings = alerts.GetSettings();
    settings.scheme = CJOVString(L"Loud");
    alerts.SetSettings(settings);
    Alert::AlertInfo plugin;
    plugin.owner = kPagesProtocol;
    plugin.name = 999;
    plugin.wavPath = tree.Jov(L"plugin.wav");
    const unsigned int pluginAlert = alerts.RegisterAlert(&plugin);
    owners.alerts = &alerts;
    owners.alertOptions = &alerts;
    CSelectFileDlg::SetChosenPath(tree.Jov(L"nothing.wav"));

    // The menu's items from the top: "Select file...", "Default", "Disable sound".
    auto choose = [](int downs) {
        return [downs](HWND menu) {
            for (int i = 0; i < downs; ++i)
                PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
        };
    };
    HWND page = nullptr, list = nullptr;
    std::wstring disabled, picked, defaulted, pluginDefault;
    CPreferencesDlg preferences(nullptr, Sounds);
    CDialogScript script;
    script
        .When(kPreferences,
              [&](HWND) {
                  page = preferences.GetPageWnd(Sounds);
                  list = GetDlgItem(page, IDC_SOUNDS_LIST);
                  SelectRow(list, 0);
                  Click(page, IDC_SOUNDS_CHANGE);
              })
        .WhenMenu(choose(3))
        .When(kPreferences,
              [&](HWND) {
                  disabled = Cell(list, 0, 1);
                  Click(page, IDC_SOUNDS_CHANGE);
              })
        .WhenMenu(choose(1))
        .When(L"Select file",
              [&](HWND picker) {
                  HWND files = GetDlgItem(picker, IDC_FILE_LIST);
                  SelectRow(files, 1);  // after the folder "Sounds"
                  PostCommand(picker, IDM_FILE_OK);
              })
        .When(kPreferences,
              [&](HWND) {
                  picked = Cell(list, 0, 1);
                  Click(page, IDC_SOUNDS_CHANGE);
              })
        .WhenMenu(choose(2))
        .When(kPreferences,
              [&](HWND) {
                  defaulted = Cell(list, 0, 1);
                  SelectRow(list, 4);
                  Click(page, IDC_SOUNDS_CHANGE);
              })
        .WhenMenu(choose(2))
        .When(kPreferences, [&](HWND dialog) {
            pluginDefault = Cell(list, 4, 1);
            PostCommand(dialog, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(preferences.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(disabled, L"");
    EXPECT_EQ(picked, Str(tree.Jov(L"ding.wav")));
    EXPECT_EQ(defaulted, Str(tree.Jov(L"Sounds\\Loud\\l1.wav")));
    EXPECT_EQ(pluginDefault, Str(tree.Jov(L"plugin.wav"))) << "the scheme has no file for a fifth row";
    Alert::AlertInfo info;
    ASSERT_TRUE(alerts.GetAlert(pluginAlert, &info));
    EXPECT_EQ(Str(info.wavPath), Str(tree.Jov(L"plugin.wav"))) << "Cancel stores nothing";
}

TEST_F(PreferencesPagesTest, InterfaceListsSkinsSetsAndLanguagesAndClampsTheSmiliesCount)
{
    tree.MakeFolder(L"Skins");
    for (const wchar_t* skin : {L"Blue", L"Green"}) {
        tree.MakeFolder(std::wstring(L"Skins\\") + skin);
        tree.Write(std::wstring(L"Skins\\") + skin + L"\\icolors.ini", "");
    }
    tree.MakeFolder(L"Smilies");
    tree.MakeFolder(L"Smilies\\Faces");
    tree.Write(L"Smilies\\Faces\\_define.ini", "");
    owners.skin.skin = CJOVString(L"blue");  // case counts: no match
    owners.skin.smilies = CJOVString(L"Faces");
    owners.skin.smiliesNumber = 10;
    owners.skin.language = CJOVString(L"English");
    int skins = 0, skin = -1, smilies = -1;
    std::wstring number;
    Run(Interface, {[&](HWND, HWND page) {
                        skins = ComboCount(page, IDC_INTERFACE_SKIN);
                        skin = Selection(page, IDC_INTERFACE_SKIN);
                        smilies = Selection(page, IDC_INTERFACE_SMILIES);
                        number = ItemText(page, IDC_INTERFACE_MAX_SMILIES);
                        Choose(page, IDC_INTERFACE_SKIN, 1);
                        Toggle(page, IDC_INTERFACE_TEXT_SMILIES, true);
                        SetDlgItemTextW(page, IDC_INTERFACE_MAX_SMILIES, L"150");
                        Click(page, IDC_INTERFACE_COLORS);
                    }});
    EXPECT_EQ(skins, 2);
    EXPECT_EQ(skin, 0) << "no exact match: the first";
    EXPECT_EQ(smilies, 0);
    EXPECT_EQ(number, L"10");
    EXPECT_TRUE(owners.Called(L"OpenSkinColors Green")) << "the skin chosen in the box";
    EXPECT_EQ(Str(owners.skin.skin), L"Green");
    EXPECT_EQ(Str(owners.skin.smilies), L"Faces");
    EXPECT_EQ(owners.skin.textSmilies, TRUE);
    EXPECT_EQ(owners.skin.smiliesNumber, 99);
    EXPECT_EQ(Str(owners.skin.language), L"English") << "no language files: the language stays";
}

TEST_F(PreferencesPagesTest, InterfaceWithNoSkinsShowsTheCurrentOne)
{
    owners.skin.skin = CJOVString(L"Lost skin");
    std::wstring shown;
    Run(Interface, {[&](HWND, HWND page) {
                        shown = ComboText(page, IDC_INTERFACE_SKIN, Selection(page, IDC_INTERFACE_SKIN));
                    }},
        IDCANCEL);
    EXPECT_EQ(shown, L"Lost skin");
}

TEST_F(PreferencesPagesTest, ANewLanguageRetitlesTheTabsAndReloadsEveryPageButANewSkinDoesNot)
{
    tree.MakeFolder(L"Langs");
    tree.Write(L"Langs\\JOV_English.dll", "");
    tree.Write(L"Langs\\JOV_Pirate.dll", "");
    tree.MakeFolder(L"Skins");
    for (const wchar_t* skin : {L"Blue", L"Green"}) {
        tree.MakeFolder(std::wstring(L"Skins\\") + skin);
        tree.Write(std::wstring(L"Skins\\") + skin + L"\\icolors.ini", "");
    }
    owners.skin.skin = CJOVString(L"Blue");
    owners.skin.language = CJOVString(L"English");
    owners.onApplySkin = [&](const Skins::SkinChoice& choice) {
        if (Str(choice.language) == L"Pirate")
            services.texts[40] = L"Arr";
    };
    int loadsAfterSkin = 0, loadsAfterLanguage = 0;
    std::wstring titleAfterSkin, titleAfterLanguage;
    CPreferencesDlg preferences(nullptr, Interface);
    CDialogScript script;
    script
        .When(kPreferences,
              [&](HWND dialog) {
                  Choose(preferences.GetPageWnd(Interface), IDC_INTERFACE_SKIN, 1);
                  PostCommand(dialog, kApply);
              })
        .When(kPreferences,
              [&](HWND dialog) {
                  loadsAfterSkin = owners.trayReads;
                  titleAfterSkin = Str(preferences.GetTabTitle(General));
                  HWND page = preferences.GetPageWnd(Interface);
                  Choose(page, IDC_INTERFACE_LANGUAGE, FindComboExact(page, IDC_INTERFACE_LANGUAGE, CJOVString(L"Pirate")));
                  PostCommand(dialog, kApply);
              })
        .When(kPreferences, [&](HWND dialog) {
            loadsAfterLanguage = owners.trayReads;
            titleAfterLanguage = Str(preferences.GetTabTitle(General));
            PostCommand(dialog, IDCANCEL);
        });
    script.Start();
    preferences.DoModal();
    services.texts.erase(40);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(loadsAfterSkin, 1) << "the General page was loaded once";
    EXPECT_EQ(titleAfterSkin, L"General");
    EXPECT_EQ(loadsAfterLanguage, 2);
    EXPECT_EQ(titleAfterLanguage, L"Arr");
}

TEST_F(PreferencesPagesTest, ConnectionShowsTheProxyAndRefusesAPortThatIsNone)
{
    owners.proxy.proxyType = JOVSockets::kProxySocks5;
    owners.proxy.proxyHost = CJOVString(L"127.0.0.1");
    owners.proxy.proxyPort = 1080;
    owners.proxy.proxyAuth = false;
    owners.proxy.proxyLogin = CJOVString(L"me");
    int type = -1;
    std::wstring host, port, warning;
    bool loginOn = true, loginAfterAuth = false;
    CPreferencesDlg preferences(nullptr, Connection);
    HWND page = nullptr;
    CDialogScript script;
    script
        .When(kPreferences,
              [&](HWND dialog) {
                  page = preferences.GetPageWnd(Connection);
                  type = Selection(page, IDC_PROXY_TYPE);
                  host = ItemText(page, IDC_PROXY_HOST);
                  port = ItemText(page, IDC_PROXY_PORT);
                  loginOn = Enabled(page, IDC_PROXY_LOGIN);
                  Toggle(page, IDC_PROXY_AUTH, true);
                  loginAfterAuth = Enabled(page, IDC_PROXY_PASSWORD);
                  SetDlgItemTextW(page, IDC_PROXY_PORT, L"70000");
                  PostCommand(dialog, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  PostMessageW(box, WM_COMMAND, IDOK, 0);
              })
        .When(kPreferences,
              [&](HWND dialog) {
                  SetDlgItemTextW(page, IDC_PROXY_PORT, L"0");
                  PostCommand(dialog, IDOK);
              })
        .When(L"Warning", [&](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); })
        .When(kPreferences,
              [&](HWND dialog) {
                  SetDlgItemTextW(page, IDC_PROXY_PORT, L"8080");
                  SetDlgItemTextW(page, IDC_PROXY_PASSWORD, std::wstring(300, L'p').c_str());
                  PostCommand(dialog, IDOK);
              });
    script.Start();
    EXPECT_EQ(preferences.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(type, 3);
    EXPECT_EQ(host, L"127.0.0.1");
    EXPECT_EQ(port, L"1080");
    EXPECT_FALSE(loginOn) << "no authentication: no login";
    EXPECT_TRUE(loginAfterAuth);
    EXPECT_EQ(warning, L"Not valid host port");
    EXPECT_EQ(owners.CallsOf({L"SetProxySettings"}).size(), 1u) << "only the good port was stored";
    EXPECT_EQ(owners.proxy.proxyPort, 8080);
    EXPECT_TRUE(owners.proxy.proxyAuth);
    EXPECT_EQ(Str(owners.proxy.proxyLogin), L"me");
    EXPECT_EQ(owners.proxy.proxyPassword.GetLength(), 256);
}

TEST_F(PreferencesPagesTest, ConnectionWithoutAProxyTakesAnyTypeItCannotShowAsNone)
{
    owners.proxy.proxyType = 7;
    owners.proxy.proxyPort = 0;
    int type = -1;
    bool hostOn = true;
    Run(Connection, {[&](HWND, HWND page) {
                         type = Selection(page, IDC_PROXY_TYPE);
                         hostOn = Enabled(page, IDC_PROXY_HOST);
                     }});
    EXPECT_EQ(type, 0);
    EXPECT_FALSE(hostOn);
    EXPECT_EQ(owners.CallsOf({L"SetProxySettings"}).size(), 1u) << "port 0 is no fault without a proxy";
    EXPECT_EQ(owners.proxy.proxyType, 0);
    EXPECT_EQ(owners.proxy.proxyPort, 0);
}
