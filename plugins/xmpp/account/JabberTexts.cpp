#include "JabberTexts.h"

#include "PluginModule.h"
#include "xml/XmlNode.h"

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
    L"The message to %s was not delivered: ",
    L"The message to %s was not sent: you are offline",
    L"The message to %s was not sent: the contact is not in your list",
    L"The server refused the change of %s: ",
    L"The server did not send your contact list: ",
    L"Subject: ",
    L"Message redirected from: ",
};

} // namespace

CJOVString JabberText(JabberTextId id)
{
    int index = id - kTextEnterAccountData;
    if (index < 0 || index >= static_cast<int>(sizeof kBuiltIn / sizeof kBuiltIn[0]))
        return CJOVString();
    return GetPluginText(id, kBuiltIn[index]);
}

CJOVString JabberTextNaming(JabberTextId id, const CJOVString& name)
{
    CJOVString text = JabberText(id);
    int at = text.Find(0, CJOVString(L"%s"));
    if (at < 0)
        return text;
    return text.Substring(0, at) + name + text.Substring(at + 2, text.GetLength() - at - 2);
}

CJOVString DescribeXmppError(const XmlNode* error)
{
    CJOVString condition;
    if (error) {
        for (const auto& child : error->children) {
            if (child->name != "text") {
                condition = CJOVString(reinterpret_cast<const unsigned char*>(child->name.c_str()), CP_UTF8);
                break;
            }
        }
    }
    const CJOVString* text = GetText(GetChild(error, "text"));
    if (text && text->GetLength() > 0)
        condition += (condition.GetLength() > 0 ? CJOVString(L" (") : CJOVString(L"(")) + *text + CJOVString(L")");
    return condition;
}
