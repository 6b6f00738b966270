// SNAC 0x13/0x0E: the server's result for a change of the contact list.
#pragma once

#include "SNACPacket.h"

class CSRV_SSIxMODxACK : public CSNACPacket {
public:
    CSRV_SSIxMODxACK() : m_result(0) {}
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    // 0 = success; only the first result of the body counts.
    unsigned short GetResult() const { return m_result; }

private:
    unsigned short m_result;
};
