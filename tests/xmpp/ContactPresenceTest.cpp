// The contacts' presence as the model shows it: each resource's show and
// x-status, the status of several resources together, the images of a
// contact, subscription requests (a gateway's too, asked like any other) and
// the capabilities that decide what a message to a resource carries.
#include "xmpp/JabberContactsFixture.h"

#include "JabberImageTable.h"

namespace {

const char kRoster[] = "<item jid='bob@localhost' name='Bob' subscription='both'><group>Friends</group></item>"
                       "<item jid='dave@localhost' name='Dave' subscription='from'><group>Friends</group></item>"
                       "<item jid='eve@localhost' name='Eve' subscription='none'><group>Friends</group></item>";

class ContactPresenceTest : public JabberContactsTest {
protected:
    void Presence(const std::string& from, const std::string& inner = std::string(),
                  const std::string& attributes = std::string())
    {
        Deliver("<presence from='" + from + "'" + attributes + ">" + inner + "</presence>");
    }
    Protocols::Status StatusOf(const wchar_t* jid) { return m_model.LastStatus(Contact(jid)).status; }
    // The first image the contact is drawn with, as a position of the image table; -1 for none.
    int ImageOf(const wchar_t* jid)
    {
        Protocols::ContactStatusInfo info = m_model.LastStatus(Contact(jid));
        if (info.statusImages.Count() == 0 || info.statusImages[0].Count() == 0)
            return -1;
        for (int position = 0; position < kJabberImageCount; ++position) {
            if (GetJabberImageId(position) == info.statusImages[0][0] && position != 1)
                return position;
        }
        return -1;
    }
    Protocols::ContactStatusInfo Ask(unsigned int contactId)
    {
        Protocols::ContactStatusInfo info;
        Manager(L"Get contact status info", new CEventArg_Data<unsigned int>(contactId),
                new CEventArg_Data<Protocols::ContactStatusInfo*>(&info));
        return info;
    }
};

} // namespace

TEST_F(ContactPresenceTest, EachShowMapsToAStatusAndSeveralResourcesShowTheBestOne)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const struct {
        const char* inner;
        Protocols::Status status;
    } kShows[] = {
        {"", Protocols::StatusOnline},           {"<show/>", Protocols::StatusOnline},
        {"<show>away</show>", Protocols::StatusAway}, {"<show>xa</show>", Protocols::StatusNotAvailable},
        {"<show>dnd</show>", Protocols::StatusDoNotDisturb}, {"<show>chat</show>", Protocols::StatusFreeForChat},
        {"<show>sleeping</show>", Protocols::StatusOnline},
    };
    for (const auto& show : kShows) {
        SCOPED_TRACE(show.inner);
        Presence("bob@localhost/phone", show.inner);
        EXPECT_EQ(StatusOf(L"bob@localhost"), show.status);
    }
    EXPECT_EQ(ImageOf(L"bob@localhost"), kJabberImageOnline);

    // Chatty on one resource, busy on another: chatty wins, whatever the order.
    Presence("bob@localhost/phone", "<show>dnd</show>");
    Presence("bob@localhost/pc", "<show>chat</show>");
    EXPECT_EQ(StatusOf(L"bob@localhost"), Protocols::StatusFreeForChat);
    EXPECT_EQ(ImageOf(L"bob@localhost"), 6);
    Presence("bob@localhost/pc", "", " type='unavailable'");
    EXPECT_EQ(StatusOf(L"bob@localhost"), Protocols::StatusDoNotDisturb);
    // Away beats extended away, busy beats away.
    Presence("dave@localhost/a", "<show>xa</show>");
    Presence("dave@localhost/b", "<show>away</show>");
    EXPECT_EQ(StatusOf(L"dave@localhost"), Protocols::StatusAway);
    Presence("dave@localhost/c", "<show>dnd</show>");
    EXPECT_EQ(StatusOf(L"dave@localhost"), Protocols::StatusDoNotDisturb);

    // The last resource gone: offline, with its words kept on the item.
    Presence("bob@localhost/phone", "<status>gone fishing</status>", " type='unavailable'");
    EXPECT_EQ(StatusOf(L"bob@localhost"), Protocols::StatusOffline);
    EXPECT_EQ(ImageOf(L"bob@localhost"), kJabberImageOffline);
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"bob@localhost"), item));
    EXPECT_TRUE(item.resources.empty());
    EXPECT_TRUE(item.inlineStatusText == CJOVString(L"gone fishing"));
}

