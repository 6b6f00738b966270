// A roster as large as the account's own server hands out in one answer:
// dora's 5,000 contacts in 50 groups on the local ejabberd, set by a session
// of hers, reach the contact-list model whole.
#include <cstdio>

#include "xmpp/LiveContactsFixture.h"

namespace {

const int kContacts = 5000;
const int kGroups = 50;

class LargeRosterTest : public LiveContactsTest {};

} // namespace

TEST_F(LargeRosterTest, FiveThousandContactsInFiftyGroupsFromEjabberdAreMirroredWhole)
{
    REQUIRE_XMPP_SERVERS(servers);
    CThirdClient* client = Third(servers);
    ASSERT_TRUE(client);
    const std::string session = SessionOf("dora", "ejabberd");
    ASSERT_TRUE(client->Connect(session)) << client->LastAnswer();
    std::string sets;
    for (int i = 0; i < kContacts; ++i) {
        char item[256];
        std::snprintf(item, sizeof item,
                      "<iq type='set' id='fill%d'><query xmlns='jabber:iq:roster'><item jid='contact%04d@localhost' "
                      "name='Contact %04d'><group>Group %02d</group></item></query></iq>",
                      i, i, i, i % kGroups);
        sets += item;
    }
    ASSERT_TRUE(client->Send(session, sets));
    // The server answers in order: the roster it sends after the sets holds them all.
    bool read = false;
    std::vector<CThirdClient::RosterItem> roster = client->Roster(session, &read);
    ASSERT_TRUE(read) << client->LastAnswer();
    ASSERT_EQ(roster.size(), static_cast<size_t>(kContacts));
    client->Disconnect(session);
    client->Forget(session);

    alice->settings.Set(L"Account name", L"dora");
    alice->settings.Set(L"Account password", L"dora-pw4");
    alice->Use(servers->Port("ejabberd_tls"), true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
    EXPECT_TRUE(WaitFor([&] { return model.LiveCount(true) == kContacts; }, 60000)) << model.LiveCount(true);
    EXPECT_EQ(model.LiveCount(false), kGroups);
    const unsigned int last = ContactOf(*alice, L"contact4999@localhost");
    ASSERT_NE(last, 0u);
    EXPECT_EQ(model.GroupOf(last), L"Group 49");
    EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();
}
