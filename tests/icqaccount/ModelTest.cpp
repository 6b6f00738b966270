// The roster mirrored into the contact-list model, the buddies' pictures and
// the messages handed over.
#include "icqaccount/AccountFixture.h"
#include "icqaccount/FakeModel.h"
#include "packets/ImageTable.h"

namespace {

OscarWire::Frame OfflineMessage(unsigned int metaType, unsigned int from, const std::string& text)
{
    OscarWire::Builder chunk;
    chunk.U32LE(123456).U16LE(metaType).U16LE(1);
    if (metaType == 0x41) {
        chunk.U32LE(from).U16LE(2026).U8(12).U8(9).U8(7).U8(0).U8(1).U8(0);
        chunk.U16LE(static_cast<unsigned int>(text.size()) + 1).Text(text).U8(0);
    }
    OscarWire::Builder body;
    body.U16(0x0001).U16(static_cast<unsigned int>(chunk.Get().size()) + 2)
        .U16LE(static_cast<unsigned int>(chunk.Get().size())).Raw(chunk.Get());
    return OscarWire::SnacFrame(0x15, 0x03, body);
}

class ModelTest : public AccountTest {
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        m_modelId = m_bus->RegisterService(GUID_ContactList, &m_model);
    }
    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterService(m_modelId);
        AccountTest::TearDown();
    }

    CFakeModel m_model;
    unsigned int m_modelId = 0;
};

} // namespace

TEST_F(ModelTest, TheRosterIsMirroredGroupsFirst)
{
    unsigned int kept = m_model.AddGroup(kAccountId, L"Other");
    unsigned int gone = m_model.AddGroup(kAccountId, L"Old");
    unsigned int moved = m_model.AddContact(kAccountId, gone, L"333");
    unsigned int dropped = m_model.AddContact(kAccountId, gone, L"888");
    unsigned int stranger = m_model.AddContact(kAccountId, 0, L"999");
    m_settings.SetByte(L"Load cl", 1);
    m_settings.SetByte(L"Auto-switch privacy status", 0);
    LoginToBos();
    NegotiateServices();
    // 555 stands before its group.
    Deliver(OscarWire::SsiReply({{"555", 3, 20, 0, {}},
                                 {"Late", 3, 0, 1, {}},
                                 {"Other", 2, 0, 1, {}},
                                 {"333", 2, 15, 0, {}},
                                 {"333", 0, 16, 3, {}}},
                                1));
    unsigned int late = m_model.Find(L"Late", false);
    ASSERT_NE(late, 0u);
    unsigned int early = m_model.Find(L"555", true);
    ASSERT_NE(early, 0u);
    EXPECT_EQ(m_model.Get(early).group, late);
    EXPECT_EQ(m_model.Find(L"Other", false), kept);
    EXPECT_EQ(m_model.Get(moved).group, kept);
    EXPECT_EQ(m_model.Get(moved).bytes.at(L"In invisible list"), 1);
    EXPECT_TRUE(m_model.Get(dropped).deleted);
    EXPECT_TRUE(m_model.Get(gone).deleted);
    EXPECT_FALSE(m_model.Get(stranger).deleted);
    EXPECT_NE(m_account->FindContactByName(CJOVString(L"999")), nullptr);  // kept as not in the list
}

TEST_F(ModelTest, PresenceReachesTheModelAsPictures)
{
    LoginWithRoster(1);
    unsigned int first = m_model.Find(L"111", true);
    ASSERT_NE(first, 0u);
    Deliver(OscarWire::UserOnline("111", {{0x0006, {0, 0, 0, 0x01}}}));
    ASSERT_FALSE(m_model.statuses.empty());
    EXPECT_EQ(m_model.statuses.back(), std::make_pair(first, Protocols::StatusAway));
    ASSERT_EQ(m_model.lastStatus.statusImages.Count(), 1);
    ASSERT_EQ(m_model.lastStatus.statusImages[0].Count(), 2);
    EXPECT_EQ(m_model.lastStatus.statusImages[0][1], GetImageId(16));
    EXPECT_EQ(m_model.lastStatus.extraImages.Count(), 0);

    SetStatus(Protocols::StatusOffline);
    EXPECT_EQ(m_model.statuses.back(), std::make_pair(first, Protocols::StatusOffline));
}

TEST_F(ModelTest, MessagesFromStrangersMakeOneContactOutsideTheList)
{
    LoginWithRoster(1);
    Deliver(OscarWire::MessageChannel1(1, 2, "777", "first"));
    Deliver(OscarWire::MessageChannel1(3, 4, "777", "second"));
    ASSERT_EQ(m_model.messages.size(), 2u);
    unsigned int stranger = m_model.Find(L"777", true);
    EXPECT_NE(stranger, 0u);
    EXPECT_EQ(m_model.Get(stranger).group, 0u);
    EXPECT_EQ(m_model.messages[0].first, stranger);
    EXPECT_EQ(m_model.messages[1].first, stranger);
    EXPECT_TRUE(m_model.messages[1].second.text == CJOVString(L"second"));
    EXPECT_EQ(m_model.messages[1].second.kind, 0u);
    // Mode 1 shows the account to everyone, strangers too.
    EXPECT_TRUE(SentSnac(0x04, 0x0B));
}

TEST_F(ModelTest, SendMessageGoesOnlyToAContactOfTheRoster)
{
    LoginWithRoster(1);
    unsigned int first = m_model.Find(L"111", true);
    m_sockets.ClearSent();
    Protocols::MessageInfo message;
    message.contactId = 0x8000FFFF;
    message.text = CJOVString(L"to nobody");
    Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    EXPECT_FALSE(SentSnac(0x04, 0x06));
    message.contactId = first;
    Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    EXPECT_TRUE(SentSnac(0x04, 0x06));
}

