// JOV.exe from a copy of the runnable tree with one ICQ account aimed at the
// scripted login and BOS servers on 127.0.0.1: the account's groups and
// contacts with their statuses in the list, a message that puts its contact
// first and blinking and lands in its history file, and a stranger's message
// under "Not in list". Pictures of the list in both views and of a contact's
// menu are kept for a person to look at (cl-<what>-<qvga|vga>.png).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "OscarLogin.h"
#include "ScriptedOscarServer.h"
#include "ServiceIds.h"
#include "SoftKeyBar.h"
#include "app/RunningProgram.h"
#include "core/settings/JOVDatabase.h"
#include "dialogs/Screenshot.h"
#include "messaging/HistoryFormat.h"
#include "support/ScreenPixels.h"

namespace {

using OscarWire::Frame;

const int kStepTimeoutMs = 30000;
const wchar_t kListClass[] = L"Contact List Wnd Class";
const char kCarolsMessage[] = "Hello from Carol";
const wchar_t kBubbleClass[] = L"JOV Notification Bubble";
const wchar_t kBarClass[] = L"JOV Soft-key Bar";

std::vector<OscarWire::SsiItem> ServerList()
{
    using OscarWire::SsiBuddy;
    return {
        OscarWire::SsiGroup("", 0, {1, 2}),
        OscarWire::SsiGroup("Friends", 1, {1, 2, 3, 4}),
        SsiBuddy("111111", 1, 1, "Alice"),
        SsiBuddy("222222", 1, 2, "Bob"),
        SsiBuddy("333333", 1, 3, "Carol"),
        SsiBuddy("444444", 1, 4, "Dave"),
        OscarWire::SsiGroup("Work", 2, {5, 6}),
        SsiBuddy("555555", 2, 5, "Eve"),
        SsiBuddy("666666", 2, 6, "Frank"),
    };
}

Frame Present(const char* uin, unsigned int status)
{
    return OscarWire::UserOnline(uin, {{0x0006, OscarWire::Builder().U32(0x10000000 | status).Get()}});
}

// The servers of one program run after another: login, then the BOS server
// with the list, who is online, and two messages.
class CServers {
public:
    CServers() : m_login(kStepTimeoutMs), m_bos(kStepTimeoutMs)
    {
        m_bos.Ignore([this](const Frame&) { return m_online.load(); });
    }

    unsigned short LoginPort() const { return m_login.GetPort(); }
    bool Listening() const { return m_login.GetPort() && m_bos.GetPort(); }

    void AddSession()
    {
        ScriptIcqLogin(m_login, m_bos.GetPort());
        ScriptIcqBosToOnline(m_bos, ServerList(), m_online)
            .Send(Present("111111", 0x0000))
            .Send(Present("555555", 0x0000))
            .Send(Present("222222", 0x0001))
            .Send(OscarWire::MessageChannel1(1, 1, "333333", kCarolsMessage))
            .Send([this] {
                ++m_sessionsDone;
                return OscarWire::MessageChannel1(2, 2, "777777", "Who is this?");
            })
            .ExpectClosed();
    }

