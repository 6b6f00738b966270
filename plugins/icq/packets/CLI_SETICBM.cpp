#include "CLI_SETICBM.h"

CCLI_SETICBM::CCLI_SETICBM(unsigned short sequence, unsigned int requestId, unsigned short channel,
                           unsigned int flags, unsigned short maxMessageSize, unsigned short maxSenderWarning,
                           unsigned short maxReceiverWarning, unsigned short minInterval)
    : CSNACPacket(sequence, 26, 0x04, 0x02, 0, requestId), m_icbmChannel(channel), m_flags(flags),
      m_maxMessageSize(maxMessageSize), m_maxSenderWarning(maxSenderWarning),
      m_maxReceiverWarning(maxReceiverWarning), m_minInterval(minInterval)
{
}

int CCLI_SETICBM::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    body.U16(m_icbmChannel);
    body.U32(m_flags);
    body.U16(m_maxMessageSize);
    body.U16(m_maxSenderWarning);
    body.U16(m_maxReceiverWarning);
    body.U16(m_minInterval);
    body.U16(0x0000);
    return FinishSnac(buffer, size, body);
}
