// The Russian and Czech files against the English one of their component:
// translated, shaped alike where texts are joined, with one name a status
// across the program and the plug-ins, and with the language's own marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <set>

#include "LanguageFiles.h"

namespace {

// Texts that read the same in both languages, reviewed one by one.
const std::set<std::wstring> kSameAsEnglish = {L"OK", L"Online", L"Offline", L"Menu", L"Port",
                                               L"Server", L"R:", L"G:", L"B:"};

struct Translation {
    std::unique_ptr<CLanguageFile> english;
    std::unique_ptr<CLanguageFile> translated;
    int lastId;  // of both
};

std::vector<Translation> AllTranslations()
{
    std::vector<Translation> all;
    for (const LanguageFileName& name : AllLanguageFiles()) {
        if (std::wstring(name.language) == L"English")
            continue;
        Translation t;
        t.english = std::make_unique<CLanguageFile>(LanguageFileName{name.component, L"English", CP_UTF8});
        t.translated = std::make_unique<CLanguageFile>(name);
        t.lastId = t.english->LastId();
        all.push_back(std::move(t));
    }
    return all;
}

size_t LeadingSpace(const std::wstring& s)
{
    size_t n = 0;
    while (n < s.size() && iswspace(s[n]))
        ++n;
    return n;
}

size_t TrailingSpace(const std::wstring& s)
{
    size_t n = 0;
    while (n < s.size() && iswspace(s[s.size() - 1 - n]))
        ++n;
    return n;
}

std::wstring Lower(std::wstring s)
{
    if (!s.empty())
        CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

bool EndsWith(const std::wstring& s, const std::wstring& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST(Translations, DifferFromEnglishBeyondTheReviewedFew)
{
    for (const Translation& t : AllTranslations()) {
        SCOPED_TRACE(t.translated->Name());
        for (int id = 0; id <= t.lastId; ++id) {
            const std::wstring english = t.english->Text(id);
            if (t.translated->Text(id) == english) {
                EXPECT_TRUE(kSameAsEnglish.count(english)) << "id " << id << " left in English";
            }
        }
    }
}

TEST(Translations, JoinedTextsKeepTheirSpacesBracketsAndTab)
{
    for (const Translation& t : AllTranslations()) {
        SCOPED_TRACE(t.translated->Name());
        for (int id = 0; id <= t.lastId; ++id) {
            const std::wstring english = t.english->Text(id);
            const std::wstring text = t.translated->Text(id);
            // "Total: ", " <empty>", "Authorization request: " and the ICQ tab are glued to other text.
            EXPECT_EQ(text.substr(0, LeadingSpace(text)), english.substr(0, LeadingSpace(english))) << "id " << id;
            EXPECT_EQ(text.substr(text.size() - TrailingSpace(text)),
                      english.substr(english.size() - TrailingSpace(english)))
                << "id " << id;
            if (english.find(L"JOV") != std::wstring::npos) {
                EXPECT_NE(text.find(L"JOV"), std::wstring::npos) << "id " << id;
            }
        }
        if (std::wstring(t.translated->FileName().component) == L"JOV") {
            EXPECT_EQ(t.translated->Text(167).back(), L'(');
            EXPECT_EQ(t.translated->Text(168).front(), L')');
            EXPECT_EQ(t.translated->Text(118).substr(0, 2), L" <");
            EXPECT_EQ(t.translated->Text(118).back(), L'>');
        }
    }
}

TEST(Translations, AValueSetIntoATextHasItsOnePlace)
{
    for (const Translation& t : AllTranslations()) {
        SCOPED_TRACE(t.translated->Name());
        for (int id = 0; id <= t.lastId; ++id) {
            const std::wstring english = t.english->Text(id);
            const std::wstring text = t.translated->Text(id);
            const auto marks = [](const std::wstring& s) {
                size_t n = 0;
                for (size_t at = s.find(L'%'); at != std::wstring::npos; at = s.find(L'%', at + 1))
                    ++n;
                return n;
            };
            EXPECT_EQ(marks(text), marks(english)) << "id " << id;
            if (english.find(L"%s") != std::wstring::npos) {
                EXPECT_NE(text.find(L"%s"), std::wstring::npos) << "id " << id;
            }
            // A line break of English is one of the translation too.
            EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), std::count(english.begin(), english.end(), L'\n'))
                << "id " << id;
        }
    }
}

TEST(Translations, QuotesAndEllipsisOfTheLanguage)
{
    for (const Translation& t : AllTranslations()) {
        SCOPED_TRACE(t.translated->Name());
        const bool russian = std::wstring(t.translated->FileName().language) == L"Russian";
        const wchar_t open = russian ? L'\x00AB' : L'\x201E';   // « or „
        const wchar_t close = russian ? L'\x00BB' : L'\x201C';  // » or “
        for (int id = 0; id <= t.lastId; ++id) {
            const std::wstring english = t.english->Text(id);
            const std::wstring text = t.translated->Text(id);
            // Paired quotes become the language's; a lone one is a character named, and stays.
            const auto straight = std::count(english.begin(), english.end(), L'"');
            EXPECT_EQ(std::count(text.begin(), text.end(), L'"'), straight % 2) << "id " << id;
            EXPECT_EQ(text.find(L"..."), std::wstring::npos) << "id " << id;
            if (straight >= 2) {
                EXPECT_NE(text.find(open), std::wstring::npos) << "id " << id;
                EXPECT_NE(text.find(close), std::wstring::npos) << "id " << id;
            }
            if (EndsWith(english, L"...")) {
                EXPECT_TRUE(EndsWith(text, L"\x2026")) << "id " << id;
            }
        }
    }
}

TEST(Translations, StatusNamesAgreeAcrossTheProgramAndThePlugIns)
{
    // Per status value (0 Offline ... 14 Do not Disturb): the ICQ and XMPP ids; -1 none.
    const int icqIds[15] = {14, 4, 15, 10, 9, 8, 7, 5, 1, 2, 11, 3, 12, 13, 6};
    const int xmppIds[15] = {12, 3, 13, 8, -1, 7, 6, 4, 0, 1, 9, 2, 10, 11, 5};
    for (const wchar_t* language : {L"English", L"Russian", L"Czech"}) {
        SCOPED_TRACE(language);
        CLanguageFile program({L"JOV", language, 0});
        CLanguageFile icq({L"Verdel", language, 0});  // there is no Russian one
        CLanguageFile xmpp({L"Jabber", language, 0});
        ASSERT_TRUE(program.IsOpen());
        ASSERT_TRUE(xmpp.IsOpen());
        for (int status = 0; status < 15; ++status) {
            if (status == 1)
                continue;  // the plug-ins call it "Connection"
            const std::wstring name = Lower(program.Text(status));
            if (icq.IsOpen()) {
                EXPECT_EQ(Lower(icq.Text(icqIds[status])), name) << "status " << status;
            }
            if (xmppIds[status] >= 0) {
                EXPECT_EQ(Lower(xmpp.Text(xmppIds[status])), name) << "status " << status;
            }
        }
        if (icq.IsOpen()) {  // what the plug-ins show while connecting is one word too
            EXPECT_EQ(Lower(icq.Text(4)), Lower(xmpp.Text(3)));
        }
    }
}
