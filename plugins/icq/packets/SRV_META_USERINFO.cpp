#include "SRV_META_USERINFO.h"

int CSRV_META_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSRV_META_REPLY::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader meta = BodyReader(buffer, length, offset);
    m_subtype = meta.U16LE();
    if (meta.Failed())
        return 0;
    switch (m_subtype) {
    case 0x00C8:
    case 0x00D2:
    case 0x00DC:
    case 0x00E6:
    case 0x00EB:
    case 0x00F0:
    case 0x00FA:
    case 0x010E:
        return offset;
    default:
        return 0;
    }
}

int CSRV_META_USERINFO::UnpackPart(const unsigned char* buffer, int length, unsigned short own,
                                   CByteReader& fields)
{
    int offset = CSRV_META_USERINFO::Unpack(buffer, length);
    if (!offset || m_subtype != own)
        return 0;
    CByteReader meta = BodyReader(buffer, length, offset);
    meta.Skip(2);  // subtype
    unsigned char result = meta.U8();
    if (meta.Failed())
        return 0;
    m_failed = result != 0x0A;
    fields = meta.Rest();
    return FrameLength(length);
}
