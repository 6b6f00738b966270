#include "PlainAuth.h"

TPlainAuth::TPlainAuth(const JabberCredentials& credentials) : TJabberAuth("PLAIN", credentials) {}

std::string TPlainAuth::GetInitialResponse()
{
    const std::string user = Utf8(m_credentials.user);
    std::string message = user + "@" + Utf8(m_credentials.server);
    message += '\0';
    message += user;
    message += '\0';
    message += Utf8(m_credentials.password);
    return Base64(message);
}
