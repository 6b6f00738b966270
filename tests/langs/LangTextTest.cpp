// A value set into a text of the language file (a name into a question)
// takes the place the language gives it, and only that place.
#include <gtest/gtest.h>

#include "app/FakeGuiServices.h"
#include "contactlist/ControlText.h"
#include "core/AppGlobals.h"

namespace {

class LangTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = g_App.pServices;
        g_App.pServices = &services;
    }
    void TearDown() override { g_App.pServices = m_saved; }

    static std::wstring W(const CJOVString& s)
    {
        return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
    }

    CFakeGuiServices services;

private:
    CGuiServices* m_saved = nullptr;
};

} // namespace

TEST_F(LangTextTest, TheValueGoesWhereTheLanguageHasItsMark)
{
    services.texts = {{203, L"Удалить группу «%s»?"}, {215, L"Файл %s уже существует.\nЗаменить его?"}};
    EXPECT_EQ(W(LangTextWith(203, L"Delete the group \"%s\"?", CJOVString(L"Friends"))), L"Удалить группу «Friends»?");
    EXPECT_EQ(W(LangTextWith(215, L"%s already exists.", CJOVString(L"a.txt"))),
              L"Файл a.txt уже существует.\nЗаменить его?");
}

TEST_F(LangTextTest, WithoutTheLanguagesTextTheEnglishOneTakesTheValue)
{
    EXPECT_EQ(W(LangTextWith(204, L"Delete the contact \"%s\"?", CJOVString(L"Carol"))),
              L"Delete the contact \"Carol\"?");
    // Without a mark the value ends the text rather than being lost.
    services.texts = {{202, L"Smazat účet"}};
    EXPECT_EQ(W(LangTextWith(202, L"Delete the account %s?", CJOVString(L"ICQ 1"))), L"Smazat účetICQ 1");
}

TEST_F(LangTextTest, AMarkInTheValueIsLeftAsItIs)
{
    services.texts = {{203, L"%s — %s"}};
    // Only the text's first mark is replaced; the value is never read for marks.
    EXPECT_EQ(W(LangTextWith(203, L"", CJOVString(L"%s%d"))), L"%s%d — %s");
    EXPECT_EQ(W(LangTextWith(203, L"", CJOVString())), L" — %s");
}
