#include "AccountRegistry.h"

#include <map>

#include "AccountSettings.h"
#include "ICQProtocol.h"
#include "ManagerSettings.h"

namespace {

Services::CServicesManager* g_services = nullptr;
CManagerSettings g_managerSettings(&g_services);
CAccountSettings* g_settings = &g_managerSettings;
ICQTimings g_timings;
std::map<unsigned int, CICQProtocol*> g_accounts;

} // namespace

unsigned int CreateICQAccount(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId)
{
    g_services = services;
    auto* account = new CICQProtocol(services, accountId, ownerClientId, g_settings, g_timings);
    unsigned int clientId = account->GetClientId();
    if (clientId == 0) {
        delete account;
        return 0;
    }
    g_accounts[clientId] = account;
    return clientId;
}

void DestroyICQAccount(unsigned int clientId)
{
    auto found = g_accounts.find(clientId);
    if (found == g_accounts.end())
        return;
    CICQProtocol* account = found->second;
    g_accounts.erase(found);
    delete account;
}

CICQProtocol* FindAccount(unsigned int accountId)
{
    for (const auto& entry : g_accounts) {
        if (entry.second->GetAccountId() == accountId)
            return entry.second;
    }
    return nullptr;
}

Services::CServicesManager* GetPluginServices()
{
    return g_services;
}

void SetAccountEnvironment(CAccountSettings* settings, const ICQTimings& timings)
{
    g_settings = settings ? settings : &g_managerSettings;
    g_timings = timings;
}
