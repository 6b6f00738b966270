// CPacker: byte order of each width and copied runs.
#include <gtest/gtest.h>

#include "Packer.h"

#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

} // namespace

TEST(PackerPack, ByteOrderOfEachWidth)
{
    unsigned char b[4] = {};
    CPacker::Pack16(b, 0x1234);
    EXPECT_EQ(Bytes(b, b + 2), (Bytes{0x12, 0x34}));
    CPacker::Pack16LE(b, 0x1234);
    EXPECT_EQ(Bytes(b, b + 2), (Bytes{0x34, 0x12}));
    CPacker::Pack32(b, 0x01020304);
    EXPECT_EQ(Bytes(b, b + 4), (Bytes{0x01, 0x02, 0x03, 0x04}));
    CPacker::Pack32LE(b, 0x01020304);
    EXPECT_EQ(Bytes(b, b + 4), (Bytes{0x04, 0x03, 0x02, 0x01}));
    CPacker::Pack8(b + 1, 0xFE);
    EXPECT_EQ(b[1], 0xFE);
    EXPECT_EQ(b[2], 0x02);  // nothing written past the value

    const unsigned char be[] = {0x01, 0x02, 0x03, 0x04, 0xFF};
    EXPECT_EQ(CPacker::Unpack32(be), 0x01020304u);
    EXPECT_EQ(CPacker::Unpack16(be + 3), 0x04FF);
    EXPECT_EQ(CPacker::Unpack8(be + 4), 0xFF);
}

TEST(PackerRuns, CopiesAndFreshBuffers)
{
    const unsigned char run[] = {9, 0, 8, 7};
    unsigned char target[6] = {1, 1, 1, 1, 1, 1};
    CPacker::PackBuffer(target + 1, run, 4);
    EXPECT_EQ(Bytes(target, target + 6), (Bytes{1, 9, 0, 8, 7, 1}));
    CPacker::PackBuffer(target, run, 0);
    EXPECT_EQ(target[0], 1);

    unsigned char* copy = CPacker::UnpackBuffer(run, 4);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, run);
    EXPECT_EQ(Bytes(copy, copy + 4), Bytes(run, run + 4));
    std::free(copy);  // the runtime's free, shared with the library

    unsigned char* none = CPacker::UnpackBuffer(run, 0);
    EXPECT_NE(none, nullptr);
    std::free(none);
}
