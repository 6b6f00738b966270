// The login exchange: key request, MD5 login, login reply, sign-off and cookie.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "MD5.h"
#include "TLV.h"
#include "packets/CLI_AUTH_REQUEST.h"
#include "packets/CLI_COOKIE.h"
#include "packets/CLI_MD5_LOGIN.h"
#include "packets/LoginErrorTexts.h"
#include "packets/SRV_AUTH_FAILED.h"
#include "packets/SRV_AUTH_KEY_RESPONSE.h"
#include "packets/SRV_HELLO.h"
#include "packets/SRV_LOGIN_REPLY.h"

using OscarWire::Builder;

namespace {

CSRV_AUTH_KEY_RESPONSE KeyResponse(const std::string& key)
{
    CSRV_AUTH_KEY_RESPONSE response;
    Bytes frame = ServerFrame(OscarWire::AuthKeyResponse(key));
    EXPECT_GT(response.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    return response;
}

CSRV_LOGIN_REPLY LoginReply(const Bytes& tlvs)
{
    CSRV_LOGIN_REPLY reply;
    Bytes frame = ServerSnac(0x17, 0x03, tlvs);
    EXPECT_GT(reply.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    return reply;
}

} // namespace

TEST(ServerHello, IsExactlyVersionOne)
{
    CSRV_HELLO hello;
    Bytes frame = ServerFrame(OscarWire::Hello());
    EXPECT_EQ(10, hello.Unpack(frame.data(), static_cast<int>(frame.size())));
    Bytes two = OscarWire::FlapBytes(1, 1, B({0, 0, 0, 2}));
    EXPECT_EQ(0, hello.Unpack(two.data(), static_cast<int>(two.size())));
    Bytes longer = OscarWire::FlapBytes(1, 1, B({0, 0, 0, 1, 0}));
    EXPECT_EQ(0, hello.Unpack(longer.data(), static_cast<int>(longer.size())));
    CGuardedBytes cut(Bytes(frame.begin(), frame.begin() + 8));
    EXPECT_EQ(0, hello.Unpack(cut.Data(), cut.Size()));
}

TEST(AuthRequest, CarriesTheUinInTlvOne)
{
    CCLI_AUTH_REQUEST request(0x0102, 7, CJOVString(L"123456"));
    Bytes frame = Packed(request);
    EXPECT_EQ(B({0x2A, 0x02, 0x01, 0x02, 0x00, 0x14, 0x00, 0x17, 0x00, 0x06, 0x00, 0x00, 0, 0, 0, 7,
                 0x00, 0x01, 0x00, 0x06, '1', '2', '3', '4', '5', '6'}),
              frame);
}

TEST(AuthKeyResponse, KeepsTheKeyAndRefusesALengthPastTheFrame)
{
    CSRV_AUTH_KEY_RESPONSE response = KeyResponse("3141592653");
    unsigned short length = 0;
    const unsigned char* key = response.GetKey(length);
    EXPECT_EQ(std::string("3141592653"), std::string(reinterpret_cast<const char*>(key), length));

    CSRV_AUTH_KEY_RESPONSE hostile;
    CGuardedBytes frame(ServerSnac(0x17, 0x07, B({0x01, 0x00, 'a', 'b'})));
    EXPECT_EQ(0, hostile.Unpack(frame.Data(), frame.Size()));
    Bytes other = ServerSnac(0x17, 0x03, B({0x00, 0x00}));
    EXPECT_EQ(0, hostile.Unpack(other.data(), static_cast<int>(other.size())));
}

TEST(MD5Login, ProvesThePasswordAsTheServerChecksIt)
{
    CSRV_AUTH_KEY_RESPONSE key = KeyResponse("8421638502");
    unsigned char passwordMD5[16];
    CMD5::Hash("secret", 6, passwordMD5);
    CCLI_MD5_LOGIN login(3, 0, CJOVString(L"123456789"), key, passwordMD5);
    Bytes frame = Packed(login);
    OscarWire::Frame sent;
    sent.channel = frame[1];
    sent.payload.assign(frame.begin() + 6, frame.end());
    ASSERT_TRUE(sent.IsSnac(0x17, 0x02));
    EXPECT_EQ(frame.size() - 6, static_cast<size_t>((frame[4] << 8) | frame[5]));

    std::vector<OscarWire::Tlv> tlvs = OscarWire::ParseTlvs(sent.GetSnac().body);
    std::vector<unsigned int> order;
    for (const OscarWire::Tlv& tlv : tlvs)
        order.push_back(tlv.type);
    EXPECT_EQ((std::vector<unsigned int>{0x01, 0x25, 0x4C, 0x03, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x14, 0x0F, 0x0E}),
              order);
    EXPECT_EQ(Text("123456789"), OscarWire::FindTlv(tlvs, 0x01)->value);
    EXPECT_EQ(OscarWire::LoginDigest("8421638502", "secret"), OscarWire::FindTlv(tlvs, 0x25)->value);
    EXPECT_TRUE(OscarWire::FindTlv(tlvs, 0x4C)->value.empty());
    EXPECT_EQ(Text("ICQBasic"), OscarWire::FindTlv(tlvs, 0x03)->value);
    EXPECT_EQ(B({0x0B, 0xB8}), OscarWire::FindTlv(tlvs, 0x1A)->value);
    EXPECT_EQ(B({0x00, 0x00, 0x04, 0x3D}), OscarWire::FindTlv(tlvs, 0x14)->value);
    EXPECT_EQ(Text("us"), OscarWire::FindTlv(tlvs, 0x0E)->value);
}

TEST(MD5Login, AnEmptyKeyHashesOnlyTheDigestAndTheSalt)
{
    unsigned char passwordMD5[16];
    CMD5::Hash("pw", 2, passwordMD5);
    unsigned char digest[16];
    CCLI_MD5_LOGIN::ComputeDigest(nullptr, 0, passwordMD5, digest);
    Bytes input(passwordMD5, passwordMD5 + 16);
    Bytes salt = Text("AOL Instant Messenger (SM)");
    input.insert(input.end(), salt.begin(), salt.end());
    ASSERT_EQ(42u, input.size());
    unsigned char expected[16];
    CMD5::Hash(input.data(), 42, expected);
    EXPECT_EQ(0, std::memcmp(expected, digest, 16));
}

TEST(LoginReply, TakesHostPortAndCookie)
{
    CSRV_LOGIN_REPLY reply = LoginReply(Builder().Tlv(0x01, std::string("123456789"))
                                            .Tlv(0x05, std::string("1.2.3.4:5190"))
                                            .Tlv(0x06, B({9, 8, 7})));
    EXPECT_EQ(L"123456789", W(reply.GetUIN()));
    EXPECT_EQ(L"1.2.3.4", W(reply.GetHost()));
    EXPECT_EQ(5190u, reply.GetPort());
    unsigned short length = 0;
    const unsigned char* cookie = reply.GetCookie(length);
    EXPECT_EQ(B({9, 8, 7}), Bytes(cookie, cookie + length));
    EXPECT_EQ(0, reply.GetErrorCode());
}

TEST(LoginReply, ReadsThePortUpToTheFirstNonDigit)
{
    EXPECT_EQ(51u, LoginReply(Builder().Tlv(0x05, std::string("1.2.3.4:51x0"))).GetPort());
    EXPECT_EQ(0u, LoginReply(Builder().Tlv(0x05, std::string("host:"))).GetPort());
    // No TCP port is that large: the address is unusable rather than wrapped.
    EXPECT_EQ(0u, LoginReply(Builder().Tlv(0x05, std::string("host:99999999999"))).GetPort());
    CSRV_LOGIN_REPLY bare = LoginReply(Builder().Tlv(0x05, std::string("bos.example")));
    EXPECT_EQ(L"bos.example", W(bare.GetHost()));
    EXPECT_EQ(CSRV_LOGIN_REPLY::kDefaultPort, bare.GetPort());
}

TEST(LoginReply, AnErrorCountsOnlyWhenTheLoginDataIsIncomplete)
{
    CSRV_LOGIN_REPLY complete = LoginReply(Builder().Tlv(0x01, std::string("1")).Tlv(0x05, std::string("h:1"))
                                               .Tlv(0x06, B({1})).Tlv16(0x08, 5));
    EXPECT_EQ(0, complete.GetErrorCode());

    CSRV_LOGIN_REPLY failed;
    Bytes frame = ServerFrame(OscarWire::LoginError("123", 5));
    ASSERT_GT(failed.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(5, failed.GetErrorCode());
    EXPECT_EQ(L"Mismatch UIN or password, re-enter", W(failed.GetErrorText()));

    // An error item too short for its code still reports a failed login.
    CSRV_LOGIN_REPLY malformed = LoginReply(Builder().Tlv(0x01, std::string("1")).Tlv(0x08, B({5})));
    EXPECT_NE(0, malformed.GetErrorCode());
}

TEST(LoginErrorTexts, KnownCodesHaveTextsOthersNone)
{
    EXPECT_EQ(L"Invalid UIN or password", W(GetLoginErrorText(1)));
    EXPECT_EQ(L"Account suspended because of your age (age < 13)", W(GetLoginErrorText(34)));
    EXPECT_EQ(L"", W(GetLoginErrorText(0)));
    EXPECT_EQ(L"", W(GetLoginErrorText(31)));
    EXPECT_EQ(L"", W(GetLoginErrorText(35)));
}

TEST(AuthFailed, TellsErrorAndDisconnectReasons)
{
    CSRV_AUTH_FAILED signoff;
    Bytes otherComputer = ServerFrame(OscarWire::Signoff(0x09, 1));
    ASSERT_GT(signoff.Unpack(otherComputer.data(), static_cast<int>(otherComputer.size())), 0);
    EXPECT_EQ(1, signoff.GetDisconnectCode());
    EXPECT_EQ(0, signoff.GetErrorCode());
    EXPECT_EQ(L"Your account used on another computer", W(signoff.GetDisconnectText()));

    Bytes serverError = ServerFrame(OscarWire::Signoff(0x09, 2));
    ASSERT_GT(signoff.Unpack(serverError.data(), static_cast<int>(serverError.size())), 0);
    EXPECT_EQ(L"Server error", W(signoff.GetDisconnectText()));

    Bytes rate = ServerFrame(OscarWire::Signoff(0x08, 24));
    ASSERT_GT(signoff.Unpack(rate.data(), static_cast<int>(rate.size())), 0);
    EXPECT_EQ(24, signoff.GetErrorCode());
    EXPECT_EQ(L"Rate limit exceeded (reservation). Please try to reconnect in a few minutes",
              W(signoff.GetErrorText()));

    Bytes channel2 = OscarWire::FlapBytes(2, 1, Builder().Tlv16(0x09, 1));
    EXPECT_EQ(0, signoff.Unpack(channel2.data(), static_cast<int>(channel2.size())));
}

TEST(Cookie, SignsOnWithTheLoginReplysCookie)
{
    CSRV_LOGIN_REPLY reply = LoginReply(Builder().Tlv(0x06, B({0xC0, 0x0C, 0x1E})));
    CCLI_COOKIE cookie(0x22, reply);
    EXPECT_EQ(B({0x2A, 0x01, 0x00, 0x22, 0x00, 0x0B, 0, 0, 0, 1, 0x00, 0x06, 0x00, 0x03, 0xC0, 0x0C, 0x1E}),
              Packed(cookie));
}
