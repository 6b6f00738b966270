// What the account answers on the local servers: the server's roster pushes
// (on ejabberd, whose debug log shows each push it sent and the answer it got,
// and no warning), and service discovery as an independent client (slixmpp,
// checking the announced caps hash as XEP-0115 says) asks it, on ejabberd and
// again on Prosody.
#include <cstdio>

#include "xmpp/LiveContactsFixture.h"
#include "xmpp/SessionLists.h"

namespace {

const char kJov[] = "alice@localhost/JOV PDA";

// The ids of the roster pushes ejabberd's debug log shows it sending to the JID.
std::vector<std::string> PushesSentTo(const std::string& log, const std::string& jid)
{
    const std::string sent = "Send XML on stream = <<\"<iq to='" + jid + "' from='alice@localhost' type='set' id='";
    const std::string query = "'><query xmlns='jabber:iq:roster'><";
    std::vector<std::string> ids;
    for (size_t at = log.find(sent); at != std::string::npos; at = log.find(sent, at + 1)) {
        size_t id = at + sent.size();
        size_t end = log.find('\'', id);
        if (end != std::string::npos && log.compare(end, query.size(), query) == 0)
            ids.push_back(log.substr(id, end - id));
    }
    return ids;
}

// Whether the log shows the answer `<iq type='result' id='ID'/>` received.
// ejabberd logs what it read in one piece: the answer may share it with
// the stanzas sent after it.
bool Answered(const std::string& log, const std::string& id)
{
    const std::string received = "Received XML on stream = <<\"";
    const std::string answer = "<iq type='result' id='" + id + "'/>";
    for (size_t at = log.find(received); at != std::string::npos; at = log.find(received, at + 1)) {
        const size_t end = log.find("\">>", at);
        if (log.substr(at, end == std::string::npos ? std::string::npos : end - at).find(answer) != std::string::npos)
            return true;
    }
    return false;
}

// ejabberd logs every stanza while the object lives; back at "info" after.
class EjabberdDebugLog {
public:
    explicit EjabberdDebugLog(int httpPort) : m_port(httpPort), m_on(SetEjabberdLogLevel(httpPort, "debug")) {}
    ~EjabberdDebugLog()
    {
        if (m_on)
            SetEjabberdLogLevel(m_port, "info");
    }
    bool On() const { return m_on; }

private:
    int m_port;
    bool m_on;
};

class LiveAnswersTest : public LiveContactsTest {
protected:
    void CapsAreChecked(const CPeerFile* servers, const std::string& server);

    std::wstring Alias(unsigned int contactId) { return model.String(contactId, L"CL Alias"); }
};

void LiveAnswersTest::CapsAreChecked(const CPeerFile* servers, const std::string& server)
{
    CThirdClient* client = Third(servers);
    ASSERT_TRUE(client);
    const std::string alice2 = SessionOf("alice", server);
    const std::string carol = SessionOf("carol", server);
    ASSERT_TRUE(client->Connect(alice2)) << client->LastAnswer();
    ASSERT_TRUE(client->Connect(carol, true)) << client->LastAnswer();
    ASSERT_TRUE(client->ClearRoster(alice2));
    ASSERT_TRUE(client->ClearRoster(carol));
    ASSERT_TRUE(client->Befriend(alice2, carol, "Carol", "Friends")) << client->LastAnswer();

    alice->Use(servers->Port(server + "_tls"), true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();

    // carol's client saw the presence, asked, and found the answer hashing to the version announced.
    CThirdClient::Stanza caps = client->CheckedCaps(carol, kJov);
    EXPECT_EQ(caps.Get("identity"), "client/pda//JOV") << client->LastAnswer();
    EXPECT_EQ(caps.values.count("identity"), 1u);
    EXPECT_EQ(caps.values.count("feature"), 21u);
    EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();

    EXPECT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    for (const std::string& session : {alice2, carol}) {
        client->ClearRoster(session);
        client->Disconnect(session);
    }
}

} // namespace

TEST_F(LiveAnswersTest, RosterPushesAreAnsweredAndLeaveEjabberdsLogClean)
{
    REQUIRE_XMPP_SERVERS(servers);
    CThirdClient* client = Third(servers);
    ASSERT_TRUE(client);
    const std::string alice2 = SessionOf("alice", "ejabberd");
    ASSERT_TRUE(client->Connect(alice2)) << client->LastAnswer();
    ASSERT_TRUE(client->ClearRoster(alice2));
    alice->Use(servers->Port("ejabberd_tls"), true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
    const std::wstring log = servers->Text("ejabberd_log");
    const long start = static_cast<long>(LogFrom(log, 0).size());
    ASSERT_GT(start, 0) << "no ejabberd log";
    EjabberdDebugLog debug(servers->Port("ejabberd_http"));
    ASSERT_TRUE(debug.On());

    // Her second session changes the roster: each push reaches the model, and is answered.
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='dora@localhost' name='Dora'>"
                       "<group>Chess</group></item></query></iq>");
    const unsigned int dora = WaitForContact(*alice, L"dora@localhost");
    ASSERT_NE(dora, 0u);
    EXPECT_EQ(model.GroupOf(dora), L"Chess");
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='dora@localhost' name='Dorothea'>"
                       "<group>Chess</group></item></query></iq>");
    EXPECT_TRUE(WaitFor([&] { return Alias(dora) == L"Dorothea"; }));
    // Her own change comes back as a push too.
    Request(*alice, L"Rename contact", new CEventArg_Data<unsigned int>(dora), new CEventArg_Data<CJOVString>(L"Dori"));
    EXPECT_TRUE(WaitFor([&] {
        for (const CThirdClient::RosterItem& item : client->Roster(alice2)) {
            if (item.jid == "dora@localhost" && item.name == "Dori")
                return true;
        }
        return false;
    }));
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='dora@localhost' "
                       "subscription='remove'/></query></iq>");
    EXPECT_TRUE(WaitFor([&] { return model.Get(dora).deleted; }));
    EXPECT_EQ(alice->Status(), Protocols::StatusOnline);
    EXPECT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();

    // Each push ejabberd sent the account came back answered, byte for byte as ejabberd logged it.
    std::string logged;
    std::vector<std::string> pushes;
    auto allAnswered = [&] {
        logged = LogFrom(log, start);
        pushes = PushesSentTo(logged, kJov);
        for (const std::string& id : pushes) {
            if (!Answered(logged, id))
                return false;
        }
        return pushes.size() >= 4;
    };
    WaitFor(allAnswered, 5000);
    EXPECT_EQ(pushes.size(), 4u) << "added, renamed there, renamed here, removed";
    for (const std::string& id : pushes)
        EXPECT_TRUE(Answered(logged, id)) << id << " was not answered";
    for (size_t at = logged.find("[warning]"); at != std::string::npos; at = logged.find("[warning]", at + 1))
        ADD_FAILURE() << logged.substr(at, logged.find('\n', at) - at);
    for (size_t at = logged.find("[error]"); at != std::string::npos; at = logged.find("[error]", at + 1))
        ADD_FAILURE() << logged.substr(at, logged.find('\n', at) - at);
    client->ClearRoster(alice2);
    client->Disconnect(alice2);
}

TEST_F(LiveAnswersTest, AnIndependentClientChecksTheCapsHashOnEjabberd)
{
    REQUIRE_XMPP_SERVERS(servers);
    CapsAreChecked(servers, "ejabberd");
}

TEST_F(LiveAnswersTest, AnIndependentClientChecksTheCapsHashOnProsody)
{
    REQUIRE_XMPP_SERVERS(servers);
    CapsAreChecked(servers, "prosody");
}
