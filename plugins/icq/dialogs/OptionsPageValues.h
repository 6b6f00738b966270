// What the "Account" and "Connection" pages read from and store into an
// account's settings, apart from their windows: the login, the password and
// the login server. A refused page stores nothing: every check runs first.
#pragma once

#include "ICQSettingKeys.h"
#include "PanelInfo.h"

// The field shows this while a password is stored; it stands for "keep it".
#define ICQ_PASSWORD_PLACEHOLDER L"**************"
// The ICQ servers take this much of a password.
const int kIcqPasswordLength = 8;
// How much of the field the page reads.
const int kPasswordFieldLength = 14;

// 1: an e-mail login (it holds "@"), copied; 0: out holds the text's decimal
// digits in order; -1: the text is empty or holds no digit.
int NormalizeLogin(const CJOVString& text, CJOVString& out);

// The MD5 digest the account logs in with: of the password's bytes in the
// system code page, without the closing 0. An empty password stores empty.
std::vector<unsigned char> PasswordDigest(const CJOVString& password);
bool HasStoredPassword(CAccountSettings& settings, unsigned int accountId);

struct AccountPageValues {
    CJOVString login;
    bool savePassword = false;
    CJOVString password;  // the placeholder keeps the stored one
};

struct AccountPageOutcome {
    PanelCheckResult check;
    CJOVString login;              // normalized: the field shows it after a save
    CJOVString password;           // a password cut to its first 8: the field shows it
    bool passwordCut = false;
    bool loginChanged = false;     // the account must drop the old login's list
};

AccountPageValues LoadAccountPage(CAccountSettings& settings, unsigned int accountId);
// A password past 8 characters is refused once, cut, so the user sees what
// will be stored; confirming again stores it.
AccountPageOutcome SaveAccountPage(CAccountSettings& settings, unsigned int accountId,
                                   const AccountPageValues& values);

struct ConnectionPageValues {
    CJOVString host;
    CJOVString port;  // as typed
    bool keepAlive = true;
    bool loadContactList = true;
    bool autoPrivacy = true;
};

ConnectionPageValues LoadConnectionPage(CAccountSettings& settings, unsigned int accountId);
PanelCheckResult SaveConnectionPage(CAccountSettings& settings, unsigned int accountId,
                                    const ConnectionPageValues& values);

// The login servers the host list offers, in its order.
const int kLoginServerCount = 8;
extern const wchar_t* const kLoginServers[kLoginServerCount];
