#include "SRV_USER_ONLINE.h"

#include <cwctype>

#include "PacketText.h"

int CSRV_USER_ONLINE::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    int uinLength = body.U8();
    const unsigned char* uin = body.Bytes(uinLength);
    m_warningLevel = body.U16();
    int count = body.U16();
    if (body.Failed())
        return 0;
    m_uin = PacketText::Decode(uin, uinLength, PacketText::kUTF8);
    if (m_uin.GetLength() > 0 && std::iswalpha(static_cast<wint_t>(m_uin.Data()[0])))
        m_uin = PacketText::NormalizeScreenName(m_uin);

    // A TLV cut by the end of the frame is dropped and ends the list.
    m_tlvs.clear();
    for (int i = 0; i < count && body.Has(4); ++i) {
        unsigned short type = body.U16();
        unsigned short n = body.U16();
        const unsigned char* value = body.Bytes(n);
        if (!value)
            break;
        m_tlvs.push_back(CTLV(type, n, value));
    }
    return FrameLength(length);
}

unsigned short CSRV_USER_ONLINE::GetStatus() const
{
    if (const CTLV* status = m_tlvs.GetTLV(0x0006)) {
        const unsigned char* value = status->GetData();
        if (value && status->GetDataLength() >= 4) {
            return static_cast<unsigned short>(value[2] | (value[3] << 8));
        }
    }
    if (const CTLV* userClass = m_tlvs.GetTLV(0x0001)) {
        CByteReader value(userClass->GetData(), userClass->GetDataLength());
        if (value.U16() & 0x0020)
            return 0x0100;
    }
    return 0;
}
