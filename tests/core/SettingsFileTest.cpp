// "settings.jov": the exact bytes, loading damaged files, and saves that are
// interrupted.
#include <gtest/gtest.h>

#include <vector>

#include "TempFolder.h"
#include "core/settings/JOVDatabase.h"

using Database::CJOVDatabase;
using Database::CSettingsFile;
using Database::SectionMap;

namespace {

typedef std::vector<unsigned char> Bytes;

const JOV_GUID kSectionA = {0x7D874B0A, 0xD93B, 0x4D4D, {0xB7, 0x48, 0x02, 0x6F, 0xEB, 0x4E, 0xCC, 0xE0}};
const JOV_GUID kSectionB = {0x3BAE2E79, 0xC55B, 0x41B8, {0x85, 0x1D, 0x0C, 0xB7, 0xDF, 0xF0, 0x53, 0xB6}};

Bytes Ascii(const char* text)
{
    Bytes bytes;
    for (; *text; ++text)
        bytes.push_back(static_cast<unsigned char>(*text));
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The section A of the file example: "A" = 5.
Bytes ExampleFile()
{
    return Concat({{38}, Ascii("{7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}"), {7, 0, 0, 0}, {1, 'A', 1, 0, 0, 0, 5}});
}

// Fails every write after the first `budget` bytes, as a full disk or a
// pulled card would.
unsigned g_writeBudget = 0;
BOOL WINAPI LimitedWriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    if (count > g_writeBudget) {
        if (g_writeBudget == 0) {
            *written = 0;
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        count = g_writeBudget;  // a short write
    }
    g_writeBudget -= count;
    return WriteFile(file, bytes, count, written, overlapped);
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::wstring FilePath() const { return m_folder.File(L"settings.jov"); }
    CSettingsFile File() const { return CSettingsFile(m_folder.Path(L"settings.jov")); }

    SectionMap Load() const
    {
        SectionMap sections;
        File().Load(sections);
        return sections;
    }

    CTempFolder m_folder;
};

} // namespace

TEST_F(SettingsFileTest, ExampleIsWrittenByteForByte)
{
    {
        CJOVDatabase store(File());
        unsigned char five = 5;
        store.SetByte(kSectionA, CJOVString(L"A"), &five);
    }
    EXPECT_EQ(CTempFolder::Read(FilePath()), ExampleFile());
}

TEST_F(SettingsFileTest, SectionsAndValuesAreWrittenInOrder)
{
    {
        CJOVDatabase store(File());
        unsigned char one = 1;
        unsigned short two = 2;
        // Written out of order: the file holds B's key ("{3BAE...}") first and names ascending.
        store.SetByte(kSectionA, CJOVString(L"b"), &one);
        store.SetByte(kSectionA, CJOVString(L"a"), &one);
        store.SetWord(kSectionB, CJOVString(L"w"), &two);
    }
    const Bytes expected = Concat({{38}, Ascii("{3BAE2E79-C55B-41B8-851D-0CB7DFF053B6}"), {8, 0, 0, 0},
                                   {1, 'w', 2, 0, 0, 0, 2, 0},
                                   {38}, Ascii("{7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}"), {14, 0, 0, 0},
                                   {1, 'a', 1, 0, 0, 0, 1}, {1, 'b', 1, 0, 0, 0, 1}});
    EXPECT_EQ(CTempFolder::Read(FilePath()), expected);
}

TEST_F(SettingsFileTest, MissingFileLoadsNothing)
{
    SectionMap sections;
    EXPECT_FALSE(File().Load(sections));
    EXPECT_TRUE(sections.empty());
    SectionMap none;
    EXPECT_FALSE(CSettingsFile(CJOVString()).Load(none));
    EXPECT_FALSE(CSettingsFile(CJOVString()).Save(none));
}

TEST_F(SettingsFileTest, FileCutAnywhereKeepsTheWholeSectionsBeforeTheCut)
{
    const Bytes first = ExampleFile();
    const Bytes second = Concat({{38}, Ascii("{3BAE2E79-C55B-41B8-851D-0CB7DFF053B6}"), {7, 0, 0, 0},
                                 {1, 'B', 1, 0, 0, 0, 6}});
    const Bytes whole = Concat({first, second});
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        CTempFolder::Write(FilePath(), Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        const SectionMap sections = Load();
        const size_t expected = cut < first.size() ? 0 : cut < whole.size() ? 1 : 2;
        EXPECT_EQ(sections.size(), expected) << "cut at " << cut;
    }
}

TEST_F(SettingsFileTest, HugeSectionLengthEndsLoadingWithoutReadingIt)
{
    const Bytes huge = Concat({{38}, Ascii("{3BAE2E79-C55B-41B8-851D-0CB7DFF053B6}"), {0xFF, 0xFF, 0xFF, 0xFF},
                               {1, 'B', 1, 0, 0, 0, 6}});
    CTempFolder::Write(FilePath(), Concat({ExampleFile(), huge}));
    const SectionMap sections = Load();
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections.begin()->second.GetAt(0)->AsByte(), 5);
}

