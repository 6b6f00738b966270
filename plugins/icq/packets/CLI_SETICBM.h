// SNAC 0x04/0x02: the ICBM parameters of one message channel.
#pragma once

#include "SNACPacket.h"

class CCLI_SETICBM : public CSNACPacket {
public:
    CCLI_SETICBM(unsigned short sequence, unsigned int requestId, unsigned short channel, unsigned int flags,
                 unsigned short maxMessageSize, unsigned short maxSenderWarning, unsigned short maxReceiverWarning,
                 unsigned short minInterval);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    unsigned short m_icbmChannel;
    unsigned int m_flags;
    unsigned short m_maxMessageSize;
    unsigned short m_maxSenderWarning;
    unsigned short m_maxReceiverWarning;
    unsigned short m_minInterval;
};
