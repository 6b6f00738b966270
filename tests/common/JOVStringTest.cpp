// CJOVString: comparison, search and edit rules, code pages and Base64.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "JOVString.h"
#include "support/ImportHook.h"

namespace {

CJOVString S(const wchar_t* text) { return CJOVString(text); }

void* NoMemory(void*, size_t)
{
    return nullptr;
}

CJOVString FromUnits(std::initializer_list<wchar_t> units)
{
    CJOVString s;
    for (wchar_t u : units) {
        wchar_t one[2] = {u, 0};
        s += u == 0 ? CJOVString(reinterpret_cast<const unsigned char*>("\0"), 1, 65001) : CJOVString(one);
    }
    return s;
}

} // namespace

TEST(JOVStringCompare, OrdersByUnitValueThenLength)
{
    EXPECT_LT(S(L"Zebra"), S(L"apple"));  // upper-case Latin sorts first
    EXPECT_LT(S(L"ab"), S(L"abc"));       // a proper prefix is smaller
    EXPECT_GT(S(L"abc"), S(L"ab"));
    EXPECT_LE(S(L"ab"), S(L"ab"));
    EXPECT_GE(S(L"b"), S(L"abc"));
    EXPECT_NE(S(L"ab"), S(L"abc"));
    EXPECT_EQ(CJOVString(), S(L""));
    // Above 0x7FFF: compared unsigned.
    EXPECT_LT(S(L"a"), S(L"\xFF01"));
}

TEST(JOVStringCompare, UnitsAfterAnEmbeddedNulCount)
{
    CJOVString a = FromUnits({L'a', 0, L'b'});
    CJOVString b = FromUnits({L'a', 0, L'c'});
    ASSERT_EQ(a.GetLength(), 3);
    EXPECT_NE(a, b);
    EXPECT_LT(a, b);
}

TEST(JOVStringSearch, FindRules)
{
    CJOVString text = S(L"xaxax");
    EXPECT_EQ(text.Find(2, S(L"a")), 3);
    EXPECT_EQ(text.Find(-5, S(L"a")), 1);
    EXPECT_EQ(text.Find(0, CJOVString()), 0);
    EXPECT_EQ(text.Find(6, S(L"x")), -1);
    EXPECT_EQ(text.Find(0, S(L"ax")), 1);
    EXPECT_EQ(text.Find(0, S(L"xaxaxx")), -1);
    // The search stops at an embedded NUL.
    EXPECT_EQ(FromUnits({L'a', 0, L'b'}).Find(0, S(L"b")), -1);
}

TEST(JOVStringSearch, SubstringAndIndex)
{
    CJOVString abc = S(L"abc");
    EXPECT_EQ(abc.Substring(1, 100), S(L"bc"));
    EXPECT_EQ(abc.Substring(3, 1), CJOVString());
    EXPECT_EQ(abc.Substring(4, 1), CJOVString());
    EXPECT_EQ(abc.Substring(-1, 2), CJOVString());
    EXPECT_EQ(abc.Substring(0, 0), CJOVString());
    EXPECT_EQ(abc[1], S(L"b"));
    EXPECT_EQ(abc[3], CJOVString());
    EXPECT_EQ(abc[-1], CJOVString());
}

TEST(JOVStringEdit, RemoveResumesWhereTheRemovedTextBegan)
{
    CJOVString s = S(L"XXYY");
    s.Remove(S(L"XY"));
    EXPECT_EQ(s, S(L"XY"));

    CJOVString t = S(L"a--b--");
    t.Remove(S(L"--"));
    EXPECT_EQ(t, S(L"ab"));

    CJOVString u = S(L"abc");
    u.Remove(CJOVString());
    EXPECT_EQ(u, S(L"abc"));

    CJOVString all = S(L"zzzz");
    all.Remove(S(L"z"));
    EXPECT_EQ(all.GetLength(), 0);

    CJOVString self = S(L"abab");
    self.Remove(self);
    EXPECT_EQ(self.GetLength(), 0);
}

TEST(JOVStringEdit, ConcatenationSelfAssignmentAndLower)
{
    CJOVString s = S(L"ab");
    s += s;
    EXPECT_EQ(s, S(L"abab"));
    s = s;
    EXPECT_EQ(s, S(L"abab"));
    EXPECT_EQ(S(L"x") + CJOVString() + S(L"y"), S(L"xy"));

    CJOVString mixed = S(L"AbC\x0416");  // Cyrillic capital Zhe
    mixed.ToLower();
    EXPECT_EQ(mixed, S(L"abc\x0436"));
}

TEST(JOVStringEdit, TerminatedPointerKeepsTheLength)
{
    CJOVString s = S(L"abc");
    wchar_t* p = s;
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(s.GetLength(), 3);
    CJOVString empty;
    wchar_t* e = empty;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e[0], 0);
    EXPECT_EQ(empty.GetLength(), 0);
}

TEST(JOVStringEdit, TerminatedPointerWithoutMemoryIsEmptyNotUnterminated)
{
    CJOVString s = S(L"abc");
    {
        // The string's library is given no memory to grow by the terminator.
        CImportHook failing(GetModuleHandleW(L"jov_common.dll"), "msvcrt.dll", "realloc",
                            reinterpret_cast<void*>(&NoMemory));
        ASSERT_TRUE(failing.IsSet());
        const wchar_t* p = s;
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[0], 0);
    }
    EXPECT_EQ(s, S(L"abc")) << "the text itself is kept";
    const wchar_t* p = s;
    EXPECT_EQ(std::wstring(p), L"abc");
}

