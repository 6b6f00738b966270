#include "CLI_RATES_ACK.h"

#include "SRV_RATE_LIMIT_INFO.h"

CCLI_RATES_ACK::CCLI_RATES_ACK(const CSRV_RATE_LIMIT_INFO& rates, unsigned short sequence)
    : CSNACPacket(sequence, 0, 0x01, 0x08, 0, rates.GetRequestId())
{
    for (const RateClassInfo& info : rates.GetClasses())
        m_classIds.push_back(info.groupClassId);
}

int CCLI_RATES_ACK::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    for (unsigned short id : m_classIds)
        body.U16(id);
    return FinishSnac(buffer, size, body);
}
