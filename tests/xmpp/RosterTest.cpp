// The roster in the contact-list model: the login's answer reconciled with
// what the model kept, the server's pushes (and the ones nobody may send),
// and the user's changes as the roster sets they send, refused ones taken back.
#include "xmpp/JabberContactsFixture.h"

#include <atomic>

namespace {

const char kFriends[] =
    "<item jid='bob@localhost' name='Bob' subscription='both'><group>Friends</group></item>"
    "<item jid='carol@localhost' subscription='to'><group>Friends</group><group>Work</group></item>"
    "<item jid='dave@localhost' name='Dave' subscription='from'/>"
    "<item jid='eve@localhost' name='Eve' subscription='none' ask='subscribe'><group>Work</group></item>";

class RosterTest : public JabberContactsTest {};

std::atomic<DWORD> g_clock{1000};
DWORD TurnedClock()
{
    return g_clock;
}

} // namespace

TEST_F(RosterTest, TheAnswerBringsGroupsAndContactsWithTheirNamesAndSubscriptions)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    ASSERT_NE(Group(L"Friends"), 0u);
    ASSERT_NE(Group(L"Work"), 0u);
    ASSERT_NE(Group(L"General"), 0u) << "an item without a group lands in \"General\"";
    EXPECT_EQ(m_model.String(Group(L"Friends"), L"CL Alias"), L"Friends");
    EXPECT_EQ(m_model.LiveCount(false), 3);

    const unsigned int bob = Contact(L"bob@localhost");
    ASSERT_NE(bob, 0u);
    EXPECT_EQ(m_model.String(bob, L"CL Alias"), L"Bob");
    EXPECT_EQ(m_model.Byte(bob, L"Subscription"), 3);
    EXPECT_EQ(m_model.GroupOf(bob), L"Friends");
    // No name: the node of the JID; in two groups: shown in the first.
    const unsigned int carol = Contact(L"carol@localhost");
    EXPECT_EQ(m_model.String(carol, L"CL Alias"), L"carol");
    EXPECT_EQ(m_model.GroupOf(carol), L"Friends");
    EXPECT_EQ(m_model.Byte(carol, L"Subscription"), 1);
    EXPECT_EQ(m_model.GroupOf(Contact(L"dave@localhost")), L"General");
    EXPECT_EQ(m_model.Byte(Contact(L"dave@localhost"), L"Subscription"), 2);
    EXPECT_EQ(m_model.Byte(Contact(L"eve@localhost"), L"Subscription"), 0);

    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"CAROL@localhost"), item));
    ASSERT_EQ(item.groups.size(), 2u);
    EXPECT_TRUE(item.groups[1] == CJOVString(L"Work"));
    EXPECT_EQ(item.contactId, carol);
}

TEST_F(RosterTest, TheAnswerIsReconciledWithTheModelOfTheLastRunInOneTransaction)
{
    const unsigned int old = m_model.AddGroup(JabberAccountTest::kAccountId, L"Old");
    const unsigned int friends = m_model.AddGroup(JabberAccountTest::kAccountId, L"Friends");
    const unsigned int work = m_model.AddGroup(JabberAccountTest::kAccountId, L"Work");
    const unsigned int bob = m_model.AddContact(kAccountId, work, L"Bob@Localhost", L"Bobby");
    const unsigned int gone = m_model.AddContact(kAccountId, old, L"gone@localhost");
    const unsigned int stranger = m_model.AddContact(kAccountId, 0, L"stranger@elsewhere", L"Stranger");
    BYTE none = 0;
    m_model.SetByte(bob, CJOVString(L"Subscription"), &none);

    m_model.Forget();
    std::string id = LogInToRoster();
    Deliver("<iq type='result' id='" + id + "'><query xmlns='jabber:iq:roster'>" + std::string(kFriends) +
            "</query></iq>");

    EXPECT_EQ(m_model.begun, 1);
    EXPECT_EQ(m_model.ended, 1);
    // Found again without case, moved to its group, renamed as the server names it.
    EXPECT_EQ(Contact(L"Bob@Localhost"), bob);
    EXPECT_EQ(m_model.Get(bob).group, friends);
    EXPECT_EQ(m_model.String(bob, L"CL Alias"), L"Bob");
    EXPECT_EQ(m_model.Byte(bob, L"Subscription"), 3);
    EXPECT_EQ(m_model.LastStatus(bob).status, Protocols::StatusOffline);
    EXPECT_TRUE(m_model.pushedInTransaction) << "the changed subscription is drawn again";
    EXPECT_TRUE(m_model.Get(gone).deleted) << "a contact the server no longer holds goes";
    EXPECT_TRUE(m_model.Get(old).deleted) << "so does a group nobody is in";
    EXPECT_FALSE(m_model.Get(work).deleted);
    EXPECT_FALSE(m_model.Get(stranger).deleted) << "a contact outside the roster stays";
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"stranger@elsewhere"), item));
    EXPECT_EQ(item.contactId, stranger);
    EXPECT_TRUE(item.groups.empty());
    // The first presence follows the answer.
    EXPECT_TRUE(Has(AllSent(), "<presence><priority>0</priority>"));
}

