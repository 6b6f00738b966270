// The roster from the server and its cache, buddies' presence, the privacy
// rules and the choice of the message channel.
#include "icqaccount/AccountFixture.h"
#include "packets/CapabilityRegistry.h"

namespace {

OscarWire::Bytes CapabilityBytes(std::initializer_list<const wchar_t*> names)
{
    OscarWire::Bytes bytes;
    for (const wchar_t* name : names) {
        const CCapability* capability = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(name));
        EXPECT_NE(capability, nullptr) << "no capability";
        if (capability)
            bytes.insert(bytes.end(), capability->GetGuid(), capability->GetGuid() + 16);
    }
    return bytes;
}

OscarWire::Bytes DirectConnection(unsigned int version)
{
    OscarWire::Builder dc;
    dc.U32(0x7F000001).U32(0).U8(0).U16(version).U32(0);
    return dc.Get();
}

typedef AccountTest RosterTest;

} // namespace

TEST_F(RosterTest, TheServerListIsKeptAndCachedAcrossDestroyAndCreate)
{
    LoginWithRoster(4);
    ASSERT_EQ(m_account->GetRoster().size(), 8u);
    EXPECT_EQ(m_account->GetPrivacyMode(), 4);
    EXPECT_EQ(m_account->NewItemId(), 1024);
    EXPECT_EQ(Manager(L"Destroy"), 0);

    MakeAccount(FastTimings());
    EXPECT_EQ(Manager(L"Create"), 0);
    const std::vector<RosterItem>& roster = m_account->GetRoster();
    ASSERT_EQ(roster.size(), 8u);
    EXPECT_TRUE(roster[1].name == CJOVString(L"111"));
    EXPECT_EQ(roster[1].groupId, 1);
    EXPECT_EQ(roster[1].itemId, 10);
    EXPECT_EQ(roster[3].type, kRosterPrivacy);
    ASSERT_NE(roster[3].tlvs.GetTLV(0x00CA), nullptr);
    EXPECT_EQ(roster[3].tlvs.GetTLV(0x00CA)->GetData()[0], 4);
}

TEST_F(RosterTest, BuddiesComeOnlineAndGoOfflineKeepingTheirCapabilities)
{
    LoginWithRoster(1);
    Deliver(OscarWire::UserOnline("111", {{0x0006, {0, 0, 0, 0x10}}, {0x000D, CapabilityBytes({L"caICQRelay"})}}));
    Deliver(OscarWire::UserOnline("222", {{0x0006, {0, 0, 0, 0x01}}}));
    // Only in a privacy list, not a buddy: not tracked.
    Deliver(OscarWire::UserOnline("999", {{0x0006, {0, 0, 0, 0}}}));
    RosterItem* first = m_account->FindContactByName(CJOVString(L"111"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->status, Protocols::StatusOccupied);
    EXPECT_EQ(m_account->FindContactByName(CJOVString(L"222"))->status, Protocols::StatusAway);
    EXPECT_EQ(m_account->FindContactByName(CJOVString(L"999")), nullptr);
    Deliver(OscarWire::UserOffline("111"));
    EXPECT_EQ(first->status, Protocols::StatusOffline);
    EXPECT_NE(first->onlineData.GetTLV(0x000D), nullptr);
    SetStatus(Protocols::StatusOffline);
    EXPECT_EQ(m_account->FindContactByName(CJOVString(L"222"))->status, Protocols::StatusOffline);
}

TEST_F(RosterTest, PrivacyModesDecideWhoSeesTheAccount)
{
    LoginWithRoster(3);
    EXPECT_FALSE(m_account->IsVisibleTo(nullptr));
    // Mode 3: only the visible list.
    EXPECT_TRUE(m_account->IsVisibleTo(m_account->FindContactByName(CJOVString(L"222"))));
    EXPECT_FALSE(m_account->IsVisibleTo(m_account->FindContactByName(CJOVString(L"111"))));
}

TEST_F(RosterTest, InvisibleListHidesUnderModeFour)
{
    LoginWithRoster(4);
    EXPECT_TRUE(m_account->IsVisibleTo(m_account->FindContactByName(CJOVString(L"111"))));
    EXPECT_FALSE(m_account->IsVisibleTo(m_account->FindContactByName(CJOVString(L"333"))));
}

TEST_F(RosterTest, IncomingMessagesAreAcknowledgedOnlyToThoseWhoMaySeeUs)
{
    LoginWithRoster(1);
    Deliver(OscarWire::MessageChannel1(1, 2, "111", "hello"));
    EXPECT_TRUE(SentSnac(0x04, 0x0B));
    m_sockets.ClearSent();
    Deliver(OscarWire::MessageChannel1(1, 2, "111", ""));  // nothing to show: no answer
    EXPECT_FALSE(SentSnac(0x04, 0x0B));
}

TEST_F(RosterTest, NoAcknowledgementUnderPrivacyModeTwo)
{
    LoginWithRoster(2);
    Deliver(OscarWire::MessageChannel1(1, 2, "111", "hello"));
    EXPECT_FALSE(SentSnac(0x04, 0x0B));
}

TEST_F(RosterTest, TheMessageChannelFollowsTheBuddysClient)
{
    LoginWithRoster(1);
    auto channelOfLastMessage = [&] {
        for (const OscarWire::Frame& frame : m_sockets.Sent()) {
            if (frame.IsSnac(0x04, 0x06))
                return frame.GetSnac().body.size() > 10 ? (frame.GetSnac().body[8] << 8 | frame.GetSnac().body[9]) : -1;
        }
        return -1;
    };
    RosterItem* buddy = m_account->FindContactByName(CJOVString(L"111"));
    ASSERT_NE(buddy, nullptr);
    m_account->SendMessage(*buddy, CJOVString(L"offline"));
    EXPECT_EQ(channelOfLastMessage(), 1);

    m_sockets.ClearSent();
    Deliver(OscarWire::UserOnline("111", {{0x0006, {0, 0, 0, 0}},
                                          {0x000C, DirectConnection(8)},
                                          {0x000D, CapabilityBytes({L"caICQRelay", L"caUTF8support"})}}));
    m_account->SendMessage(*buddy, CJOVString(L"version 8"));
    EXPECT_EQ(channelOfLastMessage(), 2);

    m_sockets.ClearSent();
    Deliver(OscarWire::UserOnline("111", {{0x0006, {0, 0, 0, 0}},
                                          {0x000C, DirectConnection(7)},
                                          {0x000D, CapabilityBytes({L"caICQRelay", L"caUTF8support"})}}));
    m_account->SendMessage(*buddy, CJOVString(L"version 7"));
    EXPECT_EQ(channelOfLastMessage(), 1);
}
