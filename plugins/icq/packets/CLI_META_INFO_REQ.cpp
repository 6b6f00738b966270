#include "CLI_META_INFO_REQ.h"

#include <cstddef>
#include <vector>

CCLI_META_INFO_REQ::CCLI_META_INFO_REQ(unsigned short sequence, unsigned int requestId, unsigned int ownerUIN,
                                       unsigned short metaSequence, const CTLVCol& fields)
    : CCLI_META_REQ(sequence, requestId, static_cast<unsigned short>(12 + fields.GetDataLength()), ownerUIN, 2000,
                    metaSequence),
      m_fields(fields)
{
}

int CCLI_META_INFO_REQ::Pack(unsigned char* buffer, int size)
{
    int fieldsLength = static_cast<int>(m_fields.GetDataLength());
    if (fieldsLength + 2 > kMaxFrameSize)
        return 0;
    std::vector<unsigned char> data(static_cast<size_t>(fieldsLength) + 2);
    CByteWriter request(data.data(), static_cast<int>(data.size()), 0);
    request.U16LE(0x0C3A);
    request.Tlvs(m_fields, true);
    if (request.Failed())
        return 0;
    return PackRequest(buffer, size, data.data(), static_cast<int>(data.size()));
}
