// Meta details reply 0x00DC: age, gender, birthday, languages and origin.
#pragma once

#include "SRV_META_USERINFO.h"

struct MoreUserInfo {
    unsigned short age = 0;
    unsigned char gender = 0;
    CJOVString homepage;
    unsigned short birthYear = 0;
    unsigned char birthMonth = 0;
    unsigned char birthDay = 0;
    unsigned char language1 = 0;
    unsigned char language2 = 0;
    unsigned char language3 = 0;
    CJOVString city;
    CJOVString state;
    unsigned short country = 0;
    unsigned char maritalStatus = 0;
    CJOVString localizationId;
    CJOVString localizationEmail;
};

class CSRV_META_MORE_USERINFO : public CSRV_META_USERINFO {
public:
    // A frame that ends early keeps the fields before the cut; the rest stay empty.
    int Unpack(const unsigned char* buffer, int length) override;
    int IsSuccess() const override { return m_failed ? 0 : 1; }

    const MoreUserInfo& GetInfo() const { return m_info; }

private:
    MoreUserInfo m_info;
};
