// The parts of a JID, and which sender answers for which JID.
#include <gtest/gtest.h>

#include "xml/Jid.h"

namespace {

std::wstring W(const CJOVString& text)
{
    return std::wstring(text.Data(), text.GetLength());
}

} // namespace

TEST(Jid, PartsOfAJid)
{
    CJOVString full(L"alice@localhost/JOV PDA/2");
    EXPECT_EQ(W(JidNode(full)), L"alice");
    EXPECT_EQ(W(JidDomain(full)), L"localhost");
    EXPECT_EQ(W(JidBare(full)), L"alice@localhost");
    EXPECT_EQ(W(JidBare(full, 5)), L"alice");
    // A server or gateway: no node, so the node part is the domain.
    EXPECT_EQ(W(JidNode(CJOVString(L"icq.localhost/registered"))), L"icq.localhost");
    EXPECT_EQ(W(JidNode(CJOVString(L"localhost"))), L"localhost");
    EXPECT_EQ(W(JidDomain(CJOVString(L"localhost/a@b"))), L"localhost");
    EXPECT_EQ(W(JidBare(CJOVString(L""))), L"");
}

TEST(Jid, AResourceIsAddedOnlyToABareJid)
{
    EXPECT_EQ(W(JidWithResource(CJOVString(L"bob@x"), CJOVString(L"phone"))), L"bob@x/phone");
    EXPECT_EQ(W(JidWithResource(CJOVString(L"bob@x/pc"), CJOVString(L"phone"))), L"bob@x/pc");
    EXPECT_EQ(W(JidWithResource(CJOVString(L"bob@x"), CJOVString())), L"bob@x");
}

TEST(Jid, MatchesIgnoresCaseOfTheBarePartOnly)
{
    EXPECT_TRUE(JidMatches(CJOVString(L"Bob@X"), CJOVString(L"bob@x")));
    EXPECT_TRUE(JidMatches(CJOVString(L"bob@x"), CJOVString(L"bob@x/any")));
    EXPECT_TRUE(JidMatches(CJOVString(L"bob@x/Pc"), CJOVString(L"BOB@x/Pc")));
    EXPECT_FALSE(JidMatches(CJOVString(L"bob@x/Pc"), CJOVString(L"bob@x/pc")));
    EXPECT_FALSE(JidMatches(CJOVString(L"bob@x/pc"), CJOVString(L"bob@x")));
    EXPECT_FALSE(JidMatches(CJOVString(L"bob@x"), CJOVString(L"eve@x")));
    EXPECT_FALSE(JidMatches(CJOVString(L"bob@x"), CJOVString(L"bob@x.evil")));
}
