#include "AccountRegistry.h"

#include "AccountTable.h"
#include "ICQProtocol.h"

namespace {

CAccountTable<CICQProtocol, ICQTimings> g_accounts;

} // namespace

unsigned int CreateICQAccount(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId)
{
    return g_accounts.Create(services, accountId, ownerClientId);
}

void DestroyICQAccount(unsigned int clientId)
{
    g_accounts.Destroy(clientId);
}

CICQProtocol* FindAccount(unsigned int accountId)
{
    return g_accounts.Find(accountId);
}

Services::CServicesManager* GetPluginServices()
{
    return g_accounts.GetServices();
}

void SetAccountEnvironment(CAccountSettings* settings, const ICQTimings& timings)
{
    g_accounts.SetEnvironment(settings, timings);
}
