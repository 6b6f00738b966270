// Parts of a JID (node@domain/resource), as texts.
#pragma once

#include "JOVString.h"

// The node: the text before the "@"; without one, before the first "/";
// without either, the whole JID.
CJOVString JidNode(const CJOVString& jid);
// The domain: between the "@" (or the start) and the first "/".
CJOVString JidDomain(const CJOVString& jid);
// The JID cut at its first "/", at most maxLength characters.
CJOVString JidBare(const CJOVString& jid, int maxLength = 256);
// The bare JID with "/" and the resource, when the JID has no resource of
// its own and a resource is known; else the JID as it is.
CJOVString JidWithResource(const CJOVString& jid, const CJOVString& knownResource);
// Whether `from` is the entity `asked`: node and domain compared without
// case, the resource exactly. A request to a bare JID may be answered by one
// of its resources.
bool JidMatches(const CJOVString& asked, const CJOVString& from);
