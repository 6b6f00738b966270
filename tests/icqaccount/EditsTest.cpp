// Edits of the server-side list: what is sent, and what an acknowledgement
// changes in the roster.
#include "icqaccount/AccountFixture.h"
#include "packets/CapabilityRegistry.h"

namespace {

class EditsTest : public AccountTest {
protected:
    static constexpr unsigned int kFriends = 1;
    static constexpr unsigned int kFirst = 0x80000001;
    static constexpr unsigned int kOther = 2;

    void SetUp() override
    {
        AccountTest::SetUp();
        m_settings.SetByte(L"Auto-switch privacy status", 0);
        LoginWithRoster(1);
        m_account->SetContactIdForTest(0, kFriends);
        m_account->SetContactIdForTest(1, kFirst);
        m_account->SetContactIdForTest(6, kOther);
    }

    // The SSI edits sent since the last look, and the request id of the last.
    std::vector<OscarWire::Snac> Edits()
    {
        std::vector<OscarWire::Snac> edits;
        for (const OscarWire::Frame& frame : m_sockets.Sent()) {
            if (frame.channel == 2 && frame.GetSnac().family == 0x13)
                edits.push_back(frame.GetSnac());
        }
        m_sockets.ClearSent();
        return edits;
    }

    void Acknowledge(unsigned int requestId, unsigned int result)
    {
        Deliver(OscarWire::SnacFrame(0x13, 0x0E, OscarWire::Builder().U16(result), 0, requestId));
    }

    const RosterItem* Find(const wchar_t* name, unsigned short type)
    {
        for (const RosterItem& item : m_account->GetRoster()) {
            if (item.type == type && item.name == CJOVString(name))
                return &item;
        }
        return nullptr;
    }
};

} // namespace

TEST_F(EditsTest, AGroupIsAddedWhenTheServerAgrees)
{
    Manager(L"Create group", new CEventArg_Data<CJOVString>(CJOVString(L"New")));
    std::vector<OscarWire::Snac> edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].subtype, 0x08u);
    EXPECT_EQ(Find(L"New", kRosterGroup), nullptr);
    Acknowledge(edits[0].requestId + 1, 0);  // not ours: ignored
    EXPECT_EQ(m_account->GetPendingEditCount(), 1u);
    Acknowledge(edits[0].requestId, 0);
    const RosterItem* group = Find(L"New", kRosterGroup);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->groupId, 1024);
    EXPECT_EQ(m_account->GetPendingEditCount(), 0u);
}

TEST_F(EditsTest, AnAddThatNeedsAuthorizationIsRetriedOnceWithTheMark)
{
    m_account->AddContact(kFriends, CJOVString(L"444"), CJOVString(L"Four"));
    std::vector<OscarWire::Snac> first = Edits();
    ASSERT_EQ(first.size(), 1u);
    Acknowledge(first[0].requestId, 14);
    std::vector<OscarWire::Snac> second = Edits();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].subtype, 0x08u);
    EXPECT_GT(second[0].body.size(), first[0].body.size());  // TLV 0x0066 added
    Acknowledge(second[0].requestId, 14);
    EXPECT_TRUE(Edits().empty());
    EXPECT_EQ(m_account->GetPendingEditCount(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Warning") == 2; }));
}

TEST_F(EditsTest, AnAuthorizedAddJoinsTheGroup)
{
    m_account->AddContact(kFriends, CJOVString(L"444"), CJOVString());
    std::vector<OscarWire::Snac> first = Edits();
    Acknowledge(first[0].requestId, 14);
    Acknowledge(Edits()[0].requestId, 0);
    const RosterItem* buddy = Find(L"444", kRosterBuddy);
    ASSERT_NE(buddy, nullptr);
    EXPECT_EQ(buddy->groupId, 1);
    EXPECT_NE(buddy->tlvs.GetTLV(0x0066), nullptr);
}

TEST_F(EditsTest, AMoveIsOneModificationOfDeleteAndAdd)
{
    Manager(L"Move contact", new CEventArg_Data<unsigned int>(kFirst), new CEventArg_Data<unsigned int>(kOther));
    std::vector<OscarWire::Snac> edits = Edits();
    ASSERT_EQ(edits.size(), 4u);
    EXPECT_EQ(edits[0].subtype, 0x11u);
    EXPECT_EQ(edits[1].subtype, 0x0Au);
    EXPECT_EQ(edits[2].subtype, 0x08u);
    EXPECT_EQ(edits[3].subtype, 0x12u);
    Acknowledge(edits[1].requestId, 0);
    Acknowledge(edits[2].requestId, 0);
    const RosterItem* moved = Find(L"111", kRosterBuddy);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->groupId, 2);
    EXPECT_EQ(moved->itemId, 1024);
}

