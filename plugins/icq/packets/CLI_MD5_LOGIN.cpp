#include "CLI_MD5_LOGIN.h"

#include <cstring>
#include <vector>

#include "EncodedText.h"
#include "MD5.h"
#include "PacketText.h"
#include "SRV_AUTH_KEY_RESPONSE.h"
#include "TLV.h"

namespace {
const char kSalt[] = "AOL Instant Messenger (SM)";
const int kSaltLength = sizeof(kSalt) - 1;
const char kClientIdText[] = "ICQBasic";
}

CCLI_MD5_LOGIN::CCLI_MD5_LOGIN(unsigned short sequence, unsigned int requestId, const CJOVString& uin,
                               const CSRV_AUTH_KEY_RESPONSE& key, const unsigned char passwordMD5[16])
    : CSNACPacket(sequence, 0, 0x17, 0x02, 0, requestId), m_uin(uin), m_key(key)
{
    std::memcpy(m_passwordMD5, passwordMD5, sizeof(m_passwordMD5));
}

void CCLI_MD5_LOGIN::ComputeDigest(const unsigned char* key, unsigned short keyLength,
                                   const unsigned char passwordMD5[16], unsigned char digest[16])
{
    std::vector<unsigned char> input;
    input.reserve(static_cast<size_t>(keyLength) + 16 + kSaltLength);
    if (keyLength)
        input.insert(input.end(), key, key + keyLength);
    input.insert(input.end(), passwordMD5, passwordMD5 + 16);
    input.insert(input.end(), kSalt, kSalt + kSaltLength);
    CMD5::Hash(input.data(), static_cast<unsigned>(input.size()), digest);
}

int CCLI_MD5_LOGIN::Pack(unsigned char* buffer, int size)
{
    unsigned short keyLength = 0;
    const unsigned char* key = m_key.GetKey(keyLength);
    unsigned char digest[16];
    ComputeDigest(key, keyLength, m_passwordMD5, digest);

    CEncodedText uin(m_uin, PacketText::kUTF8);
    CTLVCol tlvs;
    tlvs.push_back(CTLV(0x0001, static_cast<unsigned short>(uin.Length()), uin.Bytes()));
    tlvs.push_back(CTLV(0x0025, 16, digest));
    tlvs.push_back(CTLV(0x004C, 0, nullptr));
    tlvs.push_back(CTLV(0x0003, sizeof(kClientIdText) - 1, reinterpret_cast<const unsigned char*>(kClientIdText)));
    tlvs.push_back(CTLV(0x0016, static_cast<unsigned short>(0x010A)));
    tlvs.push_back(CTLV(0x0017, static_cast<unsigned short>(0x0014)));
    tlvs.push_back(CTLV(0x0018, static_cast<unsigned short>(0x0034)));
    tlvs.push_back(CTLV(0x0019, static_cast<unsigned short>(0x0000)));
    tlvs.push_back(CTLV(0x001A, static_cast<unsigned short>(0x0BB8)));
    tlvs.push_back(CTLV(0x0014, static_cast<unsigned int>(0x0000043D)));
    tlvs.push_back(CTLV(0x000F, 2, reinterpret_cast<const unsigned char*>("en")));
    tlvs.push_back(CTLV(0x000E, 2, reinterpret_cast<const unsigned char*>("us")));

    CByteWriter body = BodyWriter(buffer, size);
    if (body.Fits(uin.Length(), 16))
        body.Tlvs(tlvs, false);
    return FinishSnac(buffer, size, body);
}
