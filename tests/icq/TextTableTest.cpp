// The reference text files: their reader, the shipped tables and the combo boxes.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/TextTable.h"

namespace {

class TextTableTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(folder, L"tt", 0, name);
        m_path = name;
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }

    // Writes the units as UTF-16 little-endian, as they stand.
    void Write(const std::wstring& units, bool oddByte = false)
    {
        Bytes bytes;
        for (wchar_t unit : units) {
            bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
            bytes.push_back(static_cast<unsigned char>(unit >> 8));
        }
        if (oddByte)
            bytes.push_back(0x41);
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    TextTable Load(const std::wstring& units)
    {
        Write(units);
        TextTable table;
        EXPECT_TRUE(LoadTextTableFile(CJOVString(m_path.c_str()), table));
        return table;
    }

    std::wstring m_path;
};

std::wstring Shipped(const wchar_t* file)
{
    return std::wstring(W(GetAppDir())) + L"Protos\\Verdel\\" + file;
}

} // namespace

TEST_F(TextTableTest, LinesOfCodeAndText)
{
    TextTable table = Load(L"36;first\r\n7;a;b\r\n 12;twelve\r\nx;letter\r\n36;second\r\n-3;minus\r\n+4;plus");
    EXPECT_EQ(L"second", W(FindText(table, 36)));
    EXPECT_EQ(L"ab", W(FindText(table, 7)));
    EXPECT_EQ(L"twelve", W(FindText(table, 12)));
    EXPECT_EQ(L"letter", W(FindText(table, 0)));
    EXPECT_EQ(L"minus", W(FindText(table, -3)));
    EXPECT_EQ(L"plus", W(FindText(table, 4)));  // the last line has no CR LF
    EXPECT_EQ(L"", W(FindText(table, 99)));
    EXPECT_EQ(6u, table.size());  // a look-up never adds
}

TEST_F(TextTableTest, OnlyCarriageReturnLineFeedEndsALine)
{
    TextTable table = Load(L"1;a\rb\n2;c\r\n\r\n3;d\r");
    EXPECT_EQ(L"a\rb\n2c", W(FindText(table, 1)));
    EXPECT_EQ(L"", W(FindText(table, 0)));  // the empty line
    EXPECT_EQ(L"d\r", W(FindText(table, 3)));
    EXPECT_EQ(3u, table.size());
}

TEST_F(TextTableTest, AByteOrderMarkIsNotSkipped)
{
    TextTable table = Load(L"\xFEFF" L"5;five\r\n6;six\r\n");
    EXPECT_EQ(L"five", W(FindText(table, 0)));
    EXPECT_EQ(L"six", W(FindText(table, 6)));
}

TEST_F(TextTableTest, AThousandLinesAcrossManyRefills)
{
    std::wstring units;
    for (int i = 1; i <= 1000; ++i)
        units += std::to_wstring(i) + L";entry number " + std::to_wstring(i) + L"\r\n";
    TextTable table = Load(units);
    EXPECT_EQ(1000u, table.size());
    EXPECT_EQ(L"entry number 1", W(FindText(table, 1)));
    EXPECT_EQ(L"entry number 517", W(FindText(table, 517)));
    EXPECT_EQ(L"entry number 1000", W(FindText(table, 1000)));
}

TEST_F(TextTableTest, ALongLineIsCutAndTheNextOneStillRead)
{
    std::wstring units = L"1;" + std::wstring(2000, L'x') + L"\r\n2;after\r\n";
    TextTable table = Load(units);
    EXPECT_EQ(2u, table.size());
    EXPECT_EQ(251, FindText(table, 1).GetLength());  // 255 less the code, ";" and CR LF
    EXPECT_EQ(L"after", W(FindText(table, 2)));
}

TEST_F(TextTableTest, AnOddLastByteIsIgnored)
{
    Write(L"8;eight", true);
    TextTable table;
    ASSERT_TRUE(LoadTextTableFile(CJOVString(m_path.c_str()), table));
    EXPECT_EQ(L"eight", W(FindText(table, 8)));
}

TEST_F(TextTableTest, AMissingFileIsCreatedEmpty)
{
    DeleteFileW(m_path.c_str());
    TextTable table;
    EXPECT_TRUE(LoadTextTableFile(CJOVString(m_path.c_str()), table));
    EXPECT_TRUE(table.empty());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_path.c_str()));
}

TEST(ShippedTables, EveryFileIsBesideTheModuleAndReadable)
{
    for (int kind = 0; kind < kTextTableCount; ++kind) {
        const wchar_t* file = GetTextTableFileName(static_cast<TextTableKind>(kind));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Shipped(file).c_str())) << kind;
        TextTable table;
        ASSERT_TRUE(LoadTextTableFile(CJOVString(Shipped(file).c_str()), table));
        EXPECT_GE(table.size(), 2u);
        EXPECT_EQ(0u, table.count(0));  // no stray empty or mark line
    }
    TextTable countries;
    LoadTextTableFile(CJOVString(Shipped(L"countries.txt").c_str()), countries);
    EXPECT_EQ(L"Russia", W(FindText(countries, 7)));
    EXPECT_EQ(L"Germany", W(FindText(countries, 49)));
    EXPECT_EQ(L"Slovakia", W(FindText(countries, 4201)));
    TextTable genders;
    LoadTextTableFile(CJOVString(Shipped(L"Gender.txt").c_str()), genders);
    EXPECT_EQ(L"Female", W(FindText(genders, 1)));
    EXPECT_EQ(L"Male", W(FindText(genders, 2)));
}

TEST(ReferenceCombo, AnEmptyFirstItemThenEveryEntryByCode)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, parent,
                                 reinterpret_cast<HMENU>(100), nullptr, nullptr);
    ASSERT_NE(nullptr, combo);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"old"));
    TextTable table = {{20, CJOVString(L"Married")}, {10, CJOVString(L"Single")}};
    FillReferenceCombo(parent, 100, table);
    ASSERT_EQ(3, SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    wchar_t text[32] = L"?";
    SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L""), text);
    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L"Single"), text);
    EXPECT_EQ(10, SendMessageW(combo, CB_GETITEMDATA, 1, 0));
    EXPECT_EQ(20, SendMessageW(combo, CB_GETITEMDATA, 2, 0));
    DestroyWindow(parent);
}
