// What the "Account" and "Expert" pages show, and how it goes to and from the
// account's settings: the whole step between page and settings, without
// windows. The window code only moves these values in and out of controls.
#pragma once

#include "AccountSettings.h"
#include "JOVString.h"
#include "PanelInfo.h"

// Shown instead of a saved password, which never reaches the page.
extern const wchar_t kJabberPasswordMask[];

struct AccountPageValues {
    CJOVString name;
    CJOVString password;  // as the edit shows it: the mask while a saved one is kept
    bool savePassword = false;
    bool showPassword = false;
    bool showPasswordEnabled = true;
    CJOVString resource;
    CJOVString server;
    CJOVString port;  // as typed
    bool ssl = false;
};

struct ExpertPageValues {
    bool manual = false;
    CJOVString server;
    CJOVString port;  // as typed
    bool compression = true;
};

// showPassword: the module's flag, one for every account.
AccountPageValues LoadAccountPage(CAccountSettings& settings, unsigned int accountId, bool showPassword);
// Refuses a port outside 1-65535 before anything is stored. accountChanged:
// the user name or the server is not what it was.
PanelCheckResult StoreAccountPage(const AccountPageValues& values, CAccountSettings& settings, unsigned int accountId,
                                  bool* accountChanged);
// The port a "Use SSL" click puts in the port edit.
CJOVString PortForSsl(bool ssl);

ExpertPageValues LoadExpertPage(CAccountSettings& settings, unsigned int accountId);
// Without manual settings the connection goes to the account's server and
// port, which are copied; with them, the port is checked first.
PanelCheckResult StoreExpertPage(const ExpertPageValues& values, CAccountSettings& settings, unsigned int accountId);

// A port edit's text: the number, or 0 when it is not one from 1 to 65535.
unsigned long ParsePort(const CJOVString& text);
