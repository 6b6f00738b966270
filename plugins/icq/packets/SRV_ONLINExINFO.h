// SNAC 0x01/0x0F: the account's own online information.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"
#include "TLV.h"

class CSRV_ONLINExINFO : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const CJOVString& GetUIN() const { return m_uin; }
    const CTLVCol& GetTLVs() const { return m_tlvs; }

private:
    CJOVString m_uin;
    CTLVCol m_tlvs;
};
