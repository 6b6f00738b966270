#include "OptionsPageValues.h"

#include <string>

#include "JabberResource.h"
#include "JabberSettings.h"
#include "JabberTexts.h"

const wchar_t kJabberPasswordMask[] = L"**************";

namespace {

CJOVString ReadString(CAccountSettings& settings, unsigned int id, const wchar_t* key, const wchar_t* fallback = L"")
{
    CJOVString value;
    return settings.GetString(id, CJOVString(key), value) ? value : CJOVString(fallback);
}

unsigned long ReadDWord(CAccountSettings& settings, unsigned int id, const wchar_t* key, unsigned long fallback)
{
    unsigned long value = 0;
    return settings.GetDWord(id, CJOVString(key), value) ? value : fallback;
}

bool ReadFlag(CAccountSettings& settings, unsigned int id, const wchar_t* key, unsigned char fallback)
{
    unsigned char value = 0;
    return (settings.GetByte(id, CJOVString(key), value) ? value : fallback) != 0;
}

CJOVString Number(unsigned long value)
{
    return CJOVString(std::to_wstring(value).c_str());
}

CJOVString Cut(const CJOVString& text, int length)
{
    return text.GetLength() > length ? text.Substring(0, length) : text;
}

PanelCheckResult Refuse(JabberTextId text, unsigned int control)
{
    PanelCheckResult result;
    result.failed = 1;
    result.message = JabberText(text);
    result.control = control;
    return result;
}

} // namespace

unsigned long ParsePort(const CJOVString& text)
{
    unsigned long port = 0;
    const int length = text.GetLength();
    if (length == 0 || length > 5)
        return 0;
    for (int i = 0; i < length; ++i) {
        wchar_t c = text.Data()[i];
        if (c < L'0' || c > L'9')
            return 0;
        port = port * 10 + static_cast<unsigned long>(c - L'0');
    }
    return IsValidJabberPort(port) ? port : 0;
}

CJOVString PortForSsl(bool ssl)
{
    return Number(ssl ? kJabberDefaultSslPort : kJabberDefaultPort);
}

AccountPageValues LoadAccountPage(CAccountSettings& settings, unsigned int id, bool showPassword)
{
    AccountPageValues values;
    values.name = ReadString(settings, id, JABBER_KEY_ACCOUNT_NAME);
    const bool saved = ReadString(settings, id, JABBER_KEY_ACCOUNT_PASSWORD).GetLength() > 0;
    values.savePassword = saved;
    values.password = saved ? CJOVString(kJabberPasswordMask) : CJOVString();
    // A saved password is never shown, not even masked by the edit.
    values.showPassword = !saved && showPassword;
    values.showPasswordEnabled = !saved;
    values.resource = ReadString(settings, id, JABBER_KEY_ACCOUNT_RESOURCE, JABBER_DEFAULT_RESOURCE);
    values.server = ReadString(settings, id, JABBER_KEY_ACCOUNT_SERVER);
    values.port = Number(ReadDWord(settings, id, JABBER_KEY_ACCOUNT_PORT, kJabberDefaultPort));
    values.ssl = ReadFlag(settings, id, JABBER_KEY_SSL, kJabberDefaultSsl);
    return values;
}

PanelCheckResult StoreAccountPage(const AccountPageValues& values, CAccountSettings& settings, unsigned int id,
                                  bool* accountChanged)
{
    const unsigned long port = ParsePort(values.port);
    if (port == 0)
        return Refuse(kTextBadPort, IDC_ACCOUNT_PORT);
    const CJOVString name = Cut(values.name, kJabberMaxNameLength);
    const bool changed = name != ReadString(settings, id, JABBER_KEY_ACCOUNT_NAME) ||
                         values.server != ReadString(settings, id, JABBER_KEY_ACCOUNT_SERVER);
    settings.SetString(id, CJOVString(JABBER_KEY_ACCOUNT_NAME), name);
    if (!values.savePassword)
        settings.SetString(id, CJOVString(JABBER_KEY_ACCOUNT_PASSWORD), CJOVString());
    else if (values.password != CJOVString(kJabberPasswordMask))
        settings.SetString(id, CJOVString(JABBER_KEY_ACCOUNT_PASSWORD), Cut(values.password, kJabberMaxPasswordLength));
    settings.SetString(id, CJOVString(JABBER_KEY_ACCOUNT_RESOURCE), values.resource);
    settings.SetString(id, CJOVString(JABBER_KEY_ACCOUNT_SERVER), values.server);
    settings.SetDWord(id, CJOVString(JABBER_KEY_ACCOUNT_PORT), port);
    settings.SetByte(id, CJOVString(JABBER_KEY_SSL), values.ssl ? 1 : 0);
    if (accountChanged)
        *accountChanged = changed;
    return PanelCheckResult();
}

ExpertPageValues LoadExpertPage(CAccountSettings& settings, unsigned int id)
{
    ExpertPageValues values;
    values.manual = ReadFlag(settings, id, JABBER_KEY_MANUAL, kJabberDefaultManual);
    values.server = ReadString(settings, id, JABBER_KEY_MANUAL_SERVER);
    values.port = Number(ReadDWord(settings, id, JABBER_KEY_MANUAL_PORT, kJabberDefaultPort));
    values.compression = ReadFlag(settings, id, JABBER_KEY_COMPRESSION, kJabberDefaultCompression);
    return values;
}

PanelCheckResult StoreExpertPage(const ExpertPageValues& values, CAccountSettings& settings, unsigned int id)
{
    CJOVString server;
    unsigned long port;
    if (values.manual) {
        port = ParsePort(values.port);
        if (port == 0)
            return Refuse(kTextBadPort, IDC_EXPERT_PORT);
        server = values.server;
    } else {
        server = ReadString(settings, id, JABBER_KEY_ACCOUNT_SERVER);
        port = ReadDWord(settings, id, JABBER_KEY_ACCOUNT_PORT, kJabberDefaultPort);
    }
    settings.SetByte(id, CJOVString(JABBER_KEY_MANUAL), values.manual ? 1 : 0);
    settings.SetString(id, CJOVString(JABBER_KEY_MANUAL_SERVER), server);
    settings.SetDWord(id, CJOVString(JABBER_KEY_MANUAL_PORT), port);
    settings.SetByte(id, CJOVString(JABBER_KEY_COMPRESSION), values.compression ? 1 : 0);
    return PanelCheckResult();
}
