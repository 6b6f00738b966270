// Writes the seed inputs that are made rather than found: the server frames
// of the tests' scripted OSCAR server, DIGEST-MD5 challenges, and files as
// the program itself writes them (a settings file with "Accounts data", a
// history file), plus chat texts of the parser's test cases.
// usage: fuzz_seeds <seeds folder>   (one subfolder a target)
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CLI_SEND_ICBM_CH1.h"
#include "CLI_SEND_ICBM_CH2.h"
#include "CLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE.h"
#include "MemoryFiles.h"
#include "OscarWire.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "icq/ServerFrames.h"
#include "messaging/HistoryFiles.h"
#include "support/HistoryBus.h"

namespace {

using OscarWire::Builder;
using OscarWire::Bytes;

std::string g_root;

void Write(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const std::string folder = g_root + "/" + target;
    mkdir(folder.c_str(), 0755);
    if (FILE* file = std::fopen((folder + "/" + name).c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

Bytes Of(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Frame(const OscarWire::Frame& frame)
{
    return OscarWire::FlapBytes(frame.channel, 1, frame.payload);
}

void WriteFrames()
{
    const std::vector<std::pair<std::string, Bytes>> frames = {
        {"hello", Frame(OscarWire::Hello())},
        {"auth_key", Frame(OscarWire::AuthKeyResponse("0123456789"))},
        {"login_reply", Frame(OscarWire::LoginReply("1234", "127.0.0.1:5190", {1, 2, 3, 4}))},
        {"login_error", Frame(OscarWire::LoginError("1234", 5))},
        {"signoff", Frame(OscarWire::Signoff(0x09, 1))},
        {"families", Frame(OscarWire::Families({1, 2, 3, 4, 0x13, 0x15}))},
        {"versions", Frame(OscarWire::FamilyVersions({{1, 4}, {0x13, 4}}))},
        {"rates", Frame(OscarWire::RateInfo(3, 2))},
        {"online", Frame(OscarWire::UserOnline("4321", {{6, {0, 0, 0, 1}}, {0x0D, Bytes(32, 9)}}))},
        {"offline", Frame(OscarWire::UserOffline("4321"))},
        {"message1", Frame(OscarWire::MessageChannel1(1, 2, "4321", "hello there"))},
        {"roster", Frame(OscarWire::SsiReply({OscarWire::SsiGroup("Friends", 1, {2}),
                                              OscarWire::SsiBuddy("4321", 1, 2, "Bob")},
                                             5))},
        {"own_info", Frame(OscarWire::OwnInfo("1234", 0x0100))},
        {"ssi_ack", ServerSnac(0x13, 0x0E, {0, 0})},
        {"auth_request", ServerSnac(0x13, 0x19, Builder().U8(4).Text("4321").U16(2).Text("hi"))},
        {"auth_reply", ServerSnac(0x13, 0x1B, Builder().U8(4).Text("4321").U8(1).U16(2).Text("ok"))},
        {"meta_basic", Meta(2010, Strings(0x00C8, 12))},
        {"meta_work", Meta(2010, Strings(0x00D2, 6))},
        {"meta_more", Meta(2010, Strings(0x00DC, 5))},
        {"meta_notes", Meta(2010, Strings(0x00E6, 1))},
        {"meta_interests", Meta(2010, Builder().U16LE(0xF0).U8(0x0A).U8(2).U16LE(100).U16LE(2).Text("a").U8(0)
                                          .U16LE(101).U16LE(1).U8(0))},
        {"offline_message", Meta(0x41, Builder().U32LE(5).U16LE(2020).Raw(Bytes(6, 1)).U16LE(3).Text("hi").U8(0))},
    };
    for (const auto& [name, bytes] : frames) {
        Write("icq", name, bytes);
        Write("flap", name, bytes);
    }
    CCLI_SEND_ICBM_CH1 plain(1, 2, 3, 4, CJOVString(L"99"), CJOVString(L"hi \x0436"), true);
    Write("icq", "message1_unicode", Relayed(plain, 0x07));
    CCLI_SEND_ICBM_CH2 relayed(CJOVString(L"1"), 1, 2, 3, 4, CJOVString(L"99"), CJOVString(L"hi"), true, 0);
    Write("icq", "message2", Relayed(relayed, 0x07));
    CCLI_SEND_ICBM_CH2 question(CJOVString(L"1"), 1, 2, 3, 4, CJOVString(L"99"), CJOVString(), false, 3);
    Write("icq", "xstatus_request", Relayed(question, 0x07));
    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE answer(1, 2, 3, 4, CJOVString(L"1"), CJOVString(L"99"), 2,
                                                 CJOVString(L"title"), CJOVString(L"a <b> & c"), 5);
    Write("icq", "xstatus_answer", Relayed(answer, 0x0B));
}

void WriteChallenges()
{
    const std::string digest = "realm=\"localhost\",nonce=\"OA6MG9tEQGm2hh\",qop=\"auth\",charset=utf-8,algorithm=md5-sess";
    Write("sasl", "digest", Of(digest + std::string(1, '\0') + "rspauth=ea40f60335c427b5527b84dbabcdfffd"));
    Write("sasl", "no_realm", Of("nonce=\"1234567\",qop=\"auth\",charset=utf-8,algorithm=md5-sess"));
    Write("sasl", "blanks", Of(" realm = \"a b\" , nonce=\"x\" ,\r\n qop=auth-int,auth "));
}

void WriteSettings()
{
    const wchar_t kPath[] = L"C:\\JOV\\settings.jov";
    const JOV_GUID account = {0x33333333, 0x3333, 0x3333, {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33}};
    NamedValueMap settings;
    const char name[] = "alice";
    settings.Set(NamedValue(CJOVString(L"Account name"), name, 5));
    settings.Set(NamedValue(CJOVString(L"Server port"), "\x46\x14", 2));
    Bytes packedSettings(settings.GetPackedSize());
    settings.Pack(packedSettings.data(), static_cast<unsigned>(packedSettings.size()));
    NamedValueMap items;
    items.Set(NamedValue(account.GetString() + CJOVString(L"1"), packedSettings.data(),
                         static_cast<unsigned>(packedSettings.size())));
    items.Set(NamedValue(account.GetString() + CJOVString(L"2"), nullptr, 0));
    Bytes accounts(items.GetPackedSize());
    items.Pack(accounts.data(), static_cast<unsigned>(accounts.size()));
    Write("accounts", "two_accounts", accounts);
    {
        Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(kPath))};
        unsigned size = static_cast<unsigned>(accounts.size());
        store.SetData(GUID_ProtocolsManager, CJOVString(L"Accounts data"), accounts.data(), &size);
        const unsigned char on = 1;
        store.SetByte(GUID_History, CJOVString(L"Hist Save"), &on);
        const unsigned int colour = 0x00FF8000;
        store.SetDWord(GUID_GUI, CJOVString(L"Colour"), &colour);
        const CJOVString skin(L"JOV PDA skin \x00E9");
        store.SetString(GUID_GUI, CJOVString(L"Skin"), &skin);
    }
    Bytes file;
    if (MemoryFiles::Get(kPath, &file))
        Write("settings", "settings.jov", file);
}

void WriteHistory()
{
    CHistoryBus bus;
    SetHistoryFolder(CJOVString(L"C:\\JOV\\History\\"));
    CJOVString path = GetHistoryFilePath(bus, bus.contact);
    AppendHistoryMessage(bus, bus.contact, 1, 0, 0, 1700000000ul, CJOVString(L"hello"));
    AppendHistoryMessage(bus, bus.contact, 1, 1, 0, 1700000060ul, CJOVString(L"two\r\nlines \x263A"));
    AppendHistoryMessage(bus, bus.contact, 2, 0, 1, 1700000120ul, CJOVString());
    Bytes file;
    if (MemoryFiles::Get(static_cast<wchar_t*>(path), &file)) {
        Write("history", "three_messages", file);
        // Ending in 0xA5, the target first appends a message of a full record:
        // 65,535 bytes then "a", the file known from its last write; 65,532
        // bytes then a character of four, the file written anew.
        const unsigned char picks[] = {0x00, 0x1F};
        for (unsigned char pick : picks) {
            Bytes asked = file;
            asked.push_back(pick);
            asked.push_back(0xA5);
            Write("history", "three_messages-full-record-" + std::to_string(pick), asked);
        }
    }
}

// The view's width (8 + the first byte), then the text in UTF-8.
void WriteChatTexts()
{
    const char* const texts[] = {
        "plain words", ":);)", ":))", "a:-)b", "B) x", "word www.x.com, more",
        "see http://www.x.org/a.b!(c) ok", "xwww.y", "http://x:)", "go https://www.x.io", "HTTP://X WWW.Y",
        "www.a\tb", "http://", ":)http://x", "a long line of words that wraps several times in a narrow view",
        "Wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww", "line\nfeeds\r\nand\rreturns\n", "\xE4\xB8\xAD\xE6\x96\x87 text",
    };
    int n = 0;
    for (const char* text : texts) {
        for (unsigned char width : {232, 90, 12}) {
            Bytes bytes(1, width);
            bytes.insert(bytes.end(), text, text + std::string(text).size());
            Write("chat", "text" + std::to_string(++n), bytes);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <seeds folder>\n");
        return 2;
    }
    g_root = argv[1];
    mkdir(g_root.c_str(), 0755);
    WriteFrames();
    WriteChallenges();
    WriteSettings();
    WriteHistory();
    WriteChatTexts();
    return 0;
}
