// What the iq structures ask their account about who sent an iq: answers are
// taken only from the entity asked, and some requests only from the account's
// own server. Called on the account's event thread.
#pragma once

#include "JOVString.h"

class CIqSenders {
public:
    // Whether an answer from `from` (null: no "from") may answer a request
    // sent to `asked` (empty: to our own server, which answers with no
    // "from", our own JID, our bare JID or our domain).
    virtual bool IsAnswerFrom(const CJOVString& asked, const CJOVString* from) = 0;
    // Whether a request comes from our own account: no "from", or our bare JID.
    virtual bool IsFromOwnAccount(const CJOVString* from) = 0;
    // The contact-list model's contact of the JID's bare part; 0 for none.
    virtual unsigned int ContactIdOf(const CJOVString& jid) = 0;

protected:
    ~CIqSenders() = default;
};
