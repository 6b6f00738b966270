#include "SRV_META_NOTES_USERINFO.h"

int CSRV_META_NOTES_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    m_notes = CJOVString();
    CByteReader fields;
    int taken = UnpackPart(buffer, length, 0x00E6, fields);
    if (!taken || m_failed)
        return taken;
    m_notes = ReadMetaString(fields);
    return taken;
}
