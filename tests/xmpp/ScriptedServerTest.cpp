// The account through the real sockets manager against the scripted XMPP
// server on 127.0.0.1: compression before SASL and refused, DIGEST-MD5's
// challenges gone wrong, stream errors, a silent server, and a login cut at
// every step. Each ends online or offline with its warning, never half-way.
#include <cstdio>
#include <map>
#include <set>

#include "MD5.h"
#include "ScriptedXmppServer.h"
#include "xmpp/LiveAccountFixture.h"

namespace {

typedef CScriptedXmppServer::Element Element;

const char kHeader[] = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                       "xmlns:stream='http://etherx.jabber.org/streams' id='scripted' from='localhost' "
                       "version='1.0'>";
const char kSaslNs[] = "urn:ietf:params:xml:ns:xmpp-sasl";
const char kNonce[] = "scripted-nonce-7";

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

    // rosterItems: what the roster answer's query holds; 300 items of
    // random names when empty.
    LoginScript(bool compressFirst, bool refuseCompression, const std::string& rosterItems = std::string())
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
        Add([id, rosterItems](CScriptedXmppServer& s) {
            s.Send([id, rosterItems] {
                std::string items = rosterItems;
                unsigned int seed = 7;
                for (int i = 0; i < 300 && rosterItems.empty(); ++i) {
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

// The element holds exactly these attributes, and nothing inside.
CScriptedXmppServer::Check Exactly(const std::map<std::string, std::string>& attributes)
{
    return [attributes](const Element& element, std::string& why) {
        for (const auto& attribute : element.attributes)
            why += attribute.first + "='" + attribute.second + "' ";
        why += std::to_string(element.children.size()) + " children";
        return element.attributes == attributes && element.children.empty() && element.text.empty();
    };
}

// An iq error of "service-unavailable", sent back to `to` with the id.
CScriptedXmppServer::Check Refusal(const std::string& to, const std::string& id)
{
    return [to, id](const Element& iq, std::string& why) {
        why = "type='" + iq.Attribute("type") + "' to='" + iq.Attribute("to") + "' id='" + iq.Attribute("id") + "'";
        const Element* error = iq.Child("error");
        return iq.Attribute("type") == "error" && iq.Attribute("to") == to && iq.Attribute("id") == id && error &&
               error->Child("service-unavailable");
    };
}

const char kAnnouncedNode[] = "https://jov.example.org/caps";
// The SHA-1 verification string of client/pda//JOV and the 21 features, reckoned apart.
const char kAnnouncedVersion[] = "MK7T5gAbdv/7unz0tIG5ixDV2wA=";

class ScriptedServerTest : public LiveAccountTest {
protected:
    void SetUp() override
    {
        LiveAccountTest::SetUp();
        MakeAccount(20000);
    }

    void TearDown() override
    {
        LiveAccountTest::TearDown();
        m_server.reset();
    }

    // The account logs in to the scripted server's port on 127.0.0.1.
    void MakeAccount(DWORD loginTimeoutMs)
    {
        alice = std::make_unique<CLiveAccount>(*bus, 3, loginTimeoutMs);
        alice->settings.Set(L"Manual connection server", L"127.0.0.1");
        alice->Use(m_server->GetPort(), false);
    }

    void NewServer()
    {
        m_server = std::make_unique<CScriptedXmppServer>();
        alice->Use(m_server->GetPort(), false);
    }

    // As the protocols manager makes an account: its handlers of requests are set.
    void Create()
    {
        bus->SendEventToClient(alice->account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Create"), nullptr,
                               nullptr, true);
    }
    int SetStatus(Protocols::Status status) { return alice->SetStatus(status); }
    Protocols::Status Status() { return alice->Status(); }
    std::vector<std::wstring> Warnings() { return alice->Warnings(); }
    void Forget() { alice->Forget(); }
    bool WarnedOnce(JabberTextId id) { return alice->WarnedOnce(id); }
    std::string Said() { return alice->Said(); }

    std::unique_ptr<CScriptedXmppServer> m_server = std::make_unique<CScriptedXmppServer>();
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
    EXPECT_TRUE(alice->account->IsCompressed());
    EXPECT_EQ(alice->account->GetMechanism(), "DIGEST-MD5");
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
    EXPECT_FALSE(alice->account->IsCompressed());
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
            EXPECT_EQ(alice->account->GetState(), 0);
        }
    }
}

TEST_F(ScriptedServerTest, RosterPushesOfTheOwnServerGetAnEmptyResultAndOthersTheirError)
{
    Create();
    LoginScript(false, false).Apply(*m_server);
    const char kPush[] = "><query xmlns='jabber:iq:roster'><item jid='bob@localhost' subscription='both'/></query></iq>";
    m_server->Send(std::string("<iq type='set' id='push-1'") + kPush);
    m_server->Expect("iq", Exactly({{"type", "result"}, {"id", "push-1"}}));
    m_server->Send(std::string("<iq type='set' id='push-2' from='alice@localhost' to='alice@localhost/JOV PDA'") +
                   kPush);
    m_server->Expect("iq", Exactly({{"type", "result"}, {"id", "push-2"}}));
    m_server->Send(std::string("<iq type='set' id='push-3' from='mallory@evil/x'") + kPush);
    m_server->Expect("iq", Refusal("mallory@evil/x", "push-3"));
    m_server->Send(std::string("<iq type='set' id='push-4' from='alice@localhost/other'") + kPush);
    m_server->Expect("iq", Refusal("alice@localhost/other", "push-4"));
    m_server->Close();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
}

TEST_F(ScriptedServerTest, DiscoveryTellsWhatTheAnnouncedCapsVersionWasReckonedFrom)
{
    Create();
    const LoginScript script(false, false);
    script.Apply(*m_server, script.Count() - 1);
    m_server->Expect("presence", [](const Element& presence, std::string& why) {
        const Element* caps = presence.Child("c");
        why = caps ? caps->Attribute("ver") : "no caps";
        return caps && caps->Attribute("xmlns") == "http://jabber.org/protocol/caps" &&
               caps->Attribute("hash") == "sha-1" && caps->Attribute("node") == kAnnouncedNode &&
               caps->Attribute("ver") == kAnnouncedVersion;
    });
    auto told = [](const std::string& node) {
        return [node](const Element& iq, std::string& why) {
            const Element* query = iq.Child("query");
            if (iq.Attribute("type") != "result" || iq.Attribute("to") != "carol@localhost/third" || !query) {
                why = "type='" + iq.Attribute("type") + "' to='" + iq.Attribute("to") + "'";
                return false;
            }
            std::vector<std::string> identities;
            std::set<std::string> features;
            size_t count = 0;
            for (const Element& child : query->children) {
                if (child.name == "identity")
                    identities.push_back(child.Attribute("category") + "/" + child.Attribute("type") + "//" +
                                         child.Attribute("name"));
                if (child.name == "feature") {
                    features.insert(child.Attribute("var"));
                    ++count;
                }
            }
            why = std::to_string(identities.size()) + " identities, " + std::to_string(count) + " features";
            return query->Attribute("xmlns") == "http://jabber.org/protocol/disco#info" &&
                   query->Attribute("node") == node && query->Has("node") == !node.empty() &&
                   identities == std::vector<std::string>{"client/pda//JOV"} && count == 21 &&
                   features.size() == count && features.count("http://jabber.org/protocol/disco#info") &&
                   features.count("http://jabber.org/protocol/caps") && features.count("urn:xmpp:receipts") &&
                   !features.count("http://jabber.org/protocol/disco#items");
        };
    };
    const std::string versionNode = std::string(kAnnouncedNode) + "#" + kAnnouncedVersion;
    const char kFrom[] = "from='carol@localhost/third'";
    m_server->Send(std::string("<iq type='get' id='d1' ") + kFrom +
                   "><query xmlns='http://jabber.org/protocol/disco#info'/></iq>");
    m_server->Expect("iq", told(""));
    m_server->Send(std::string("<iq type='get' id='d2' ") + kFrom +
                   "><query xmlns='http://jabber.org/protocol/disco#info' node='" + versionNode + "'/></iq>");
    m_server->Expect("iq", told(versionNode));
    // Every other question keeps its refusal.
    m_server->Send(std::string("<iq type='get' id='d3' ") + kFrom +
                   "><query xmlns='http://jabber.org/protocol/disco#info' node='" + kAnnouncedNode +
                   "#secureim'/></iq>");
    m_server->Expect("iq", Refusal("carol@localhost/third", "d3"));
    m_server->Send(std::string("<iq type='get' id='d4' ") + kFrom +
                   "><query xmlns='http://jabber.org/protocol/disco#items'/></iq>");
    m_server->Expect("iq", Refusal("carol@localhost/third", "d4"));
    m_server->Close();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
}

namespace {

const char kStreamEnd[] = "</stream:stream>";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string StreamErrorAndEnd(const char* condition)
{
    return std::string("<stream:error><") + condition + " xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error>" +
           kStreamEnd;
}

std::string Nested(int depth)
{
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<a>";
        close += "</a>";
    }
    return open + close;
}

} // namespace

// The server sends the stanza once the client's header came; the client's
// last bytes before its close are its stream error and its stream's end.
TEST_F(ScriptedServerTest, BrokenXmlAndACommentPastTheLimitEndWithAStreamErrorTheServerReceives)
{
    const wchar_t* const kNotXml = L"Disconnected: the server sent data that is not XML";
    const wchar_t* const kTooLarge = L"Disconnected: the server sent a stanza too large or too deep to read";
    const std::string big(XmlParser::kMaxStanzaBytes + 100, 'f');
    const struct {
        const char* what;
        std::string stanza;
        const char* condition;
        const wchar_t* warning;
    } cases[] = {
        {"a close tag of another element", "<message><body>a</wrong></message>", "not-well-formed",
         kNotXml},
        {"bytes that are not UTF-8", "<message><body>\xC0\xAF</body></message>", "not-well-formed", kNotXml},
        {"an attribute named twice", "<message to='a@x' to='b@x'/>", "not-well-formed", kNotXml},
        {"a stanza past the limits that is not XML either", "<iq type='get' id='q2' from='bob@x'>" +
         Nested(XmlParser::kMaxDepth) + "<b></c></iq>", "not-well-formed", kNotXml},
        {"a tag over 1 MiB that is not XML", "<iq type='get' id='q1' from='bob@x' a='" + big +
         "<'><query xmlns='jabber:iq:version'/></iq>", "not-well-formed", kNotXml},
        {"a comment over 1 MiB", "<message><!--" + big + "--></message>", "policy-violation", kTooLarge},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        Forget();
        NewServer();
        m_server->Accept().ExpectHeader().Send(std::string(kHeader) + each.stanza).ExpectClosed();
        m_server->Start();
        ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
        EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
        EXPECT_TRUE(EndsWith(m_server->ReceivedText(), StreamErrorAndEnd(each.condition)))
            << m_server->ReceivedText().substr(0, 400);
        EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
        EXPECT_TRUE(WaitFor([&] { return !Warnings().empty(); }));
        EXPECT_EQ(Warnings(), std::vector<std::wstring>{each.warning});
    }
}

// Stanzas past the limits amid ordinary ones, as any contact could have the
// server relay them: requests among them are refused aloud, the rest dropped,
// and what follows is read as ever.
TEST_F(ScriptedServerTest, StanzasPastTheLimitsAreSkippedAndTheStreamGoesOn)
{
    std::string children;
    for (int i = 0; i < 60000; ++i)
        children += "<b/>";
    const std::string bigText(XmlParser::kMaxStanzaBytes + 100, 't');
    std::string quotes;
    for (int i = 0; i < 180000; ++i)
        quotes += "&quot;";
    LoginScript(false, false).Apply(*m_server);
    m_server->Send("<iq type='get' id='q1' from='bob@x/r'><query xmlns='jabber:iq:version'>" + Nested(70) +
                   "</query></iq>");
    m_server->Send("<message from='bob@x/r' type='chat'><body>deep</body><x xmlns='y'>" + Nested(1000) +
                   "</x></message><presence from='bob@x/r'><x xmlns='y'>" + children + "</x></presence>");
    m_server->Send("<message from='bob@x/r'><body>" + bigText + "</body></message>");
    m_server->Send("<message from='bob@x/r'><body>quotes</body><x xmlns='y' a='" + quotes +
                   "'/></message><iq type='get' id='q3' from='bob@x/r' a='" + quotes +
                   "'><query xmlns='jabber:iq:version'/></iq>");
    m_server->Send("<iq type='set' id='q2' from='bob@x/r'><query xmlns='jabber:iq:private'>" + children +
                   "</query></iq><iq type='get' id='v1' from='bob@x/r'><query xmlns='jabber:iq:version'/></iq>");
    for (const char* id : {"q1", "q3", "q2"}) {
        m_server->Expect("iq", [id](const Element& iq, std::string& why) {
            why = "type='" + iq.Attribute("type") + "' to='" + iq.Attribute("to") + "' id='" + iq.Attribute("id") + "'";
            const Element* error = iq.Child("error");
            const Element* condition = error ? error->Child("policy-violation") : nullptr;
            return iq.Attribute("type") == "error" && iq.Attribute("to") == "bob@x/r" && iq.Attribute("id") == id &&
                   condition && error->Attribute("type") == "modify" &&
                   condition->Attribute("xmlns") == "urn:ietf:params:xml:ns:xmpp-stanzas";
        });
    }
    m_server->Expect("iq", Refusal("bob@x/r", "v1"));
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(15000)) << m_server->Report();
    EXPECT_EQ(Status(), Protocols::StatusOnline);
    EXPECT_TRUE(Warnings().empty()) << Said();
}

// An answer past the limits still ends the wait for it: the roster's does,
// and the first presence goes out after it.
TEST_F(ScriptedServerTest, ARosterAnswerPastTheLimitsEndsTheLoginWithAWarningAndThePresence)
{
    LoginScript(false, false, "<item jid='bob@x' subscription='both'>" + Nested(70) + "</item>").Apply(*m_server);
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_EQ(Status(), Protocols::StatusOnline);
    EXPECT_TRUE(WarnedOnce(kTextRosterRefused)) << Said();
    EXPECT_NE(Said().find("policy-violation"), std::string::npos) << Said();
}

// The server ends its stream first: the account's end comes before the close.
TEST_F(ScriptedServerTest, TheServersStreamEndIsAnsweredWithTheAccountsBeforeTheClose)
{
    LoginScript(false, false).Apply(*m_server);
    m_server->Send(kStreamEnd).ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(EndsWith(m_server->ReceivedText(), kStreamEnd)) << m_server->ReceivedText();
    EXPECT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOffline; }));
    EXPECT_TRUE(WarnedOnce(kTextConnectionClosed)) << Said();
}

