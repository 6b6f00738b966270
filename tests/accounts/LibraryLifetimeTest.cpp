// An account's library is freed only when nothing its code made is left: the
// arguments of its reports are released by that code, wherever they wait.
#include "accounts/AccountsFixture.h"
#include "common/TestGate.h"

using namespace Protocols;

class LibraryLifetimeTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        m_good = m_manager->AddAccount(kGood);
        ASSERT_TRUE(CPluginLog::WaitFor(Hex(m_good) + L" Lang change"));
    }

    void TearDown() override
    {
        SetEnvironmentVariableW(L"JOV_TEST_REPORT_ON_DESTROY", nullptr);
        AccountsTest::TearDown();
    }

    unsigned int m_good = 0;
};

// The account reports going offline when told "Destroy": the report waits in
// the manager's queue behind the deletion, and is handled with the library
// still there.
TEST_F(LibraryLifetimeTest, AReportMadeOnDestroyIsHandledBeforeTheLibraryGoes)
{
    SetEnvironmentVariableW(L"JOV_TEST_REPORT_ON_DESTROY", L"1");
    EXPECT_EQ(m_manager->DeleteAccount(m_good), 0);
    ASSERT_TRUE(CPluginLog::WaitFor(Hex(m_good) + L" DestroyAccount"));
    EXPECT_TRUE(WaitUnloaded(L"Good.dll")) << "the library stays after its account";
    // The manager goes on: another account comes and goes.
    const unsigned int again = m_manager->AddAccount(kGood);
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Added " + Hex(again)));
    EXPECT_EQ(m_manager->DeleteAccount(again), 0);
    EXPECT_TRUE(WaitUnloaded(L"Good.dll"));
}

// A subscriber slower than the manager still holds the relayed report when
// the manager and the libraries are gone.
TEST_F(LibraryLifetimeTest, RelayedReportsOutliveTheAccountsLibrary)
{
    CTestGate held, release;
    m_observer.BeforeNext([&] {
        held.Open();
        release.Wait();
    });
    Tell(m_good, L"Test report", StatusOnline);
    ASSERT_TRUE(held.Wait()) << "the overall status was not announced";
    // The account's own report is relayed right after the overall one; the
    // manager's teardown waits for that handler, then frees the library.
    Stop();
    ASSERT_EQ(GetModuleHandleW(L"Good.dll"), nullptr);
    release.Open();
    EXPECT_TRUE(CPluginLog::WaitFor(L"observer Status changed " + Hex(m_good) + L" status 2"));
}
