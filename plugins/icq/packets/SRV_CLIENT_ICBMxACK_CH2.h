// SNAC 0x04/0x0B: a contact's answer to an x-status request, with its title
// and description.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_CLIENT_ICBMxACK_CH2 : public CSNACPacket {
public:
    CSRV_CLIENT_ICBMxACK_CH2();
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    unsigned int GetCookie1() const { return m_cookie1; }
    unsigned int GetCookie2() const { return m_cookie2; }
    unsigned short GetChannel() const { return m_icbmChannel; }
    const CJOVString& GetSenderUIN() const { return m_uin; }
    const CJOVString& GetTitle() const { return m_title; }
    const CJOVString& GetDescription() const { return m_description; }

private:
    void ReadXStatusAnswer(CByteReader& body);

    unsigned int m_cookie1;
    unsigned int m_cookie2;
    unsigned short m_icbmChannel;
    CJOVString m_uin;
    CJOVString m_title;
    CJOVString m_description;
};
