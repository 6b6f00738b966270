#include "CLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE.h"

#include <cwchar>

#include "CLI_SEND_ICBM_ACK_CH2.h"
#include "EncodedText.h"
#include "ICBMHeader.h"
#include "PacketText.h"
#include "XtrazPlugin.h"

CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE::CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE(
    unsigned short sequence, unsigned int requestId, unsigned int cookie1, unsigned int cookie2,
    const CJOVString& ownUIN, const CJOVString& requesterUIN, int xStatusIndex, const CJOVString& title,
    const CJOVString& description, unsigned short messageSequence)
    : CSNACPacket(sequence, 0, 0x04, 0x0B, 0, requestId), m_cookie1(cookie1), m_cookie2(cookie2), m_ownUIN(ownUIN),
      m_requesterUIN(requesterUIN), m_xStatusIndex(xStatusIndex), m_title(title), m_description(description),
      m_messageSequence(messageSequence)
{
}

CJOVString CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE::GetAnswerText() const
{
    wchar_t index[16];
    std::swprintf(index, sizeof(index) / sizeof(index[0]), L"%d", m_xStatusIndex);
    CJOVString text(L"<NR><RES>&lt;ret event='OnRemoteNotification'&gt;&lt;srv&gt;&lt;id&gt;"
                    L"cAwaySrv&lt;/id&gt;&lt;val srv_id='cAwaySrv'&gt;&lt;Root&gt;&lt;"
                    L"CASXtraSetAwayMessage&gt;&lt;/CASXtraSetAwayMessage&gt;&lt;uin&gt;");
    text += m_ownUIN;
    text += CJOVString(L"&lt;/uin&gt;&lt;index&gt;");
    text += CJOVString(index);
    // The texts are escaped once as content of the inner XML, and once more
    // because that whole XML travels escaped inside RES.
    text += CJOVString(L"&lt;/index&gt;&lt;title&gt;");
    text += PacketText::EscapeXml(PacketText::EscapeXml(m_title));
    text += CJOVString(L"&lt;/title&gt;&lt;desc&gt;");
    text += PacketText::EscapeXml(PacketText::EscapeXml(m_description));
    text += CJOVString(L"&lt;/desc&gt;&lt;/Root&gt;\r\n"
                       L"&lt;/val&gt;&lt;/srv&gt;&lt;srv&gt;&lt;id&gt;"
                       L"cRandomizerSrv&lt;/id&gt;&lt;val srv_id='cRandomizerSrv'&gt;undefined&lt;/val&gt;&lt;/"
                       L"srv&gt;&lt;/ret&gt;</RES></NR>\r\n");
    return text;
}

int CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE::Pack(unsigned char* buffer, int size)
{
    CEncodedText answer(GetAnswerText(), PacketText::kUTF8);
    CByteWriter body = BodyWriter(buffer, size);
    WriteICBMHeader(body, m_cookie1, m_cookie2, 2, m_requesterUIN);
    body.U16(0x0003);  // reason
    CCLI_SEND_ICBM_ACK_CH2::WriteChunks(body, m_messageSequence);
    const unsigned char emptyMessage[] = {0x1A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00};
    body.Bytes(emptyMessage, sizeof(emptyMessage));
    body.Bytes(XtrazPlugin::kHeader, XtrazPlugin::kHeaderSize);
    body.Bytes(XtrazPlugin::kName, XtrazPlugin::kNameSize);
    body.Bytes(XtrazPlugin::kTail, XtrazPlugin::kTailSize);
    body.U32LE(static_cast<unsigned int>(answer.Length() + 4));
    body.U32LE(static_cast<unsigned int>(answer.Length()));
    body.Bytes(answer.Bytes(), answer.Length());
    return FinishSnac(buffer, size, body);
}
