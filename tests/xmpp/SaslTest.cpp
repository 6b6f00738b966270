// The SASL mechanisms against known answers: RFC 2831's example, and an
// exchange ejabberd accepted (its challenge has no realm, its rspauth is what
// it sent back); quoted values with escapes, challenges in UTF-8 or with a
// NUL; PLAIN's bytes. The expected hashes were reckoned apart from this code.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "MD5Auth.h"
#include "PlainAuth.h"

namespace {

// The bytes of an answer, as they went out.
std::string Decoded(const std::string& base64)
{
    int count = 0;
    unsigned char* bytes =
        CJOVString(std::wstring(base64.begin(), base64.end()).c_str()).GetBase64DecodedBytes(&count);
    std::string text(reinterpret_cast<const char*>(bytes), bytes ? static_cast<size_t>(count) : 0);
    CJOVString::FreeBuffer(bytes);
    return text;
}

std::string Encoded(const std::string& text)
{
    CJOVString encoded = CJOVString::GetBase64EncodedString(reinterpret_cast<const unsigned char*>(text.data()),
                                                            static_cast<int>(text.size()));
    return std::string(encoded.Data(), encoded.Data() + encoded.GetLength());
}

JabberCredentials Alice(const wchar_t* password = L"alice-pw1")
{
    return JabberCredentials{CJOVString(L"alice"), CJOVString(password), CJOVString(L"localhost")};
}

// ejabberd's first challenge, word for word: no realm.
const char kEjabberdChallenge[] = "bm9uY2U9IjI0MzE0NzI4NDkxNzA5ODMxMzIiLHFvcD0iYXV0aCIsY2hhcnNldD11dGYtOCxhbGdvcml0aG09bWQ1LXNlc3M=";
// ...and the rspauth it sent for the answer below.
const char kEjabberdProof[] = "cnNwYXV0aD1jMjIwYjdkMzY1MDY1ZGNkNWQ1ZDk2NTMwM2E1YzU5Nw==";

} // namespace

TEST(DigestMd5, TheExampleOfRfc2831GivesItsResponseAndRspauth)
{
    const std::string user = "chris", realm = "elwood.innosoft.com", nonce = "OA6MG9tEQGm2hh",
                      cnonce = "OA6MHXh6VqTrRk", uri = "imap/elwood.innosoft.com";
    EXPECT_EQ(DigestMd5Value("AUTHENTICATE", user, realm, "secret", nonce, cnonce, 1, uri),
              "d388dad90d4bbd760a152321f2143af7");
    EXPECT_EQ(DigestMd5Value("", user, realm, "secret", nonce, cnonce, 1, uri), "ea40f60335c427b5527b84dbabcdfffd");
}

