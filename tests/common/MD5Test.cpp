// CMD5 against the RFC 1321 test suite and the padding boundaries.
#include <gtest/gtest.h>

#include "MD5.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex(const void* data, unsigned length)
{
    unsigned char digest[16];
    CMD5::Hash(data, length, digest);
    std::string hex;
    char two[3];
    for (unsigned char b : digest) {
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

std::string Hex(const char* text)
{
    return Hex(text, static_cast<unsigned>(std::strlen(text)));
}

} // namespace

TEST(MD5Digest, RfcTestSuite)
{
    EXPECT_EQ(Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(MD5Digest, PaddingBoundariesAndLongInput)
{
    // Lengths around one and two blocks, where the length field spills over.
    const struct {
        unsigned length;
        const char* digest;
    } cases[] = {
        {55, "52c0e574e1198de5fe3f8f11440dcb1b"},  {56, "46c9907fc908ee68b1e7b8e71286a518"},
        {63, "a62f6d59e837867693f042f5b8f5a236"},  {64, "7160b8fb5e9e4023d549c3971fbaeead"},
        {65, "70bd662e7aefbda85a0f7244167b7897"},  {119, "e84905d4214f4d1ca56c2cdcc152b143"},
        {120, "e3eb5a6c8669ea01a8c185b8abc8a5dc"}, {128, "10b2da1a82f16d99a81a7203fe9f02cb"},
    };
    unsigned char bytes[128];
    for (unsigned i = 0; i < sizeof bytes; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);  // zero bytes included
    for (const auto& c : cases)
        EXPECT_EQ(Hex(bytes, c.length), c.digest) << "length " << c.length;

    std::vector<unsigned char> million(1000000, 'a');
    EXPECT_EQ(Hex(million.data(), static_cast<unsigned>(million.size())), "7707d6ae4e027c70eea2a935c2296f21");
}
