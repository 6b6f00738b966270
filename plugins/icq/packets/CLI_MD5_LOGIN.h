// SNAC 0x17/0x02: the login proper, proving the password by an MD5 digest
// over the server's key and the stored password digest. The key response
// must outlive Pack.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_AUTH_KEY_RESPONSE;

class CCLI_MD5_LOGIN : public CSNACPacket {
public:
    CCLI_MD5_LOGIN(unsigned short sequence, unsigned int requestId, const CJOVString& uin,
                   const CSRV_AUTH_KEY_RESPONSE& key, const unsigned char passwordMD5[16]);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

    // The digest sent in TLV 0x25: MD5(key, password MD5, salt).
    static void ComputeDigest(const unsigned char* key, unsigned short keyLength,
                              const unsigned char passwordMD5[16], unsigned char digest[16]);

private:
    CJOVString m_uin;
    const CSRV_AUTH_KEY_RESPONSE& m_key;
    unsigned char m_passwordMD5[16];
};