TEST(JOVStringCodePages, Utf8AndCp1251BothWays)
{
    const unsigned char eAcute[] = {0xC3, 0xA9, 0};
    CJOVString e(eAcute, 65001);
    ASSERT_EQ(e.GetLength(), 1);
    EXPECT_EQ(e.Data()[0], 0x00E9);
    unsigned char* utf8 = e.GetBuffer(65001);
    ASSERT_NE(utf8, nullptr);
    EXPECT_EQ(utf8[0], 0xC3);
    EXPECT_EQ(utf8[1], 0xA9);
    EXPECT_EQ(utf8[2], 0);
    CJOVString::FreeBuffer(utf8);

    const unsigned char privet[] = {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0};  // "Привет" in 1251
    CJOVString ru(privet, 1251);
    EXPECT_EQ(ru, S(L"\x041F\x0440\x0438\x0432\x0435\x0442"));
    unsigned char* back = ru.GetBuffer(1251);
    EXPECT_STREQ(reinterpret_cast<char*>(back), reinterpret_cast<const char*>(privet));
    CJOVString::FreeBuffer(back);
}

TEST(JOVStringCodePages, CountedBytesKeepZeros)
{
    const unsigned char bytes[] = {'a', 0, 'b'};
    CJOVString s(bytes, 3, 65001);
    ASSERT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.Data()[1], 0);
    EXPECT_EQ(CJOVString(bytes, 0, 65001).GetLength(), 0);

    unsigned char* empty = CJOVString().GetBuffer(65001);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], 0);
    CJOVString::FreeBuffer(empty);
}

TEST(JOVStringBase64, EncodesWithPadding)
{
    const unsigned char bytes[] = {'M', 'a', 'n'};
    EXPECT_EQ(CJOVString::GetBase64EncodedString(bytes, 3), S(L"TWFu"));
    EXPECT_EQ(CJOVString::GetBase64EncodedString(bytes, 2), S(L"TWE="));
    EXPECT_EQ(CJOVString::GetBase64EncodedString(bytes, 1), S(L"TQ=="));
    EXPECT_EQ(CJOVString::GetBase64EncodedString(bytes, 0), CJOVString());
    const unsigned char high[] = {0xFF, 0xFE, 0xFD, 0x00};
    EXPECT_EQ(CJOVString::GetBase64EncodedString(high, 4), S(L"//79AA=="));
    // SASL PLAIN's "\0user\0pass", units taken as bytes.
    CJOVString plain = CJOVString(reinterpret_cast<const unsigned char*>("\0u\0p"), 4, 65001);
    EXPECT_EQ(plain.GetBase64EncodedString(), S(L"AHUAcA=="));
}

TEST(JOVStringBase64, DecodesSkippingLineBreaks)
{
    EXPECT_EQ(S(L"TWFu").GetBase64DecodedString(), S(L"Man"));
    EXPECT_EQ(S(L"T\r\nW\nFu\r").GetBase64DecodedString(), S(L"Man"));
    EXPECT_EQ(S(L"TWE=").GetBase64DecodedString(), S(L"Ma"));
    EXPECT_EQ(S(L"TQ==").GetBase64DecodedString(), S(L"M"));
    // After the padded group the rest is ignored.
    EXPECT_EQ(S(L"TQ==garbage!").GetBase64DecodedString(), S(L"M"));
    EXPECT_EQ(S(L"bWFueW1hbnk=").GetBase64DecodedString(), S(L"manymany"));
}

TEST(JOVStringBase64, MalformedTextGivesEmpty)
{
    EXPECT_EQ(S(L"TW Fu").GetBase64DecodedString(), CJOVString());
    EXPECT_EQ(S(L"TWF").GetBase64DecodedString(), CJOVString());
    EXPECT_EQ(S(L"TWFu!").GetBase64DecodedString(), CJOVString());
    EXPECT_EQ(S(L"TWFuT").GetBase64DecodedString(), CJOVString());
}

TEST(JOVStringBase64, RoundTripsEveryByteValue)
{
    unsigned char bytes[256];
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    for (int n : {1, 2, 3, 4, 5, 255, 256}) {
        CJOVString encoded = CJOVString::GetBase64EncodedString(bytes, n);
        EXPECT_EQ(encoded.GetLength(), 4 * ((n + 2) / 3));
        // Decoding goes through the ANSI code page; compare on ASCII only.
        if (n <= 5) {
            CJOVString decoded = encoded.GetBase64DecodedString();
            EXPECT_EQ(decoded.GetLength(), n);
        }
    }
}

TEST(JOVStringBase64, DecodesToTheBytesThemselvesWithNoCodePage)
{
    unsigned char all[256];
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<unsigned char>(255 - i);
    for (int n : {1, 2, 3, 256}) {
        int count = -1;
        unsigned char* bytes = CJOVString::GetBase64EncodedString(all, n).GetBase64DecodedBytes(&count);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(count, n);
        EXPECT_EQ(std::memcmp(bytes, all, static_cast<size_t>(n)), 0) << "a NUL and high bytes are kept";
        EXPECT_EQ(bytes[n], 0) << "one 0 byte after them";
        CJOVString::FreeBuffer(bytes);
    }
    int count = -1;
    EXPECT_EQ(S(L"TWF").GetBase64DecodedBytes(&count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(S(L"TW!u").GetBase64DecodedBytes(&count), nullptr);
    EXPECT_EQ(CJOVString().GetBase64DecodedBytes(&count), nullptr);
    EXPECT_EQ(S(L"\r\n").GetBase64DecodedBytes(&count), nullptr) << "no bytes";
}

TEST(AppDir, EndsWithABackslash)
{
    CJOVString dir = GetAppDir();
    ASSERT_GT(dir.GetLength(), 0);
    EXPECT_EQ(dir[dir.GetLength() - 1], S(L"\\"));
    // The library lies beside the program.
    EXPECT_EQ(GetModuleDir(GetModuleHandleW(L"jov_common.dll")), dir);
}
