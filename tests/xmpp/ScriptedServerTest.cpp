// The account through the real sockets manager against the scripted XMPP
// server on 127.0.0.1: compression before SASL and refused, DIGEST-MD5's
// challenges gone wrong, stream errors, a silent server, and a login cut at
// every step. Each ends online or offline with its warning, never half-way.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>

#include "EventArgData.h"
#include "JabberProtocol.h"
#include "JabberStatusTable.h"
#include "JabberTexts.h"
#include "MD5.h"
#include "PluginModule.h"
#include "ScriptedXmppServer.h"
#include "ServiceIds.h"
#include "common/RecordingClient.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "support/FakeSettings.h"
#include "support/FakeSkinManager.h"

namespace {

typedef CScriptedXmppServer::Element Element;

const char kHeader[] = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                       "xmlns:stream='http://etherx.jabber.org/streams' id='scripted' from='localhost' "
                       "version='1.0'>";
const char kSaslNs[] = "urn:ietf:params:xml:ns:xmpp-sasl";
const char kNonce[] = "scripted-nonce-7";

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 8000)
{
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

std::string Base64(const std::string& bytes)
{
    CJOVString text = CJOVString::GetBase64EncodedString(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                         static_cast<int>(bytes.size()));
    return std::string(text.Data(), text.Data() + text.GetLength());
}

std::string FromBase64(const std::string& text)
{
    CJOVString bytes = CJOVString(std::wstring(text.begin(), text.end()).c_str()).GetBase64DecodedString();
    return std::string(bytes.Data(), bytes.Data() + bytes.GetLength());
}

// The server's own reckoning of RFC 2831.
std::string Md5Hex(const std::string& data)
{
    unsigned char digest[16];
    CMD5::Hash(data.data(), static_cast<unsigned>(data.size()), digest);
    char hex[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

std::string Md5Raw(const std::string& data)
{
    unsigned char digest[16];
    CMD5::Hash(data.data(), static_cast<unsigned>(data.size()), digest);
    return std::string(reinterpret_cast<char*>(digest), 16);
}

// The value of key="..." or key=token in a digest response.
std::string Field(const std::string& text, const std::string& key)
{
    size_t at = text.find(key + "=");
    if (at == std::string::npos || (at > 0 && text[at - 1] != ','))
        return std::string();
    at += key.size() + 1;
    if (text[at] == '"')
        return text.substr(at + 1, text.find('"', at + 1) - at - 1);
    return text.substr(at, text.find(',', at) - at);
}

std::string DigestOf(const std::string& method, const std::string& cnonce)
{
    const std::string ha1 = Md5Hex(Md5Raw("alice::alice-pw1") + ":" + kNonce + ":" + cnonce);
    return Md5Hex(ha1 + ":" + kNonce + ":00000001:" + cnonce + ":auth:" + Md5Hex(method + ":xmpp/localhost"));
}

std::string Features(const std::string& inner)
{
    return "<stream:features>" + inner + "</stream:features>";
}

const char kCompression[] = "<compression xmlns='http://jabber.org/features/compress'><method>zlib</method>"
                            "</compression>";
const char kDigest[] = "<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>DIGEST-MD5</mechanism>"
                       "</mechanisms>";
const char kBindSession[] = "<bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/>"
                            "<session xmlns='urn:ietf:params:xml:ns:xmpp-session'/>";

// A login as a script of stages, so that a test can take it whole or cut it short.
class LoginScript {
public:
    typedef std::function<void(CScriptedXmppServer&)> Stage;

    LoginScript(bool compressFirst, bool refuseCompression)
    {
        Add([](CScriptedXmppServer& s) { s.Accept(); });
        Add([](CScriptedXmppServer& s) {
            s.ExpectHeader([](const Element& header, std::string& why) {
                why = "to='" + header.Attribute("to") + "' version='" + header.Attribute("version") + "'";
                return header.Attribute("to") == "localhost" && header.Attribute("version") == "1.0";
            });
        });
        if (compressFirst) {
            Add([](CScriptedXmppServer& s) { s.Send(std::string(kHeader) + Features(std::string(kCompression) + kDigest)); });
            Add([](CScriptedXmppServer& s) {
                s.Expect("compress", [](const Element& compress, std::string&) {
                    return compress.Child("method") && compress.Child("method")->text == "zlib";
                });
            });
            if (refuseCompression) {
                Add([](CScriptedXmppServer& s) {
                    s.Send("<failure xmlns='http://jabber.org/protocol/compress'><setup-failed/></failure>");
                });
            } else {
                Add([](CScriptedXmppServer& s) {
                    s.Send("<compressed xmlns='http://jabber.org/protocol/compress'/>").StartCompression();
                });
                Add([](CScriptedXmppServer& s) { s.ExpectHeader(); });
                Add([](CScriptedXmppServer& s) { s.Send(std::string(kHeader) + Features(kDigest)); });
            }
        } else {
            Add([](CScriptedXmppServer& s) { s.Send(std::string(kHeader) + Features(kDigest)); });
        }
        auto cnonce = std::make_shared<std::string>();
        Add([](CScriptedXmppServer& s) {
            s.Expect("auth", [](const Element& auth, std::string&) {
                return auth.Attribute("xmlns") == kSaslNs && auth.Attribute("mechanism") == "DIGEST-MD5";
            });
        });
        Add([](CScriptedXmppServer& s) {
            s.Send("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                   Base64(std::string("nonce=\"") + kNonce + "\",qop=\"auth\",charset=utf-8,algorithm=md5-sess") +
                   "</challenge>");
        });
        Add([cnonce](CScriptedXmppServer& s) {
            s.Expect("response", [cnonce](const Element& response, std::string& why) {
                std::string text = FromBase64(response.text);
                *cnonce = Field(text, "cnonce");
                why = text;
                return Field(text, "realm").empty() && Field(text, "nc") == "00000001" &&
                       Field(text, "digest-uri") == "xmpp/localhost" &&
                       Field(text, "response") == DigestOf("AUTHENTICATE", *cnonce);
            });
        });
        Add([cnonce](CScriptedXmppServer& s) {
            s.Send([cnonce] {
                return "<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                       Base64("rspauth=" + DigestOf("", *cnonce)) + "</challenge>";
            });
        });
        Add([](CScriptedXmppServer& s) {
            s.Expect("response", [](const Element& response, std::string&) { return response.text.empty(); });
        });
        Add([](CScriptedXmppServer& s) { s.Send("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>").Restart(); });
        Add([](CScriptedXmppServer& s) { s.ExpectHeader(); });
        Add([](CScriptedXmppServer& s) { s.Send(std::string(kHeader) + Features(kBindSession)); });
        auto id = std::make_shared<std::string>();
        Add([id](CScriptedXmppServer& s) {
            s.Expect("iq", [id](const Element& iq, std::string&) {
                *id = iq.Attribute("id");
                const Element* bind = iq.Child("bind");
                return iq.Attribute("type") == "set" && bind && bind->Child("resource") &&
                       bind->Child("resource")->text == "JOV PDA";
            });
        });
        Add([id](CScriptedXmppServer& s) {
            s.Send([id] {
                return "<iq type='result' id='" + *id + "'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'><jid>"
                       "alice@localhost/JOV PDA</jid></bind></iq>";
            });
        });
        Add([id](CScriptedXmppServer& s) {
            s.Expect("iq", [id](const Element& iq, std::string&) {
                *id = iq.Attribute("id");
                return iq.Child("session") != nullptr;
            });
        });
        Add([id](CScriptedXmppServer& s) { s.Send([id] { return "<iq type='result' id='" + *id + "'/>"; }); });
        Add([id](CScriptedXmppServer& s) {
            s.Expect("iq", [id](const Element& iq, std::string&) {
                *id = iq.Attribute("id");
                return iq.Attribute("type") == "get" && iq.Child("query") &&
                       iq.Child("query")->Attribute("xmlns") == "jabber:iq:roster";
            });
        });
        // A roster answer that compresses badly, so that it comes in many reads.
        Add([id](CScriptedXmppServer& s) {
            s.Send([id] {
                std::string items;
                unsigned int seed = 7;
                for (int i = 0; i < 300; ++i) {
                    std::string name;
                    for (int c = 0; c < 24; ++c) {
                        seed = seed * 1103515245u + 12345u;
                        name += static_cast<char>('a' + (seed >> 16) % 26);
                    }
                    items += "<item jid='" + name + "@localhost' subscription='both'/>";
                }
                return "<iq type='result' id='" + *id + "'><query xmlns='jabber:iq:roster'>" + items +
                       "</query></iq>";
            });
        });
        Add([](CScriptedXmppServer& s) {
            s.Expect("presence", [](const Element& presence, std::string&) {
                return presence.Child("priority") && presence.Child("priority")->text == "0" &&
                       !presence.Has("type");
            });
        });
    }

    size_t Count() const { return m_stages.size(); }
    // The first `count` stages.
    void Apply(CScriptedXmppServer& server, size_t count) const
    {
        for (size_t i = 0; i < count && i < m_stages.size(); ++i)
            m_stages[i](server);
    }
    void Apply(CScriptedXmppServer& server) const { Apply(server, m_stages.size()); }

private:
    void Add(Stage stage) { m_stages.push_back(stage); }
    std::vector<Stage> m_stages;
};

class ScriptedServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPluginSkinManager(&m_skins);
        JOVSockets::SocketTimings socketTimings;
        socketTimings.busyPollMs = 20;
        socketTimings.idlePollMs = 50;
        socketTimings.closeWaitMs = 500;
        socketTimings.apiReadyWaitMs = 200;
        m_sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*m_bus, socketTimings);
        m_host.SetHandler([this](const CJOVString& name, CEventArg*, CEventArg* arg2) {
            std::lock_guard<std::mutex> hold(m_lock);
            if (auto* status = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg2);
                status && name == CJOVString(L"Status changed"))
                m_statuses.push_back(status->m_data.status);
            if (auto* text = dynamic_cast<CEventArg_Data<CJOVString>*>(arg2); text && name == CJOVString(L"Warning"))
                m_warnings.emplace_back(text->m_data.Data(), text->m_data.GetLength());
            return 0;
        });
        m_hostId = m_bus->RegisterEventsClient(&m_host, CJOVString(L"host"));
        m_settings.Set(L"Account name", L"alice");
        m_settings.Set(L"Account password", L"alice-pw1");
        m_settings.Set(L"Account server", L"localhost");
        m_settings.SetByte(L"Manual connection settings", 1);
        m_settings.Set(L"Manual connection server", L"127.0.0.1");
        m_settings.SetDWord(L"Manual connection port", m_server->GetPort());
        MakeAccount(20000);
    }

    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterEventsClient(m_hostId);
        m_sockets.reset();
        for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
            Sleep(10);
        m_server.reset();
        m_bus.reset();
        ClearJabberStatusTable();
        SetPluginSkinManager(nullptr);
    }

    void MakeAccount(DWORD loginTimeoutMs)
    {
        m_account.reset();
        JabberTimings timings;
        timings.queueScanMs = 10;
        timings.loginTimeoutMs = loginTimeoutMs;
        m_account = std::make_unique<CJabberProtocol>(m_bus.get(), 3, m_hostId, &m_settings, timings);
    }

    void NewServer()
    {
        m_server = std::make_unique<CScriptedXmppServer>();
        m_settings.SetDWord(L"Manual connection port", m_server->GetPort());
    }

    int SetStatus(Protocols::Status status)
    {
        return m_bus->SendEventToClient(m_account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Set status"),
                                        new CEventArg_Data<Protocols::Status>(status), nullptr, true);
    }
    Protocols::Status Status()
    {
        return static_cast<Protocols::Status>(m_bus->SendEventToClient(
            m_account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Get status"), nullptr, nullptr, true));
    }
    std::vector<std::wstring> Warnings()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_warnings;
    }
    void Forget()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_warnings.clear();
        m_statuses.clear();
    }
    bool WarnedOnce(JabberTextId id)
    {
        CJOVString text = JabberText(id);
        std::wstring start(text.Data(), text.GetLength());
        if (!WaitFor([&] { return !Warnings().empty(); }))
            return false;
        Sleep(50);
        std::vector<std::wstring> warnings = Warnings();
        return warnings.size() == 1 && warnings[0].compare(0, start.size(), start) == 0;
    }
    std::string Said()
    {
        std::string all;
        for (const std::wstring& warning : Warnings())
            all += std::string(warning.begin(), warning.end()) + "; ";
        return all;
    }

    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>();
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> m_sockets;
    std::unique_ptr<CScriptedXmppServer> m_server = std::make_unique<CScriptedXmppServer>();
    CFakeSettings m_settings;
    CFakeSkinManager m_skins;
    CRecordingClient m_host;
    unsigned int m_hostId = 0;
    std::unique_ptr<CJabberProtocol> m_account;
    std::mutex m_lock;
    std::vector<int> m_statuses;
    std::vector<std::wstring> m_warnings;
};

} // namespace

