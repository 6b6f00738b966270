// SNAC 0x17/0x06: asks the login server for the MD5 key of a UIN.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_AUTH_REQUEST : public CSNACPacket {
public:
    CCLI_AUTH_REQUEST(unsigned short sequence, unsigned int requestId, const CJOVString& uin);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    CJOVString m_uin;
};