TEST_F(ModelTest, AcknowledgedEditsReachTheModel)
{
    LoginWithRoster(1);
    auto lastEditId = [&] {
        unsigned int id = 0;
        for (const OscarWire::Frame& frame : m_sockets.Sent()) {
            if (frame.channel == 2 && frame.GetSnac().family == 0x13)
                id = frame.GetSnac().requestId;
        }
        m_sockets.ClearSent();
        return id;
    };
    auto acknowledge = [&](unsigned int requestId) {
        Deliver(OscarWire::SnacFrame(0x13, 0x0E, OscarWire::Builder().U16(0), 0, requestId));
    };

    Manager(L"Create group", new CEventArg_Data<CJOVString>(CJOVString(L"New")));
    acknowledge(lastEditId());
    unsigned int group = m_model.Find(L"New", false);
    ASSERT_NE(group, 0u);

    m_account->AddContact(group, CJOVString(L"444"), CJOVString());
    acknowledge(lastEditId());
    unsigned int contact = m_model.Find(L"444", true);
    ASSERT_NE(contact, 0u);
    EXPECT_EQ(m_model.Get(contact).group, group);

    m_account->AddToPrivacyList(contact, kRosterIgnore);
    acknowledge(lastEditId());
    EXPECT_EQ(m_model.Get(contact).bytes.at(L"In ignore list"), 1);

    Manager(L"Delete contact", new CEventArg_Data<unsigned int>(contact));
    acknowledge(lastEditId());
    EXPECT_TRUE(m_model.Get(contact).deleted);
}

TEST_F(ModelTest, OfflineMessagesAreDeliveredThenDeletedOnTheServer)
{
    LoginWithRoster(1);
    Deliver(OfflineMessage(0x41, 111, "while you were away"));
    ASSERT_EQ(m_model.messages.size(), 1u);
    EXPECT_EQ(m_model.messages[0].first, m_model.Find(L"111", true));
    EXPECT_EQ(m_model.messages[0].second.kind, 1u);
    EXPECT_TRUE(m_model.messages[0].second.text == CJOVString(L"while you were away"));
    EXPECT_FALSE(SentSnac(0x15, 0x02));
    Deliver(OfflineMessage(0x42, 0, ""));
    ASSERT_TRUE(SentSnac(0x15, 0x02));
}

TEST_F(ModelTest, OfflineMessagesCarryTheDateTheyWereSent)
{
    LoginWithRoster(1);
    Deliver(OfflineMessage(0x41, 111, "sent last night"));  // 2026-12-09 07:00 UTC
    ASSERT_EQ(m_model.messages.size(), 1u);
    EXPECT_EQ(m_model.messages[0].second.time.GetUnixTime(), 1796799600ul);
}

TEST_F(ModelTest, ANameWithCapitalsAndSpacesIsTheSameBuddyOnTheWire)
{
    m_settings.SetByte(L"Load cl", 1);
    LoginToBos();
    NegotiateServices();
    Deliver(OscarWire::SsiReply({{"Friends", 1, 0, 1, {}}, {"Alice Smith", 1, 10, 0, {}}}, 777));
    Deliver(OwnInfo(0x0000));
    unsigned int alice = m_model.Find(L"Alice Smith", true);
    ASSERT_NE(alice, 0u);

    Deliver(OscarWire::UserOnline("alicesmith", {{0x0006, {0, 0, 0, 0}}}));
    ASSERT_FALSE(m_model.statuses.empty());
    EXPECT_EQ(m_model.statuses.back(), std::make_pair(alice, Protocols::StatusOnline));

    Deliver(OscarWire::MessageChannel1(1, 2, "alicesmith", "hi"));
    ASSERT_EQ(m_model.messages.size(), 1u);
    EXPECT_EQ(m_model.messages[0].first, alice);
    EXPECT_EQ(m_model.Find(L"alicesmith", true), 0u);
    size_t buddies = 0;
    for (const RosterItem& item : m_account->GetRoster())
        buddies += item.type == kRosterBuddy ? 1 : 0;
    EXPECT_EQ(buddies, 1u);
}

TEST_F(ModelTest, CopiesOfAStrangerStoredByEarlierLoginsBecomeOne)
{
    // A stored list with the stranger three times over, none matched yet.
    {
        SSIItem stranger;
        stranger.name = CJOVString(L"777");
        std::vector<unsigned char> data(64);
        CByteWriter writer(data.data(), static_cast<int>(data.size()), 0);
        writer.U8(0);
        writer.U16(3);
        for (int i = 0; i < 3; ++i)
            stranger.Write(writer);
        data.resize(static_cast<size_t>(writer.Position()));
        m_settings.SetData(kAccountId, CJOVString(L"CL data"), data);
    }
    const unsigned int contact = m_model.AddContact(kAccountId, 0, L"777");
    MakeAccount(FastTimings());
    ASSERT_EQ(Manager(L"Create"), 0);
    LoginToOnline();
    Deliver(OscarWire::MessageChannel1(1, 1, "777", "still here"));
    ASSERT_EQ(m_model.messages.size(), 1u);
    EXPECT_EQ(m_model.messages[0].first, contact);
    size_t strangers = 0;
    for (const RosterItem& item : m_account->GetRoster())
        strangers += item.type == kRosterBuddy && item.groupId == 0;
    EXPECT_EQ(strangers, 1u);
}
