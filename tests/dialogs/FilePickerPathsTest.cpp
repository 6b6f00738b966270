// The file picker's names and paths: size and date texts, the path box, the
// way up and down, the filters and the extension rule, what a name may hold.
#include <gtest/gtest.h>

#include "contactlist/FilePickerPaths.h"

TEST(FilePickerPaths, SizesUpTo1024BytesAreBytesThenKilobytesThenMegabytes)
{
    EXPECT_EQ(FileSizeText(0), L"0");
    EXPECT_EQ(FileSizeText(1024), L"1024");
    EXPECT_EQ(FileSizeText(1025), L"1.00K");
    EXPECT_EQ(FileSizeText(1536), L"1.50K");
    EXPECT_EQ(FileSizeText(1048576), L"1024.00K");
    EXPECT_EQ(FileSizeText(1048577), L"1.00M");
    EXPECT_EQ(FileSizeText(0xFFFFFFFFul), L"4096.00M");
    EXPECT_EQ(FileDateText(2024, 3, 9, 7, 5), L"2024/03/09 07:05");
}

TEST(FilePickerPaths, ThePathBoxHoldsTheRootAndEachFolderIndentedByItsDepth)
{
    EXPECT_EQ(PathBoxEntries(L"C:\\Windows\\Fonts\\"),
              (std::vector<std::wstring>{L"\\", L"  Windows", L"    Fonts"}));
    EXPECT_EQ(PathBoxEntries(L"C:\\"), (std::vector<std::wstring>{L"\\"}));
    EXPECT_EQ(FolderAtEntry(L"C:\\Windows\\Fonts\\", 1), L"C:\\Windows\\");
    EXPECT_EQ(FolderAtEntry(L"C:\\Windows\\Fonts\\", 0), L"C:\\");
    EXPECT_EQ(FolderAtEntry(L"C:\\Windows\\Fonts\\", 2), L"C:\\Windows\\Fonts\\");
    EXPECT_EQ(FolderAtEntry(L"C:\\Windows\\Fonts\\", 7), L"C:\\Windows\\Fonts\\");
}

TEST(FilePickerPaths, FoldersGoUpToTheRootAndDownWithinTheLengthOfAPath)
{
    EXPECT_EQ(ParentFolder(L"C:\\Windows\\Fonts\\"), L"C:\\Windows\\");
    EXPECT_EQ(ParentFolder(L"C:\\Windows\\"), L"C:\\");
    EXPECT_EQ(ParentFolder(L"C:\\"), L"C:\\");

    std::wstring out;
    EXPECT_TRUE(ChildFolder(L"C:\\", L"Windows", &out));
    EXPECT_EQ(out, L"C:\\Windows\\");
    const std::wstring deep = L"C:\\" + std::wstring(240, L'd') + L"\\";
    EXPECT_TRUE(JoinFileName(deep, std::wstring(15, L'f'), &out)) << "259 characters fit";
    EXPECT_FALSE(JoinFileName(deep, std::wstring(16, L'f'), &out)) << "260 leave no room for the end";
    EXPECT_FALSE(ChildFolder(deep, std::wstring(15, L'f'), &out));

    EXPECT_EQ(FolderOf(L"C:\\My Documents\\log.txt"), L"C:\\My Documents\\");
    EXPECT_EQ(FolderOf(L"log.txt"), L"");
}

TEST(FilePickerPaths, TheDevicesRootIsTheRootOfTheProgramsDrive)
{
    EXPECT_EQ(RootOf(L"Z:\\opt\\jov\\"), L"Z:\\");
    EXPECT_EQ(NormalizeFolder(L"\\My Documents", L"Z:\\opt\\jov\\"), L"Z:\\My Documents\\");
    EXPECT_EQ(NormalizeFolder(L"\\", L"Z:\\opt\\jov\\"), L"Z:\\");
    EXPECT_EQ(NormalizeFolder(L"C:\\Temp\\", L"Z:\\opt\\jov\\"), L"C:\\Temp\\");
    EXPECT_EQ(NormalizeFolder(L"", L"Z:\\opt\\jov\\"), L"");
    EXPECT_EQ(NormalizeFolder(L"relative\\", L"Z:\\opt\\jov\\"), L"");
    EXPECT_EQ(NormalizeFolder(L"\\\\server\\share\\", L"Z:\\opt\\jov\\"), L"");
    EXPECT_EQ(NormalizeFolder(L"C:\\" + std::wstring(257, L'x'), L"Z:\\"), L"") << "too long with its backslash";
}

TEST(FilePickerPaths, FiltersEndWithASemicolonAndGiveTheirExtensionToSavedNames)
{
    EXPECT_EQ(SplitFilters(L"*.wav;"), (std::vector<std::wstring>{L"*.wav"}));
    EXPECT_EQ(SplitFilters(L"*.txt;*.log;*.ignored"), (std::vector<std::wstring>{L"*.txt", L"*.log"}));
    EXPECT_TRUE(SplitFilters(L"").empty());

    EXPECT_EQ(NameWithExtension(L"log", L"*.txt"), L"log.txt");
    EXPECT_EQ(NameWithExtension(L"log.txt", L"*.txt"), L"log.txt");
    EXPECT_EQ(NameWithExtension(L"log.TXT", L"*.txt"), L"log.TXT.txt") << "the extension's case counts";
    EXPECT_EQ(NameWithExtension(L"log", L""), L"log");
}

TEST(FilePickerPaths, NamesHoldNoWildcardsNorSeparatorsAndSortByCodeUnits)
{
    EXPECT_TRUE(IsValidFileName(L"log.txt"));
    EXPECT_TRUE(IsValidFileName(L"my log (2).txt"));
    for (const wchar_t* bad : {L"", L"*.txt", L"a?.txt", L"a\\b", L"a/b", L"c:x", L"\"q\"", L"<a>", L"a|b", L".", L".."})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    EXPECT_FALSE(IsValidFileName(std::wstring(L"tab\there")));

    EXPECT_TRUE(NameBefore(L"B", L"a"));
    EXPECT_TRUE(NameBefore(L"Zeta", L"alpha"));
    EXPECT_FALSE(NameBefore(L"a", L"B"));
    EXPECT_TRUE(NameBefore(L"a", L"ab"));
}
