// CTLV and CTLVCol: construction, serialised form in both byte orders, round
// trips, and buffers that end early or lie about their lengths.
#include <gtest/gtest.h>

#include "TLV.h"

#include <cstdlib>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes DataOf(const CTLV& item)
{
    const unsigned char* d = item.GetData();
    return d ? Bytes(d, d + item.GetDataLength()) : Bytes();
}

Bytes Serialised(const CTLVCol& col, int littleEndian = 0)
{
    unsigned char* buffer = col.GetBuffer(littleEndian);
    Bytes out(buffer, buffer + col.GetDataLength());
    std::free(buffer);
    return out;
}

bool IsDefaultItem(const CTLV& item)
{
    return item.GetType() == 0xFFFF && item.GetDataLength() == 0 && item.GetData() == nullptr;
}

} // namespace

TEST(TLVItem, ValueConstructorsAreBigEndian)
{
    EXPECT_TRUE(IsDefaultItem(CTLV()));
    CTLV byte(1, static_cast<unsigned char>(0xAB));
    EXPECT_EQ(byte.GetType(), 1);
    EXPECT_EQ(DataOf(byte), (Bytes{0xAB}));
    EXPECT_EQ(DataOf(CTLV(2, static_cast<unsigned short>(0x0102))), (Bytes{0x01, 0x02}));
    EXPECT_EQ(DataOf(CTLV(3, 0x01020304u)), (Bytes{0x01, 0x02, 0x03, 0x04}));

    unsigned char raw[] = {5, 6, 7};
    CTLV copied(4, 3, raw);
    raw[0] = 0;
    EXPECT_EQ(DataOf(copied), (Bytes{5, 6, 7}));
    CTLV empty(9, 0, raw);
    EXPECT_EQ(empty.GetType(), 9);
    EXPECT_EQ(empty.GetDataLength(), 0);
}

TEST(TLVItem, CopiesAreDeepAndLoadReplaces)
{
    const unsigned char raw[] = {1, 2, 3};
    CTLV a(7, 3, raw);
    CTLV b(a);
    EXPECT_NE(a.GetData(), b.GetData());
    b.GetData()[0] = 99;
    EXPECT_EQ(DataOf(a), (Bytes{1, 2, 3}));

    CTLV c;
    c = a;
    EXPECT_EQ(c.GetType(), 7);
    EXPECT_EQ(DataOf(c), (Bytes{1, 2, 3}));
    c = c;
    EXPECT_EQ(DataOf(c), (Bytes{1, 2, 3}));

    // Loading from the item's own data is safe.
    c.Load(8, 2, c.GetData() + 1);
    EXPECT_EQ(c.GetType(), 8);
    EXPECT_EQ(DataOf(c), (Bytes{2, 3}));
}

TEST(TLVItem, SerialisedItemMustLieWhole)
{
    const unsigned char wire[] = {0x00, 0x05, 0x00, 0x02, 0xAA, 0xBB, 0xCC};
    CTLV item(wire, 7);
    EXPECT_EQ(item.GetType(), 5);
    EXPECT_EQ(DataOf(item), (Bytes{0xAA, 0xBB}));
    EXPECT_EQ(DataOf(CTLV(wire, 6)), (Bytes{0xAA, 0xBB}));  // exactly whole

    EXPECT_TRUE(IsDefaultItem(CTLV(wire, 5)));  // data cut short
    EXPECT_TRUE(IsDefaultItem(CTLV(wire, 3)));  // header cut short
    EXPECT_TRUE(IsDefaultItem(CTLV(wire, 0)));
    EXPECT_TRUE(IsDefaultItem(CTLV(wire, -4)));
    EXPECT_TRUE(IsDefaultItem(CTLV(nullptr, 10)));
    const unsigned char liar[] = {0x00, 0x01, 0xFF, 0xFF, 0x00};
    EXPECT_TRUE(IsDefaultItem(CTLV(liar, 5)));
}

TEST(TLVCollection, BufferInEitherByteOrder)
{
    CTLVCol col;
    col.push_back(CTLV(5, static_cast<unsigned short>(0x0102)));
    EXPECT_EQ(col.GetDataLength(), 6);
    EXPECT_EQ(Serialised(col), (Bytes{0x00, 0x05, 0x00, 0x02, 0x01, 0x02}));
    EXPECT_EQ(Serialised(col, 1), (Bytes{0x05, 0x00, 0x02, 0x00, 0x01, 0x02}));

    CTLVCol empty;
    EXPECT_EQ(empty.GetDataLength(), 0);
    unsigned char* none = empty.GetBuffer(0);
    EXPECT_NE(none, nullptr);
    std::free(none);
}

