#include "JabberTexts.h"

#include "PluginModule.h"

namespace {

const wchar_t* const kBuiltIn[] = {
    L"Please enter your user name, password and server",
    L"Could not connect to the server",
    L"The secure connection failed: the server's certificate is not trusted or does not name the server",
    L"Login failed: ",
    L"Disconnected by the server: ",
    L"Disconnected: the account logged in again with the same resource",
    L"The server offers no login this program knows",
    L"The server asks for STARTTLS, which this program does not use: turn on \"Use SSL\" and use the server's "
    L"SSL port",
    L"The server offers only PLAIN login, which would send the password readable: turn on \"Use SSL\"",
    L"The server did not prove that it knows the password",
    L"The server's login challenge cannot be answered",
    L"The server refused the resource: ",
    L"The server refused to open a session: ",
    L"The login timed out",
    L"The server closed the connection",
    L"The server does not accept Invisible: your contacts see the status it holds",
    L"The port must be a number from 1 to 65535",
    L"The server offers only the old login without SASL, which this program does not use",
};

} // namespace

CJOVString JabberText(JabberTextId id)
{
    int index = id - kTextEnterAccountData;
    if (index < 0 || index >= static_cast<int>(sizeof kBuiltIn / sizeof kBuiltIn[0]))
        return CJOVString();
    return GetPluginText(id, kBuiltIn[index]);
}
