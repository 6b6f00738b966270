// What the protocol plug-in manager needs of the skin and notification
// services: status texts in the current language, that language's name, and
// the warning bubble. Start-up passes the services that provide them; without
// one the manager uses its English texts, an empty language name and shows no
// warning.
#pragma once

#include "JOVString.h"

namespace Protocols {

class CProtocolsManagerHost {
public:
    // The main program's text of that id in the current language.
    virtual bool GetString(int textId, CJOVString& out) = 0;
    virtual CJOVString GetLanguageName() = 0;
    virtual void ShowWarning(unsigned int accountId, const CJOVString& text) = 0;

protected:
    ~CProtocolsManagerHost() = default;
};

} // namespace Protocols
