#include "SRV_OFFLINE_MESSAGE.h"

#include <cwchar>

#include "PacketText.h"

CSRV_OFFLINE_MESSAGE::CSRV_OFFLINE_MESSAGE()
    : m_senderUIN(0), m_year(0), m_month(0), m_day(0), m_hour(0), m_minute(0), m_messageType(0), m_messageFlags(0)
{
}

int CSRV_OFFLINE_MESSAGE::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSRV_META_REPLY::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader meta = BodyReader(buffer, length, offset);
    m_senderUIN = meta.U32LE();
    m_year = meta.U16LE();
    m_month = meta.U8();
    m_day = meta.U8();
    m_hour = meta.U8();
    m_minute = meta.U8();
    m_messageType = meta.U8();
    m_messageFlags = meta.U8();
    if (meta.Failed())
        return 0;
    int n = meta.U16LE();
    const unsigned char* text = meta.Bytes(n);
    m_text = text ? PacketText::Decode(text, n, PacketText::kCyrillic) : CJOVString();
    return FrameLength(length);
}

CJOVString CSRV_OFFLINE_MESSAGE::GetSender() const
{
    wchar_t digits[16];
    std::swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%u", m_senderUIN);
    return CJOVString(digits);
}