TEST_F(RosterTest, ARefusedRosterIsToldAndThePresenceGoesOutAnyway)
{
    const unsigned int bob = m_model.AddContact(kAccountId, m_model.AddGroup(kAccountId, L"Friends"), L"bob@localhost");
    ASSERT_NO_FATAL_FAILURE(LogIn());
    // LogIn delivered an empty roster: a real answer, so bob went.
    EXPECT_TRUE(m_model.Get(bob).deleted);

    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    const unsigned int work = m_model.AddGroup(kAccountId, L"Work");
    const unsigned int carol = m_model.AddContact(kAccountId, work, L"carol@localhost");
    std::string id = LogInToRoster(Protocols::StatusAway);
    Deliver("<iq type='error' id='" + id + "'><error type='wait'><internal-server-error "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    EXPECT_TRUE(Has(AllSent(), "<show>away</show>")) << AllSent();
    ASSERT_EQ(WaitForWarnings(1), 1u);
    EXPECT_EQ(LastWarning(), "The server did not send your contact list: internal-server-error");
    EXPECT_FALSE(m_model.Get(carol).deleted) << "nothing is taken from the model without an answer";
}

TEST_F(RosterTest, PushesAddRenameMoveChangeTheSubscriptionAndRemove)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int bob = Contact(L"bob@localhost");

    Push("<item jid='frank@localhost' name='Frank' subscription='none'><group>Chess</group></item>");
    const unsigned int frank = Contact(L"frank@localhost");
    ASSERT_NE(frank, 0u);
    EXPECT_EQ(m_model.GroupOf(frank), L"Chess") << "a group that did not exist is made";
    EXPECT_EQ(m_model.String(frank, L"CL Alias"), L"Frank");
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='result' id='push1'/>"}) << "the server is owed a result";
    m_sockets.ClearSent();

    // Renamed only: the model hears of the change.
    Push("<item jid='bob@localhost' name='Robert' subscription='both'><group>Friends</group></item>");
    EXPECT_EQ(m_model.String(bob, L"CL Alias"), L"Robert");
    EXPECT_EQ(m_model.changed, std::vector<unsigned int>{bob});
    EXPECT_EQ(m_model.moves, 0);
    // Moved: the move shows it.
    Push("<item jid='bob@localhost' name='Robert' subscription='both'><group>Chess</group></item>");
    EXPECT_EQ(m_model.GroupOf(bob), L"Chess");
    EXPECT_EQ(m_model.moves, 1);

    // The server's groups in another order: carol stays where she is shown.
    const unsigned int carol = Contact(L"carol@localhost");
    Push("<item jid='carol@localhost' subscription='to'><group>Work</group><group>Friends</group></item>");
    EXPECT_EQ(m_model.GroupOf(carol), L"Friends");
    EXPECT_EQ(m_model.moves, 1);

    // frank now shares his presence.
    Push("<item jid='frank@localhost' name='Frank' subscription='to'><group>Chess</group></item>");
    EXPECT_EQ(m_model.Byte(frank, L"Subscription"), 1);
    EXPECT_EQ(m_model.LastStatus(frank).extraImages.Count(), 0) << "no mark of a missing authorization";

    // A removed contact goes from the model and the list.
    Push("<item jid='bob@localhost' subscription='remove'/>");
    EXPECT_TRUE(m_model.Get(bob).deleted);
    EXPECT_EQ(m_account->GetList().ListFindIndex(kListRoster, CJOVString(L"bob@localhost")), 0);
    ASSERT_EQ(Sent().size(), 5u) << "each push answered";
    EXPECT_EQ(Sent().back(), "<iq type='result' id='push6'/>");
}

