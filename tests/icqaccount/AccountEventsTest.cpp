// The account's requests from the protocols manager and the plug-in's account
// map.
#include "AccountRegistry.h"
#include "icqaccount/AccountFixture.h"
#include "protocols/ProtocolInfo.h"
#include "support/AllocationWatch.h"

TEST_F(AccountTest, AnUnknownRequestOrSenderDoesNothing)
{
    EXPECT_EQ(Manager(L"No such request"), 0);
    EXPECT_EQ(m_bus->SendEventToClient(m_account->GetClientId(), GUID_History, CJOVString(L"Set status"),
                                       new CEventArg_Data<Protocols::Status>(Protocols::StatusOnline), nullptr, true),
              0);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_TRUE(m_sockets.Connects().empty());
}

TEST_F(AccountTest, GetAccountNameCopiesTheUin)
{
    CJOVString name;
    EXPECT_EQ(Manager(L"Get account name", new CEventArg_Data<CJOVString*>(&name)), 0);
    EXPECT_TRUE(name == CJOVString(L"123456"));
    EXPECT_EQ(Manager(L"Get account name"), 0);  // no argument: nothing to fill
}

TEST_F(AccountTest, GetStatusInfoFillsTheRecordOfTheStatus)
{
    Protocols::StatusInfo info;
    Manager(L"Get status info", new CEventArg_Data<Protocols::Status>(Protocols::StatusAway),
            new CEventArg_Data<Protocols::StatusInfo*>(&info));
    EXPECT_EQ(info.status, Protocols::StatusAway);
    EXPECT_GT(info.name.GetLength(), 0);
}

TEST_F(AccountTest, XStatusTextsAndIndexSurviveDestroyAndCreate)
{
    m_settings.SetByte(L"X status", 3);
    m_settings.Set(L"X01 status name", L"Coffee");
    m_settings.Set(L"X23 status desc", L"Far away");
    EXPECT_EQ(Manager(L"Create"), 0);
    m_settings.Set(L"X01 status name", L"changed behind its back");
    m_settings.SetByte(L"X status", 0);
    EXPECT_EQ(Manager(L"Destroy"), 0);
    EXPECT_EQ(m_settings.String(L"X01 status name"), L"Coffee");
    EXPECT_EQ(m_settings.String(L"X23 status desc"), L"Far away");
    EXPECT_EQ(m_settings.Byte(L"X status"), 3);
    // Unregistered by "Destroy": further events do not reach it.
    EXPECT_EQ(Manager(L"Get status"), Services::kNotFound);
}

TEST_F(AccountTest, DestroyWhileOnlineClosesTheConnection)
{
    LoginToOnline();
    auto keepAlives = [&] {
        int n = 0;
        for (const OscarWire::Frame& frame : m_sockets.Sent())
            n += frame.channel == 5 ? 1 : 0;
        return n;
    };
    ASSERT_TRUE(WaitUntil([&] { return keepAlives() >= 1; }));
    EXPECT_EQ(Manager(L"Destroy"), 0);
    EXPECT_EQ(m_sockets.Current(), nullptr);
    EXPECT_FALSE(m_account->IsKeepAliveRunning());
    int after = keepAlives();
    Sleep(100);
    EXPECT_EQ(keepAlives(), after);
}

TEST_F(AccountTest, AnXStatusOutsideTheTableIsNone)
{
    m_settings.SetByte(L"X status", static_cast<unsigned char>(kXStatusCount + 1));
    Manager(L"Create");
    EXPECT_EQ(m_account->GetXStatus(), 0);
    m_account->SetXStatus(kXStatusCount);
    EXPECT_EQ(m_account->GetXStatus(), kXStatusCount);
    m_account->SetXStatus(-1);
    EXPECT_EQ(m_account->GetXStatus(), 0);
    m_account->SetXStatus(kXStatusCount + 1);
    EXPECT_EQ(m_account->GetXStatus(), 0);
}

TEST_F(AccountTest, ChangingTheStatusOnlineWaitsForTheServer)
{
    LoginToOnline();
    m_sockets.ClearSent();
    SetStatus(Protocols::StatusOccupied);
    EXPECT_TRUE(SentSnac(0x01, 0x1E));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    Deliver(OwnInfo(0x0010));  // occupied on the wire
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOccupied);
}

TEST_F(AccountTest, OwnAwayAndInvisibleAreNotExchanged)
{
    LoginToOnline();
    Deliver(OwnInfo(0x0001));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusAway);
    Deliver(OwnInfo(0x0100));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusInvisible);
}

TEST_F(AccountTest, TheAccountMapCreatesFindsAndDestroys)
{
    SetAccountEnvironment(&m_settings, FastTimings());
    unsigned int clientId = CreateICQAccount(m_bus.get(), 42, m_hostId);
    ASSERT_NE(clientId, 0u);
    ASSERT_NE(FindAccount(42), nullptr);
    EXPECT_EQ(FindAccount(42)->GetClientId(), clientId);
    EXPECT_EQ(FindAccount(43), nullptr);
    EXPECT_EQ(GetPluginServices(), m_bus.get());
    DestroyICQAccount(clientId + 1000);  // unknown: nothing
    EXPECT_NE(FindAccount(42), nullptr);
    DestroyICQAccount(clientId);
    EXPECT_EQ(FindAccount(42), nullptr);
    SetAccountEnvironment(nullptr, ICQTimings());
}

TEST_F(AccountTest, AWarningOfAnAccountWithoutABusLeavesNoArgumentBehind)
{
    CFakeSettings empty;  // no account data: a status asks for it with a warning
    CICQProtocol account(nullptr, 9, 0, &empty, FastTimings());
    CEventArg_Data<Protocols::Status> online(Protocols::StatusOnline);
    CAllocationWatch watch;
    account.OnEvent(GUID_ProtocolsManager, CJOVString(L"Set status"), &online, nullptr);
    EXPECT_EQ(watch.Live(), 0u);
}
