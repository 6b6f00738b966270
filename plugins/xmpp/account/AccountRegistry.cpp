#include "AccountRegistry.h"

#include <map>

#include "JabberProtocol.h"
#include "EventArg.h"
#include "ManagerSettings.h"
#include "ServicesManager.h"

namespace {

Services::CServicesManager* g_services = nullptr;
CManagerSettings g_managerSettings(&g_services);
CAccountSettings* g_settings = &g_managerSettings;
JabberTimings g_timings;
std::map<unsigned int, CJabberProtocol*> g_accounts;

} // namespace

unsigned int CreateJabberAccount(Services::CServicesManager* services, unsigned int accountId,
                                 unsigned int hostClientId)
{
    g_services = services;
    auto* account = new CJabberProtocol(services, accountId, hostClientId, g_settings, g_timings);
    unsigned int clientId = account->GetClientId();
    if (clientId == 0) {
        delete account;
        return 0;
    }
    g_accounts[clientId] = account;
    return clientId;
}

void DestroyJabberAccount(unsigned int clientId)
{
    auto found = g_accounts.find(clientId);
    if (found == g_accounts.end())
        return;
    CJabberProtocol* account = found->second;
    g_accounts.erase(found);
    delete account;
}

CJabberProtocol* FindAccount(unsigned int accountId)
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

void PostToAccount(unsigned int accountId, const JOV_GUID& sender, const wchar_t* name, CEventArg* arg)
{
    CJabberProtocol* account = FindAccount(accountId);
    if (!account || !g_services) {
        if (arg)
            arg->Release();
        return;
    }
    g_services->SendEventToClient(account->GetClientId(), sender, CJOVString(name), arg, nullptr, false);
}

CAccountSettings* GetAccountSettings()
{
    return g_settings;
}

void SetAccountEnvironment(CAccountSettings* settings, const JabberTimings& timings)
{
    g_settings = settings ? settings : &g_managerSettings;
    g_timings = timings;
}
