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
