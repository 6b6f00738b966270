#include "MD5Auth.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>
#include <vector>

#include "MD5.h"
#include "StringPairs.h"

namespace {

std::string Raw(const std::string& text)
{
    unsigned char digest[16];
    CMD5::Hash(text.data(), static_cast<unsigned>(text.size()), digest);
    return std::string(reinterpret_cast<const char*>(digest), 16);
}

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

std::string NonceCount(int count)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08d", count);
    return text;
}

} // namespace

std::string DigestMd5Value(const std::string& method, const std::string& user, const std::string& realm,
                           const std::string& password, const std::string& nonce, const std::string& cnonce,
                           int nonceCount, const std::string& digestUri)
{
    // md5-sess: A1 = H(user:realm:password):nonce:cnonce; A2 = method:digest-uri.
    std::string a1 = Raw(user + ":" + realm + ":" + password) + ":" + nonce + ":" + cnonce;
    std::string a2 = method + ":" + digestUri;
    return Hex(Raw(Hex(Raw(a1)) + ":" + nonce + ":" + NonceCount(nonceCount) + ":" + cnonce + ":auth:" +
                   Hex(Raw(a2))));
}

std::string DigestQuoted(const std::string& value)
{
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

bool ReadDigestChallenge(const std::string& bytes, DigestChallenge& challenge)
{
    if (bytes.find('\0') != std::string::npos)
        return false;
    std::vector<char> editable(bytes.begin(), bytes.end());
    editable.push_back(0);
    CStringPairs pairs(editable.data(), CStringPairs::kBackslashEscapes);
    challenge.nonce = pairs["nonce"];
    // Without a realm (ejabberd sends none) the realm is empty in the hash and the answer alike.
    challenge.realm = pairs["realm"];
    return !challenge.nonce.empty();
}

std::string DigestMd5Answer(const std::string& user, const std::string& realm, const std::string& password,
                            const std::string& nonce, const std::string& cnonce, int nonceCount,
                            const std::string& digestUri)
{
    return "username=" + DigestQuoted(user) + ",realm=" + DigestQuoted(realm) + ",nonce=" + DigestQuoted(nonce) +
           ",cnonce=" + DigestQuoted(cnonce) + ",nc=" + NonceCount(nonceCount) +
           ",qop=auth,digest-uri=" + DigestQuoted(digestUri) + ",charset=utf-8,response=" +
           DigestMd5Value("AUTHENTICATE", user, realm, password, nonce, cnonce, nonceCount, digestUri);
}

std::string MakeClientNonce()
{
    unsigned char bytes[16] = {};
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return std::string();
    return Hex(std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

TMD5Auth::TMD5Auth(const JabberCredentials& credentials, const std::string& clientNonce)
    : TJabberAuth("DIGEST-MD5", credentials),
      m_calls(0),
      m_clientNonce(clientNonce.empty() ? MakeClientNonce() : clientNonce),
      m_proven(false)
{
}

TJabberAuth::Step TMD5Auth::GetChallengeResponse(const std::string& challenge, std::string& response)
{
    response.clear();
    if (m_calls++ > 0) {
        // The second challenge carries the server's proof; the empty answer acknowledges it.
        return m_proven ? kBadChallenge : CheckServerProof(challenge);
    }
    std::string text;
    DigestChallenge read;
    if (!FromBase64(challenge, text) || m_clientNonce.empty() || !ReadDigestChallenge(text, read))
        return kBadChallenge;

    const std::string user = Utf8(m_credentials.user);
    const std::string server = Utf8(m_credentials.server);
    const std::string password = Utf8(m_credentials.password);
    const std::string uri = "xmpp/" + server;
    m_expectedProof = DigestMd5Value("", user, read.realm, password, read.nonce, m_clientNonce, m_calls, uri);
    std::string answer = DigestMd5Answer(user, read.realm, password, read.nonce, m_clientNonce, m_calls, uri);
    if (answer.size() > kMaxAnswerBytes)
        return kBadChallenge;
    response = Base64(answer);
    return kAnswered;
}

TJabberAuth::Step TMD5Auth::CheckSuccess(const std::string& data)
{
    if (m_proven)
        return kAnswered;
    // RFC 6120 lets the server put its proof in <success> instead of a challenge.
    if (data.empty() || m_expectedProof.empty())
        return kServerNotProven;
    return CheckServerProof(data);
}

TJabberAuth::Step TMD5Auth::CheckServerProof(const std::string& payload)
{
    std::string text;
    if (m_expectedProof.empty() || !FromBase64(payload, text) || text.find('\0') != std::string::npos)
        return kServerNotProven;
    std::vector<char> editable(text.begin(), text.end());
    editable.push_back(0);
    CStringPairs pairs(editable.data());
    if (m_expectedProof != pairs["rspauth"])
        return kServerNotProven;
    m_proven = true;
    return kAnswered;
}
