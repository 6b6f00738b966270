// CTime: Unix time in and out across time zones, and the text forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "JOVTime.h"

namespace {

const unsigned long kWinterMorning = 1705314600UL;  // 2024-01-15 10:30:00 UTC
const unsigned long kSummerMorning = 1721039400UL;  // 2024-07-15 10:30:00 UTC

// The runtime's time zone, as TZ sets it, for one test; the platform's own
// zone (UTC on the test machine) is left alone.
class CTimeZoneTest : public ::testing::Test {
protected:
    void UseZone(const char* assignment)
    {
        _putenv(assignment);
        _tzset();
        // Windows' runtime gives a zone with daylight time an hour's shift;
        // Wine's keeps the shift of the zone before (none, after UTC).
        if (_daylight)
            _dstbias = -3600;
    }
    void TearDown() override { UseZone("TZ="); }
};

std::wstring Text(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

} // namespace

TEST_F(CTimeZoneTest, UnixTimeRoundTripsInEveryZone)
{
    const char* zones[] = {"TZ=UTC0", "TZ=EST5EDT", "TZ=ABC-3", "TZ=CET-1CEST"};
    const unsigned long instants[] = {0UL, 1UL, kWinterMorning, kSummerMorning, 0x7FFFFFFFUL, 4000000000UL};
    for (const char* zone : zones) {
        UseZone(zone);
        for (unsigned long t : instants)
            EXPECT_EQ(CTime(t).GetUnixTime(), t) << zone << " at " << t;
    }
}

TEST_F(CTimeZoneTest, EpochWestOfGreenwichIsNotAnError)
{
    // Locally 1969-12-31 19:00, which the runtime's mktime refuses.
    UseZone("TZ=EST5EDT");
    CTime epoch(0UL);
    EXPECT_EQ(Text(epoch.GetShortDateString()), L"12/31/69 19:00:00");
    EXPECT_EQ(epoch.GetUnixTime(), 0UL);
}

TEST_F(CTimeZoneTest, TextShowsTheHeldLocalTime)
{
    UseZone("TZ=EST5EDT");
    EXPECT_EQ(Text(CTime(kWinterMorning).GetShortDateString()), L"01/15/24 05:30:00");
    EXPECT_EQ(Text(CTime(kSummerMorning).GetShortDateString()), L"07/15/24 06:30:00");  // daylight time
    EXPECT_EQ(Text(CTime(kSummerMorning).GetDateString()), L"07/15/24 06:30:00");
    EXPECT_EQ(Text(CTime(kSummerMorning).GetShortDateOnlyString()), L"07/15/24");

    UseZone("TZ=ABC-3");
    EXPECT_EQ(Text(CTime(kWinterMorning).GetShortDateString()), L"01/15/24 13:30:00");
    // A copy holds the same local time, not a new conversion.
    CTime copy(kWinterMorning);
    UseZone("TZ=UTC0");
    CTime assigned(0UL);
    assigned = copy;
    EXPECT_EQ(Text(assigned.GetShortDateString()), L"01/15/24 13:30:00");
}

TEST_F(CTimeZoneTest, RepeatedHourOfAutumnKeepsItsDaylightFlag)
{
    // Find the hour the clocks go back, by the runtime's own rules.
    UseZone("TZ=CET-1CEST");
    unsigned long repeated = 0;
    for (unsigned long t = kSummerMorning; t < kSummerMorning + 200UL * 86400UL && !repeated; t += 3600UL) {
        if (Text(CTime(t).GetShortDateString()) == Text(CTime(t + 3600UL).GetShortDateString()))
            repeated = t;
    }
    ASSERT_NE(repeated, 0UL);
    EXPECT_EQ(CTime(repeated).GetUnixTime(), repeated);
    EXPECT_EQ(CTime(repeated + 3600UL).GetUnixTime(), repeated + 3600UL);
}

TEST_F(CTimeZoneTest, SixtyFourBitSecondsOutsideTheRuntimeRangeAreClamped)
{
    UseZone("TZ=UTC0");
    EXPECT_EQ(CTime(static_cast<__int64>(kWinterMorning)).GetUnixTime(), kWinterMorning);
    EXPECT_EQ(CTime(static_cast<__int64>(-5)).GetUnixTime(), 0UL);
    CTime far(static_cast<__int64>(400000000000LL));
    EXPECT_EQ(Text(far.GetShortDateOnlyString()), L"12/30/00");  // the year 3000, the last one held
}

TEST(CTimeNow, DefaultIsTheClockNow)
{
    const unsigned long before = static_cast<unsigned long>(std::time(nullptr));
    const unsigned long now = CTime().GetUnixTime();
    const unsigned long after = static_cast<unsigned long>(std::time(nullptr));
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}