TEST_F(ScriptedServerTest, CompressionOfferedBeforeSaslCarriesTheWholeLoginAndWhatFollows)
{
    LoginScript(true, false).Apply(*m_server);
    m_server->Expect("presence", [](const Element& presence, std::string&) {
        return presence.Child("show") && presence.Child("show")->text == "away";
    });
    m_server->ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOnline; })) << Said();
    EXPECT_TRUE(m_account->IsCompressed());
    EXPECT_EQ(m_account->GetMechanism(), "DIGEST-MD5");
    // The presence comes after the whole roster answer was read through zlib.
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> received = m_server->Received();
        return !received.empty() && received.back() == "presence";
    })) << m_server->Report();
    ASSERT_EQ(SetStatus(Protocols::StatusAway), 0);
    EXPECT_TRUE(WaitFor([&] { return m_server->Received().size() >= 2 && m_server->Received().back() == "presence" &&
                                      m_server->Received()[m_server->Received().size() - 2] == "presence"; }));
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(Warnings().empty()) << Said();
}

TEST_F(ScriptedServerTest, ARefusedCompressionGoesOnUncompressed)
{
    LoginScript(true, true).Apply(*m_server);
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    ASSERT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOnline; })) << Said();
    EXPECT_FALSE(m_account->IsCompressed());
    EXPECT_TRUE(Warnings().empty()) << Said();
}

