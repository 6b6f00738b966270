// The texts as stored: Russian files in code page 1251, the others in UTF-8,
// and Czech spelled with the letters of the Czech alphabet.
#include <gtest/gtest.h>

#include "LanguageFiles.h"

namespace {

bool HasHighBytes(const std::string& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

bool Stored(const CLanguageFile& file, const std::string& bytes)
{
    return file.Bytes().find(bytes + '\0') != std::string::npos;
}

} // namespace

TEST(LanguageCodePages, EveryNonAsciiTextIsStoredInItsFilesCodePage)
{
    for (const LanguageFileName& name : AllLanguageFiles()) {
        CLanguageFile file(name);
        SCOPED_TRACE(file.Name());
        ASSERT_FALSE(file.Bytes().empty());
        const bool russian = name.codePage == 1251;
        int checked = 0;
        for (int id = 0; id <= file.LastId(); ++id) {
            const std::wstring text = file.Text(id);
            std::string own, utf8;
            ASSERT_TRUE(Encode(text, name.codePage, own)) << "id " << id << " does not fit the code page";
            ASSERT_TRUE(Encode(text, CP_UTF8, utf8));
            if (!HasHighBytes(own) || own.size() < 4)
                continue;  // a short run of bytes could be found anywhere
            ++checked;
            EXPECT_TRUE(Stored(file, own)) << "id " << id;
            if (russian) {
                EXPECT_FALSE(Stored(file, utf8)) << "id " << id << " stored as UTF-8";
            }
        }
        if (std::wstring(name.language) != L"English") {
            EXPECT_GT(checked, 0);
        }
    }
}

TEST(LanguageCodePages, RussianBytesReadAsUtf8WouldBeWrong)
{
    CLanguageFile file({L"JOV", L"Russian", 1251});
    const std::wstring offline = file.Text(0);
    std::string bytes;
    ASSERT_TRUE(Encode(offline, 1251, bytes));
    ASSERT_TRUE(Stored(file, bytes));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0),
              0);
    for (wchar_t c : offline) {  // Cyrillic, not Latin look-alikes or replacement marks
        EXPECT_TRUE(c == L' ' || (c >= 0x0400 && c <= 0x04FF)) << static_cast<int>(c);
    }
}

TEST(LanguageCodePages, CzechUsesTheLettersOfCzech)
{
    // Only the Czech accented letters, beside ASCII and the typographic marks.
    const std::wstring czechLetters = L"áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ";
    const std::wstring marks = L"\x201E\x201C\x2026";  // „ “ …
    for (const wchar_t* component : {L"JOV", L"Verdel", L"Jabber"}) {
        CLanguageFile file({component, L"Czech", CP_UTF8});
        SCOPED_TRACE(file.Name());
        int accented = 0;
        for (int id = 0; id <= file.LastId(); ++id) {
            for (wchar_t c : file.Text(id)) {
                if (c < 0x80)
                    continue;
                const bool letter = czechLetters.find(c) != std::wstring::npos;
                accented += letter;
                EXPECT_TRUE(letter || marks.find(c) != std::wstring::npos)
                    << "id " << id << ": U+" << std::hex << static_cast<int>(c);
            }
        }
        EXPECT_GT(accented, 0);
    }
}
