// The road of a message in JOV.exe, followed from outside: an ICQ account
// logs in at the scripted login and BOS servers on 127.0.0.1, Carol (online)
// is opened from the list with Enter, her message shows in her tab and plays
// the incoming-message alert (its debug-output line), a reply typed into the
// edit box and sent with Enter reaches the server as a message to her and
// shows as an outgoing entry, and her history file holds both records in
// that order. Pictures of the list and of the chat are kept
// (msg-<list|program>-<qvga|vga>.png).
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
#include "alerts/ProgramFolder.h"
#include "dialogs/Screenshot.h"
#include "messaging/HistoryFormat.h"
#include "msgwnd/MessagingFixture.h"
#include "msgwnd/ProgramWindows.h"
#include "notify/DebuggedProgram.h"

namespace {

using OscarWire::Frame;

const int kStepTimeoutMs = 30000;
const char kCarolsMessage[] = "Hello from Carol";
const char kReply[] = "See you at eight";
const wchar_t kListClass[] = L"Contact List Wnd Class";

std::vector<OscarWire::SsiItem> ServerList()
{
    return {
        OscarWire::SsiGroup("", 0, {1}),
        OscarWire::SsiGroup("Friends", 1, {1, 2, 3}),
        OscarWire::SsiBuddy("111111", 1, 1, "Alice"),
        OscarWire::SsiBuddy("222222", 1, 2, "Bob"),
        OscarWire::SsiBuddy("333333", 1, 3, "Carol"),
    };
}

bool Contains(const OscarWire::Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// The text as an account may write it: bytes, or UTF-16 big-endian.
bool ContainsText(const OscarWire::Bytes& bytes, const std::string& text)
{
    std::string wide;
    for (char c : text) {
        wide += '\0';
        wide += c;
    }
    return Contains(bytes, text) || Contains(bytes, wide);
}

// One session: login, the list, Carol online; her message once the test has
// opened her chat; then the reply expected.
class CServers {
public:
    CServers() : m_login(kStepTimeoutMs), m_bos(kStepTimeoutMs)
    {
        // Once online, only the reply is looked at.
        m_bos.Ignore([this](const Frame& frame) { return m_online && !frame.IsSnac(0x04, 0x06); });
        ScriptIcqLogin(m_login, m_bos.GetPort());
        ScriptIcqBosToOnline(m_bos, ServerList(), m_online)
            .Send([this] {
                m_carolShown = true;
                return OscarWire::UserOnline("333333", {{0x0006, OscarWire::Builder().U32(0x10000000).Get()}});
            })
            .Send([this] {
                // Her message waits until her chat is open.
                for (DWORD start = GetTickCount(); !m_chatOpen && GetTickCount() - start < kStepTimeoutMs;)
                    Sleep(20);
                return OscarWire::MessageChannel1(1, 1, "333333", kCarolsMessage);
            })
            .ExpectSnac(0x04, 0x06,
                        [this](const OscarWire::Snac& snac, std::string& why) {
                            why = "a message to 333333 with the reply";
                            m_replied = Contains(snac.body, "333333") && ContainsText(snac.body, kReply);
                            return m_replied.load();
                        })
            .ExpectClosed();
    }

    unsigned short LoginPort() const { return m_login.GetPort(); }
    bool Listening() const { return m_login.GetPort() && m_bos.GetPort(); }
    void Start()
    {
        m_login.Start();
        m_bos.Start();
    }
    void ChatOpened() { m_chatOpen = true; }
    bool WaitFor(const std::atomic<bool>& flag, DWORD ms) const
    {
        for (DWORD start = GetTickCount(); !flag; Sleep(50)) {
            if (GetTickCount() - start > ms)
                return false;
        }
        return true;
    }
    bool Wait() { return m_login.Wait(kStepTimeoutMs) && m_bos.Wait(kStepTimeoutMs); }
    std::string Report() const { return m_login.Report() + m_bos.Report(); }

    std::atomic<bool> m_carolShown{false};
    std::atomic<bool> m_replied{false};

private:
    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    std::atomic<bool> m_online{false};
    std::atomic<bool> m_chatOpen{false};
};

std::vector<unsigned char> ReadAll(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The records of a history file's bytes, in file order.
std::vector<HistoryFormat::Record> Records(const std::vector<unsigned char>& bytes)
{
    std::vector<HistoryFormat::Record> records;
    if (bytes.size() < HistoryFormat::kHeaderSize + 4)
        return records;
    size_t at = HistoryFormat::kHeaderSize;
    for (int i = 0; i < 2; ++i)  // the two strings: a 16-bit length, then the bytes
        at += 2 + ((bytes[at] << 8) | bytes[at + 1]);
    while (at + HistoryFormat::kRecordHeadSize <= bytes.size() && bytes[at] == 0 && bytes[at + 1] == 1) {
        const size_t length = (static_cast<size_t>(bytes[at + 2]) << 24) | (bytes[at + 3] << 16) |
                              (bytes[at + 4] << 8) | bytes[at + 5];
        at += HistoryFormat::kRecordHeadSize;
        HistoryFormat::Record record;
        if (at + length > bytes.size() || !HistoryFormat::DecodeRecordBlock(bytes.data() + at, length, &record))
            break;
        records.push_back(record);
        at += length;
    }
    return records;
}

} // namespace

TEST(ProgramChat, AMessageInAndAReplyOutInAChatTabWithScreenshots)
{
    CServers servers;
    ASSERT_TRUE(servers.Listening());
    CDebuggedProgram program;
    ASSERT_TRUE(program.PrepareWhole());
    ASSERT_TRUE(
        CAccountRig::StoreIcqAccount(program.Folder() + L"\\settings.jov", L"123456", "secret", servers.LoginPort()));
    servers.Start();
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForWindow(L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    HWND list = WaitForChild(main, kListClass, 10000);
    ASSERT_NE(list, nullptr);

    // Online from the list's digit key 1; Carol comes online.
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND statusMenu = WaitForMenu(5000);
    ASSERT_NE(statusMenu, nullptr);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(statusMenu, WM_KEYDOWN, key, 0);
    ASSERT_TRUE(WaitUntilGone(statusMenu));
    ASSERT_TRUE(servers.WaitFor(servers.m_carolShown, kStepTimeoutMs)) << servers.Report();
    Sleep(1000);
    EXPECT_TRUE(SaveScreenshotAs(L"msg", L"list"));

    // The only one online comes first in "Friends": down to the group, to her; Enter.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(list, WM_KEYDOWN, key, 1);
    HWND messages = program.WaitForWindow(L"Messages", 10000);
    ASSERT_NE(messages, nullptr) << "Enter on Carol opens her chat";
    HWND chat = nullptr, edit = nullptr;
    ASSERT_TRUE(FindChat(messages, &chat, &edit));

    const int before = static_cast<int>(program.Lines().size());
    servers.ChatOpened();
    EXPECT_GE(program.WaitForLine("JOV: alert 2 played", 20000, before), 0) << "the incoming-message alert";
    const std::wstring shown = CopyAllOfChat(chat);
    EXPECT_NE(shown.find(L"Carol"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(L"Hello from Carol"), std::wstring::npos) << shown;

    for (const char* c = kReply; *c; ++c)
        PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(*c), 1);
    PostMessageW(edit, WM_CHAR, VK_RETURN, 1);
    ASSERT_TRUE(servers.WaitFor(servers.m_replied, kStepTimeoutMs)) << servers.Report();
    EXPECT_GE(program.WaitForLine("JOV: alert 3 played", 20000, before), 0) << "the message-sent alert";
    Sleep(500);
    const std::wstring both = CopyAllOfChat(chat);
    const size_t in = both.find(L"Hello from Carol");
    const size_t out = both.find(L"See you at eight");
    ASSERT_NE(out, std::wstring::npos) << both;
    EXPECT_LT(in, out) << "the reply after her message";
    EXPECT_NE(both.find(L" I: ", in), std::wstring::npos) << "the outgoing entry's sender: " << both;
    EXPECT_EQ(WindowText(edit), L"") << "the edit box is emptied";
    Sleep(500);
    EXPECT_TRUE(SaveScreenshotAs(L"msg", L"program"));

    // Her history file: her message, then the reply.
    const std::wstring history = program.Folder() + L"\\History\\ICQ_123456_333333.vdh";
    std::vector<HistoryFormat::Record> records;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000 && records.size() < 2; Sleep(100))
        records = Records(ReadAll(history));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, kCarolsMessage);
    EXPECT_EQ(records[0].direction, 0);
    EXPECT_EQ(records[1].text, kReply);
    EXPECT_EQ(records[1].direction, 1);
    EXPECT_LT(records[0].id, records[1].id);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(30000));
    EXPECT_TRUE(servers.Wait()) << servers.Report();
}
