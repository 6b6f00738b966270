// FLAP channel 1: signs on to the BOS server with the login reply's cookie.
#pragma once

#include <vector>

#include "ICQPacket.h"

class CSRV_LOGIN_REPLY;

class CCLI_COOKIE : public CICQPacket {
public:
    CCLI_COOKIE(unsigned short sequence, const CSRV_LOGIN_REPLY& reply);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    std::vector<unsigned char> m_cookie;
};
