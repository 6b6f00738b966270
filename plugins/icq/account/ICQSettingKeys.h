// The ICQ account's settings keys and defaults, over the plug-ins' settings
// interface.
#pragma once

#include "AccountSettings.h"

// The keys of the account's settings.
#define ICQ_KEY_ACCOUNT_NAME L"Account name"
#define ICQ_KEY_PASSWORD L"Account password"
#define ICQ_KEY_SERVER_NAME L"Server name"
#define ICQ_KEY_SERVER_PORT L"Server port"
#define ICQ_KEY_KEEP_ALIVE L"Keep alive"
#define ICQ_KEY_LOAD_CL L"Load cl"
#define ICQ_KEY_X_STATUS L"X status"
#define ICQ_KEY_AUTO_PRIVACY L"Auto-switch privacy status"
#define ICQ_KEY_CL_DATA L"CL data"

// The login server when the account names none.
#define ICQ_DEFAULT_SERVER L"login.icq.com"
const unsigned short kIcqDefaultPort = 5190;
