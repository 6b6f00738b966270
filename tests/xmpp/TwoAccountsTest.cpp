// Two accounts of the plug-in, alice and bob, on the local ejabberd and again
// on Prosody, with the contact-list model between them: a subscription asked
// for and granted each way through the menus' actions, each seeing the other's
// status come and go, a message each way arriving unchanged, and alice's
// roster changes read back by a second session of hers (whose own change
// reaches her model).
#include <algorithm>

#include "xmpp/LiveContactsFixture.h"

namespace {

// Cyrillic, Czech, a character beyond the BMP, the markup characters and line breaks.
const std::wstring kToBob = L"\x041F\x0440\x0438\x0432\x0435\x0442, \x017E\x006C\x0075\x0165\x006F\x0075\x010D"
                            L"\x006B\x00FD \x006B\x016F\x0148 \xD83D\xDE00 <b> & 'a' \"b\"\r\nsecond line\r\n";
const std::wstring kToAlice = L"Na shledanou \x0159\x00ED\x0161\x0065 \xD83C\xDF89\r\n\r\n</message> &amp;";

const CThirdClient::RosterItem* FindItem(const std::vector<CThirdClient::RosterItem>& roster, const std::string& jid)
{
    for (const auto& item : roster) {
        if (item.jid == jid)
            return &item;
    }
    return nullptr;
}

class TwoAccountsTest : public LiveContactsTest {
protected:
    void Run(const CPeerFile* servers, const std::string& server);