TEST(TLVCollection, RoundTripKeepsOrderAndContent)
{
    CTLVCol col;
    col.push_back(CTLV(0x0001, static_cast<unsigned char>(7)));
    col.push_back(CTLV(0x0101, 0xCAFEBABEu));
    col.push_back(CTLV(0x0002, 0, nullptr));
    Bytes big(300);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<unsigned char>(i);
    col.push_back(CTLV(0xFFFE, static_cast<unsigned short>(big.size()), big.data()));
    col.push_back(CTLV(0x0001, static_cast<unsigned short>(0xBEEF)));

    Bytes wire = Serialised(col);
    ASSERT_EQ(wire.size(), 5 * 4 + 1u + 4 + 0 + 300 + 2);
    CTLVCol back;
    EXPECT_EQ(back.Unpack(wire.data(), static_cast<int>(wire.size())), static_cast<int>(wire.size()));
    ASSERT_EQ(back.size(), col.size());
    for (size_t i = 0; i < col.size(); ++i) {
        EXPECT_EQ(back[i].GetType(), col[i].GetType());
        EXPECT_EQ(DataOf(back[i]), DataOf(col[i]));
    }

    CTLVCol copy(back);
    copy[0].GetData()[0] = 0;
    EXPECT_EQ(DataOf(back[0]), (Bytes{7}));
    copy.erase(copy.begin());
    EXPECT_EQ(copy.size(), 4u);
}

TEST(TLVCollection, UnpackAppendsAndCountsWhatWasHeld)
{
    CTLVCol col;
    col.push_back(CTLV(9, static_cast<unsigned char>(1)));  // 5 bytes
    const unsigned char wire[] = {0x00, 0x01, 0x00, 0x00};
    EXPECT_EQ(col.Unpack(wire, 4), 9);
    ASSERT_EQ(col.size(), 2u);
    EXPECT_EQ(col[1].GetType(), 1);
    EXPECT_EQ(col[1].GetDataLength(), 0);
}

TEST(TLVCollection, GetTLVAnswersTheFirstOfAType)
{
    CTLVCol col;
    col.push_back(CTLV(3, static_cast<unsigned char>(1)));
    col.push_back(CTLV(4, static_cast<unsigned char>(2)));
    col.push_back(CTLV(3, static_cast<unsigned char>(3)));
    ASSERT_NE(col.GetTLV(3), nullptr);
    EXPECT_EQ(col.GetTLV(3), &col[0]);
    EXPECT_EQ(col.GetTLV(4)->GetData()[0], 2);
    EXPECT_EQ(col.GetTLV(5), nullptr);
    const CTLVCol& constant = col;
    EXPECT_EQ(constant.GetTLV(3), &col[0]);
}

TEST(TLVHostileInput, CutAndTrailingBytesAreDropped)
{
    // The second item claims 5 bytes and has 1.
    const unsigned char cut[] = {0x00, 0x01, 0x00, 0x02, 0xAA, 0xBB, 0x00, 0x02, 0x00, 0x05, 0x01};
    CTLVCol a;
    EXPECT_EQ(a.Unpack(cut, sizeof cut), 6);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].GetType(), 1);
    EXPECT_EQ(DataOf(a[0]), (Bytes{0xAA, 0xBB}));

    for (int trailing = 1; trailing <= 3; ++trailing) {
        const unsigned char wire[] = {0x00, 0x07, 0x00, 0x01, 0x55, 0xEE, 0xEE, 0xEE};
        CTLVCol b;
        EXPECT_EQ(b.Unpack(wire, 5 + trailing), 5);
        EXPECT_EQ(b.size(), 1u);
    }

    const unsigned char shortHeader[] = {0x00, 0x01, 0x00};
    CTLVCol c;
    EXPECT_EQ(c.Unpack(shortHeader, 3), 0);
    EXPECT_EQ(c.Unpack(nullptr, 40), 0);
    EXPECT_EQ(c.Unpack(shortHeader, -1), 0);
    EXPECT_TRUE(c.empty());

    const unsigned char huge[] = {0x12, 0x34, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6};
    CTLVCol d;
    EXPECT_EQ(d.Unpack(huge, sizeof huge), 0);
    EXPECT_TRUE(d.empty());
}

TEST(TLVHostileInput, RandomBuffersNeverYieldMoreThanTheyHold)
{
    std::mt19937 random(1234);
    Bytes wire(64);
    for (int round = 0; round < 2000; ++round) {
        int length = static_cast<int>(random() % wire.size());
        for (auto& b : wire)
            b = static_cast<unsigned char>(random() % 4 == 0 ? random() : random() % 16);
        CTLVCol col;
        int total = col.Unpack(wire.data(), length);
        ASSERT_LE(total, length);
        // Every item is the bytes at its own offset.
        int offset = 0;
        for (const CTLV& item : col) {
            ASSERT_EQ(item.GetType(), (wire[offset] << 8) | wire[offset + 1]);
            ASSERT_EQ(DataOf(item), Bytes(wire.begin() + offset + 4, wire.begin() + offset + 4 + item.GetDataLength()));
            offset += 4 + item.GetDataLength();
        }
    }
}