TEST_F(ScriptedServerTest, AChallengeWithoutNonceOrAWrongProofEndsOfflineWithItsWarning)
{
    m_server->Accept().ExpectHeader().Send(std::string(kHeader) + Features(kDigest)).Expect("auth");
    m_server->Send("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                   Base64("realm=\"localhost\",qop=\"auth\",charset=utf-8") + "</challenge>");
    m_server->ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_TRUE(WarnedOnce(kTextBadChallenge)) << Said();

    Forget();
    NewServer();
    m_server->Accept().ExpectHeader().Send(std::string(kHeader) + Features(kDigest)).Expect("auth");
    m_server->Send("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                   Base64(std::string("nonce=\"") + kNonce + "\",qop=\"auth\"") + "</challenge>");
    m_server->Expect("response");
    m_server->Send("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                   Base64("rspauth=" + DigestOf("", "not the client's")) + "</challenge>");
    m_server->ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_TRUE(WarnedOnce(kTextServerNotProven)) << Said();
}

TEST_F(ScriptedServerTest, StreamErrorsEndTheConnectionWithTheServersReason)
{
    m_server->Accept().ExpectHeader();
    m_server->Send(std::string(kHeader) + "<stream:error><system-shutdown xmlns='urn:ietf:params:xml:ns:xmpp-streams'/>"
                   "<text xmlns='urn:ietf:params:xml:ns:xmpp-streams'>Going down</text></stream:error>"
                   "</stream:stream>");
    m_server->Pause(300).Close();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_TRUE(WarnedOnce(kTextStreamError)) << Said();
    EXPECT_EQ(Said(), "Disconnected by the server: system-shutdown (Going down); ");

    // Online, then another login takes the resource.
    Forget();
    NewServer();
    LoginScript(false, false).Apply(*m_server);
    m_server->Send("<stream:error><conflict xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error>");
    m_server->ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_TRUE(WarnedOnce(kTextConflict)) << Said();
}

TEST_F(ScriptedServerTest, ASilentServerIsGivenUpAfterTheLoginTimeOutInRealTime)
{
    MakeAccount(1500);
    m_server->Accept().ExpectHeader().ExpectClosed();
    m_server->Start();
    DWORD start = GetTickCount();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(10000)) << m_server->Report();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_GE(GetTickCount() - start, 1400u) << "not before its time";
    EXPECT_TRUE(WarnedOnce(kTextLoginTimedOut)) << Said();
}

TEST_F(ScriptedServerTest, ALoginCutAtEveryStepEndsOfflineWithOneWarning)
{
    for (bool compressed : {false, true}) {
        const LoginScript script(compressed, false);
        for (size_t cut = 1; cut <= script.Count(); ++cut) {
            SCOPED_TRACE((compressed ? "compressed, cut after stage " : "cut after stage ") + std::to_string(cut));
            Forget();
            NewServer();
            script.Apply(*m_server, cut);
            m_server->Close();
            m_server->Start();
            ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
            EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
            EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; })) << Said();
            EXPECT_TRUE(WarnedOnce(kTextConnectionClosed)) << Said();
            EXPECT_EQ(m_account->GetState(), 0);
        }
    }
}
