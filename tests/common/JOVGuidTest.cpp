// JOV_GUID: text form, parsing in either case, and partial parses.
#include <gtest/gtest.h>

#include "JOVGuid.h"

#include <cstring>

namespace {

const JOV_GUID kSample = {0x7D874B0A, 0xD93B, 0x4D4D, {0xB7, 0x48, 0x02, 0x6F, 0xEB, 0x4E, 0xCC, 0xE0}};
const JOV_GUID kFilled = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};

JOV_GUID Parsed(const CJOVString& text, const JOV_GUID& start = kFilled)
{
    JOV_GUID g = start;
    g.SetString(text);
    return g;
}

} // namespace

TEST(JOVGuidText, UpperCaseFixedWidth)
{
    EXPECT_EQ(kSample.GetString(), CJOVString(L"{7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}"));
    JOV_GUID zero = {};
    EXPECT_EQ(zero.GetString(), CJOVString(L"{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(zero.GetString().GetLength(), 38);
}

TEST(JOVGuidText, ParsesEitherCase)
{
    EXPECT_EQ(Parsed(L"{7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}"), kSample);
    EXPECT_EQ(Parsed(L"{7d874b0a-d93b-4d4d-b748-026feb4ecce0}"), kSample);
    EXPECT_EQ(Parsed(L"{00000000-0000-0000-0000-000000000000}"), JOV_GUID{});
    EXPECT_EQ(Parsed(kFilled.GetString(), JOV_GUID{}), kFilled);
}

TEST(JOVGuidText, StopsAtTheFirstMismatchKeepingLaterFields)
{
    JOV_GUID g = Parsed(L"{ABCDEF01-1234-zzzz");
    EXPECT_EQ(g.Data1, 0xABCDEF01u);
    EXPECT_EQ(g.Data2, 0x1234);
    EXPECT_EQ(g.Data3, kFilled.Data3);
    EXPECT_EQ(0, std::memcmp(g.Data4, kFilled.Data4, 8));

    // Short fields are read as far as they go.
    g = Parsed(L"{1F-2-3-4");
    EXPECT_EQ(g.Data1, 0x1Fu);
    EXPECT_EQ(g.Data2, 2);
    EXPECT_EQ(g.Data3, 3);
    EXPECT_EQ(g.Data4[0], 4);
    EXPECT_EQ(g.Data4[1], kFilled.Data4[1]);

    // Nine digits: the field takes eight and the ninth is the mismatch.
    g = Parsed(L"{123456789-0000-0000-0000-000000000000}");
    EXPECT_EQ(g.Data1, 0x12345678u);
    EXPECT_EQ(g.Data2, kFilled.Data2);

    // The second Data4 pair must be followed by the dash.
    g = Parsed(L"{00000000-0000-0000-AABBCC");
    EXPECT_EQ(g.Data4[0], 0xAA);
    EXPECT_EQ(g.Data4[1], 0xBB);
    EXPECT_EQ(g.Data4[2], kFilled.Data4[2]);

    EXPECT_EQ(Parsed(L"7D874B0A-D93B-4D4D-B748-026FEB4ECCE0"), kFilled);  // no brace
    EXPECT_EQ(Parsed(L""), kFilled);
}

