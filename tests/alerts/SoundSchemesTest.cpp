// Reading "_sounds.ini" and listing the schemes under "Sounds", as the alert
// manager and the sound options page do.
#include <gtest/gtest.h>

#include <algorithm>

#include "alerts/AlertsFixture.h"
#include "core/alerts/SoundSchemes.h"

namespace {

class SchemesTest : public ::testing::Test {
protected:
    // Reads a scheme written with exactly these bytes.
    bool Read(const std::string& ini, std::vector<std::wstring>* paths)
    {
        m_folder.AddScheme(L"S", ini);
        std::vector<CJOVString> read;
        bool all = ReadSchemeFile(CJOVString(m_folder.SchemeFolder(L"S").c_str()), &read);
        paths->clear();
        for (const CJOVString& path : read)
            paths->push_back(Str(path));
        return all;
    }

    std::wstring In(const wchar_t* file) const { return m_folder.SchemeFolder(L"S") + file; }

    static void Free(CJOVArray<wchar_t*>& strings)
    {
        for (int i = 0; i < strings.Count(); ++i)
            delete[] strings[i];
        strings.RemoveAll();
    }

    CProgramFolder m_folder;
};

} // namespace

TEST_F(SchemesTest, TheHeaderMustBeExact)
{
    std::vector<std::wstring> paths;
    EXPECT_TRUE(Read(SchemeIni(), &paths));
    EXPECT_EQ(paths, (std::vector<std::wstring>{In(L"start.wav"), In(L"in.wav"), In(L"out.wav"), In(L"online.wav")}));
    std::string body = SchemeIni().substr(10);
    for (const char* header : {"[sounds]\r\n", "[Sounds]\n", " [Sounds]\r\n", "[Sounds]", ""}) {
        EXPECT_FALSE(Read(header + body, &paths)) << header;
        EXPECT_TRUE(paths.empty()) << header;
    }
    std::vector<CJOVString> none;
    EXPECT_FALSE(ReadSchemeFile(CJOVString((m_folder.Str() + L"Nowhere\\").c_str()), &none));
}

TEST_F(SchemesTest, TheFirstFourEntriesCountWhateverTheirKeysAndComments)
{
    std::vector<std::wstring> paths;
    std::string ini = "[Sounds]\r\n; sounds of the test\r\n\r\nz=one.wav\r\nnote without equals\r\n"
                      "a=two.wav\nb=three.wav\r\n\r\nc=four.wav\r\nd=five.wav\r\n";
    EXPECT_TRUE(Read(ini, &paths));
    EXPECT_EQ(paths, (std::vector<std::wstring>{In(L"one.wav"), In(L"two.wav"), In(L"three.wav"), In(L"four.wav")}));
}

TEST_F(SchemesTest, ValuesAreTakenAsTheyStand)
{
    std::vector<std::wstring> paths;
    // An empty value names the folder itself; a byte is one character; an
    // "=" inside a value is part of it.
    EXPECT_TRUE(Read("[Sounds]\r\na=\r\nb=\xE9t\xE9.wav\r\nc=x=y.wav\r\nd=\n", &paths));
    EXPECT_EQ(paths, (std::vector<std::wstring>{In(L""), In(L"\x00E9t\x00E9.wav"), In(L"x=y.wav"), In(L"")}));
}

TEST_F(SchemesTest, AFileThatEndsEarlyKeepsWhatWasRead)
{
    std::vector<std::wstring> paths;
    EXPECT_FALSE(Read("[Sounds]\r\na=1.wav\r\nb=2.wav\r\nc=3.wav\r\nd=4.wav", &paths))
        << "the fourth value needs its line end";
    EXPECT_EQ(paths.size(), 3u);
    EXPECT_FALSE(Read("[Sounds]\r\na=1.wav\r\nb=", &paths));
    EXPECT_EQ(paths.size(), 1u);
    EXPECT_FALSE(Read("[Sounds]\r\na=1.wav\r\n", &paths));
    EXPECT_EQ(paths.size(), 1u);
}

TEST_F(SchemesTest, AValueOverTwoHundredAndFiftyNineCharactersIsRefused)
{
    std::vector<std::wstring> paths;
    std::string longest(259, 'x');
    EXPECT_TRUE(Read(SchemeIni("a.wav", longest.c_str()), &paths));
    ASSERT_EQ(paths.size(), 4u);
    EXPECT_EQ(paths[1].size(), m_folder.SchemeFolder(L"S").size() + 259);
    std::string tooLong(260, 'x');
    EXPECT_FALSE(Read(SchemeIni("a.wav", tooLong.c_str()), &paths));
    EXPECT_EQ(paths, std::vector<std::wstring>{In(L"a.wav")});
    std::string huge(100000, 'y');
    EXPECT_FALSE(Read(SchemeIni(huge.c_str()), &paths));
    EXPECT_TRUE(paths.empty());
}

TEST_F(SchemesTest, ListsTheFoldersThatHoldASchemeFile)
{
    CJOVArray<wchar_t*> names;
    names.Append(nullptr);  // a former entry: dropped, not freed
    EXPECT_FALSE(ListSoundSchemes(&names, m_folder.Path())) << "no Sounds folder";
    EXPECT_EQ(names.Count(), 0);

    m_folder.AddScheme(L"Classic", SchemeIni());
    m_folder.AddScheme(L"Broken", "not a scheme");
    CreateDirectoryW((m_folder.Str() + L"Sounds\\Empty").c_str(), nullptr);
    CProgramFolder::WriteFile(m_folder.Str() + L"Sounds\\_sounds.ini", SchemeIni());
    CProgramFolder::WriteFile(m_folder.Str() + L"Sounds\\loose.wav", "RIFF");
    ASSERT_TRUE(ListSoundSchemes(&names, m_folder.Path()));
    std::vector<std::wstring> listed;
    for (int i = 0; i < names.Count(); ++i)
        listed.push_back(names[i]);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"Broken", L"Classic"}))
        << "a folder with the file, whether or not it reads; never Sounds itself";
    Free(names);

    CJOVArray<wchar_t*> paths;
    EXPECT_TRUE(ReadSoundScheme(L"Classic", &paths, m_folder.Path()));
    ASSERT_EQ(paths.Count(), 4);
    EXPECT_EQ(std::wstring(paths[3]), m_folder.SchemeFolder(L"Classic") + L"online.wav");
    Free(paths);
    EXPECT_FALSE(ReadSoundScheme(L"Broken", &paths, m_folder.Path()));
    EXPECT_EQ(paths.Count(), 0);

    EXPECT_TRUE(SoundSchemeExists((m_folder.Str() + L"Sounds\\Classic").c_str()));
    EXPECT_FALSE(SoundSchemeExists((m_folder.Str() + L"Sounds\\Empty").c_str()));
}
