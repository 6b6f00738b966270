// FLAP and SNAC framing, the bounded reader and the room a packet is given.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/ByteReader.h"
#include "packets/CLI_AUTH_REQUEST.h"
#include "packets/CLI_SEND_ICBM_CH1.h"
#include "packets/SNACPacket.h"
#include "packets/SRV_HELLO.h"

TEST(FlapFrame, PacksTheSixHeaderBytes)
{
    CICQPacket keepAlive(5, 0x1234, 0);
    EXPECT_EQ(B({0x2A, 0x05, 0x12, 0x34, 0x00, 0x00}), Packed(keepAlive));
}

TEST(FlapFrame, RejectsShortFramesAndAForeignStartByte)
{
    CICQPacket packet;
    const Bytes frame = B({0x2A, 0x02, 0x00, 0x07, 0x00, 0x00});
    EXPECT_EQ(0, packet.Unpack(frame.data(), 5));
    Bytes foreign = frame;
    foreign[0] = 0x2B;
    EXPECT_EQ(0, packet.Unpack(foreign.data(), 6));
    EXPECT_EQ(6, packet.Unpack(frame.data(), 6));
    EXPECT_EQ(2, packet.GetChannel());
    EXPECT_EQ(7, packet.GetSequence());
}

TEST(SnacFrame, FindsTheBodyBehindExtraData)
{
    CSNACPacket snac;
    Bytes plain = ServerSnac(0x01, 0x03, B({0xAA}));
    EXPECT_EQ(16, snac.Unpack(plain.data(), static_cast<int>(plain.size())));

    Bytes extra = ServerSnac(0x01, 0x03, B({0x00, 0x06, 1, 2, 3, 4, 5, 6, 0xAA}), 0x8000, 0x01020304);
    EXPECT_EQ(24, snac.Unpack(extra.data(), static_cast<int>(extra.size())));
    EXPECT_EQ(0x8000, snac.GetFlags());
    EXPECT_EQ(0x01020304u, snac.GetRequestId());
}

TEST(SnacFrame, RejectsExtraDataOrHeadersPastTheFrame)
{
    CSNACPacket snac;
    Bytes extra = ServerSnac(0x01, 0x03, B({0x00, 0x40, 1, 2}), 0x8000);
    CGuardedBytes guarded(extra);
    EXPECT_EQ(0, snac.Unpack(guarded.Data(), guarded.Size()));

    // A FLAP data length too small for the SNAC header.
    Bytes cut = B({0x2A, 0x02, 0x00, 0x01, 0x00, 0x04, 0x00, 0x01, 0x00, 0x03, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(0, snac.Unpack(cut.data(), static_cast<int>(cut.size())));
}

TEST(SnacFrame, ParsesStopAtTheStatedDataLengthNotTheBuffer)
{
    // Two frames back to back: the hello parse must look at the first only.
    Bytes two = ServerFrame(OscarWire::Hello());
    Bytes second = ServerSnac(0x01, 0x03, B({0, 1}));
    two.insert(two.end(), second.begin(), second.end());
    CSRV_HELLO hello;
    EXPECT_EQ(10, hello.Unpack(two.data(), static_cast<int>(two.size())));
}

TEST(PacketDirection, EachClassWorksOneWayOnly)
{
    CSRV_HELLO hello;
    unsigned char room[64];
    EXPECT_EQ(0, hello.Pack(room, sizeof(room)));
    CCLI_AUTH_REQUEST request(1, 2, CJOVString(L"123"));
    Bytes frame = Packed(request);
    EXPECT_EQ(0, request.Unpack(frame.data(), static_cast<int>(frame.size())));
}

TEST(PacketRoom, APacketThatDoesNotFitIsRefused)
{
    CCLI_AUTH_REQUEST request(1, 2, CJOVString(L"123456789"));
    EXPECT_EQ(29, static_cast<int>(Packed(request).size()));
    EXPECT_TRUE(Packed(request, 28).empty());

    // 6000 bytes of UTF-16: more than the old fixed 4096 bytes, within one frame.
    std::wstring longText(3000, L'x');
    CCLI_SEND_ICBM_CH1 message(1, 2, 3, 4, CJOVString(L"1"), CJOVString(longText.c_str()), true);
    EXPECT_EQ(6 + 47 + 1 + 6002, static_cast<int>(Packed(message).size()));
}

TEST(ByteReader, AReadPastTheEndFailsAndStaysFailed)
{
    const Bytes bytes = B({0x12, 0x34, 0x56});
    CByteReader reader(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(0x1234, reader.U16());
    EXPECT_EQ(0u, reader.U32());
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(0, reader.U8());  // the byte that is there is no longer handed out
    EXPECT_EQ(nullptr, reader.Bytes(0));

    CByteReader little(bytes.data(), 3);
    EXPECT_EQ(0x3412, little.U16LE());
    CByteReader sub = little.Sub(4);
    EXPECT_TRUE(sub.Failed());
    EXPECT_TRUE(little.Failed());
}

TEST(ByteReader, HugeLengthsDoNotWrap)
{
    const Bytes bytes = B({1, 2, 3, 4});
    CByteReader reader(bytes.data(), 4);
    reader.Skip(2);
    EXPECT_EQ(nullptr, reader.Bytes(0x7FFFFFFF));
    CByteReader negative(bytes.data(), 4);
    EXPECT_FALSE(negative.Skip(-1));
}
