#include "SRV_META_INTERESTS_USERINFO.h"

int CSRV_META_INTERESTS_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    m_count = 0;
    m_interests.clear();
    CByteReader fields;
    int taken = UnpackPart(buffer, length, 0x00F0, fields);
    if (!taken || m_failed)
        return taken;
    m_count = fields.U8();
    for (int i = 0; i < m_count && i < kMaxInterests; ++i) {
        UserInterest interest;
        interest.category = fields.U16LE();
        interest.keywords = ReadMetaString(fields);
        if (fields.Failed())
            break;
        m_interests.push_back(interest);
    }
    return taken;
}
