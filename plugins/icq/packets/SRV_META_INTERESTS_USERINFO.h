// Meta details reply 0x00F0: up to four interest categories with keywords.
#pragma once

#include <vector>

#include "SRV_META_USERINFO.h"

struct UserInterest {
    unsigned short category = 0;
    CJOVString keywords;
};

class CSRV_META_INTERESTS_USERINFO : public CSRV_META_USERINFO {
public:
    CSRV_META_INTERESTS_USERINFO() : m_count(0) {}
    // Entries cut by the end of the frame are not kept.
    int Unpack(const unsigned char* buffer, int length) override;
    int IsSuccess() const override { return m_failed ? 0 : 1; }

    // The count the reply states, which may exceed the entries kept.
    unsigned char GetCount() const { return m_count; }
    const std::vector<UserInterest>& GetInterests() const { return m_interests; }

    static constexpr int kMaxInterests = 4;

private:
    unsigned char m_count;
    std::vector<UserInterest> m_interests;
};