TEST_F(ContactPresenceTest, XStatusesRefineTheShowAndPrioritiesStayInTheirRange)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const struct {
        const char* inner;
        Protocols::Status status;
    } kXStatuses[] = {
        {"<x xmlns='jov:x:status' value='4'/>", Protocols::StatusEvil},
        {"<x xmlns='jov:x:status' value='5'/>", Protocols::StatusDepression},
        {"<x xmlns='jov:x:status' value='6'/>", Protocols::StatusAtHome},
        {"<x xmlns='jov:x:status' value='7'/>", Protocols::StatusAtWork},
        {"<show>dnd</show><x xmlns='jov:x:status' value='8'/>", Protocols::StatusOccupied},
        {"<show>away</show><x xmlns='jov:x:status' value='10'/>", Protocols::StatusLunch},
        {"<show>away</show><x xmlns='jov:x:status' value='99'/>", Protocols::StatusAway},
        {"<show>away</show><x xmlns='other' value='10'/>", Protocols::StatusAway},
        {"<show>away</show><x xmlns='jov:x:status'/>", Protocols::StatusAway},
    };
    for (const auto& x : kXStatuses) {
        SCOPED_TRACE(x.inner);
        Presence("bob@localhost/phone", x.inner);
        EXPECT_EQ(StatusOf(L"bob@localhost"), x.status);
    }
    EXPECT_EQ(ImageOf(L"bob@localhost"), 12) << "away's own picture";

    Presence("bob@localhost/low", "<priority>-5</priority>");
    Presence("bob@localhost/high", "<priority>99999</priority>");
    Presence("bob@localhost/mid", "<priority>3</priority>");
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"bob@localhost"), item));
    ASSERT_EQ(item.resources.size(), 4u);
    EXPECT_EQ(item.resources[1].priority, -5);
    EXPECT_EQ(item.resources[2].priority, 127) << "clamped, not wrapped into a negative";
    EXPECT_TRUE(m_account->GetList().ListGetBestResource(CJOVString(L"bob@localhost")) == CJOVString(L"high"));
}

TEST_F(ContactPresenceTest, PresenceOfStrangersOwnEchoesAndWithoutSenderIsIgnored)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Presence("mallory@localhost/x");
    Deliver("<presence from='bob@localhost/phone' to='bob@localhost/phone'/>");
    Deliver("<presence><show>chat</show></presence>");
    Presence("alice@localhost/JOV PDA", "", " to='alice@localhost/JOV PDA'");
    EXPECT_TRUE(m_model.statuses.empty());
    EXPECT_EQ(Contact(L"mallory@localhost"), 0u);
    EXPECT_EQ(m_account->GetList().ListFindIndex(kListRoster, CJOVString(L"mallory@localhost")), 0);
}

TEST_F(ContactPresenceTest, AContactIsDrawnByWhereItStandsAndWhetherItSharesItsPresence)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Presence("bob@localhost/phone", "<show>away</show>");
    Protocols::ContactStatusInfo bob = Ask(Contact(L"bob@localhost"));
    EXPECT_EQ(bob.status, Protocols::StatusAway);
    ASSERT_EQ(bob.statusImages.Count(), 1);
    EXPECT_EQ(bob.statusImages[0][0], GetJabberImageId(12));
    EXPECT_EQ(bob.extraImages.Count(), 0);
    // "from" and "none" do not let us see them: marked.
    for (const wchar_t* jid : {L"dave@localhost", L"eve@localhost"}) {
        Protocols::ContactStatusInfo info = Ask(Contact(jid));
        ASSERT_EQ(info.extraImages.Count(), 1);
        EXPECT_EQ(info.extraImages[0][0], GetJabberImageId(kJabberImageNeedAuth));
    }
    // Outside the roster; and in a group but unknown to the account.
    Deliver("<message from='stranger@elsewhere/x'><body>hi</body></message>");
    Protocols::ContactStatusInfo stranger = Ask(Contact(L"stranger@elsewhere"));
    EXPECT_EQ(stranger.statusImages[0][0], GetJabberImageId(kJabberImageNotInList));
    const unsigned int unknown = m_model.AddContact(kAccountId, Group(L"Friends"), L"unknown@localhost");
    Protocols::ContactStatusInfo info = Ask(unknown);
    EXPECT_EQ(info.status, Protocols::StatusOffline);
    EXPECT_EQ(info.statusImages[0][0], GetJabberImageId(kJabberImageOffline));
}

