// SASL PLAIN (RFC 4616): authorization id user@server, authentication id
// user, then the password, in the <auth> element itself. The account uses it
// only on a secured connection: the password goes readable.
#pragma once

#include "JabberAuth.h"

class TPlainAuth : public TJabberAuth {
public:
    explicit TPlainAuth(const JabberCredentials& credentials);

    std::string GetInitialResponse() override;
};
