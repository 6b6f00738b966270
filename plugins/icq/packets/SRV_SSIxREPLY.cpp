#include "SRV_SSIxREPLY.h"

#include <cstddef>

CSRV_SSIxREPLY::CSRV_SSIxREPLY() : m_lastChangeTime(0) {}

int CSRV_SSIxREPLY::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    int read = UnpackItems(body.Data(), body.Length());
    return read ? offset + read : 0;
}

int CSRV_SSIxREPLY::UnpackItems(const unsigned char* bytes, int length)
{
    CByteReader body(bytes, length);
    body.Skip(1);  // list format version
    int count = body.U16();
    size_t kept = m_items.size();
    for (int i = 0; i < count && !body.Failed(); ++i) {
        SSIItem item;
        if (item.Read(body))
            m_items.push_back(item);
    }
    unsigned int time = m_lastChangeTime;
    if (!(m_flags & 0x0001))
        time = body.U32();
    if (body.Failed()) {
        m_items.resize(kept);
        return 0;
    }
    m_lastChangeTime = time;
    return body.Position();
}