TEST_F(ScriptedServerTest, ARequestFromALongSenderWithinTheLimitIsAnswered)
{
    const std::string longFrom = "bob@x/" + std::string(5000, 'r');
    LoginScript(false, false).Apply(*m_server);
    m_server->Send("<iq type='get' id='v1' from='" + longFrom + "'><query xmlns='jabber:iq:version'/></iq>");
    m_server->Expect("iq", [&](const Element& iq, std::string& why) {
        why = iq.Attribute("type") + " to " + iq.Attribute("to").substr(0, 20);
        return iq.Attribute("type") == "error" && iq.Attribute("id") == "v1" && iq.Attribute("to") == longFrom;
    });
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(Warnings().empty()) << Said();
}

TEST_F(ScriptedServerTest, GoingOfflineAndQuittingEndTheStreamBeforeTheClose)
{
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        Forget();
        NewServer();
        LoginScript(compressed, false).Apply(*m_server);
        m_server->ExpectClosed();
        m_server->Start();
        ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
        ASSERT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOnline; })) << Said();
        ASSERT_TRUE(WaitFor([&] {
            std::vector<std::string> received = m_server->Received();
            return !received.empty() && received.back() == "presence";
        })) << m_server->Report();
        ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
        EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
        EXPECT_TRUE(EndsWith(m_server->ReceivedText(), kStreamEnd)) << m_server->ReceivedText();
    }

    // Quitting: the program sends "Destroy" to every account.
    NewServer();
    LoginScript(false, false).Apply(*m_server);
    m_server->ExpectClosed();
    m_server->Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(WaitFor([&] { return Status() == Protocols::StatusOnline; })) << Said();
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> received = m_server->Received();
        return !received.empty() && received.back() == "presence";
    })) << m_server->Report();
    bus->SendEventToClient(alice->account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Destroy"), nullptr,
                           nullptr, true);
    EXPECT_TRUE(m_server->Wait(8000)) << m_server->Report();
    EXPECT_TRUE(EndsWith(m_server->ReceivedText(), kStreamEnd)) << m_server->ReceivedText();
}
