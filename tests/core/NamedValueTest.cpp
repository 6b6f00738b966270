// NamedValue and NamedValueMap: typed bytes, the packed record, and what
// damaged or hostile records do.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/Stopwatch.h"
#include "core/settings/NamedValueMap.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes Packed(const NamedValue& value)
{
    Bytes bytes(value.GetPackedSize());
    EXPECT_EQ(value.Pack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
    return bytes;
}

Bytes Packed(const NamedValueMap& map)
{
    Bytes bytes(map.GetPackedSize());
    EXPECT_EQ(map.Pack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
    return bytes;
}

Bytes Held(const NamedValue& value)
{
    return Bytes(value.GetData(), value.GetData() + value.GetSize());
}

NamedValue Byte(const wchar_t* name, unsigned char b)
{
    NamedValue value{CJOVString(name)};
    value.SetByte(b);
    return value;
}

std::wstring Text(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

} // namespace

TEST(NamedValueTyped, NumbersAreLittleEndianAndNeedTheirWidth)
{
    NamedValue value{CJOVString(L"n")};
    value.SetDWord(0x12345678u);
    EXPECT_EQ(Held(value), (Bytes{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(value.AsDWord(), 0x12345678u);
    EXPECT_EQ(value.AsWord(), 0x5678);
    EXPECT_EQ(value.AsByte(), 0x78);

    value.SetWord(0xBEEF);
    EXPECT_EQ(Held(value), (Bytes{0xEF, 0xBE}));
    EXPECT_EQ(value.AsDWord(), 0u);  // too few bytes for 32 bits
    value.SetByte(7);
    EXPECT_EQ(value.AsWord(), 0);
    EXPECT_EQ(value.AsByte(), 7);
    value.SetData(nullptr, 0);
    EXPECT_EQ(value.AsByte(), 0);
    EXPECT_EQ(value.GetData(), nullptr);
}

TEST(NamedValueTyped, StringsAreUtf8WithoutTerminator)
{
    NamedValue value{CJOVString(L"s")};
    value.SetString(CJOVString(L"\x0416x"));  // Cyrillic Zhe
    EXPECT_EQ(Held(value), (Bytes{0xD0, 0x96, 'x'}));
    EXPECT_EQ(Text(value.AsString()), L"\x0416x");
    value.SetString(CJOVString());
    EXPECT_EQ(value.GetSize(), 0u);
    EXPECT_EQ(value.AsString().GetLength(), 0);
    // Any bytes read as text, as a number as bytes.
    value.SetString(CJOVString(L"abcd"));
    EXPECT_EQ(value.AsDWord(), 0x64636261u);
}

TEST(NamedValueTyped, CopiesAreDeepAndOwnBytesMayBeSetAgain)
{
    NamedValue original{CJOVString(L"v")};
    original.SetDWord(2);
    NamedValue copy(original);
    original.SetDWord(1);
    copy.SetData(copy.GetData(), copy.GetSize());
    EXPECT_EQ(copy.AsDWord(), 2u);
    copy.SetData(copy.GetData() + 1, 2);  // a shorter run of its own bytes
    EXPECT_EQ(Held(copy), (Bytes{0, 0}));
}

TEST(NamedValuePacked, RecordLayout)
{
    EXPECT_EQ(Packed(Byte(L"A", 5)), (Bytes{1, 'A', 1, 0, 0, 0, 5}));
    // The empty name and the empty value.
    EXPECT_EQ(Packed(NamedValue()), (Bytes{0, 0, 0, 0, 0}));
    // The name's length counts UTF-8 bytes.
    NamedValue cyrillic{CJOVString(L"\x0416"), "\x01\x02", 2};
    EXPECT_EQ(Packed(cyrillic), (Bytes{2, 0xD0, 0x96, 2, 0, 0, 0, 1, 2}));
}

TEST(NamedValuePacked, PackNeedsRoomForTheWholeRecord)
{
    NamedValue value = Byte(L"A", 5);
    Bytes buffer(6, 0xEE);
    EXPECT_EQ(value.Pack(buffer.data(), 6), 0u);
    EXPECT_EQ(buffer, Bytes(6, 0xEE));
    EXPECT_EQ(value.Pack(nullptr, 100), 0u);
}

TEST(NamedValuePacked, UnpackRoundTripsAndConsumesOneRecord)
{
    NamedValue source{CJOVString(L"name \x00E9"), "data", 4};
    Bytes bytes = Packed(source);
    bytes.push_back(0x99);  // the next record's first byte
    NamedValue back;
    ASSERT_EQ(back.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size() - 1);
    EXPECT_EQ(Text(back.GetName()), L"name \x00E9");
    EXPECT_EQ(Held(back), (Bytes{'d', 'a', 't', 'a'}));
}

TEST(NamedValuePacked, CutRecordsAreRefusedAndLeaveTheValue)
{
    const Bytes bytes = Packed(NamedValue(CJOVString(L"key"), "12345", 5));
    for (unsigned cut = 0; cut < bytes.size(); ++cut) {
        NamedValue value = Byte(L"old", 1);
        EXPECT_EQ(value.Unpack(bytes.data(), cut), 0u) << "cut at " << cut;
        EXPECT_EQ(Text(value.GetName()), L"old");
        EXPECT_EQ(value.AsByte(), 1);
    }
    NamedValue value;
    EXPECT_EQ(value.Unpack(nullptr, 10), 0u);
}

TEST(NamedValuePacked, LengthsNearTwoToTheThirtySecondDoNotWrap)
{
    // With the name and header added, these lengths wrap a 32-bit sum to a
    // few bytes, which the buffer seems to hold.
    const unsigned lengths[] = {0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFBu, 0xFFFFFFFAu, 0x80000000u};
    for (unsigned length : lengths) {
        Bytes bytes = {1, 'A', static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                       static_cast<unsigned char>(length >> 16), static_cast<unsigned char>(length >> 24),
                       1, 2, 3, 4};
        NamedValue value;
        EXPECT_EQ(value.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), 0u) << std::hex << length;
        EXPECT_EQ(value.GetSize(), 0u);
    }
}

TEST(NamedValuePacked, NameBeyond255Utf8BytesHasNoPackedForm)
{
    const NamedValue fits{CJOVString(std::wstring(255, L'n').c_str()), "x", 1};
    EXPECT_EQ(fits.GetPackedSize(), 255u + 1u + 5u);
    // 128 two-byte characters: 256 bytes.
    const NamedValue tooLong{CJOVString(std::wstring(128, L'\x00E9').c_str()), "x", 1};
    EXPECT_EQ(tooLong.GetPackedSize(), 0u);
    Bytes buffer(1000);
    EXPECT_EQ(tooLong.Pack(buffer.data(), 1000), 0u);
}

TEST(NamedValueMapOrder, NamesAreUniqueInStringOrder)
{
    NamedValueMap map;
    EXPECT_TRUE(map.Set(Byte(L"b", 1)));
    EXPECT_TRUE(map.Set(Byte(L"ab", 2)));
    EXPECT_TRUE(map.Set(Byte(L"a", 3)));
    EXPECT_TRUE(map.Set(Byte(L"B", 4)));
    EXPECT_FALSE(map.Set(Byte(L"a", 9)));  // the first value stays
    ASSERT_EQ(map.GetCount(), 4);
    const wchar_t* order[] = {L"B", L"a", L"ab", L"b"};  // upper case first, a prefix first
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Text(map.GetAt(i)->GetName()), order[i]);
    EXPECT_EQ(map.GetAt(4), nullptr);
    EXPECT_EQ(map.GetAt(-1), nullptr);
    EXPECT_EQ(map.Find(CJOVString(L"a"))->AsByte(), 3);
    EXPECT_EQ(map.Find(CJOVString(L"c")), nullptr);
}

TEST(NamedValueMapPacked, RoundTripInNameOrder)
{
    NamedValueMap map;
    map.Set(Byte(L"b", 2));
    map.Set(Byte(L"a", 1));
    const Bytes bytes = Packed(map);
    EXPECT_EQ(bytes, (Bytes{1, 'a', 1, 0, 0, 0, 1, 1, 'b', 1, 0, 0, 0, 2}));
    Bytes small(bytes.size() - 1, 0xEE);
    EXPECT_EQ(map.Pack(small.data(), static_cast<unsigned>(small.size())), 0u);
    EXPECT_EQ(small, Bytes(bytes.size() - 1, 0xEE));

    NamedValueMap back;
    EXPECT_EQ(back.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
    EXPECT_EQ(Packed(back), bytes);
    EXPECT_EQ(back.Unpack(bytes.data(), 0), 0u);
    EXPECT_EQ(back.GetCount(), 2);
}

TEST(NamedValueMapPacked, DuplicateNamesKeepTheFirst)
{
    Bytes bytes = Packed(Byte(L"x", 1));
    const Bytes second = Packed(Byte(L"x", 2));
    bytes.insert(bytes.end(), second.begin(), second.end());
    NamedValueMap map;
    EXPECT_EQ(map.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
    ASSERT_EQ(map.GetCount(), 1);
    EXPECT_EQ(map.GetAt(0)->AsByte(), 1);
}

TEST(NamedValueMapPacked, ValuesInAnyOrderUnpackInTimeLinearInTheirNumber)
{
    // In reverse name order, as a damaged or foreign file may hold them:
    // put in place one by one, each would move every value before it.
    const int count = 20000;
    Bytes bytes;
    for (int i = count; i > 0; --i) {
        const Bytes record = Packed(Byte((L"v" + std::to_wstring(100000 + i)).c_str(), static_cast<unsigned char>(i)));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    const Bytes twice = Packed(Byte(L"v100007", 0));  // a later duplicate loses
    bytes.insert(bytes.end(), twice.begin(), twice.end());
    NamedValueMap map;
    map.Set(Byte(L"v100009", 99));  // so does a later one of a value held before
    CStopwatch watch;
    EXPECT_EQ(map.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
    EXPECT_LT(watch.Ms(), 2000u);
    ASSERT_EQ(map.GetCount(), count);
    EXPECT_EQ(Text(map.GetAt(0)->GetName()), L"v100001");
    EXPECT_EQ(Text(map.GetAt(count - 1)->GetName()), L"v120000");
    EXPECT_EQ(map.Find(CJOVString(L"v100007"))->AsByte(), 7);
    EXPECT_EQ(map.Find(CJOVString(L"v100009"))->AsByte(), 99);
}

TEST(NamedValueMapPacked, DamagedRecordKeepsTheValuesBeforeIt)
{
    NamedValueMap source;
    source.Set(Byte(L"a", 1));
    source.Set(Byte(L"b", 2));
    Bytes bytes = Packed(source);
    const Bytes cut = {1, 'c', 50, 0, 0, 0, 1};  // claims 50 bytes, holds 1
    bytes.insert(bytes.end(), cut.begin(), cut.end());

    NamedValueMap map;
    map.Set(Byte(L"z", 26));  // what the map held before stays too
    EXPECT_EQ(map.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), 0u);
    ASSERT_EQ(map.GetCount(), 3);
    EXPECT_EQ(map.Find(CJOVString(L"a"))->AsByte(), 1);
    EXPECT_EQ(map.Find(CJOVString(L"b"))->AsByte(), 2);
    EXPECT_EQ(map.Find(CJOVString(L"c")), nullptr);
}

TEST(NamedValueMapPacked, ValuesWithoutAPackedFormAreLeftOut)
{
    NamedValueMap map;
    map.Set(Byte(L"a", 1));
    map.Set(NamedValue(CJOVString(std::wstring(300, L'n').c_str()), "x", 1));
    EXPECT_EQ(map.GetPackedSize(), 7u);
    EXPECT_EQ(Packed(map), (Bytes{1, 'a', 1, 0, 0, 0, 1}));
}
