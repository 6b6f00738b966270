// JOV.exe with one ICQ account aimed at the scripted login and BOS servers on
// 127.0.0.1: a contact's message lands in its history file, the contact's
// menu opens the history dialog, "Save as" writes the conversation as UTF-8
// after its byte order mark, and "Delete" asks, then removes the file. With
// the list kept by the program ("Load cl" off), a stranger's messages reach
// its history after every start.
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
#include "app/RunningProgram.h"
#include "support/WaitUntil.h"

namespace {

using OscarWire::Frame;

const int kStepTimeoutMs = 30000;
const wchar_t kListClass[] = L"Contact List Wnd Class";
// "Привет" in the code page of ICQ's plain texts, then ASCII.
const char kCarolsMessage[] = "\xCF\xF0\xE8\xE2\xE5\xF2 from Carol";
const char kCarolsMessageUtf8[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 from Carol";
const UINT kMenuKey = 32782;

std::vector<OscarWire::SsiItem> ServerList()
{
    return {
        OscarWire::SsiGroup("", 0, {1}),
        OscarWire::SsiGroup("Friends", 1, {1}),
        OscarWire::SsiBuddy("333333", 1, 1, "Carol"),
    };
}

std::vector<unsigned char> ReadAll(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class HistoryRunTest : public ::testing::Test {
protected:
    HistoryRunTest() : m_login(kStepTimeoutMs), m_bos(kStepTimeoutMs) {}

    void SetUp() override
    {
        ASSERT_TRUE(m_login.GetPort() && m_bos.GetPort());
        ASSERT_TRUE(m_program.CopyAlong(L"Skins"));
        ASSERT_TRUE(m_program.CopyAlong(L"Langs"));
        ASSERT_TRUE(
            CAccountRig::StoreIcqAccount(m_program.File(L"settings.jov"), L"123456", "secret", m_login.GetPort()));
    }

    // Login, the list with Carol, Online, and Carol's message.
    void Script()
    {
        ScriptIcqLogin(m_login, m_bos.GetPort());
        m_bos.Ignore([this](const Frame&) { return m_online.load(); });
        ScriptIcqBosToOnline(m_bos, ServerList(), m_online)
            .Send(OscarWire::MessageChannel1(1, 1, "333333", kCarolsMessage))
            .ExpectClosed();
    }

    // Started (or started again), with its list window, and Online.
    HWND StartOnline(bool again)
    {
        if (!(again ? m_program.Restart() : m_program.Start(true)))
            return nullptr;
        HWND main = m_program.WaitForWindow(L"JOV", L"JOV", 20000);
        HWND list = nullptr;
        for (DWORD start = GetTickCount(); main && !list && GetTickCount() - start < 10000; Sleep(50))
            list = FindWindowExW(main, nullptr, kListClass, nullptr);
        return list && m_program.GoOnline(list) ? main : nullptr;
    }

    // Opens the open window's menu and picks the item that many places up
    // from the bottom (1: the last).
    bool ChooseFromBottom(HWND owner, UINT openCommand, int fromBottom)
    {
        PostMessageW(owner, WM_COMMAND, openCommand, 0);
        HWND menu = m_program.WaitForWindow(L"#32768", nullptr, 5000);
        if (!menu)
            return false;
        for (int i = 0; i < fromBottom; ++i)
            PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return CRunningProgram::WaitUntilGone(menu);
    }

    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    std::atomic<bool> m_online{false};
    CRunningProgram m_program;
};

} // namespace

TEST_F(HistoryRunTest, AReceivedMessageIsShownSavedAsUtf8AndDeletedAfterAsking)
{
    Script();
    m_login.Start();
    m_bos.Start();
    ASSERT_TRUE(m_program.Start(true));
    HWND main = m_program.WaitForWindow(L"JOV", L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    HWND list = nullptr;
    for (DWORD start = GetTickCount(); !list && GetTickCount() - start < 10000; Sleep(50))
        list = FindWindowExW(main, nullptr, kListClass, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(m_program.GoOnline(list));

    const std::wstring history = m_program.File(L"History\\ICQ_123456_333333.vdh");
    for (DWORD start = GetTickCount(); !Exists(history) && GetTickCount() - start < kStepTimeoutMs; Sleep(100)) {
    }
    ASSERT_TRUE(Exists(history)) << m_login.Report() << m_bos.Report();

    // Carol's menu, from the keyboard: down from the account to the group, to
    // her; "Message history" under "Contact details".
    for (WPARAM key : {VK_DOWN, VK_DOWN})
        PostMessageW(list, WM_KEYDOWN, key, 1);
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
    HWND menu = m_program.WaitForWindow(L"#32768", nullptr, 5000);
    ASSERT_NE(menu, nullptr);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(menu, WM_KEYDOWN, key, 0);
    HWND dialog = m_program.WaitForWindow(nullptr, L"History");
    ASSERT_NE(dialog, nullptr) << "the contact's menu opens the history";

    // "Save as..." (second from the bottom) into the root of the program's drive.
    const std::wstring saved = m_program.File(L"").substr(0, 3) + L"jov-history-" +
                               std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(saved.c_str());
    ASSERT_TRUE(ChooseFromBottom(dialog, kMenuKey, 2));
    HWND picker = m_program.WaitForWindow(nullptr, L"Select file");
    ASSERT_NE(picker, nullptr);
    const std::wstring name = saved.substr(3, saved.size() - 3 - 4);
    SendDlgItemMessageW(picker, 1056, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(picker, WM_COMMAND, 32786, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(picker));
    std::vector<unsigned char> bytes;
    for (DWORD start = GetTickCount(); bytes.empty() && GetTickCount() - start < 5000; Sleep(50))
        bytes = ReadAll(saved);
    DeleteFileW(saved.c_str());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[2], 0xBF);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(kCarolsMessageUtf8), std::string::npos);

    // "Delete" (third from the bottom) asks first.
    ASSERT_TRUE(ChooseFromBottom(dialog, kMenuKey, 3));
    HWND question = m_program.WaitForWindow(nullptr, L"Delete");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(Exists(history)) << "nothing goes before the answer";
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    for (DWORD start = GetTickCount(); Exists(history) && GetTickCount() - start < 5000; Sleep(50)) {
    }
    EXPECT_FALSE(Exists(history));

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(dialog));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(m_program.WaitForExit(15000));
    EXPECT_TRUE(m_login.Wait(kStepTimeoutMs) && m_bos.Wait(kStepTimeoutMs)) << m_login.Report() << m_bos.Report();
}

TEST_F(HistoryRunTest, AStrangersMessagesReachItsHistoryAfterEveryStartWithTheListKeptHere)
{
    {
        CAccountRig rig(m_program.File(L"settings.jov"));
        rig.Load();
        rig.SetAccountByte(L"Load cl", 0);
    }
    const int kStarts = 3;
    m_bos.Ignore([this](const Frame&) { return m_online.load(); });
    for (int start = 1; start <= kStarts; ++start) {
        ScriptIcqLogin(m_login, m_bos.GetPort());
        ScriptIcqBosToOnlineWithOwnList(m_bos, m_online)
            .Send(OscarWire::MessageChannel1(start, start, "777777", "Hello " + std::to_string(start)))
            .ExpectClosed();
    }
    m_login.Start();
    m_bos.Start();

    const std::wstring history = m_program.File(L"History\\ICQ_123456_777777.vdh");
    for (int start = 1; start <= kStarts; ++start) {
        SCOPED_TRACE(start);
        HWND main = StartOnline(start > 1);
        ASSERT_NE(main, nullptr);
        const std::string text = "Hello " + std::to_string(start);
        bool saved = false;
        for (DWORD begun = GetTickCount(); !saved && GetTickCount() - begun < kStepTimeoutMs; Sleep(100)) {
            const std::vector<unsigned char> bytes = ReadAll(history);
            saved = std::string(bytes.begin(), bytes.end()).find(text) != std::string::npos;
        }
        EXPECT_TRUE(saved) << m_login.Report() << m_bos.Report();
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(m_program.WaitForExit(15000));
    }
    EXPECT_TRUE(m_login.Wait(kStepTimeoutMs) && m_bos.Wait(kStepTimeoutMs)) << m_login.Report() << m_bos.Report();

    // One contact, stored once by the program and once by the account.
    CAccountRig rig(m_program.File(L"settings.jov"));
    rig.Load();
    // The model reads its list once the account has answered.
    WaitUntil([&] { return rig.ContactCount() > 0; });
    EXPECT_EQ(rig.ContactCount(), 1);
    const std::vector<unsigned char> stored = rig.GetAccountData(L"CL data");
    const std::string name = "777777";
    size_t copies = 0;
    for (auto at = std::search(stored.begin(), stored.end(), name.begin(), name.end()); at != stored.end();
         at = std::search(at + 1, stored.end(), name.begin(), name.end()))
        ++copies;
    EXPECT_EQ(copies, 1u);
}
