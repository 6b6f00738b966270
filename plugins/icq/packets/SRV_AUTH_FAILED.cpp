#include "SRV_AUTH_FAILED.h"

#include "LoginErrorTexts.h"
#include "PluginModule.h"

int CSRV_AUTH_FAILED::Unpack(const unsigned char* buffer, int length)
{
    if (!CICQPacket::Unpack(buffer, length) || m_channel != 4)
        return 0;
    int end = FrameLength(length);
    m_tlvs.clear();
    m_tlvs.Unpack(buffer + kFlapHeaderSize, end - kFlapHeaderSize);
    return end;
}

unsigned short CSRV_AUTH_FAILED::GetWord(unsigned short type) const
{
    const CTLV* item = m_tlvs.GetTLV(type);
    if (!item)
        return 0;
    CByteReader value(item->GetData(), item->GetDataLength());
    return value.U16();
}

unsigned short CSRV_AUTH_FAILED::GetErrorCode() const
{
    return GetWord(0x0008);
}

CJOVString CSRV_AUTH_FAILED::GetErrorText() const
{
    return GetLoginErrorText(GetErrorCode());
}

unsigned short CSRV_AUTH_FAILED::GetDisconnectCode() const
{
    return GetWord(0x0009);
}

CJOVString CSRV_AUTH_FAILED::GetDisconnectText() const
{
    if (GetDisconnectCode() == 1)
        return GetPluginText(137, L"Your account used on another computer");
    return GetPluginText(138, L"Server error");
}
