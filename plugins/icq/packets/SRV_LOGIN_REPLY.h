// SNAC 0x17/0x03: the login server's answer: the BOS server and the cookie
// to sign on with, or an error code. The account keeps the last one.
#pragma once

#include <vector>

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_LOGIN_REPLY : public CSNACPacket {
public:
    CSRV_LOGIN_REPLY();
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const CJOVString& GetUIN() const { return m_uin; }
    const CJOVString& GetHost() const { return m_host; }
    unsigned int GetPort() const { return m_port; }
    const unsigned char* GetCookie(unsigned short& length) const;
    unsigned short GetErrorCode() const { return m_errorCode; }
    CJOVString GetErrorText() const;

    // The port used when the BOS address names none.
    static constexpr unsigned int kDefaultPort = 5190;

private:
    void SetAddress(const CJOVString& address);

    CJOVString m_uin;
    CJOVString m_host;
    unsigned int m_port;
    std::vector<unsigned char> m_cookie;
    unsigned short m_errorCode;
};