TEST_F(RosterTest, PushesFromOthersOrWithoutWhatTheyNeedChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const int contacts = m_model.LiveCount(true);
    // Only the own account's server may push.
    Push("<item jid='mallory@evil' subscription='both'><group>Friends</group></item>", "mallory@evil/x");
    EXPECT_EQ(Contact(L"mallory@evil"), 0u);
    EXPECT_EQ(Sent().size(), 1u) << "its error and nothing else";
    EXPECT_TRUE(Has(AllSent(), "<iq type='error' to='mallory@evil/x' id='push1'>")) << AllSent();
    EXPECT_TRUE(Has(AllSent(), "service-unavailable"));
    m_sockets.ClearSent();
    Push("<item jid='bob@localhost' subscription='remove'/>", "alice@localhost/other");
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_TRUE(Has(AllSent(), "service-unavailable")) << "another resource is not the server";
    EXPECT_NE(Contact(L"bob@localhost"), 0u);
    m_sockets.ClearSent();

    // From the bare account it counts; items without a JID or a subscription do not.
    Push("<item name='nobody' subscription='both'/><item jid='' subscription='both'/>"
         "<item jid='grace@localhost' name='Grace'><group>Friends</group></item>"
         "<group>Friends</group>",
         "alice@localhost");
    EXPECT_EQ(m_model.LiveCount(true), contacts);
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='result' id='push3'/>"}) << "the server's, though empty";
    // A JID with a resource is kept bare; a group given twice counts once; an empty group is none.
    Push("<item jid='heidi@localhost/phone' subscription='both'><group>Chess</group><group>Chess</group>"
         "<group></group></item>");
    const unsigned int heidi = Contact(L"heidi@localhost");
    ASSERT_NE(heidi, 0u);
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"heidi@localhost"), item));
    EXPECT_EQ(item.groups.size(), 1u);
    // A remove of someone unknown, and an item with an unknown subscription value.
    Push("<item jid='nobody@localhost' subscription='remove'/>"
         "<item jid='ivan@localhost' subscription='sideways'/>");
    EXPECT_EQ(m_model.Byte(Contact(L"ivan@localhost"), L"Subscription"), 0);
    EXPECT_EQ(m_model.GroupOf(Contact(L"ivan@localhost")), L"General");
}

