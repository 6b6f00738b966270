#include "CLI_SEND_ICBM_CH1.h"

#include <cstddef>
#include <vector>

#include "EncodedText.h"
#include "ICBMHeader.h"
#include "PacketText.h"

CCLI_SEND_ICBM_CH1::CCLI_SEND_ICBM_CH1(unsigned short sequence, unsigned int requestId, unsigned int cookie1,
                                       unsigned int cookie2, const CJOVString& uin, const CJOVString& text,
                                       bool unicode)
    : CSNACPacket(sequence, 0, 0x04, 0x06, 0, requestId), m_cookie1(cookie1), m_cookie2(cookie2), m_uin(uin),
      m_text(text), m_unicode(unicode)
{
}

namespace {
// TLV 2 header, fragments, text header, and the empty TLVs 3 and 6.
const int kTextFraming = 4 + 8 + 6 + 4 + 4;
} // namespace

int CCLI_SEND_ICBM_CH1::Pack(unsigned char* buffer, int size)
{
    std::vector<unsigned char> message;
    if (m_unicode) {
        const wchar_t* units = m_text.Data();
        for (int i = 0; i < m_text.GetLength(); ++i) {
            unsigned short unit = static_cast<unsigned short>(units[i]);
            if (unit == 0x2029)
                unit = 0x000A;
            message.push_back(static_cast<unsigned char>(unit >> 8));
            message.push_back(static_cast<unsigned char>(unit & 0xFF));
        }
    } else {
        CEncodedText text(m_text, PacketText::kCyrillic);
        message.assign(text.Bytes(), text.Bytes() + text.Length());
    }

    CByteWriter body = BodyWriter(buffer, size);
    WriteICBMHeader(body, m_cookie1, m_cookie2, 1, m_uin);
    // A text longer than one frame can carry is cut at a character, leaving
    // room for the zero character and the fields around the text.
    int zero = m_unicode ? 2 : 1;
    int room = kMaxFrameSize - body.Position() - kTextFraming - zero;
    int kept = PacketText::FittingLength(message.data(), static_cast<int>(message.size()), room,
                                         m_unicode ? PacketText::kUTF16BE : PacketText::kCyrillic);
    message.resize(static_cast<std::size_t>(kept));
    message.insert(message.end(), static_cast<std::size_t>(zero), 0);  // the message always ends with a zero character
    int length = static_cast<int>(message.size());
    if (body.Fits(length + 14, 16)) {
        body.U16(0x0002);
        body.U16(static_cast<unsigned short>(length + 14));
        const unsigned char fragments[] = {0x05, 0x01, 0x00, 0x02, 0x01, 0x06, 0x01, 0x01};
        body.Bytes(fragments, sizeof(fragments));
        body.U16(static_cast<unsigned short>(length + 4));
        body.U16(m_unicode ? 0x0002 : 0x0000);
        body.U16(0x0000);
        body.Bytes(message.data(), length);
    }
    body.Tlv(0x0003, nullptr, 0);
    body.Tlv(0x0006, nullptr, 0);
    return FinishSnac(buffer, size, body);
}
