// JOV.exe as a user starts and quits it, followed from outside through its
// debug output: the scheme's start-up sound, the tray icon of the overall
// status, and the alert and notification settings in "settings.jov".
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ServiceIds.h"
#include "alerts/ProgramFolder.h"
#include "core/settings/SettingsFile.h"
#include "notify/DebuggedProgram.h"

namespace {

// A tenth of a second of a 440 Hz tone: 8 kHz, 8-bit mono PCM.
std::string ShortWave()
{
    const unsigned rate = 8000, samples = 800;
    auto le = [](unsigned value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    std::string data;
    for (unsigned i = 0; i < samples; ++i)
        data += static_cast<char>((i * 440 * 2 / rate) % 2 ? 0xC0 : 0x40);
    return "RIFF" + le(36 + samples, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4) + le(rate, 4) +
           le(1, 2) + le(8, 2) + "data" + le(samples, 4) + data;
}

} // namespace

TEST(ProgramRun, PlaysTheStartUpSoundShowsTheTrayIconAndKeepsItsSettings)
{
    CDebuggedProgram program;
    ASSERT_TRUE(program.Prepare());
    std::wstring scheme = program.Folder() + L"\\Sounds\\JOV PDA sounds\\";
    CreateDirectoryW((program.Folder() + L"\\Sounds").c_str(), nullptr);
    CreateDirectoryW(scheme.c_str(), nullptr);
    CProgramFolder::WriteFile(scheme + L"_sounds.ini", SchemeIni("startup.wav"));
    CProgramFolder::WriteFile(scheme + L"startup.wav", ShortWave());
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
    EXPECT_LT(program.WaitForLine("JOV trace:", 0), 0) << "no trace unless asked for";

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

// With JOV_TRACE set, the start's phases and its hand-overs between threads
// reach the debug output, in the order they happened, once the program is idle.
TEST(ProgramRun, TheTraceAskedForNamesTheStartsPhasesInOrder)
{
    CDebuggedProgram program;
    ASSERT_TRUE(program.Prepare());
    SetEnvironmentVariableW(L"JOV_TRACE", L"1");
    const bool started = program.Start();
    SetEnvironmentVariableW(L"JOV_TRACE", nullptr);
    ASSERT_TRUE(started);
    EXPECT_GE(program.WaitForLine("] list painted", 20000), 0);

    // One write may hold several lines.
    std::vector<std::string> lines;
    for (const std::string& written : program.Lines()) {
        size_t start = 0;
        for (size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(written.substr(start, end - start));
        if (start < written.size())
            lines.push_back(written.substr(start));
    }
    const std::vector<std::string> phases = {"WinMain", "store read", "main window made", "loaded", "start-up done"};
    size_t next = 0;
    double last = 0;
    bool handOver = false;
    for (const std::string& line : lines) {
        double ms = -1;
        char text[128] = "";
        if (std::sscanf(line.c_str(), "JOV trace: %lf ms [%*[0-9a-f]] %127[^\n]", &ms, text) != 2)
            continue;
        handOver = handOver || std::string(text).rfind("CLCtrl <- Loaded: queued ", 0) == 0;
        if (next < phases.size() && phases[next] == text) {
            EXPECT_GE(ms, last) << text;
            last = ms;
            ++next;
        }
    }
    EXPECT_EQ(next, phases.size()) << "phases seen in order: " << next;
    EXPECT_TRUE(handOver) << "the control's \"Loaded\", handed to its thread";

    HWND preferences = program.WaitForWindow(L"Preferences", 20000);
    ASSERT_NE(preferences, nullptr);
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    HWND main = program.WaitForWindow(L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(30000));
}
