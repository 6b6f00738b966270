// FLAP channel 4: the server ends the session, with an error code (TLV 0x08)
// or a disconnect reason (TLV 0x09).
#pragma once

#include "ICQPacket.h"
#include "JOVString.h"
#include "TLV.h"

class CSRV_AUTH_FAILED : public CICQPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    unsigned short GetErrorCode() const;
    CJOVString GetErrorText() const;
    unsigned short GetDisconnectCode() const;
    CJOVString GetDisconnectText() const;
    const CTLVCol& GetTLVs() const { return m_tlvs; }

private:
    unsigned short GetWord(unsigned short type) const;

    CTLVCol m_tlvs;
};
