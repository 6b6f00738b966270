#include "SRV_META_WORK_USERINFO.h"

int CSRV_META_WORK_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    m_info = WorkUserInfo();
    CByteReader fields;
    int taken = UnpackPart(buffer, length, 0x00D2, fields);
    if (!taken || m_failed)
        return taken;
    m_info.city = ReadMetaString(fields);
    m_info.state = ReadMetaString(fields);
    m_info.phone = ReadMetaString(fields);
    m_info.fax = ReadMetaString(fields);
    m_info.address = ReadMetaString(fields);
    m_info.zip = ReadMetaString(fields);
    m_info.country = fields.U16LE();
    m_info.company = ReadMetaString(fields);
    m_info.department = ReadMetaString(fields);
    m_info.position = ReadMetaString(fields);
    m_info.occupation = fields.U16LE();
    m_info.webPage = ReadMetaString(fields);
    return taken;
}
