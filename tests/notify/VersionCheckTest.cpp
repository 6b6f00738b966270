// The new-version check against update servers on loopback (started by the
// test fixture): which answers count, what is stored, and once a day.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "ServiceIds.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/notify/VersionCheck.h"
#include "core/settings/JOVDatabase.h"
#include "notify/NotifyFixture.h"

namespace {

// name -> port of the update servers, from the file the fixture wrote.
const std::map<std::string, int>& Servers()
{
    static const std::map<std::string, int> servers = [] {
        std::map<std::string, int> read;
        char path[MAX_PATH] = {};
        DWORD n = GetEnvironmentVariableA("JOV_UPDATE_SERVERS", path, sizeof path);
        if (n == 0 || n >= sizeof path)
            return read;
        std::ifstream file(path);
        EXPECT_TRUE(file.good()) << "no servers file at " << path;
        std::string line;
        while (std::getline(file, line)) {
            size_t eq = line.find('=');
            if (eq != std::string::npos)
                read[line.substr(0, eq)] = std::stoi(line.substr(eq + 1));
        }
        return read;
    }();
    return servers;
}

// A local time of day as seconds since 1970.
time_t LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    SYSTEMTIME local = {year, month, 0, day, hour, minute, 0, 0};
    SYSTEMTIME utc;
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    FILETIME file;
    SystemTimeToFileTime(&utc, &file);
    ULONGLONG ticks = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    return static_cast<time_t>(ticks / 10000000ULL - 11644473600ULL);
}

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Servers().empty())
            GTEST_SKIP() << "JOV_UPDATE_SERVERS is not set: run through ctest";
        m_storeId = m_bus.RegisterService(GUID_Database, &m_store);
    }

    void TearDown() override
    {
        m_check.reset();
        if (m_storeId)
            m_bus.UnregisterService(m_storeId);
    }

    CVersionCheck& Make(DWORD timeoutMs = 5000)
    {
        VersionCheckSettings settings;
        settings.timeoutMs = timeoutMs;
        settings.now = [this] { return m_now; };
        m_check = std::make_unique<CVersionCheck>(&m_bus, [this](int build) { m_notices.push_back(build); },
                                                  settings);
        return *m_check;
    }

    void UseServer(const char* name)
    {
        CJOVString server((L"127.0.0.1:" + std::to_wstring(Servers().at(name))).c_str());
        m_store.SetString(GUID_ServicesManager, CJOVString(L"Update server"), &server);
    }

    // One check against that server, waited for.
    void CheckWith(const char* name)
    {
        UseServer(name);
        CVersionCheck& check = m_check ? *m_check : Make();
        check.Start();
        ASSERT_TRUE(check.Wait(20000));
    }

    unsigned int Stored()
    {
        unsigned int value = 0;
        m_store.GetDWord(GUID_ServicesManager, CJOVString(L"VerCheckTime"), &value);
        return value;
    }

    CTempFolder m_folder;
    Services::CServicesManagerImpl m_bus;
    Database::CJOVDatabase m_store{Database::CSettingsFile(m_folder.Path(L"settings.jov"))};
    unsigned int m_storeId = 0;
    time_t m_now = LocalTime(2024, 3, 14, 12, 0);
    std::vector<int> m_notices;
    std::unique_ptr<CVersionCheck> m_check;
};

} // namespace

TEST_F(VersionCheckTest, ANewerBuildIsShownAndEveryAnswerStored)
{
    CheckWith("build2019");
    EXPECT_TRUE(m_notices.empty());
    EXPECT_EQ(Stored(), static_cast<unsigned int>(m_now));
    unsigned int zero = 0;
    m_store.SetDWord(GUID_ServicesManager, CJOVString(L"VerCheckTime"), &zero);
    CheckWith("build2020");
    EXPECT_TRUE(m_notices.empty()) << "our own build is not news";
    EXPECT_EQ(Stored(), static_cast<unsigned int>(m_now));
    m_now += 86400;
    CheckWith("build2021");
    EXPECT_EQ(m_notices, std::vector<int>{2021});
    EXPECT_EQ(Stored(), static_cast<unsigned int>(m_now));
}

TEST_F(VersionCheckTest, AnswersWithoutABuildNumberStoreNothing)
{
    for (const char* name : {"empty", "text", "notfound", "long"}) {
        SCOPED_TRACE(name);
        CheckWith(name);
        EXPECT_TRUE(m_notices.empty());
        EXPECT_EQ(Stored(), 0u);
        EXPECT_TRUE(m_check->IsDue()) << "tried again at the next status change";
    }
    VersionAnswer notFound = CVersionCheck::Fetch(L"127.0.0.1", static_cast<WORD>(Servers().at("notfound")), 2020, 5000);
    EXPECT_EQ(notFound.status, 404u);
    EXPECT_EQ(notFound.body.substr(0, 4), "2099") << "an error page's digits are not a build";
    VersionAnswer longAnswer = CVersionCheck::Fetch(L"127.0.0.1", static_cast<WORD>(Servers().at("long")), 2020, 5000);
    EXPECT_EQ(longAnswer.status, 200u);
    EXPECT_EQ(longAnswer.body.size(), VersionAnswer::kMaxAnswer) << "read bounded";
    EXPECT_EQ(CVersionCheck::ParseBuildNumber(longAnswer.body), 0) << "too many digits for a build";
}

