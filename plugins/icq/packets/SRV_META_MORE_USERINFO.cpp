#include "SRV_META_MORE_USERINFO.h"

int CSRV_META_MORE_USERINFO::Unpack(const unsigned char* buffer, int length)
{
    m_info = MoreUserInfo();
    CByteReader fields;
    int taken = UnpackPart(buffer, length, 0x00DC, fields);
    if (!taken || m_failed)
        return taken;
    m_info.age = fields.U16LE();
    m_info.gender = fields.U8();
    m_info.homepage = ReadMetaString(fields);
    m_info.birthYear = fields.U16LE();
    m_info.birthMonth = fields.U8();
    m_info.birthDay = fields.U8();
    m_info.language1 = fields.U8();
    m_info.language2 = fields.U8();
    m_info.language3 = fields.U8();
    fields.Skip(2);
    m_info.city = ReadMetaString(fields);
    m_info.state = ReadMetaString(fields);
    m_info.country = fields.U16LE();
    m_info.maritalStatus = fields.U8();
    fields.Skip(4);
    m_info.localizationId = ReadMetaString(fields);
    fields.Skip(8);
    m_info.localizationEmail = ReadMetaString(fields);
    return taken;
}
