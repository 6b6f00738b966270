// The keys of an XMPP account's settings, over the plug-ins' settings
// interface.
#pragma once

#include "AccountSettings.h"

#define JABBER_KEY_ACCOUNT_NAME L"Account name"
#define JABBER_KEY_ACCOUNT_SERVER L"Account server"
#define JABBER_KEY_SSL L"SSL"
#define JABBER_KEY_MANUAL_SERVER L"Manual connection server"
#define JABBER_KEY_MANUAL_PORT L"Manual connection port"

const unsigned long kJabberDefaultPort = 5222;