TEST_F(VersionCheckTest, AsksForItsPageWithItsBuildInTheUserAgent)
{
    VersionAnswer answer = CVersionCheck::Fetch(L"127.0.0.1", static_cast<WORD>(Servers().at("agent")), 2020, 5000);
    EXPECT_EQ(answer.status, 200u);
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("JOV_UPDATE_SERVERS", path, sizeof path);
    std::string seen(path);
    std::ifstream file(seen.substr(0, seen.find_last_of("\\/") + 1) + "agent.txt");
    std::string agent, object;
    std::getline(file, agent);
    std::getline(file, object);
    EXPECT_EQ(object, "/newpda_ppc.php");
    EXPECT_EQ(agent.rfind("Mozilla/4.0 (compatible; jovpdappc2020; Windows CE ", 0), 0u) << agent;
    EXPECT_EQ(agent.back(), ')');
}

TEST_F(VersionCheckTest, AMuteServerTimesOutAndStopCutsTheCheckOff)
{
    CVersionCheck& check = Make(1500);
    UseServer("mute");
    CStopwatch watch;
    check.Start();
    ASSERT_TRUE(check.Wait(20000));
    EXPECT_LT(watch.Ms(), 10000u) << "bounded by the time-outs";
    EXPECT_EQ(Stored(), 0u);
    EXPECT_TRUE(m_notices.empty());

    // A server that answers a newer build, but late: stopped before the
    // answer comes, the check neither shows nor stores it.
    CVersionCheck& slow = Make(20000);
    UseServer("slow2021");
    slow.Start();
    Sleep(500);
    CStopwatch stop;
    slow.Stop();
    EXPECT_LT(stop.Ms(), 500u) << "the quit that stops it waits on a server that answers late";
    Sleep(5000);
    EXPECT_TRUE(m_notices.empty());
    EXPECT_EQ(Stored(), 0u);
    slow.Start();
    EXPECT_TRUE(slow.Wait(0)) << "a stopped check starts no more";
}

TEST_F(VersionCheckTest, OneCheckADayAcrossMidnight)
{
    EXPECT_TRUE(CVersionCheck::IsDue(0, m_now)) << "never checked";
    time_t lateEvening = LocalTime(2024, 3, 14, 23, 59);
    EXPECT_TRUE(CVersionCheck::IsDue(static_cast<unsigned int>(lateEvening), LocalTime(2024, 3, 15, 0, 1)));
    EXPECT_FALSE(CVersionCheck::IsDue(static_cast<unsigned int>(LocalTime(2024, 3, 14, 0, 1)), lateEvening));
    EXPECT_TRUE(CVersionCheck::IsDue(static_cast<unsigned int>(LocalTime(2023, 12, 31, 23, 0)),
                                     LocalTime(2024, 1, 1, 9, 0)));
    EXPECT_FALSE(CVersionCheck::IsDue(static_cast<unsigned int>(LocalTime(2024, 3, 15, 8, 0)), lateEvening))
        << "a clock set back is not a new day";

    m_now = LocalTime(2024, 3, 14, 23, 59);
    CVersionCheck& check = Make();
    EXPECT_TRUE(check.IsDue());
    CheckWith("build2019");
    EXPECT_FALSE(check.IsDue());
    m_now = LocalTime(2024, 3, 15, 0, 1);
    EXPECT_TRUE(check.IsDue());
    UseServer("build2021");
    check.StartIfDue();
    ASSERT_TRUE(check.Wait(20000));
    EXPECT_EQ(m_notices, std::vector<int>{2021});
    m_now += 3600;
    check.StartIfDue();
    ASSERT_TRUE(check.Wait(20000));
    EXPECT_EQ(m_notices.size(), 1u) << "not again the same day";
}

TEST_F(VersionCheckTest, TheServerSettingIsAHostAndAPort)
{
    std::wstring host;
    WORD port = 0;
    EXPECT_TRUE(CVersionCheck::ParseServer(CJOVString(L"localhost"), &host, &port));
    EXPECT_EQ(host, L"localhost");
    EXPECT_EQ(port, 80);
    EXPECT_TRUE(CVersionCheck::ParseServer(CJOVString(L"127.0.0.1:8080"), &host, &port));
    EXPECT_EQ(host, L"127.0.0.1");
    EXPECT_EQ(port, 8080);
    for (const wchar_t* bad : {L"", L":80", L"host:", L"host:0", L"host:65536", L"host:8o", L"a b", L"h/x", L"u@h"})
        EXPECT_FALSE(CVersionCheck::ParseServer(CJOVString(bad), &host, &port)) << Str(CJOVString(bad));
    EXPECT_EQ(CVersionCheck::ParseBuildNumber("2021\r\n"), 2021);
    EXPECT_EQ(CVersionCheck::ParseBuildNumber(" 2021"), 0);
    EXPECT_EQ(CVersionCheck::ParseBuildNumber("-2021"), 0);
    EXPECT_EQ(CVersionCheck::ParseBuildNumber("999999999"), 999999999);
}

TEST_F(VersionCheckTest, AnUnusableServerSettingStartsNoCheck)
{
    CVersionCheck& check = Make();
    CJOVString bad(L"no such:host");
    m_store.SetString(GUID_ServicesManager, CJOVString(L"Update server"), &bad);
    check.Start();
    EXPECT_TRUE(check.Wait(0));
    EXPECT_EQ(Stored(), 0u);
}
