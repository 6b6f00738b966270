// Meta details reply 0x00C8: names, e-mail, home address and flags.
#pragma once

#include "SRV_META_USERINFO.h"

struct BasicUserInfo {
    CJOVString nickname;
    CJOVString firstName;
    CJOVString lastName;
    CJOVString email;
    CJOVString homeCity;
    CJOVString homeState;
    CJOVString homePhone;
    CJOVString homeFax;
    CJOVString homeAddress;
    CJOVString cellPhone;
    CJOVString homeZip;
    unsigned short homeCountry = 0;
    unsigned char gmtOffset = 0;
    unsigned char authorization = 0;
    unsigned char webAware = 0;
    unsigned char directConnection = 0;
    unsigned char publishEmail = 0;
};

class CSRV_META_BASIC_USERINFO : public CSRV_META_USERINFO {
public:
    // A frame that ends early keeps the fields before the cut; the rest stay empty.
    int Unpack(const unsigned char* buffer, int length) override;
    int IsSuccess() const override { return m_failed ? 0 : 1; }

    const BasicUserInfo& GetInfo() const { return m_info; }

private:
    BasicUserInfo m_info;
};
