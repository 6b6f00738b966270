#include "SRV_LOGIN_REPLY.h"

#include "LoginErrorTexts.h"
#include "PacketText.h"
#include "TLV.h"

CSRV_LOGIN_REPLY::CSRV_LOGIN_REPLY() : m_port(0), m_errorCode(0) {}

int CSRV_LOGIN_REPLY::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    CTLVCol tlvs;
    tlvs.Unpack(body.Data(), body.Length());

    int found = 0;
    if (const CTLV* uin = tlvs.GetTLV(0x0001)) {
        m_uin = PacketText::Decode(uin->GetData(), uin->GetDataLength(), PacketText::kUTF8);
        ++found;
    }
    if (const CTLV* address = tlvs.GetTLV(0x0005)) {
        SetAddress(PacketText::Decode(address->GetData(), address->GetDataLength(), PacketText::kCyrillic));
        ++found;
    }
    if (const CTLV* cookie = tlvs.GetTLV(0x0006)) {
        const unsigned char* bytes = cookie->GetData();
        if (bytes)
            m_cookie.assign(bytes, bytes + cookie->GetDataLength());
        else
            m_cookie.clear();
        ++found;
    }
    m_errorCode = 0;
    const CTLV* error = tlvs.GetTLV(0x0008);
    if (found < 3 && error) {
        CByteReader value(error->GetData(), error->GetDataLength());
        m_errorCode = value.U16();
        // A malformed error item still means the login failed.
        if (value.Failed())
            m_errorCode = 3;
    }
    return FrameLength(length);
}

void CSRV_LOGIN_REPLY::SetAddress(const CJOVString& address)
{
    int colon = address.Find(0, CJOVString(L":"));
    if (colon < 0) {
        m_host = address;
        m_port = kDefaultPort;
        return;
    }
    m_host = address.Substring(0, colon);
    m_port = 0;
    const wchar_t* units = address.Data();
    for (int i = colon + 1; i < address.GetLength() && units[i] >= L'0' && units[i] <= L'9'; ++i) {
        m_port = m_port * 10 + static_cast<unsigned int>(units[i] - L'0');
        if (m_port > 0xFFFF) {
            // No TCP port: the digits run on past any port number.
            m_port = 0;
            break;
        }
    }
}

const unsigned char* CSRV_LOGIN_REPLY::GetCookie(unsigned short& length) const
{
    length = static_cast<unsigned short>(m_cookie.size());
    return m_cookie.data();
}

CJOVString CSRV_LOGIN_REPLY::GetErrorText() const
{
    return GetLoginErrorText(m_errorCode);
}
