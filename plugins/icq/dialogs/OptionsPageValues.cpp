#include "OptionsPageValues.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "MD5.h"
#include "PluginModule.h"

const wchar_t* const kLoginServers[kLoginServerCount] = {
    L"login.icq.com",           L"slogin.icq.com",          L"login.oscar.aol.com",    L"slogin.oscar.aol.com",
    L"ibucp-vip-d.blue.aol.com", L"ibucp-vip-m.blue.aol.com", L"ibucp2-vip-m.blue.aol.com", L"bucp-m08.blue.aol.com",
};

namespace {

PanelCheckResult Refuse(const CJOVString& message, unsigned int control)
{
    PanelCheckResult result;
    result.failed = 1;
    result.message = message;
    result.control = control;
    return result;
}

bool ReadFlag(CAccountSettings& settings, unsigned int accountId, const wchar_t* key)
{
    unsigned char value = 1;
    settings.GetByte(accountId, CJOVString(key), value);
    return value != 0;
}

// Control ids of the fields a refusal names.
const unsigned int kLoginControl = 1015;
const unsigned int kPasswordControl = 1016;
const unsigned int kHostControl = 1001;
const unsigned int kPortControl = 1002;

} // namespace

int NormalizeLogin(const CJOVString& text, CJOVString& out)
{
    const wchar_t* chars = text.Data();
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        if (chars[i] == L'@') {
            out = text;
            return 1;
        }
    }
    std::wstring digits;
    for (int i = 0; i < length; ++i) {
        if (chars[i] >= L'0' && chars[i] <= L'9')
            digits += chars[i];
    }
    if (digits.empty())
        return -1;
    out = CJOVString(digits.c_str());
    return 0;
}

std::vector<unsigned char> PasswordDigest(const CJOVString& password)
{
    std::vector<unsigned char> digest;
    if (password.GetLength() == 0)
        return digest;
    unsigned char* bytes = password.GetBuffer(0);
    if (!bytes)
        return digest;
    digest.assign(16, 0);
    CMD5::Hash(bytes, static_cast<unsigned>(strlen(reinterpret_cast<const char*>(bytes))), digest.data());
    CJOVString::FreeBuffer(bytes);
    return digest;
}

bool HasStoredPassword(CAccountSettings& settings, unsigned int accountId)
{
    std::vector<unsigned char> digest;
    if (!settings.GetData(accountId, CJOVString(ICQ_KEY_PASSWORD), digest))
        return false;
    for (size_t i = 0; i < digest.size() && i < 16; ++i) {
        if (digest[i] != 0)
            return true;
    }
    return false;
}

AccountPageValues LoadAccountPage(CAccountSettings& settings, unsigned int accountId)
{
    AccountPageValues values;
    settings.GetString(accountId, CJOVString(ICQ_KEY_ACCOUNT_NAME), values.login);
    values.savePassword = HasStoredPassword(settings, accountId);
    if (values.savePassword)
        values.password = CJOVString(ICQ_PASSWORD_PLACEHOLDER);
    return values;
}

AccountPageOutcome SaveAccountPage(CAccountSettings& settings, unsigned int accountId,
                                   const AccountPageValues& values)
{
    AccountPageOutcome outcome;
    if (NormalizeLogin(values.login, outcome.login) < 0) {
        outcome.check = Refuse(CJOVString(L"Not valid ICQ number or E-mail"), kLoginControl);
        return outcome;
    }
    const bool keepPassword = values.savePassword && values.password == CJOVString(ICQ_PASSWORD_PLACEHOLDER);
    if (values.savePassword && !keepPassword && values.password.GetLength() > kIcqPasswordLength) {
        outcome.password = values.password.Substring(0, kIcqPasswordLength);
        outcome.passwordCut = true;
        outcome.check = Refuse(GetPluginText(141, L"ICQ takes passwords of up to 8 characters: only the first 8 are "
                                                  L"kept. Confirm again to save them."),
                               kPasswordControl);
        return outcome;
    }

    CJOVString previous;
    settings.GetString(accountId, CJOVString(ICQ_KEY_ACCOUNT_NAME), previous);
    settings.SetString(accountId, CJOVString(ICQ_KEY_ACCOUNT_NAME), outcome.login);
    if (!values.savePassword)
        settings.SetData(accountId, CJOVString(ICQ_KEY_PASSWORD), std::vector<unsigned char>());
    else if (!keepPassword)
        settings.SetData(accountId, CJOVString(ICQ_KEY_PASSWORD), PasswordDigest(values.password));
    outcome.loginChanged = previous != outcome.login;
    return outcome;
}

ConnectionPageValues LoadConnectionPage(CAccountSettings& settings, unsigned int accountId)
{
    ConnectionPageValues values;
    if (!settings.GetString(accountId, CJOVString(ICQ_KEY_SERVER_NAME), values.host))
        values.host = CJOVString(ICQ_DEFAULT_SERVER);
    unsigned short port = kIcqDefaultPort;
    settings.GetWord(accountId, CJOVString(ICQ_KEY_SERVER_PORT), port);
    values.port = CJOVString(std::to_wstring(port).c_str());
    values.keepAlive = ReadFlag(settings, accountId, ICQ_KEY_KEEP_ALIVE);
    values.loadContactList = ReadFlag(settings, accountId, ICQ_KEY_LOAD_CL);
    values.autoPrivacy = ReadFlag(settings, accountId, ICQ_KEY_AUTO_PRIVACY);
    return values;
}

PanelCheckResult SaveConnectionPage(CAccountSettings& settings, unsigned int accountId,
                                    const ConnectionPageValues& values)
{
    if (values.host.GetLength() == 0)
        return Refuse(CJOVString(L"Not valid host name"), kHostControl);
    // Digits only, and a port number: a pasted sign or a value past 65535
    // would otherwise be stored as some other port.
    unsigned long port = 0;
    bool digits = values.port.GetLength() > 0 && values.port.GetLength() <= 5;
    for (int i = 0; digits && i < values.port.GetLength(); ++i) {
        const wchar_t c = values.port.Data()[i];
        digits = c >= L'0' && c <= L'9';
        port = port * 10 + static_cast<unsigned long>(c - L'0');
    }
    if (!digits || port == 0 || port > 65535)
        return Refuse(CJOVString(L"Not valid host port"), kPortControl);

    settings.SetString(accountId, CJOVString(ICQ_KEY_SERVER_NAME), values.host);
    settings.SetWord(accountId, CJOVString(ICQ_KEY_SERVER_PORT), static_cast<unsigned short>(port));
    settings.SetByte(accountId, CJOVString(ICQ_KEY_KEEP_ALIVE), values.keepAlive ? 1 : 0);
    settings.SetByte(accountId, CJOVString(ICQ_KEY_LOAD_CL), values.loadContactList ? 1 : 0);
    settings.SetByte(accountId, CJOVString(ICQ_KEY_AUTO_PRIVACY), values.autoPrivacy ? 1 : 0);
    return PanelCheckResult();
}