TEST_F(RosterTest, RenameAndMoveSendEveryGroupWithAnIdAndNoSubscription)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int carol = Contact(L"carol@localhost");
    Manager(L"Rename contact", new CEventArg_Data<unsigned int>(carol), new CEventArg_Data<CJOVString>(L"Carol <3"));
    EXPECT_EQ(m_model.String(carol, L"CL Alias"), L"Carol <3");
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_3'><query xmlns='jabber:iq:roster'>"
                                               "<item jid='carol@localhost' name='Carol &lt;3'><group>Friends</group>"
                                               "<group>Work</group></item></query></iq>"});
    m_sockets.ClearSent();

    // Moved from "Friends" to a new group: "Work" stays.
    const unsigned int chess = m_model.AddGroup(kAccountId, L"Chess");
    Manager(L"Move contact", new CEventArg_Data<unsigned int>(carol), new CEventArg_Data<unsigned int>(chess));
    EXPECT_EQ(m_model.Get(carol).group, chess);
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_4'><query xmlns='jabber:iq:roster'>"
                                               "<item jid='carol@localhost' name='Carol &lt;3'><group>Chess</group>"
                                               "<group>Work</group></item></query></iq>"});
    m_sockets.ClearSent();
    // Into the group it is also in: once there.
    Manager(L"Move contact", new CEventArg_Data<unsigned int>(carol),
            new CEventArg_Data<unsigned int>(Group(L"Work")));
    EXPECT_TRUE(Has(AllSent(), "name='Carol &lt;3'><group>Work</group></item>")) << AllSent();

    // The answers: the server's word is all.
    Deliver("<iq type='result' id='jov_3'/><iq type='result' id='jov_4'/><iq type='result' id='jov_5'/>");
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(RosterTest, AChangeTheServerRefusesIsToldAndTakenBack)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int bob = Contact(L"bob@localhost");
    const unsigned int work = Group(L"Work");
    Manager(L"Rename contact", new CEventArg_Data<unsigned int>(bob), new CEventArg_Data<CJOVString>(L"Robert"));
    Manager(L"Move contact", new CEventArg_Data<unsigned int>(bob), new CEventArg_Data<unsigned int>(work));
    ASSERT_EQ(m_model.String(bob, L"CL Alias"), L"Robert");
    ASSERT_EQ(m_model.GroupOf(bob), L"Work");
    Deliver("<iq type='error' id='jov_4'><error type='modify'><not-acceptable "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    EXPECT_EQ(m_model.GroupOf(bob), L"Friends") << "the move is taken back";
    Deliver("<iq type='error' id='jov_3'><error type='cancel'><forbidden "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/><text xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'>"
            "read-only</text></error></iq>");
    EXPECT_EQ(m_model.String(bob, L"CL Alias"), L"Bob") << "so is the name";
    ASSERT_EQ(WaitForWarnings(2), 2u);
    EXPECT_EQ(Warnings()[0], L"The server refused the change of Robert: not-acceptable");
    EXPECT_EQ(Warnings()[1], L"The server refused the change of Bob: forbidden (read-only)");
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"bob@localhost"), item));
    EXPECT_TRUE(item.name == CJOVString(L"Bob"));
    ASSERT_EQ(item.groups.size(), 1u);
    EXPECT_TRUE(item.groups[0] == CJOVString(L"Friends"));
}

TEST_F(RosterTest, ARenamedGroupGoesToTheServerWithEachOfItsContacts)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int work = Group(L"Work");
    // Sent and waited for, as the protocols manager sends it.
    EXPECT_EQ(Manager(L"Rename group", new CEventArg_Data<unsigned int>(work), new CEventArg_Data<CJOVString>(L"Job")),
              0);
    EXPECT_EQ(m_model.String(work, L"Account name"), L"Job");
    EXPECT_EQ(m_model.String(work, L"CL Alias"), L"Job");
    EXPECT_EQ(m_model.groupsChanged, std::vector<unsigned int>{work});
    const std::string sent = AllSent();
    EXPECT_TRUE(Has(sent, "<item jid='carol@localhost' name='carol'><group>Friends</group><group>Job</group>")) << sent;
    EXPECT_TRUE(Has(sent, "<item jid='eve@localhost' name='Eve'><group>Job</group>")) << sent;
    EXPECT_FALSE(Has(sent, "bob@localhost"));

    // Refused: the group's name comes back too.
    Deliver("<iq type='error' id='jov_3'><error type='cancel'><forbidden "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    EXPECT_EQ(m_model.String(work, L"Account name"), L"Work");
    ASSERT_EQ(WaitForWarnings(1), 1u);
    EXPECT_EQ(LastWarning(), "The server refused the change of Work: forbidden");
}