TEST_F(ContactPresenceTest, EveryoneWhoAsksToSeeThePresenceIsAskedAboutAGatewayToo)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Presence("eve@localhost", "<status>it's Eve</status>", " type='subscribe'");
    auto messages = m_model.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, Contact(L"eve@localhost"));
    const CJOVString& text = messages[0].second.text;
    EXPECT_EQ(std::wstring(text.Data(), text.GetLength()), L"Authorization request: it's Eve");
    EXPECT_EQ(messages[0].second.imageIndex, static_cast<int>(GetJabberImageId(kJabberImageRequest)));
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"eve@localhost"), item));
    EXPECT_TRUE(item.authRequest);
    EXPECT_TRUE(Sent().empty()) << "nothing is granted by itself";

    // A gateway is not granted without the user either; it appears under the account.
    Presence("icq.localhost", "", " type='subscribe'");
    EXPECT_TRUE(Sent().empty()) << AllSent();
    const unsigned int gateway = Contact(L"icq.localhost");
    ASSERT_NE(gateway, 0u);
    EXPECT_EQ(m_model.Get(gateway).group, 0u);
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"icq.localhost"), item));
    EXPECT_TRUE(item.authRequest);

    // "subscribed": from shares both ways, none one way.
    Presence("dave@localhost", "", " type='subscribed'");
    Presence("eve@localhost", "", " type='subscribed'");
    EXPECT_EQ(m_model.Byte(Contact(L"dave@localhost"), L"Subscription"), 3);
    EXPECT_EQ(m_model.Byte(Contact(L"eve@localhost"), L"Subscription"), 1);
    EXPECT_EQ(Ask(Contact(L"eve@localhost")).extraImages.Count(), 0);
}

TEST_F(ContactPresenceTest, GoingOfflineTakesEveryContactOfflineInOneTransaction)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Presence("bob@localhost/phone");
    Presence("dave@localhost/pc", "<show>away</show>");
    m_model.Forget();
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    EXPECT_EQ(m_model.begun, 1);
    EXPECT_EQ(m_model.ended, 1);
    EXPECT_TRUE(m_model.pushedInTransaction);
    EXPECT_EQ(m_model.statuses.size(), 2u);
    EXPECT_EQ(StatusOf(L"bob@localhost"), Protocols::StatusOffline);
    EXPECT_EQ(StatusOf(L"dave@localhost"), Protocols::StatusOffline);
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"dave@localhost"), item));
    EXPECT_TRUE(item.resources.empty());
}

TEST_F(ContactPresenceTest, AResourceOfThisProgramGetsChatStatesAndEventsOthersAPlainMessage)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Presence("bob@localhost/JOV PDA", "<c xmlns='http://jabber.org/protocol/caps' node='https://jov.example.org/caps' "
                                      "ver='0.1.1.1' ext='cmds tune'/>");
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"bob@localhost"), item));
    EXPECT_EQ(item.resources[0].features, 0x6467FCFDull | (1ull << 8) | (1ull << 32)) << "its version and extensions";
    Protocols::MessageInfo message;
    message.contactId = Contact(L"bob@localhost");
    message.text = CJOVString(L"hi");
    Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    EXPECT_EQ(AllSent(), "<message type='chat' to='bob@localhost/JOV PDA' id='jov_3'><body>hi</body>"
                         "<active xmlns='http://jabber.org/protocol/chatstates'/>"
                         "<x xmlns='jabber:x:event'><composing/><delivered/><offline/></x></message>");
    m_sockets.ClearSent();

    // Someone else's client, and a version of ours nobody knows.
    Presence("dave@localhost/other", "<c xmlns='http://jabber.org/protocol/caps' node='https://other.example/' "
                                     "ver='0.1.1.1'/>");
    Presence("eve@localhost/JOV PDA", "<c xmlns='http://jabber.org/protocol/caps' node='https://jov.example.org/caps' "
                                      "ver='9'/>");
    for (const wchar_t* jid : {L"dave@localhost", L"eve@localhost"}) {
        message.contactId = Contact(jid);
        Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    }
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          "<message type='chat' to='dave@localhost/other' id='jov_4'><body>hi</body></message>",
                          "<message type='chat' to='eve@localhost/JOV PDA' id='jov_5'><body>hi</body></message>"}));
}
