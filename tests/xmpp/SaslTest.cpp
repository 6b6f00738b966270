// The SASL mechanisms against known answers: RFC 2831's example, and an
// exchange ejabberd accepted (its challenge has no realm, its rspauth is what
// it sent back); PLAIN's bytes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "MD5Auth.h"
#include "PlainAuth.h"

namespace {

std::string Decoded(const std::string& base64)
{
    CJOVString decoded = CJOVString(std::wstring(base64.begin(), base64.end()).c_str()).GetBase64DecodedString();
    std::string text;
    for (int i = 0; i < decoded.GetLength(); ++i)
        text += static_cast<char>(decoded.Data()[i]);
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
