// JOV.exe with a Jabber account of alice, on the local ejabberd (DIGEST-MD5,
// zlib, direct TLS) and again on Prosody (PLAIN, direct TLS), followed from
// outside: online from the status menu, the list shows her roster
// with carol online and bob (Robert) away (kept as xmpp-list-<server>-qvga.png), carol's
// message (sent by the independent client, asking for a receipt) shows in her
// chat and history and is receipted with its id, and the reply typed there
// reaches carol. Before each, a presence and messages of carol's that the
// program does not read whole, one nested too deep and one whose extension
// the server writes on as more than a megabyte (an attribute of quotes, each
// escaped), are passed over: the account stays online.
// The program trusts the servers through the prefix's root store.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "AccountRig.h"
#include "dialogs/Screenshot.h"
#include "msgwnd/ProgramWindows.h"
#include "notify/DebuggedProgram.h"
#include "xmpp/ThirdClient.h"
#include "xmpp/XmppServers.h"

namespace {

const DWORD kStepMs = 30000;
const wchar_t kListClass[] = L"Contact List Wnd Class";
const wchar_t kCarolsMessage[] =
    L"Hello from carol, \x0159\x00ED\x0161\x0065, \x043F\x0440\x0438\x0432\x0435\x0442";
const char kCarolsMessageUtf8[] = "Hello from carol, \xC5\x99\xC3\xAD\xC5\xA1\x65, \xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const char kReply[] = "See you at eight";

// An extension element nested 70 deep.
std::string DeepExtension()
{
    std::string open, close;
    for (int i = 0; i < 69; ++i) {
        open += "<a>";
        close += "</a>";
    }
    return "<x xmlns='urn:example:deep'>" + open + close + "</x>";
}

// An extension element whose one attribute holds 180,000 quotes: the server
// writes each as "&quot;", past what the program holds of one tag.
std::string QuotesExtension()
{
    return "<y xmlns='urn:example:quotes' a='" + std::string(180000, '"') + "'/>";
}

// Whether carol's history file holds the bytes; read while the program may
// have it open.
bool HistoryHolds(const std::wstring& folder, const std::string& bytes)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\History\\*carol*.vdh").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    HANDLE file = CreateFileW((folder + L"\\History\\" + found.cFileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string text(found.nFileSizeLow, '\0');
    DWORD read = 0;
    bool holds = !text.empty() && ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr) &&
                 text.find(bytes) != std::string::npos;
    CloseHandle(file);
    return holds;
}

class JabberProgramTest : public ::testing::Test {
protected:
    void Run(const CPeerFile* servers, const std::string& server);
};