TEST_F(RosterTest, DeletingAGroupRemovesItsOwnContactsAndOnlyDropsItFromSharedOnes)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int friends = Group(L"Friends");
    const unsigned int carol = Contact(L"carol@localhost");
    Manager(L"Delete group", new CEventArg_Data<unsigned int>(friends));
    const std::string sent = AllSent();
    EXPECT_TRUE(Has(sent, "<item jid='bob@localhost' subscription='remove'/>")) << sent;
    EXPECT_TRUE(Has(sent, "<item jid='carol@localhost' name='carol'><group>Work</group></item>")) << sent;
    EXPECT_FALSE(Has(sent, "carol@localhost' subscription='remove'"));
    EXPECT_TRUE(m_model.Get(friends).deleted);
    EXPECT_FALSE(m_model.Get(carol).deleted) << "carol went on to \"Work\" before the group went";
    EXPECT_EQ(m_model.GroupOf(carol), L"Work");
    EXPECT_EQ(m_account->GetList().ListFindIndex(kListRoster, CJOVString(L"bob@localhost")), 0);

    // No group: the contacts outside the roster go, nothing is sent.
    Deliver("<message from='stranger@elsewhere/x' type='chat'><body>hi</body></message>");
    const unsigned int stranger = Contact(L"stranger@elsewhere");
    ASSERT_NE(stranger, 0u);
    m_sockets.ClearSent();
    Manager(L"Delete group");
    EXPECT_TRUE(m_model.Get(stranger).deleted);
    EXPECT_FALSE(m_model.Get(carol).deleted);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(RosterTest, CreatingAGroupIsTheModelsAndDeletingAContactTheServers)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    Manager(L"Create group", new CEventArg_Data<CJOVString>(L"Chess"));
    const unsigned int chess = Group(L"Chess");
    ASSERT_NE(chess, 0u);
    EXPECT_EQ(m_model.String(chess, L"CL Alias"), L"Chess");
    EXPECT_TRUE(Sent().empty()) << "a group lives on the server only through its contacts";

    const unsigned int dave = Contact(L"dave@localhost");
    Manager(L"Delete contact", new CEventArg_Data<unsigned int>(dave));
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_3'><query xmlns='jabber:iq:roster'>"
                                               "<item jid='dave@localhost' subscription='remove'/></query></iq>"});
    EXPECT_TRUE(m_model.Get(dave).deleted);
}

TEST_F(RosterTest, AChangeWhoseAnswerNeverComesIsForgottenWhenItsOneShotExpires)
{
    // The account again, on a clock the test turns.
    m_account.reset();
    JabberTimings timings;
    timings.queueScanMs = 10;
    timings.tick = &TurnedClock;
    m_account = std::make_unique<CJabberProtocol>(m_bus.get(), kAccountId, m_hostId, &m_settings, timings);
    Manager(L"Create");
    ASSERT_NO_FATAL_FAILURE(LogIn(kFriends));
    const unsigned int bob = Contact(L"bob@localhost");
    const unsigned int carol = Contact(L"carol@localhost");
    Manager(L"Rename contact", new CEventArg_Data<unsigned int>(bob), new CEventArg_Data<CJOVString>(L"Robert"));
    EXPECT_EQ(m_account->PendingRosterChanges(), 1u);

    g_clock += timings.oneShotExpiryMs + 1;
    // The next change finds the first one's wait over: only its own is kept.
    Manager(L"Rename contact", new CEventArg_Data<unsigned int>(carol), new CEventArg_Data<CJOVString>(L"Caro"));
    EXPECT_EQ(m_account->PendingRosterChanges(), 1u);
    // Too late: the refusal takes nothing back.
    Deliver("<iq type='error' id='jov_3'><error type='cancel'><forbidden "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    EXPECT_EQ(m_model.String(bob, L"CL Alias"), L"Robert");
    Deliver("<iq type='result' id='jov_4'/>");
    EXPECT_EQ(m_account->PendingRosterChanges(), 0u);
    EXPECT_TRUE(Warnings().empty());
}