TEST(DigestMd5, TheExampleOfRfc2831IsAnsweredWithEachValueQuoted)
{
    EXPECT_EQ(DigestMd5Answer("chris", "elwood.innosoft.com", "secret", "OA6MG9tEQGm2hh", "OA6MHXh6VqTrRk", 1,
                              "imap/elwood.innosoft.com"),
              "username=\"chris\",realm=\"elwood.innosoft.com\",nonce=\"OA6MG9tEQGm2hh\",cnonce=\"OA6MHXh6VqTrRk\","
              "nc=00000001,qop=auth,digest-uri=\"imap/elwood.innosoft.com\",charset=utf-8,"
              "response=d388dad90d4bbd760a152321f2143af7");
    EXPECT_EQ(DigestQuoted("a\\b\"c"), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(DigestQuoted(""), "\"\"");
}

TEST(DigestMd5, BackslashesAndQuotesAreEscapedInTheAnswerAndHashedAsThemselves)
{
    // The user name a\b"c; the realm my"realm\x, escaped as the server sends it.
    TMD5Auth auth(JabberCredentials{CJOVString(L"a\\b\"c"), CJOVString(L"secret"), CJOVString(L"localhost")}, "c1");
    std::string answer;
    ASSERT_EQ(auth.GetChallengeResponse(Encoded("realm=\"my\\\"realm\\\\x\",nonce=\"OA6MG9tEQGm2hh\",qop=\"auth\","
                                                "charset=utf-8,algorithm=md5-sess"),
                                        answer),
              TJabberAuth::kAnswered);
    EXPECT_EQ(Decoded(answer), "username=\"a\\\\b\\\"c\",realm=\"my\\\"realm\\\\x\",nonce=\"OA6MG9tEQGm2hh\","
                               "cnonce=\"c1\",nc=00000001,qop=auth,digest-uri=\"xmpp/localhost\",charset=utf-8,"
                               "response=5e69e52526969dabc0475432ea5b045e");
    EXPECT_EQ(auth.GetChallengeResponse(Encoded("rspauth=4902924e202ec0ad1a017fb3b3c4b55f"), answer),
              TJabberAuth::kAnswered)
        << "the server's proof is reckoned over the same values";
}

TEST(DigestMd5, AChallengeIsReadAsItsUtf8BytesThroughNoCodePage)
{
    // realm "\u0416\u00c1\u0151.example", nonce "n\u00f6\u0390": bytes no single-byte code page keeps.
    const std::string realm = "\xd0\x96\xc3\x81\xc5\x91.example", nonce = "n\xc3\xb6\xce\x90";
    TMD5Auth auth(Alice(), "c1");
    std::string answer;
    ASSERT_EQ(auth.GetChallengeResponse(Encoded("realm=\"" + realm + "\",nonce=\"" + nonce + "\",qop=\"auth\""), answer),
              TJabberAuth::kAnswered);
    EXPECT_EQ(Decoded(answer), "username=\"alice\",realm=\"" + realm + "\",nonce=\"" + nonce +
                                   "\",cnonce=\"c1\",nc=00000001,qop=auth,digest-uri=\"xmpp/localhost\","
                                   "charset=utf-8,response=5e977645ca9ccd7b2269193609b6f1f4");
}

TEST(DigestMd5, ANulByteInAChallengeOrProofIsRefusedNotCut)
{
    std::string answer;
    // Cut at the NUL, the realm would be lost and the hash wrong.
    TMD5Auth realm(Alice(), "c1");
    EXPECT_EQ(realm.GetChallengeResponse(Encoded(std::string("nonce=\"n1\",realm=\"exam\0ple.org\"", 31)), answer),
              TJabberAuth::kBadChallenge);
    EXPECT_EQ(answer, "");

    TMD5Auth proof(Alice(), "abcdef0123456789");
    ASSERT_EQ(proof.GetChallengeResponse(kEjabberdChallenge, answer), TJabberAuth::kAnswered);
    std::string proven = Decoded(kEjabberdProof);
    EXPECT_EQ(proof.GetChallengeResponse(Encoded(proven + std::string("\0,rspauth=x", 11)), answer),
              TJabberAuth::kServerNotProven);
}

TEST(DigestMd5, AChallengeWithoutRealmIsAnsweredWithAnEmptyOneAndTheServersProofIsChecked)
{
    TMD5Auth auth(Alice(), "abcdef0123456789");
    EXPECT_EQ(auth.GetInitialResponse(), "");
    std::string answer;
    ASSERT_EQ(auth.GetChallengeResponse(kEjabberdChallenge, answer), TJabberAuth::kAnswered);
    EXPECT_EQ(Decoded(answer), "username=\"alice\",realm=\"\",nonce=\"2431472849170983132\",cnonce=\"abcdef0123456789\","
                               "nc=00000001,qop=auth,digest-uri=\"xmpp/localhost\",charset=utf-8,"
                               "response=2b8d0458661f8fb43bff084452ea7e25");
    ASSERT_EQ(auth.GetChallengeResponse(kEjabberdProof, answer), TJabberAuth::kAnswered);
    EXPECT_EQ(answer, "") << "the proof is acknowledged with an empty response";
    EXPECT_EQ(auth.CheckSuccess(""), TJabberAuth::kAnswered);
    EXPECT_EQ(auth.GetChallengeResponse(kEjabberdProof, answer), TJabberAuth::kBadChallenge)
        << "nothing is answered after the proof";
}

TEST(DigestMd5, AWrongOrMissingProofStopsTheLogin)
{
    std::string answer;
    TMD5Auth wrong(Alice(), "abcdef0123456789");
    ASSERT_EQ(wrong.GetChallengeResponse(kEjabberdChallenge, answer), TJabberAuth::kAnswered);
    EXPECT_EQ(wrong.GetChallengeResponse(Encoded("rspauth=00000000000000000000000000000000"), answer),
              TJabberAuth::kServerNotProven);

    // Another password: the server's proof cannot match.
    TMD5Auth other(Alice(L"other"), "abcdef0123456789");
    ASSERT_EQ(other.GetChallengeResponse(kEjabberdChallenge, answer), TJabberAuth::kAnswered);
    EXPECT_EQ(other.GetChallengeResponse(kEjabberdProof, answer), TJabberAuth::kServerNotProven);

    // Success without any proof, or with the proof in <success> itself.
    TMD5Auth unproven(Alice(), "abcdef0123456789");
    ASSERT_EQ(unproven.GetChallengeResponse(kEjabberdChallenge, answer), TJabberAuth::kAnswered);
    EXPECT_EQ(unproven.CheckSuccess(""), TJabberAuth::kServerNotProven);
    EXPECT_EQ(unproven.CheckSuccess(kEjabberdProof), TJabberAuth::kAnswered);

    TMD5Auth early(Alice(), "abcdef0123456789");
    EXPECT_EQ(early.CheckSuccess(kEjabberdProof), TJabberAuth::kServerNotProven) << "success before any challenge";
}

TEST(DigestMd5, ChallengesThatCannotBeAnsweredAreRefused)
{
    std::string answer;
    TMD5Auth noNonce(Alice());
    EXPECT_EQ(noNonce.GetChallengeResponse(Encoded("realm=\"example.org\",qop=\"auth\",charset=utf-8"), answer),
              TJabberAuth::kBadChallenge);
    TMD5Auth notBase64(Alice());
    EXPECT_EQ(notBase64.GetChallengeResponse("nonce=\"abc\"", answer), TJabberAuth::kBadChallenge);
    TMD5Auth huge(Alice());
    EXPECT_EQ(huge.GetChallengeResponse(Encoded("nonce=\"" + std::string(9000, 'n') + "\""), answer),
              TJabberAuth::kBadChallenge);
    TMD5Auth withRealm(Alice(), "c1");
    ASSERT_EQ(withRealm.GetChallengeResponse(Encoded("realm=\"example.org\",nonce=\"n1\""), answer),
              TJabberAuth::kAnswered);
    EXPECT_NE(Decoded(answer).find(",realm=\"example.org\","), std::string::npos) << Decoded(answer);
}

TEST(DigestMd5, APasswordIsHashedAsItsUtf8Bytes)
{
    TMD5Auth auth(Alice(L"p\u00e4ssw\u00f6rd"), "c1");
    std::string answer;
    ASSERT_EQ(auth.GetChallengeResponse(Encoded("nonce=\"n1\""), answer), TJabberAuth::kAnswered);
    EXPECT_NE(Decoded(answer).find("response=948f5f77379d0351bdc000419f0980cc"), std::string::npos)
        << Decoded(answer);
}

TEST(DigestMd5, ClientNoncesComeFromTheSystemsRandomSource)
{
    std::set<std::string> nonces;
    for (int i = 0; i < 20; ++i) {
        std::string nonce = MakeClientNonce();
        EXPECT_EQ(nonce.size(), 32u);
        EXPECT_EQ(nonce.find_first_not_of("0123456789abcdef"), std::string::npos) << nonce;
        nonces.insert(nonce);
    }
    EXPECT_EQ(nonces.size(), 20u);
}

TEST(Plain, TheInitialResponseIsTheJidTheUserAndThePasswordInUtf8)
{
    TPlainAuth auth(Alice(L"p\u00e4ss"));
    EXPECT_STREQ(auth.GetName(), "PLAIN");
    EXPECT_EQ(auth.GetInitialResponse(), "YWxpY2VAbG9jYWxob3N0AGFsaWNlAHDDpHNz");
}
