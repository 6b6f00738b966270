// SNAC 0x03/0x0B and 0x03/0x0C: a contact came online (or changed its online
// information) and a contact went offline. One parse serves both.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"
#include "TLV.h"

class CSRV_USER_ONLINE : public CSNACPacket {
public:
    CSRV_USER_ONLINE() : m_warningLevel(0) {}
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    // The contact's status word in held form (the status table's form).
    unsigned short GetStatus() const;

    // A screen name lower case without spaces; a numeric UIN as sent.
    const CJOVString& GetUIN() const { return m_uin; }
    unsigned short GetWarningLevel() const { return m_warningLevel; }
    const CTLVCol& GetTLVs() const { return m_tlvs; }

private:
    CJOVString m_uin;
    unsigned short m_warningLevel;
    CTLVCol m_tlvs;
};

class CSRV_USER_OFFLINE : public CSRV_USER_ONLINE {
};