    // Waits until the second session reads alice's roster as `check` wants it.
    bool RosterReads(const std::string& session,
                     const std::function<bool(const std::vector<CThirdClient::RosterItem>&)>& check)
    {
        return WaitFor([&] { return check(third->Roster(session)); }, 10000);
    }
};

void TwoAccountsTest::Run(const CPeerFile* servers, const std::string& server)
{
    CThirdClient* client = Third(servers);
    ASSERT_TRUE(client);
    const std::string alice2 = SessionOf("alice", server);
    const std::string bob2 = SessionOf("bob", server);
    ASSERT_TRUE(client->Connect(alice2)) << client->LastAnswer();
    ASSERT_TRUE(client->Connect(bob2)) << client->LastAnswer();
    ASSERT_TRUE(client->ClearRoster(alice2));
    ASSERT_TRUE(client->ClearRoster(bob2));

    const int port = servers->Port(server + "_tls");
    alice->Use(port, true);
    Bob().Use(port, true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_EQ(bob->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
    ASSERT_TRUE(bob->Reaches(Protocols::StatusOnline)) << bob->Said();

    // Her second session puts bob on her roster: her model follows.
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='bob@localhost' name='Bob'>"
                       "<group>Friends</group></item></query></iq>");
    const unsigned int bobAtAlice = WaitForContact(*alice, L"bob@localhost");
    ASSERT_NE(bobAtAlice, 0u);
    EXPECT_EQ(model.GroupOf(bobAtAlice), L"Friends");
    EXPECT_EQ(model.String(bobAtAlice, L"CL Alias"), L"Bob");
    EXPECT_EQ(model.Byte(bobAtAlice, L"Subscription"), 0);

    // alice asks, bob accepts from his message window; then the other way round.
    Action(*alice, L"Request authorization", bobAtAlice);
    const unsigned int aliceAtBob = WaitForContact(*bob, L"alice@localhost");
    ASSERT_NE(aliceAtBob, 0u);
    ASSERT_TRUE(WaitForText(aliceAtBob, L"Authorization request: "));
    Action(*bob, L"Accept", aliceAtBob);
    EXPECT_TRUE(WaitFor([&] { return model.Byte(bobAtAlice, L"Subscription") == 1; }));
    EXPECT_TRUE(WaitFor([&] { return model.Byte(aliceAtBob, L"Subscription") == 2; }));
    EXPECT_TRUE(WaitFor([&] { return model.GroupOf(aliceAtBob) == L"General"; }))
        << "once on bob's roster, alice leaves the contacts outside it";
    Action(*bob, L"Request authorization", aliceAtBob);
    ASSERT_TRUE(WaitForText(bobAtAlice, L"Authorization request: "));
    Action(*alice, L"Accept", bobAtAlice);
    EXPECT_TRUE(WaitFor([&] { return model.Byte(bobAtAlice, L"Subscription") == 3; }));
    EXPECT_TRUE(WaitFor([&] { return model.Byte(aliceAtBob, L"Subscription") == 3; }));
    EXPECT_TRUE(RosterReads(alice2, [](const std::vector<CThirdClient::RosterItem>& roster) {
        const CThirdClient::RosterItem* item = FindItem(roster, "bob@localhost");
        return item && item->subscription == "both";
    }));

    // Each sees the other's status, x-statuses too, and going offline.
    EXPECT_TRUE(WaitFor([&] { return StatusOf(bobAtAlice) == Protocols::StatusOnline; }));
    EXPECT_TRUE(WaitFor([&] { return StatusOf(aliceAtBob) == Protocols::StatusOnline; }));
    const Protocols::Status kBobs[] = {Protocols::StatusLunch, Protocols::StatusOccupied,
                                       Protocols::StatusNotAvailable};
    for (Protocols::Status status : kBobs) {
        ASSERT_EQ(bob->SetStatus(status), 0);
        EXPECT_TRUE(WaitFor([&] { return StatusOf(bobAtAlice) == status; })) << "bob's " << status;
    }
    const Protocols::Status kAlices[] = {Protocols::StatusEvil, Protocols::StatusFreeForChat,
                                         Protocols::StatusAtWork};
    for (Protocols::Status status : kAlices) {
        ASSERT_EQ(alice->SetStatus(status), 0);
        EXPECT_TRUE(WaitFor([&] { return StatusOf(aliceAtBob) == status; })) << "alice's " << status;
    }
    ASSERT_EQ(bob->SetStatus(Protocols::StatusOffline), 0);
    EXPECT_TRUE(WaitFor([&] { return StatusOf(bobAtAlice) == Protocols::StatusOffline; }));
    ASSERT_EQ(bob->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(bob->Reaches(Protocols::StatusOnline)) << bob->Said();
    EXPECT_TRUE(WaitFor([&] { return StatusOf(bobAtAlice) == Protocols::StatusOnline; }));
    EXPECT_TRUE(WaitFor([&] { return StatusOf(aliceAtBob) == Protocols::StatusAtWork; }))
        << "bob learns alice's status at his login";

    // A message each way, unchanged.
    SendText(*alice, bobAtAlice, kToBob);
    EXPECT_TRUE(WaitForText(aliceAtBob, kToBob));
    SendText(*bob, aliceAtBob, kToAlice);
    EXPECT_TRUE(WaitForText(bobAtAlice, kToAlice));

    // Renamed here, read there.
    Request(*alice, L"Rename contact", new CEventArg_Data<unsigned int>(bobAtAlice),
            new CEventArg_Data<CJOVString>(L"Bobby"));
    EXPECT_TRUE(RosterReads(alice2, [](const std::vector<CThirdClient::RosterItem>& roster) {
        const CThirdClient::RosterItem* item = FindItem(roster, "bob@localhost");
        return item && item->name == "Bobby" && item->groups == std::vector<std::string>{"Friends"};
    })) << "the rename reached the server";
    // Changed there, shown here: in a second group too, still shown in the first.
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='bob@localhost' name='Robert'>"
                       "<group>Work</group><group>Friends</group></item></query></iq>");
    EXPECT_TRUE(WaitFor([&] { return model.String(bobAtAlice, L"CL Alias") == L"Robert"; }))
        << "the second session's change reached the model";
    EXPECT_EQ(model.GroupOf(bobAtAlice), L"Friends");
    // Moved from the group it is shown in: the other group stays.
    Request(*alice, L"Create group", new CEventArg_Data<CJOVString>(L"Chess"));
    const unsigned int chess = model.Find(L"Chess", false, alice->account->GetAccountId());
    ASSERT_NE(chess, 0u);
    Request(*alice, L"Move contact", new CEventArg_Data<unsigned int>(bobAtAlice),
            new CEventArg_Data<unsigned int>(chess));
    EXPECT_TRUE(RosterReads(alice2, [](const std::vector<CThirdClient::RosterItem>& roster) {
        const CThirdClient::RosterItem* item = FindItem(roster, "bob@localhost");
        if (!item)
            return false;
        std::vector<std::string> groups = item->groups;
        std::sort(groups.begin(), groups.end());
        return item->name == "Robert" && groups == std::vector<std::string>{"Chess", "Work"};
    })) << "the move kept bob in \"Work\"";
    Sleep(300);  // the server's echo of the move, whatever order it gives the groups
    EXPECT_EQ(model.GroupOf(bobAtAlice), L"Chess");
    // Taken out of the group it is shown in there: shown in the one left.
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='bob@localhost' name='Robert'>"
                       "<group>Work</group></item></query></iq>");
    EXPECT_TRUE(WaitFor([&] { return model.GroupOf(bobAtAlice) == L"Work"; }));
    // Deleted here, gone there.
    Request(*alice, L"Delete contact", new CEventArg_Data<unsigned int>(bobAtAlice));
    EXPECT_TRUE(RosterReads(alice2, [](const std::vector<CThirdClient::RosterItem>& roster) {
        return FindItem(roster, "bob@localhost") == nullptr;
    }));
    EXPECT_TRUE(WaitFor([&] { return model.Get(bobAtAlice).deleted; }));

    EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();
    EXPECT_TRUE(bob->Warnings().empty()) << bob->Said();
    EXPECT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    EXPECT_EQ(bob->SetStatus(Protocols::StatusOffline), 0);
    client->ClearRoster(alice2);
    client->ClearRoster(bob2);
    client->Disconnect(alice2);
    client->Disconnect(bob2);
}

} // namespace

TEST_F(TwoAccountsTest, OnEjabberd)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "ejabberd");
}

TEST_F(TwoAccountsTest, OnProsody)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "prosody");
}
