// SASL DIGEST-MD5 (RFC 2831) with the digest-uri "xmpp/" + server: the first
// challenge is answered, the second must carry the server's rspauth, which is
// checked before the login goes on.
#pragma once

#include "JabberAuth.h"

// The 32 lowercase hexadecimal digits of RFC 2831's response value, for
// "AUTHENTICATE" (the client's response) or "" (the server's rspauth). The
// texts are the bytes hashed, as they stand.
std::string DigestMd5Value(const std::string& method, const std::string& user, const std::string& realm,
                           const std::string& password, const std::string& nonce, const std::string& cnonce,
                           int nonceCount, const std::string& digestUri);

// RFC 2831's quoted-string: the value between double quotes, with a
// backslash before each backslash and double quote in it.
std::string DigestQuoted(const std::string& value);

// What a first challenge gives the answer: bytes as the server sent them
// (UTF-8), quoted-strings unescaped.
struct DigestChallenge {
    std::string realm;  // empty when the server names none
    std::string nonce;
};

// Reads the decoded bytes of a first challenge; false when it cannot be
// answered: no nonce, or a NUL byte anywhere (no value may be cut short).
bool ReadDigestChallenge(const std::string& bytes, DigestChallenge& challenge);

// The answer to a first challenge before its Base64: every quoted value
// escaped, the response hashed over the values as they are.
std::string DigestMd5Answer(const std::string& user, const std::string& realm, const std::string& password,
                            const std::string& nonce, const std::string& cnonce, int nonceCount,
                            const std::string& digestUri);

class TMD5Auth : public TJabberAuth {
public:
    // clientNonce empty: one is drawn from the system's random source.
    explicit TMD5Auth(const JabberCredentials& credentials, const std::string& clientNonce = std::string());

    Step GetChallengeResponse(const std::string& challenge, std::string& response) override;
    Step CheckSuccess(const std::string& data) override;

    // Longer answers are refused rather than sent.
    static constexpr size_t kMaxAnswerBytes = 8000;

private:
    Step CheckServerProof(const std::string& payload);

    int m_calls;
    std::string m_clientNonce;
    std::string m_expectedProof;  // rspauth, once the first challenge is answered
    bool m_proven;
};

// 16 bytes of the system's random source as 32 hexadecimal digits.
std::string MakeClientNonce();