TEST_F(EditsTest, RenameAndDeleteTakeEffectOnTheAcknowledgement)
{
    Manager(L"Rename contact", new CEventArg_Data<unsigned int>(kFirst),
            new CEventArg_Data<CJOVString>(CJOVString(L"First")));
    std::vector<OscarWire::Snac> rename = Edits();
    ASSERT_EQ(rename.size(), 1u);
    EXPECT_EQ(rename[0].subtype, 0x09u);
    Acknowledge(rename[0].requestId, 0);
    const RosterItem* renamed = Find(L"111", kRosterBuddy);
    ASSERT_NE(renamed, nullptr);
    ASSERT_NE(renamed->tlvs.GetTLV(0x0131), nullptr);
    EXPECT_EQ(renamed->tlvs.GetTLV(0x0131)->GetDataLength(), 5);

    Manager(L"Delete contact", new CEventArg_Data<unsigned int>(kFirst));
    std::vector<OscarWire::Snac> remove = Edits();
    ASSERT_EQ(remove.size(), 1u);
    Acknowledge(remove[0].requestId, 2);  // refused: stays
    EXPECT_NE(Find(L"111", kRosterBuddy), nullptr);
    Manager(L"Delete contact", new CEventArg_Data<unsigned int>(kFirst));
    Acknowledge(Edits()[0].requestId, 0);
    EXPECT_EQ(Find(L"111", kRosterBuddy), nullptr);
}

TEST_F(EditsTest, UnknownIdsSendNothing)
{
    Manager(L"Delete contact", new CEventArg_Data<unsigned int>(0x80000055));
    Manager(L"Rename group", new CEventArg_Data<unsigned int>(99), new CEventArg_Data<CJOVString>(CJOVString(L"x")));
    m_account->AddContact(99, CJOVString(L"1"), CJOVString());
    EXPECT_TRUE(Edits().empty());
}

TEST_F(EditsTest, AnAcceptedAuthorizationDropsTheMarkOnTheServer)
{
    m_account->AddContact(kFriends, CJOVString(L"444"), CJOVString());
    Acknowledge(Edits()[0].requestId, 14);
    Acknowledge(Edits()[0].requestId, 0);
    ASSERT_NE(Find(L"444", kRosterBuddy), nullptr);
    Deliver(OscarWire::SnacFrame(0x13, 0x1B, OscarWire::Builder().U8(3).Text("444").U8(1).U16(0)));
    std::vector<OscarWire::Snac> update = Edits();
    ASSERT_EQ(update.size(), 1u);
    EXPECT_EQ(update[0].subtype, 0x09u);
    EXPECT_EQ(Find(L"444", kRosterBuddy)->tlvs.GetTLV(0x0066), nullptr);
    // A second reply finds nothing left to change.
    Deliver(OscarWire::SnacFrame(0x13, 0x1B, OscarWire::Builder().U8(3).Text("444").U8(1).U16(0)));
    EXPECT_TRUE(Edits().empty());
}

TEST_F(EditsTest, AnXStatusIsAskedOnlyOfABuddyShowingOne)
{
    const CCapability* xStatus = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(L"capXS5pic"));
    ASSERT_NE(xStatus, nullptr);
    RosterItem* buddy = m_account->FindContactByName(CJOVString(L"111"));
    m_sockets.ClearSent();
    m_account->RequestXStatus(*buddy);
    EXPECT_TRUE(m_sockets.Sent().empty());
    Deliver(OscarWire::UserOnline(
        "111", {{0x0006, {0, 0, 0, 0}}, {0x000D, OscarWire::Bytes(xStatus->GetGuid(), xStatus->GetGuid() + 16)}}));
    m_account->RequestXStatus(*buddy);
    ASSERT_TRUE(SentSnac(0x04, 0x06));
}
