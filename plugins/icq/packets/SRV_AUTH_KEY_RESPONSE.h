// SNAC 0x17/0x07: the MD5 key the login server hands out for this login.
#pragma once

#include <vector>

#include "SNACPacket.h"

class CSRV_AUTH_KEY_RESPONSE : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    // The key bytes (owned by the packet) and their count.
    const unsigned char* GetKey(unsigned short& length) const;

private:
    std::vector<unsigned char> m_key;
};
