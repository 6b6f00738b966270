// JOV.exe as a user starts and quits it, followed from outside through its
// debug output: the scheme's start-up sound, the tray icon of the overall
// status, and the alert and notification settings in "settings.jov".
#include <gtest/gtest.h>

#include "ServiceIds.h"
#include "alerts/ProgramFolder.h"
#include "core/settings/SettingsFile.h"
#include "notify/DebuggedProgram.h"

TEST(ProgramRun, PlaysTheStartUpSoundShowsTheTrayIconAndKeepsItsSettings)
{
    CDebuggedProgram program;
    ASSERT_TRUE(program.Prepare());
    std::wstring scheme = program.Folder() + L"\\Sounds\\JOV PDA sounds\\";
    CreateDirectoryW((program.Folder() + L"\\Sounds").c_str(), nullptr);
    CreateDirectoryW(scheme.c_str(), nullptr);
    CProgramFolder::WriteFile(scheme + L"_sounds.ini", SchemeIni("startup.wav"));
    ASSERT_TRUE(program.Start());

    std::wstring wideFolder = program.Folder();
    std::string folder(wideFolder.begin(), wideFolder.end());
    std::string played = "JOV: alert 1 played: PlaySoundW(\"" + folder + "\\Sounds\\JOV PDA sounds\\startup.wav\", 0x20013)";
    EXPECT_GE(program.WaitForLine(played, 20000), 0);
    int tray = program.WaitForLine("JOV: tray icon added: status 0", 20000);
    EXPECT_GE(tray, 0);

    HWND preferences = program.WaitForWindow(L"Preferences", 20000);
    ASSERT_NE(preferences, nullptr);
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    HWND main = program.WaitForWindow(L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_GT(program.WaitForLine("JOV: tray icon removed", 0, tray), tray) << "removed first at shut-down";

    Database::SectionMap sections;
    ASSERT_TRUE(Database::CSettingsFile(CJOVString((program.Folder() + L"\\settings.jov").c_str())).Load(sections));
    const NamedValueMap& alerts = sections[GUID_AlertManager.GetString()];
    for (const wchar_t* key : {L"Scheme", L"Standard Alerts", L"Disable Sounds", L"Disable Vibrate", L"Using Soft Mode"})
        EXPECT_NE(alerts.Find(CJOVString(key)), nullptr) << key;
    const NamedValue* stored = alerts.Find(CJOVString(L"Scheme"));
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->AsString() == CJOVString(L"JOV PDA sounds"));
    const NamedValueMap& gui = sections[GUID_GUI.GetString()];
    for (const wchar_t* key : {L"Turn off", L"Sign on", L"Sign off", L"Dont blinking", L"Show msg",
                               L"Dont show if occupied", L"Dont show if active"})
        EXPECT_NE(gui.Find(CJOVString(key)), nullptr) << key;
}
