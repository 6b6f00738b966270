// CStringPairs: quoted and plain values, blanks, the pair limit, malformed
// text, and quoted-strings with backslash escapes.
#include <gtest/gtest.h>

#include "StringPairs.h"

#include <string>
#include <vector>

namespace {

// The parser writes into its text: give it a private copy that outlives it.
struct Text {
    explicit Text(const std::string& s) : bytes(s.begin(), s.end()) { bytes.push_back(0); }
    char* get() { return bytes.data(); }
    std::vector<char> bytes;
};

} // namespace

TEST(StringPairsParse, DigestChallengeWithQuotedAndPlainValues)
{
    Text text("realm=\"elwood.innosoft.com\",nonce=\"OA6MG9tEQGm2hh\",qop=\"auth,auth-int\","
              "algorithm=md5-sess,charset=utf-8");
    CStringPairs pairs(text.get());
    EXPECT_STREQ(pairs["realm"], "elwood.innosoft.com");
    EXPECT_STREQ(pairs["nonce"], "OA6MG9tEQGm2hh");
    EXPECT_STREQ(pairs["qop"], "auth,auth-int");
    EXPECT_STREQ(pairs["algorithm"], "md5-sess");
    EXPECT_STREQ(pairs["charset"], "utf-8");
}

TEST(StringPairsParse, TrailingBlanksAreTrimmed)
{
    Text text("realm=\"example.org \" , nonce=\"abc\"");
    CStringPairs pairs(text.get());
    EXPECT_STREQ(pairs["realm"], "example.org");
    EXPECT_STREQ(pairs["nonce"], "abc");

    Text plain("\r\n charset = utf-8 \t,algorithm=md5-sess\r\n, key \t= \"v\"");
    CStringPairs spaced(plain.get());
    EXPECT_STREQ(spaced["charset"], "utf-8");
    EXPECT_STREQ(spaced["algorithm"], "md5-sess");
    EXPECT_STREQ(spaced["key"], "v");
}

TEST(StringPairsLookup, ExactKeysFirstMatchAndEmptyForMissing)
{
    Text text("a=\"1\",a=\"2\",empty=,b=\"\"");
    CStringPairs pairs(text.get());
    EXPECT_STREQ(pairs["a"], "1");
    EXPECT_STREQ(pairs["empty"], "");
    EXPECT_STREQ(pairs["b"], "");
    const char* missing = pairs["A"];
    ASSERT_NE(missing, nullptr);
    EXPECT_STREQ(missing, "");
    EXPECT_STREQ(pairs[""], "");
    EXPECT_STREQ(pairs[nullptr], "");
    // Values are views into the caller's text.
    const char* value = pairs["a"];
    EXPECT_TRUE(value >= text.get() && value < text.get() + text.bytes.size());
}

TEST(StringPairsLimits, KeepsTheFirstHundredPairs)
{
    std::string s;
    for (int i = 0; i < 120; ++i) {
        s += 'k';
        s += std::to_string(i);
        s += "=\"v";
        s += std::to_string(i);
        s += "\",";
    }
    Text text(s);
    CStringPairs pairs(text.get());
    EXPECT_STREQ(pairs["k0"], "v0");
    EXPECT_STREQ(pairs["k99"], "v99");
    EXPECT_STREQ(pairs["k100"], "");
}

TEST(StringPairsLimits, StopsAtTheFirstMalformedPair)
{
    Text unclosed("a=\"1\",b=\"2,c=\"3\"");  // b's value runs to c's opening quote
    CStringPairs first(unclosed.get());
    EXPECT_STREQ(first["a"], "1");
    EXPECT_STREQ(first["b"], "2,c=");
    EXPECT_STREQ(first["c"], "");

    Text openOnly("a=\"1\",b=\"never closed");
    CStringPairs second(openOnly.get());
    EXPECT_STREQ(second["a"], "1");
    EXPECT_STREQ(second["b"], "");

    Text noEquals("a=\"1\", trailing words");
    CStringPairs third(noEquals.get());
    EXPECT_STREQ(third["a"], "1");
    EXPECT_STREQ(third["trailing words"], "");

    Text empty("");
    CStringPairs none(empty.get());
    EXPECT_STREQ(none["a"], "");
    CStringPairs null(nullptr);
    EXPECT_STREQ(null["a"], "");
}

TEST(StringPairsEscapes, QuotedStringsAreUnescapedOnlyWhenAsked)
{
    // RFC 2831: a backslash makes the next character plain, a quote too.
    const std::string challenge = "username=\"a\\\\b\\\"c\",realm=\"\\\"x\\\"\",nonce=\"n\\1\",qop=auth";
    Text escaped(challenge);
    CStringPairs pairs(escaped.get(), CStringPairs::kBackslashEscapes);
    EXPECT_STREQ(pairs["username"], "a\\b\"c");
    EXPECT_STREQ(pairs["realm"], "\"x\"");
    EXPECT_STREQ(pairs["nonce"], "n1");
    EXPECT_STREQ(pairs["qop"], "auth");

    Text unclosed("a=\"1\",b=\"2\\\"");
    CStringPairs stopped(unclosed.get(), CStringPairs::kBackslashEscapes);
    EXPECT_STREQ(stopped["a"], "1");
    EXPECT_STREQ(stopped["b"], "") << "an escaped quote closes nothing";

    // Without being asked, a value still ends at the next quote, backslashes and all.
    Text plain(challenge);
    CStringPairs asBefore(plain.get());
    EXPECT_STREQ(asBefore["username"], "a\\\\b\\");
}
