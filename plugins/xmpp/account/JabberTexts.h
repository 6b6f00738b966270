// The texts the account shows when a login fails, a page refuses a value, or a
// message or a change of the roster does not get through: each an id of the
// plug-in's language file with its built-in English.
#pragma once

#include "JOVString.h"

class XmlNode;

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
    kTextMessageNotDelivered,
    kTextMessageOffline,
    kTextMessageNotListed,
    kTextRosterChangeRefused,
    kTextRosterRefused,
    kTextSubject,
    kTextRedirected,
};

// The text with its "%s" replaced by the name.
CJOVString JabberTextNaming(JabberTextId id, const CJOVString& name);

CJOVString JabberText(JabberTextId id);

// "condition (text)" of an XMPP error element: its first child other than
// <text>, and the text when there is one.
CJOVString DescribeXmppError(const XmlNode* error);
