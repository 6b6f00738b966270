#include "AccountLink.h"

#include "AccountRegistry.h"
#include "ICQProtocol.h"
#include "ManagerSettings.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "cl/ContactList.h"
#include "protocols/ProtocolsManager.h"

namespace {

bool Deliver(unsigned int accountId, const wchar_t* name, CEventArg* arg, bool wait)
{
    CICQProtocol* account = FindAccount(accountId);
    Services::CServicesManager* services = GetPluginServices();
    unsigned int clientId = account ? account->GetClientId() : 0;
    if (!services || clientId == 0) {
        DiscardArg(arg);
        return false;
    }
    const int answer = services->SendEventToClient(clientId, GUID_ICQProtocol, CJOVString(name), arg, nullptr, wait);
    // Waited for: the account's thread ran it. Posted: it is queued.
    return wait ? answer == 0 : answer == 1;
}

} // namespace

Protocols::CProtocolsManager* PluginProtocolsManager()
{
    Services::CServicesManager* services = GetPluginServices();
    return services ? static_cast<Protocols::CProtocolsManager*>(services->GetService(GUID_ProtocolsManager))
                    : nullptr;
}

CL::CContactList* PluginContactList()
{
    Services::CServicesManager* services = GetPluginServices();
    return services ? static_cast<CL::CContactList*>(services->GetService(GUID_ContactList)) : nullptr;
}

CAccountSettings& PluginAccountSettings()
{
    static Services::CServicesManager* services = nullptr;
    static CManagerSettings settings(&services);
    services = GetPluginServices();
    return settings;
}

Protocols::Status AccountStatus(unsigned int accountId)
{
    Protocols::Status status = Protocols::StatusOffline;
    if (Protocols::CProtocolsManager* manager = PluginProtocolsManager())
        manager->GetStatus(accountId, &status);
    return status;
}

bool PostAccountRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg)
{
    return Deliver(accountId, name, arg, false);
}

bool SendAccountRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg)
{
    return Deliver(accountId, name, arg, true);
}

unsigned int AccountOfItem(unsigned int itemId)
{
    CL::CContactList* list = PluginContactList();
    return list && itemId ? list->GetItemKey(itemId) : 0;
}
