// The texts the account shows when a login fails or a page refuses a value:
// each an id of the plug-in's language file with its built-in English.
#pragma once

#include "JOVString.h"

enum JabberTextId {
    kTextEnterAccountData = 37,
    kTextConnectFailed,
    kTextCertificateRefused,
    kTextLoginFailed,
    kTextStreamError,
    kTextConflict,
    kTextNoMechanism,
    kTextStartTlsOnly,
    kTextPlainNeedsSsl,
    kTextServerNotProven,
    kTextBadChallenge,
    kTextBindRefused,
    kTextSessionRefused,
    kTextLoginTimedOut,
    kTextConnectionClosed,
    kTextInvisibleRefused,
    kTextBadPort,
    kTextLegacyLogin,
};

CJOVString JabberText(JabberTextId id);
