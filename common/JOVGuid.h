// 16-byte identifier naming services, event senders, protocols and settings sections.
#pragma once

#include "JOVString.h"

struct JOV_COMMON_API JOV_GUID {
    unsigned int Data1;
    unsigned short Data2;
    unsigned short Data3;
    unsigned char Data4[8];

    JOV_GUID& operator=(const JOV_GUID& other) = default;
    bool operator==(const JOV_GUID& other) const;
    bool operator!=(const JOV_GUID& other) const { return !(*this == other); }
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
    CJOVString GetString() const;
    // Stores the fields read before the first character that does not fit the text form.
    void SetString(const CJOVString& text);
};
