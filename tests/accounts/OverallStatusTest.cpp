// The overall status follows the accounts' reports; SetStatus(0) reaches the
// accounts by the statuses they last reported.
#include "accounts/AccountsFixture.h"

using namespace Protocols;

class OverallStatusTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        m_a = m_manager->AddAccount(kGood);
        m_b = m_manager->AddAccount(kOther);
        ASSERT_TRUE(CPluginLog::WaitFor(Hex(m_b) + L" Lang change"));
    }

    // The overall statuses announced after the "Loaded" one.
    std::vector<int> Announced()
    {
        std::vector<int> all = OverallStatuses();
        return std::vector<int>(all.begin() + (all.empty() ? 0 : 1), all.end());
    }

    Status Overall()
    {
        Status status = StatusEvil;
        m_manager->GetStatus(0, &status);
        return status;
    }

    unsigned int m_a = 0;
    unsigned int m_b = 0;
};

TEST_F(OverallStatusTest, ConnectingThenOnlineIsAnnouncedAtEachStepBeforeTheAccountsReport)
{
    EXPECT_EQ(OverallStatuses(), std::vector<int>{0});  // on "Loaded"
    Report(m_a, StatusConnecting);
    Report(m_a, StatusOnline);
    EXPECT_EQ(Announced(), (std::vector<int>{1, 2}));
    EXPECT_LT(CPluginLog::Find(L"observer Status changed overall status 1"),
              CPluginLog::Find(L"observer Status changed " + Hex(m_a) + L" status 1"));
    EXPECT_LT(CPluginLog::Find(L"observer Status changed overall status 2"),
              CPluginLog::Find(L"observer Status changed " + Hex(m_a) + L" status 2"));
    EXPECT_EQ(Overall(), StatusOnline);
}

TEST_F(OverallStatusTest, WhenTheAwayAccountGoesOfflineTheOverallFollowsTheOthers)
{
    Report(m_a, StatusAway);
    Report(m_b, StatusOnline);
    EXPECT_EQ(Overall(), StatusAway);
    Report(m_a, StatusOffline);
    EXPECT_EQ(Overall(), StatusOnline);
}

TEST_F(OverallStatusTest, AllOnlineAccountsAgreeingSetTheOverallStatus)
{
    Report(m_a, StatusOnline);
    Report(m_b, StatusOnline);
    Report(m_a, StatusOccupied);
    EXPECT_EQ(Overall(), StatusOnline);  // still shown by the other account
    Report(m_b, StatusOccupied);
    EXPECT_EQ(Overall(), StatusOccupied);
}

TEST_F(OverallStatusTest, LastOnlineAccountGoingOfflineLeavesConnectingThenOffline)
{
    Report(m_a, StatusOnline);
    Report(m_b, StatusConnecting);
    Report(m_a, StatusOffline);
    EXPECT_EQ(Overall(), StatusConnecting);
    Report(m_b, StatusOffline);
    EXPECT_EQ(Overall(), StatusOffline);
    // The online accounts agreeing (on B connecting) is announced again, unchanged.
    EXPECT_EQ(Announced(), (std::vector<int>{2, 2, 1, 0}));
}

TEST_F(OverallStatusTest, OnlyAccountReconnectingMakesTheOverallConnecting)
{
    Report(m_a, StatusOnline);
    Report(m_a, StatusConnecting);
    EXPECT_EQ(Overall(), StatusConnecting);
}

TEST_F(OverallStatusTest, DeletingTheOnlineAccountTakesItOutOfTheOverallStatus)
{
    Report(m_a, StatusOnline);
    // "Loaded" announced offline already: the deletion's announcement comes after it.
    const std::wstring offline = L"observer Status changed overall status 0";
    const int before = CPluginLog::Count(offline);
    m_manager->DeleteAccount(m_a);
    ASSERT_TRUE(CPluginLog::WaitFor(Hex(m_a) + L" DestroyAccount"));
    const DWORD start = GetTickCount();
    while (CPluginLog::Count(offline) == before && GetTickCount() - start < 10000)
        Sleep(2);
    ASSERT_GT(CPluginLog::Count(offline), before) << "the deletion announced no offline overall status";
    EXPECT_EQ(Overall(), StatusOffline);
}

TEST_F(OverallStatusTest, SetStatusForAllConnectsEveryAccountWhenNoneIsOnline)
{
    EXPECT_EQ(m_manager->SetStatus(0, StatusOnline), 1);
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(m_a) + L" Set status status 2"));
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(m_b) + L" Set status status 2"));
}

TEST_F(OverallStatusTest, SetStatusForAllChangesOnlyTheOnlineAccounts)
{
    Report(m_a, StatusOnline);
    EXPECT_EQ(m_manager->SetStatus(0, StatusAway), 1);
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(m_a) + L" Set status status 11"));
    Sleep(50);
    EXPECT_EQ(CPluginLog::Find(Hex(m_b) + L" Set status"), -1);
    // Decided by the reported statuses: no account was asked.
    EXPECT_EQ(CPluginLog::Find(L" Get status"), -1);
}

TEST_F(OverallStatusTest, OfflineForAllAlsoStopsAccountsStillConnecting)
{
    Report(m_a, StatusOnline);
    Report(m_b, StatusConnecting);
    m_manager->SetStatus(0, StatusOffline);
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(m_a) + L" Set status status 0"));
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(m_b) + L" Set status status 0"));
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Status changed " + Hex(m_b) + L" status 0"));
    const DWORD start = GetTickCount();
    while (Overall() != StatusOffline && GetTickCount() - start < 10000)
        Sleep(2);
    EXPECT_EQ(Overall(), StatusOffline);
}

TEST_F(OverallStatusTest, ReportOfAStatusOutsideTheTableIsIgnored)
{
    Report(m_a, StatusOnline);
    Tell(m_a, L"Test report", 99);
    Report(m_b, StatusAway);
    EXPECT_EQ(CPluginLog::Find(L"status 99"), -1);
    EXPECT_EQ(Overall(), StatusOnline);
}