    void Start()
    {
        m_login.Start();
        m_bos.Start();
    }
    // The messages of that many sessions went out.
    bool WaitForSessions(int count, DWORD ms)
    {
        for (DWORD start = GetTickCount(); m_sessionsDone < count; Sleep(50)) {
            if (GetTickCount() - start > ms)
                return false;
        }
        return true;
    }
    bool Wait() { return m_login.Wait(kStepTimeoutMs) && m_bos.Wait(kStepTimeoutMs); }
    std::string Report() const { return m_login.Report() + m_bos.Report(); }

private:
    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    std::atomic<bool> m_online{false};
    std::atomic<int> m_sessionsDone{0};
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_servers.Listening());
        ASSERT_TRUE(m_program.CopyAlong(L"Skins"));
        ASSERT_TRUE(m_program.CopyAlong(L"Langs"));
        // The account as a user makes it, in the program's settings file.
        ASSERT_TRUE(CAccountRig::StoreIcqAccount(m_program.File(L"settings.jov"), L"123456", "secret",
                                                 m_servers.LoginPort()));
    }

    void SetGuiByte(const wchar_t* name, unsigned char value)
    {
        Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(m_program.File(L"settings.jov").c_str()))};
        store.SetByte(GUID_GUI, CJOVString(name), &value);
    }

    // The main window and its list, once the program shows them.
    bool FindWindows()
    {
        m_main = m_program.WaitForWindow(L"JOV", L"JOV", 20000);
        // The list is made after the main window shows.
        for (DWORD start = GetTickCount(); m_main && GetTickCount() - start < 10000; Sleep(50)) {
            m_list = FindWindowExW(m_main, nullptr, kListClass, nullptr);
            if (m_list)
                return true;
        }
        return false;
    }

    bool Close()
    {
        PostMessageW(m_main, WM_CLOSE, 0, 0);
        return m_program.WaitForExit(15000);
    }

    // The list window's pixels as on the screen.
    std::vector<DWORD> ListPixels()
    {
        RECT rect;
        GetWindowRect(m_list, &rect);
        HDC screen = GetDC(nullptr);
        std::vector<DWORD> pixels = CopyPixels(screen, rect);
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    // The pending message blinks: the list changes within a second.
    bool Blinks()
    {
        const std::vector<DWORD> first = ListPixels();
        for (int i = 0; i < 10; ++i) {
            Sleep(150);
            if (ListPixels() != first)
                return true;
        }
        return false;
    }

    // The soft-key bar of the bubble on the screen, once one shows.
    HWND WaitForBubbleBar()
    {
        HWND bubble = m_program.WaitForWindow(kBubbleClass, nullptr, 10000);
        for (DWORD start = GetTickCount(); bubble && GetTickCount() - start < 5000; Sleep(50)) {
            for (HWND bar = FindWindowExW(nullptr, nullptr, kBarClass, nullptr); bar;
                 bar = FindWindowExW(nullptr, bar, kBarClass, nullptr)) {
                if (GetWindow(bar, GW_OWNER) == bubble && IsWindowVisible(bar))
                    return bar;
            }
        }
        return nullptr;
    }

    std::vector<unsigned char> ReadFile(const std::wstring& path)
    {
        std::ifstream file(path.c_str(), std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    CServers m_servers;
    CRunningProgram m_program;
    HWND m_main = nullptr;
    HWND m_list = nullptr;
};

TEST_F(ProgramTest, TheListShowsTheAccountsContactsAndAMessageComesFirstBlinking)
{
    m_servers.AddSession();
    m_servers.AddSession();
    m_servers.Start();
    ASSERT_TRUE(m_program.Start(true));
    ASSERT_TRUE(FindWindows());
    ASSERT_TRUE(m_program.GoOnline(m_list));
    ASSERT_TRUE(m_servers.WaitForSessions(1, kStepTimeoutMs)) << m_servers.Report();

    // Carol's message is in her history file: header, then the record.
    const std::wstring history = m_program.File(L"History\\ICQ_123456_333333.vdh");
    std::vector<unsigned char> bytes;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(100)) {
        bytes = ReadFile(history);
        if (bytes.size() > HistoryFormat::kHeaderSize)
            break;
    }
    ASSERT_GT(bytes.size(), HistoryFormat::kHeaderSize);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "VDH");
    EXPECT_EQ(bytes[3], 1);
    const std::string text(kCarolsMessage);
    const auto found = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    EXPECT_NE(found, bytes.end());
    HistoryFormat::Record record;
    const size_t recordStart = [&] {
        // The last record: marker 00 01, then its 32-bit length.
        for (size_t at = bytes.size() - HistoryFormat::kRecordHeadSize; at > 0; --at) {
            if (bytes[at] == 0 && bytes[at + 1] == 1) {
                const size_t length = (bytes[at + 2] << 24) | (bytes[at + 3] << 16) | (bytes[at + 4] << 8) | bytes[at + 5];
                if (at + HistoryFormat::kRecordHeadSize + length == bytes.size())
                    return at;
            }
        }
        return size_t(0);
    }();
    ASSERT_NE(recordStart, 0u);
    ASSERT_TRUE(HistoryFormat::DecodeRecordBlock(bytes.data() + recordStart + HistoryFormat::kRecordHeadSize,
                                                 bytes.size() - recordStart - HistoryFormat::kRecordHeadSize,
                                                 &record));
    EXPECT_EQ(record.text, text);
    EXPECT_EQ(record.direction, 0);

    EXPECT_TRUE(Blinks());
    Sleep(300);
    EXPECT_TRUE(SaveScreenshotAs(L"cl", L"groups"));

    // Carol first in "Friends": down from the account to the group, to her;
    // her menu from the keyboard.
    for (WPARAM key : {VK_DOWN, VK_DOWN})
        PostMessageW(m_list, WM_KEYDOWN, key, 1);
    PostMessageW(m_list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list), -1);
    HWND menu = m_program.WaitForWindow(L"#32768", nullptr, 5000);
    ASSERT_NE(menu, nullptr);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshotAs(L"cl", L"menu"));
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(menu));
    ASSERT_TRUE(Close());

    // The "Simple" view: the sections "Online", "Offline" and "Not in list";
    // the messages' bubbles show while the program is in front too.
    SetGuiByte(L"CL mode", 0);
    SetGuiByte(L"Dont show if active", 0);
    ASSERT_TRUE(m_program.Restart());
    ASSERT_TRUE(FindWindows());
    ASSERT_TRUE(m_program.GoOnline(m_list));
    ASSERT_TRUE(m_servers.WaitForSessions(2, kStepTimeoutMs)) << m_servers.Report();

    // "Hide" on both bubbles answers the list: nothing blinks any more.
    for (int bubble = 0; bubble < 2; ++bubble) {
        HWND bar = WaitForBubbleBar();
        ASSERT_NE(bar, nullptr) << "bubble " << bubble;
        if (bubble == 0) {
            EXPECT_TRUE(SaveScreenshotAs(L"cl", L"bubble"));
        }
        PostMessageW(bar, JOV_MBM_PRESSKEY, 1, 0);
        ASSERT_TRUE(CRunningProgram::WaitUntilGone(bar));
    }
    Sleep(300);
    EXPECT_FALSE(Blinks());
    EXPECT_TRUE(SaveScreenshotAs(L"cl", L"simple"));
    ASSERT_TRUE(Close());
    EXPECT_TRUE(m_servers.Wait()) << m_servers.Report();
}

} // namespace
