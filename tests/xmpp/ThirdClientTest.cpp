// The account against an independent client on the local ejabberd and again
// on Prosody: carol (a contact sharing presence both ways) asks for receipts
// and uses chat states; bob's second session plays a stranger whose receipt
// requests, redirected messages and "got account" markers get nothing he
// should not get; and a message to a user who does not exist comes back as a
// warning.
#include "xmpp/LiveContactsFixture.h"

namespace {

const char kReceived[] = "message/{urn:xmpp:receipts}received";
const char kActive[] = "message/{http://jabber.org/protocol/chatstates}active";

class ThirdClientTest : public LiveContactsTest {
protected:
    void Run(const CPeerFile* servers, const std::string& server);
};

void ThirdClientTest::Run(const CPeerFile* servers, const std::string& server)
{
    CThirdClient* client = Third(servers);
    ASSERT_TRUE(client);
    const std::string alice2 = SessionOf("alice", server);
    const std::string bob2 = SessionOf("bob", server);
    const std::string carol = SessionOf("carol", server);
    for (const std::string& session : {alice2, bob2, carol}) {
        ASSERT_TRUE(client->Connect(session)) << session << ": " << client->LastAnswer();
        ASSERT_TRUE(client->ClearRoster(session));
    }
    ASSERT_TRUE(client->Befriend(alice2, carol, "Carol", "Friends"));
    client->Send(bob2, "<presence/>");

    alice->Use(servers->Port(server + "_tls"), true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
    const unsigned int carolAtAlice = WaitForContact(*alice, L"carol@localhost");
    ASSERT_NE(carolAtAlice, 0u);
    EXPECT_EQ(model.GroupOf(carolAtAlice), L"Friends");
    EXPECT_TRUE(WaitFor([&] { return StatusOf(carolAtAlice) == Protocols::StatusOnline; }))
        << "carol is online in the list";
    client->Send(carol, "<presence><show>dnd</show><status>busy</status></presence>");
    EXPECT_TRUE(WaitFor([&] { return StatusOf(carolAtAlice) == Protocols::StatusDoNotDisturb; }));

    // carol asks for a receipt and shows she is active: the receipt answers her id.
    client->Forget(carol);
    client->Send(carol, "<message to='alice@localhost' type='chat' id='carol-1'><body>Are you there?</body>"
                        "<request xmlns='urn:xmpp:receipts'/><active "
                        "xmlns='http://jabber.org/protocol/chatstates'/></message>");
    EXPECT_TRUE(WaitForText(carolAtAlice, L"Are you there?"));
    CThirdClient::Stanza receipt;
    ASSERT_TRUE(client->WaitFor(carol, MessageFrom("alice@localhost/JOV PDA", kReceived), &receipt));
    EXPECT_EQ(receipt.Get(std::string(kReceived) + "@id"), "carol-1");
    EXPECT_FALSE(receipt.Has("message/body"));

    // The answer carries the chat state back, to the resource she wrote from.
    SendText(*alice, carolAtAlice, L"Yes, <here> & \"now\"\r\nbye");
    CThirdClient::Stanza reply;
    ASSERT_TRUE(client->WaitFor(carol, MessageFrom("alice@localhost/JOV PDA", "message/body"), &reply));
    EXPECT_EQ(reply.Get("message/body"), "Yes, <here> & \"now\"\nbye");
    EXPECT_EQ(reply.Get("message@to"), "carol@localhost/third");
    EXPECT_TRUE(reply.Has(kActive));

    // bob is a stranger to alice: no receipt, no address of another, no subscription for a marker.
    client->Forget(bob2);
    client->Send(bob2, std::string("<message to='alice@localhost' type='chat' id='bob-1'><body>hello?</body><") +
                           "request xmlns='urn:xmpp:receipts'/></message>");
    const unsigned int bobAtAlice = WaitForContact(*alice, L"bob@localhost");
    ASSERT_NE(bobAtAlice, 0u);
    EXPECT_EQ(model.Get(bobAtAlice).group, 0u) << "a stranger stands under the account";
    EXPECT_TRUE(WaitForText(bobAtAlice, L"hello?"));
    client->Send(bob2, "<message to='alice@localhost' type='chat'><body>it is carol, really</body>"
                       "<addresses xmlns='http://jabber.org/protocol/address'><address type='ofrom' "
                       "jid='carol@localhost'/></addresses></message>");
    EXPECT_TRUE(WaitForText(bobAtAlice, L"it is carol, really")) << "filed under bob, as it came";
    client->Send(bob2, "<message to='alice@localhost'><x xmlns='jov:x:gotaccount'/></message>");
    EXPECT_TRUE(WaitForText(bobAtAlice, L"Authorization request: ")) << "the user is asked";
    Sleep(1000);
    EXPECT_FALSE(client->Received(bob2, [](const CThirdClient::Stanza& stanza) {
        return stanza.Has(kReceived) || stanza.Get("presence@type") == "subscribed";
    })) << "nothing for the stranger";
    EXPECT_EQ(TextsOf(carolAtAlice).size(), 1u);

    // A user who does not exist: the server's error becomes a warning naming him.
    client->Iq(alice2, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='nobody@localhost'>"
                       "<group>Friends</group></item></query></iq>");
    const unsigned int nobody = WaitForContact(*alice, L"nobody@localhost");
    ASSERT_NE(nobody, 0u);
    alice->Forget();
    SendText(*alice, nobody, L"hello?");
    EXPECT_TRUE(WaitFor([&] { return !alice->Warnings().empty(); }));
    EXPECT_EQ(alice->Said().find("The message to nobody was not delivered: "), 0u) << alice->Said();

    EXPECT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    for (const std::string& session : {alice2, bob2, carol}) {
        client->ClearRoster(session);
        client->Disconnect(session);
    }
}

} // namespace

TEST_F(ThirdClientTest, ReceiptsChatStatesAndStrangersOnEjabberd)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "ejabberd");
}

TEST_F(ThirdClientTest, ReceiptsChatStatesAndStrangersOnProsody)
{
    REQUIRE_XMPP_SERVERS(servers);
    Run(servers, "prosody");
}
