// A point in time (message times, "Logon date"), held as local broken-down time.
#pragma once

#include <ctime>

#include "JOVString.h"

class JOV_COMMON_API CTime {
public:
    CTime();
    // Seconds after 1970-01-01 00:00 UTC, held as the local time of that instant.
    explicit CTime(unsigned long unixTime);
    explicit CTime(__int64 unixTime);
    CTime(const CTime& other);
    CTime& operator=(const CTime& other);
    virtual ~CTime();

    // Back to seconds since 1970-01-01 00:00 UTC, cut to 32 bits.
    unsigned long GetUnixTime() const;

    // Date and time ("%c") and the date alone ("%x") in the runtime's locale form.
    CJOVString GetShortDateString() const;
    CJOVString GetDateString() const { return GetShortDateString(); }
    CJOVString GetShortDateOnlyString() const;

private:
    void SetUnixTime(__int64 unixTime);
    CJOVString Format(const wchar_t* conversion) const;

    struct tm m_time;
};