TEST_F(SettingsFileTest, DamagedValueRecordKeepsTheSectionsEarlierValues)
{
    // Section data: "A" = 5, then a record claiming 9 bytes that holds 1.
    const Bytes file = Concat({{38}, Ascii("{7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}"), {14, 0, 0, 0},
                               {1, 'A', 1, 0, 0, 0, 5}, {1, 'Z', 9, 0, 0, 0, 1}});
    CTempFolder::Write(FilePath(), file);
    {
        CJOVDatabase store(File());
        unsigned char value = 0;
        EXPECT_EQ(store.GetByte(kSectionA, CJOVString(L"A"), &value), 1);
        EXPECT_EQ(value, 5);
        EXPECT_EQ(store.GetByte(kSectionA, CJOVString(L"Z"), &value), 0);
    }
    // Saved again without the damaged record.
    EXPECT_EQ(CTempFolder::Read(FilePath()), ExampleFile());
}

TEST_F(SettingsFileTest, UnreadableSectionKeysAreKeptAndWrittenAgain)
{
    const Bytes odd = Concat({{3}, Ascii("odd"), {7, 0, 0, 0}, {1, 'q', 1, 0, 0, 0, 9}});
    CTempFolder::Write(FilePath(), odd);
    {
        CJOVDatabase store(File());
    }
    EXPECT_EQ(CTempFolder::Read(FilePath()), odd);
}

TEST_F(SettingsFileTest, InterruptedSaveLeavesTheOldFileWhole)
{
    CTempFolder::Write(FilePath(), ExampleFile());
    SectionMap sections = Load();
    NamedValue big(CJOVString(L"big"));
    big.SetString(CJOVString(std::wstring(5000, L'x').c_str()));
    sections[kSectionB.GetString()].Set(big);

    const unsigned budgets[] = {0, 1, 44, 45, 100, 4000};
    for (unsigned budget : budgets) {
        g_writeBudget = budget;
        EXPECT_FALSE(CSettingsFile(m_folder.Path(L"settings.jov"), LimitedWriteFile).Save(sections)) << budget;
        EXPECT_EQ(CTempFolder::Read(FilePath()), ExampleFile()) << budget;
        EXPECT_FALSE(CTempFolder::Exists(FilePath() + L".new")) << budget;
    }
    g_writeBudget = 1u << 20;
    EXPECT_TRUE(CSettingsFile(m_folder.Path(L"settings.jov"), LimitedWriteFile).Save(sections));
    const SectionMap back = Load();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back.at(kSectionB.GetString()).Find(CJOVString(L"big"))->GetSize(), 5000u);
}

TEST_F(SettingsFileTest, SaveReplacesAStaleNewFileAndNeedsAFolder)
{
    CTempFolder::Write(FilePath() + L".new", Bytes(100, 0xEE));  // left by a crash during a save
    SectionMap sections;
    sections[kSectionA.GetString()].Set(NamedValue(CJOVString(L"A"), "\x05", 1));
    ASSERT_TRUE(File().Save(sections));
    EXPECT_EQ(CTempFolder::Read(FilePath()), ExampleFile());
    EXPECT_FALSE(CTempFolder::Exists(FilePath() + L".new"));

    EXPECT_FALSE(CSettingsFile(m_folder.Path(L"no such folder\\settings.jov")).Save(sections));
}
