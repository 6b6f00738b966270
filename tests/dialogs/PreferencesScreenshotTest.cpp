// Pictures of the preferences' own pages and of the file picker in both
// modes, for a person to look at: prefs-<page>-... and filepicker-....
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "contactlist/PreferencesDlg.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/SelectFileDlg.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/alerts/SoundSchemes.h"
#include "dialogs/FakePreferencesOwners.h"
#include "dialogs/ScreenshotFixture.h"
#include "dialogs/TestFiles.h"

namespace {

class PrefsScreenshotTest : public ScreenshotTest {
protected:
    void SetUp() override
    {
        ScreenshotTest::SetUp();
        area = L"prefs";
        for (const wchar_t* folder : {L"Skins", L"Skins\\JOV PDA skin", L"Skins\\Night", L"Smilies",
                                      L"Smilies\\JOV PDA smilies", L"Langs", L"Sounds", L"Sounds\\JOV PDA sounds"})
            tree.MakeFolder(folder);
        tree.Write(L"Skins\\JOV PDA skin\\icolors.ini", "");
        tree.Write(L"Skins\\Night\\icolors.ini", "");
        tree.Write(L"Smilies\\JOV PDA smilies\\_define.ini", "");
        tree.Write(L"Langs\\JOV_English.dll", "");
        tree.Write(L"Langs\\JOV_Russian.dll", "");
        tree.Write(L"Sounds\\JOV PDA sounds\\_sounds.ini",
                   "[Sounds]\r\nStartup=startup.wav\r\nIncoming=incoming.wav\r\nSent=sent.wav\r\nOnline=online.wav\r\n");

        owners.programFolder = tree.Jov();
        owners.skin.skin = CJOVString(L"JOV PDA skin");
        owners.skin.smilies = CJOVString(L"JOV PDA smilies");
        owners.skin.language = CJOVString(L"English");
        owners.proxy.proxyType = JOVSockets::kProxySocks5;
        owners.proxy.proxyHost = CJOVString(L"proxy.example.org");
        owners.proxy.proxyPort = 1080;
        owners.proxy.proxyAuth = true;
        owners.proxy.proxyLogin = CJOVString(L"alice");
        owners.proxy.proxyPassword = CJOVString(L"secret");
        owners.bytes[L"Full screen"] = 1;
        Alert::AlertEnvironment environment;
        environment.programFolder = tree.Jov();
        alerts = std::make_unique<Alert::CAlertManagerImpl>(&Bus(), environment);
        alerts->SetAlertSound(Alert::kAlertMessageSent, CJOVString(), 0);
        owners.alerts = alerts.get();
        owners.alertOptions = alerts.get();
        SetPreferencesOwners(&owners);
    }
    void TearDown() override
    {
        SetPreferencesOwners(nullptr);
        alerts.reset();
        ScreenshotTest::TearDown();
    }

    CTestTree tree;
    CFakePreferencesOwners owners;
    std::unique_ptr<Alert::CAlertManagerImpl> alerts;
};

} // namespace

TEST_F(PrefsScreenshotTest, EachOfTheProgramsOwnPages)
{
    const wchar_t* names[] = {L"general", L"contactlist", L"events", L"messaging",
                              L"history", L"sounds",      L"interface", L"connection"};
    for (int page = 0; page < 8; ++page) {
        CPreferencesDlg preferences(nullptr, page);
        Shoot(names[page], L"Preferences", [&] { return preferences.DoModal(); }, [&](HWND) {
            if (page == 5) {
                HWND list = GetDlgItem(preferences.GetPageWnd(page), IDC_SOUNDS_LIST);
                LVITEMW state = {};
                state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
            }
        });
    }
}

TEST_F(PrefsScreenshotTest, TheFilePickerInBothModes)
{
    area = L"filepicker";
    tree.Write(L"Sounds\\JOV PDA sounds\\incoming.wav", std::string(3000, 'w'));
    tree.Write(L"Sounds\\JOV PDA sounds\\online.wav", std::string(700, 'w'));
    tree.Write(L"Sounds\\JOV PDA sounds\\sent.wav", std::string(2100000, 'w'));
    tree.MakeFolder(L"Sounds\\JOV PDA sounds\\Old");
    tree.Write(L"Sounds\\JOV PDA sounds\\history of alice.txt", std::string(1500, 't'));
    CSelectFileDlg::SetChosenPath(tree.Jov(L"Sounds\\JOV PDA sounds\\incoming.wav"));
    CSelectFileDlg open(nullptr, L"*.wav;", 1);
    Shoot(L"open", L"Select file", [&] { return open.DoModal(); }, [&](HWND dialog) {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    });

    CSelectFileDlg save(nullptr, L"*.txt;*.wav;", 0);
    Shoot(L"save", L"Select file", [&] { return save.DoModal(); }, [&](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDM_FILE_DETAILS_VIEW, 0);
        SetDlgItemTextW(dialog, IDC_FILE_NAME, L"history");
    });
    // The view is kept for the next opening: back to the list for the other tests.
    CSelectFileDlg reset(nullptr, L"*.wav;", 1);
    CDialogScript script;
    script.When(L"Select file", [&](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDM_FILE_LIST_VIEW, 0);
        PostCommand(dialog, IDCANCEL);
    });
    script.Start();
    reset.DoModal();
    EXPECT_EQ(CSelectFileDlg::GetView(), 0);
}
