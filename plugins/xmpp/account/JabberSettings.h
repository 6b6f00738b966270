// The keys of an XMPP account's settings, over the plug-ins' settings
// interface, and their defaults when a value is missing.
#pragma once

#include "AccountSettings.h"

#define JABBER_KEY_ACCOUNT_NAME L"Account name"
#define JABBER_KEY_ACCOUNT_PASSWORD L"Account password"
#define JABBER_KEY_ACCOUNT_SERVER L"Account server"
#define JABBER_KEY_ACCOUNT_PORT L"Account port"
#define JABBER_KEY_ACCOUNT_RESOURCE L"Account resource"
#define JABBER_KEY_SSL L"SSL"
#define JABBER_KEY_COMPRESSION L"Compression"
#define JABBER_KEY_MANUAL L"Manual connection settings"
#define JABBER_KEY_MANUAL_SERVER L"Manual connection server"
#define JABBER_KEY_MANUAL_PORT L"Manual connection port"

const unsigned long kJabberDefaultPort = 5222;
const unsigned long kJabberDefaultSslPort = 5223;
#define JABBER_DEFAULT_RESOURCE L"JOV PDA"
const unsigned char kJabberDefaultSsl = 0;
const unsigned char kJabberDefaultCompression = 1;
// Off, and no built-in host: an account set up on the "Account" page alone
// connects to its own server and port.
const unsigned char kJabberDefaultManual = 0;

// The longest texts the pages take; passwords of any length a server allows.
const int kJabberMaxNameLength = 256;
const int kJabberMaxPasswordLength = 256;

// A port a socket can connect to.
inline bool IsValidJabberPort(unsigned long port)
{
    return port >= 1 && port <= 65535;
}
