// Meta details reply 0x00D2: the work address, company and occupation.
#pragma once

#include "SRV_META_USERINFO.h"

struct WorkUserInfo {
    CJOVString city;
    CJOVString state;
    CJOVString phone;
    CJOVString fax;
    CJOVString address;
    CJOVString zip;
    unsigned short country = 0;
    CJOVString company;
    CJOVString department;
    CJOVString position;
    unsigned short occupation = 0;
    CJOVString webPage;
};

class CSRV_META_WORK_USERINFO : public CSRV_META_USERINFO {
public:
    // A frame that ends early keeps the fields before the cut; the rest stay empty.
    int Unpack(const unsigned char* buffer, int length) override;
    int IsSuccess() const override { return m_failed ? 0 : 1; }

    const WorkUserInfo& GetInfo() const { return m_info; }

private:
    WorkUserInfo m_info;
};
