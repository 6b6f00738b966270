#include "SRV_META_BASIC_USERINFO.h"

int CSRV_META_BASIC_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    m_info = BasicUserInfo();
    CByteReader fields;
    int taken = UnpackPart(buffer, length, 0x00C8, fields);
    if (!taken || m_failed)
        return taken;
    m_info.nickname = ReadMetaString(fields);
    m_info.firstName = ReadMetaString(fields);
    m_info.lastName = ReadMetaString(fields);
    m_info.email = ReadMetaString(fields);
    m_info.homeCity = ReadMetaString(fields);
    m_info.homeState = ReadMetaString(fields);
    m_info.homePhone = ReadMetaString(fields);
    m_info.homeFax = ReadMetaString(fields);
    m_info.homeAddress = ReadMetaString(fields);
    m_info.cellPhone = ReadMetaString(fields);
    m_info.homeZip = ReadMetaString(fields);
    m_info.homeCountry = fields.U16LE();
    m_info.gmtOffset = fields.U8();
    m_info.authorization = fields.U8();
    m_info.webAware = fields.U8();
    m_info.directConnection = fields.U8();
    m_info.publishEmail = fields.U8();
    return taken;
}
