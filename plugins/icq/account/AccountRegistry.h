// The plug-in's accounts, keyed by their own events-client id, and the
// services manager they were created with. Written only by CreateICQAccount
// and DestroyICQAccount, which the program calls on its user-interface thread.
#pragma once

#include "ICQTimings.h"

class CAccountSettings;
class CICQProtocol;

namespace Services {
class CServicesManager;
}

// The new account's own client id, or 0 when it could not register.
unsigned int CreateICQAccount(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId);
// Unknown ids do nothing.
void DestroyICQAccount(unsigned int clientId);
// By account id (not client id); null when none.
CICQProtocol* FindAccount(unsigned int accountId);
Services::CServicesManager* GetPluginServices();

// Where new accounts keep their settings and how long they wait; null settings
// restore the protocols manager's store.
void SetAccountEnvironment(CAccountSettings* settings, const ICQTimings& timings);