void JabberProgramTest::Run(const CPeerFile* servers, const std::string& server)
{
    CThirdClient client;
    ASSERT_TRUE(client.Open(servers->Port("third_client")));
    const std::string alice2 = "alice-" + server, bob2 = "bob-" + server, carol = "carol-" + server;
    for (const std::string& session : {alice2, bob2, carol}) {
        ASSERT_TRUE(client.Connect(session)) << session << ": " << client.LastAnswer();
        ASSERT_TRUE(client.ClearRoster(session));
    }
    ASSERT_TRUE(client.Befriend(alice2, carol, "Carol", "Friends"));
    ASSERT_TRUE(client.Befriend(alice2, bob2, "Robert", "Friends"));
    client.Send(bob2, "<presence><show>away</show><status>lunch</status></presence>");
    // The server hands carol's presence to alice at her login.
    client.Send(carol, "<presence><status>large</status>" +
                           (server == "prosody" ? QuotesExtension() : DeepExtension()) + "</presence>");

    CDebuggedProgram program;
    ASSERT_TRUE(program.PrepareWhole());
    ASSERT_TRUE(CAccountRig::StoreJabberAccount(program.Folder() + L"\\settings.jov", L"alice", L"alice-pw1",
                                                static_cast<unsigned short>(servers->Port(server + "_tls"))));
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForWindow(L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    HWND list = WaitForChild(main, kListClass, 10000);
    ASSERT_NE(list, nullptr);

    // Online from the status menu of digit 1 (the whole program's): from its
    // end, Offline, Invisible for All, Invisible, Online.
    client.Forget(carol);
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND statusMenu = WaitForMenu(5000);
    ASSERT_NE(statusMenu, nullptr);
    Sleep(500);  // the menu takes keys once it is tracking
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}) {
        PostMessageW(statusMenu, WM_KEYDOWN, key, 1);
        PostMessageW(statusMenu, WM_KEYUP, key, 0xC0000001);
    }
    ASSERT_TRUE(WaitUntilGone(statusMenu));
    // carol sees alice come online: her first presence went out after the roster.
    ASSERT_TRUE(client.WaitFor(carol, [](const CThirdClient::Stanza& stanza) {
        return stanza.Kind() == "presence" && stanza.Get("presence@from") == "alice@localhost/JOV PDA" &&
               !stanza.Has("presence@type");
    }, nullptr, kStepMs)) << "alice never came online";
    client.Send(carol, "<presence/>");
    Sleep(1500);
    EXPECT_TRUE(SaveScreenshotAs(L"xmpp", (L"list-" + std::wstring(server.begin(), server.end())).c_str()));

    // carol comes first in "Friends", before Robert: down to the group, to her; Enter opens her chat.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(list, WM_KEYDOWN, key, 1);
    HWND messages = program.WaitForWindow(L"Messages", 10000);
    ASSERT_NE(messages, nullptr) << "Enter on carol opens her chat";
    HWND chat = nullptr, edit = nullptr;
    ASSERT_TRUE(FindChat(messages, &chat, &edit));

    client.Send(carol, "<message to='alice@localhost' type='chat' id='carol-deep'><body>Too deep</body>" +
                           DeepExtension() + "</message>");
    client.Send(carol, "<message to='alice@localhost' type='chat' id='carol-quotes'><body>Too large</body>" +
                           QuotesExtension() + "</message>");
    client.Send(carol, std::string("<message to='alice@localhost' type='chat' id='carol-hello'><body>") +
                           kCarolsMessageUtf8 + "</body><request xmlns='urn:xmpp:receipts'/></message>");
    CThirdClient::Stanza receipt;
    EXPECT_TRUE(client.WaitFor(carol, [](const CThirdClient::Stanza& stanza) {
        return stanza.Has("message/{urn:xmpp:receipts}received");
    }, &receipt, kStepMs)) << "no receipt";
    EXPECT_EQ(receipt.Get("message/{urn:xmpp:receipts}received@id"), "carol-hello");
    std::wstring shown;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(200)) {
        shown = CopyAllOfChat(chat);
        if (shown.find(kCarolsMessage) != std::wstring::npos)
            break;
    }
    EXPECT_NE(shown.find(kCarolsMessage), std::wstring::npos) << "her message is not in her chat";
    EXPECT_NE(shown.find(L"Carol"), std::wstring::npos);
    EXPECT_EQ(shown.find(L"Too deep"), std::wstring::npos);
    EXPECT_EQ(shown.find(L"Too large"), std::wstring::npos);
    // The server relayed each, and the program passed over each.
    auto skipped = [&program](const std::string& what) {
        int count = 0;
        for (const std::string& line : program.Lines())
            count += line.find("skipped a <" + what + "> from carol@localhost") != std::string::npos;
        return count;
    };
    EXPECT_EQ(skipped("presence"), 1);
    EXPECT_EQ(skipped("message"), 2);
    bool saved = false;
    for (DWORD start = GetTickCount(); !saved && GetTickCount() - start < 5000; Sleep(100))
        saved = HistoryHolds(program.Folder(), kCarolsMessageUtf8);
    EXPECT_TRUE(saved) << "her message is not in her history";

    for (const char* c = kReply; *c; ++c)
        PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(*c), 1);
    PostMessageW(edit, WM_CHAR, VK_RETURN, 1);
    CThirdClient::Stanza reply;
    EXPECT_TRUE(client.WaitFor(carol, [](const CThirdClient::Stanza& stanza) {
        return stanza.Get("message/body") == kReply;
    }, &reply, kStepMs)) << "the reply did not reach carol";
    EXPECT_EQ(reply.Get("message@from"), "alice@localhost/JOV PDA");
    Sleep(500);
    EXPECT_TRUE(SaveScreenshotAs(L"xmpp", (L"chat-" + std::wstring(server.begin(), server.end())).c_str()));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(30000));
    for (const std::string& session : {alice2, bob2, carol}) {
        client.ClearRoster(session);
        client.Disconnect(session);
    }
}

} // namespace

TEST_F(JabberProgramTest, RosterMessageReceiptAndReplyOnEjabberd)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "ejabberd");
}

TEST_F(JabberProgramTest, RosterMessageReceiptAndReplyOnProsody)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "prosody");
}
