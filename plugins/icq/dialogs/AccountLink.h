// How the plug-in's pages and dialogs, on the user-interface thread, reach an
// account and the program: by the account's id, through the bus. They never
// touch the account object; what it must do is an event on its own queue.
#pragma once

#include "AccountSettings.h"
#include "EventArg.h"
#include "protocols/Status.h"

namespace CL {
class CContactList;
}
namespace Protocols {
class CProtocolsManager;
}

Protocols::CProtocolsManager* PluginProtocolsManager();
CL::CContactList* PluginContactList();
// The accounts' settings, kept by the protocols manager.
CAccountSettings& PluginAccountSettings();
// Offline when the account or the manager is missing.
Protocols::Status AccountStatus(unsigned int accountId);
// Posts the request (AccountRequests.h) to the account; false, with the
// argument released, when there is no such account.
bool PostAccountRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg);
// Sends it and waits for the account's thread to handle it.
bool SendAccountRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg);
// The account a contact or group of the model belongs to; 0 when none.
unsigned int AccountOfItem(unsigned int itemId);
