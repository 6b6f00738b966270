// Every language file as a table: which ids it answers, that none is empty,
// and the English texts that other texts are joined to or that the plug-ins'
// own built-in names must give way to.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "LanguageFiles.h"

namespace {

std::unique_ptr<CLanguageFile> Open(const wchar_t* component, const wchar_t* language)
{
    for (const LanguageFileName& name : AllLanguageFiles()) {
        if (std::wstring(name.component) == component && std::wstring(name.language) == language)
            return std::make_unique<CLanguageFile>(name);
    }
    return nullptr;
}

} // namespace

TEST(LanguageTables, EveryFileAnswersItsIdsAndRefusesTheRest)
{
    for (const LanguageFileName& name : AllLanguageFiles()) {
        CLanguageFile file(name);
        SCOPED_TRACE(file.Name());
        ASSERT_TRUE(file.IsOpen());
        const int last = file.LastId();
        const int required = RequiredLastId(name.component);
        EXPECT_GE(last, required);
        // Every translation serves exactly the English file's ids: a text added
        // to English and not translated would show in English.
        std::unique_ptr<CLanguageFile> english = Open(name.component, L"English");
        EXPECT_EQ(last, english->LastId());

        for (int refused : {last + 1, -1, INT_MIN, 1000000}) {
            CJOVString out(L"kept");
            EXPECT_FALSE(file.Get(refused, out)) << refused;
            EXPECT_EQ(ToWide(out), L"kept");
        }
    }
}

TEST(LanguageTables, NoTextIsEmpty)
{
    for (const LanguageFileName& name : AllLanguageFiles()) {
        CLanguageFile file(name);
        SCOPED_TRACE(file.Name());
        for (int id = 0; id <= file.LastId(); ++id) {
            CJOVString text;
            ASSERT_TRUE(file.Get(id, text));
            EXPECT_GT(text.GetLength(), 0) << "id " << id;
        }
    }
}

TEST(LanguageTables, EnglishTextsOfThePlugInsHoldOverTheirBuiltInNames)
{
    // The ICQ and XMPP status tables say "Connecting" and "Free 4 chat" in the code.
    std::unique_ptr<CLanguageFile> icq = Open(L"Verdel", L"English");
    EXPECT_EQ(icq->Text(4), L"Connection");
    EXPECT_EQ(icq->Text(8), L"Free for chat");
    std::unique_ptr<CLanguageFile> xmpp = Open(L"Jabber", L"English");
    EXPECT_EQ(xmpp->Text(3), L"Connection");
    EXPECT_EQ(xmpp->Text(7), L"Free for chat");

    EXPECT_EQ(icq->Text(0), L"Update contact list");
    EXPECT_EQ(icq->Text(137), L"\tYour account used on another computer");
    EXPECT_EQ(icq->Text(139), L"OK");
}

TEST(LanguageTables, TheNewVersionSentenceSaysWhereAndAsksNothing)
{
    for (const wchar_t* language : {L"English", L"Russian", L"Czech"}) {
        std::unique_ptr<CLanguageFile> file = Open(L"JOV", language);
        SCOPED_TRACE(file->Name());
        const std::wstring sentence = file->Text(167) + L"2021" + file->Text(168);
        EXPECT_NE(sentence.find(L"(2021)"), std::wstring::npos) << sentence;
        EXPECT_EQ(sentence.find(L'?'), std::wstring::npos) << sentence;
        EXPECT_NE(file->Text(168).find(L"JOV"), std::wstring::npos);  // the program's site
        EXPECT_EQ(sentence.back(), L'.');
    }
}
