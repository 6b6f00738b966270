// The plug-in's accounts, keyed by their own events-client id, and the
// services manager they were created with. Written only by
// CreateJabberAccount and DestroyJabberAccount, which the program calls on its
// user-interface thread.
#pragma once

#include "JabberTimings.h"

class CAccountSettings;
class CEventArg;
class CJabberProtocol;
struct JOV_GUID;

namespace Services {
class CServicesManager;
}

// The new account's own client id, or 0 when it could not register.
unsigned int CreateJabberAccount(Services::CServicesManager* services, unsigned int accountId,
                                 unsigned int hostClientId);
// Unknown ids do nothing.
void DestroyJabberAccount(unsigned int clientId);
// By account id (not client id); null when none.
CJabberProtocol* FindAccount(unsigned int accountId);
Services::CServicesManager* GetPluginServices();
// Posts the event to the account's own queue (for the menus' callbacks, which
// run on the user-interface thread); the argument is released when the
// account is gone.
void PostToAccount(unsigned int accountId, const JOV_GUID& sender, const wchar_t* name, CEventArg* arg);
// Where the accounts keep their settings (the option pages read and write them there).
CAccountSettings* GetAccountSettings();

// Where new accounts keep their settings and how long they wait; null settings
// restore the protocols manager's store.
void SetAccountEnvironment(CAccountSettings* settings, const JabberTimings& timings);
