// A SASL mechanism of the login: what goes in <auth>, the answers to the
// server's challenges, and whether the server's <success> proves it. The
// payloads are Base64 texts as they go on the wire. Used on the account's
// event thread, one object per login.
#pragma once

#include <string>

#include "JOVString.h"

// The account's name, password and server, as the mechanism needs them.
struct JabberCredentials {
    CJOVString user;
    CJOVString password;
    CJOVString server;
};

class TJabberAuth {
public:
    enum Step {
        kAnswered = 0,
        kBadChallenge,     // no answer can be given: the login fails
        kServerNotProven,  // the server does not know the password
    };

    TJabberAuth(const char* name, const JabberCredentials& credentials);
    virtual ~TJabberAuth();
    TJabberAuth(const TJabberAuth&) = delete;
    TJabberAuth& operator=(const TJabberAuth&) = delete;

    // The payload of <auth>; empty for an element without text.
    virtual std::string GetInitialResponse();
    // The payload of the <response> to a challenge (empty for an empty element).
    virtual Step GetChallengeResponse(const std::string& challenge, std::string& response);
    // The payload of <success> (often empty): whether the login may go on.
    virtual Step CheckSuccess(const std::string& data);

    const char* GetName() const { return m_name; }

protected:
    // The credential's bytes in UTF-8, as the servers hash them.
    static std::string Utf8(const CJOVString& text);
    static std::string Base64(const std::string& bytes);
    // The bytes of a Base64 text; false when it is not Base64.
    static bool FromBase64(const std::string& text, std::string& bytes);

    const char* m_name;
    JabberCredentials m_credentials;
};
