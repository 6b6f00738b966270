#include "JOVTime.h"

#include <cstring>
#include <cwchar>

namespace {

// The runtime refuses local times before 1970 and after the year 3000 (with
// a day's margin for any time-zone offset); instants outside are clamped.
const __int64 kLatestInstant = 32535215999LL - 86400;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
__int64 DaysFromCivil(__int64 year, int month, int day)
{
    year -= month <= 2;
    const __int64 era = (year >= 0 ? year : year - 399) / 400;
    const __int64 yearOfEra = year - era * 400;
    const __int64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const __int64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

CTime::CTime()
{
    SetUnixTime(static_cast<__int64>(std::time(nullptr)));
}

CTime::CTime(unsigned long unixTime)
{
    SetUnixTime(static_cast<__int64>(unixTime));
}

CTime::CTime(__int64 unixTime)
{
    SetUnixTime(unixTime);
}

CTime::CTime(const CTime& other) : m_time(other.m_time) {}

CTime& CTime::operator=(const CTime& other)
{
    m_time = other.m_time;
    return *this;
}

CTime::~CTime() = default;

void CTime::SetUnixTime(__int64 unixTime)
{
    if (unixTime < 0)
        unixTime = 0;
    if (unixTime > kLatestInstant)
        unixTime = kLatestInstant;
    const time_t t = static_cast<time_t>(unixTime);
    if (const struct tm* local = std::localtime(&t)) {
        m_time = *local;
        return;
    }
    // Should the runtime still refuse, hold the epoch rather than garbage.
    std::memset(&m_time, 0, sizeof(m_time));
    m_time.tm_mday = 1;
    m_time.tm_year = 70;
    m_time.tm_wday = 4;
}

unsigned long CTime::GetUnixTime() const
{
    // mktime would do this too, but it answers -1 for a local time before
    // 1970 (the epoch itself west of Greenwich), so the offsets are applied here.
    _tzset();
    const long zone = _timezone;
    const long dstBias = _dstbias;
    const __int64 days = DaysFromCivil(static_cast<__int64>(m_time.tm_year) + 1900, m_time.tm_mon + 1, 1) +
                         (m_time.tm_mday - 1);
    __int64 seconds = days * 86400 + m_time.tm_hour * 3600 + m_time.tm_min * 60 + m_time.tm_sec;
    seconds += zone;
    if (m_time.tm_isdst > 0)
        seconds += dstBias;
    return static_cast<unsigned long>(static_cast<unsigned __int64>(seconds) & 0xFFFFFFFFu);
}

CJOVString CTime::Format(const wchar_t* conversion) const
{
    // The held fields are the wall-clock time already: formatted as they stand.
    wchar_t text[256];
    if (std::wcsftime(text, 256, conversion, &m_time) == 0)
        return CJOVString();
    return CJOVString(text);
}

CJOVString CTime::GetShortDateString() const
{
    return Format(L"%c");
}

CJOVString CTime::GetShortDateOnlyString() const
{
    return Format(L"%x");
}
