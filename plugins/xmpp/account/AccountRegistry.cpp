#include "AccountRegistry.h"

#include "AccountTable.h"
#include "EventArg.h"
#include "JabberProtocol.h"
#include "ServicesManager.h"

namespace {

CAccountTable<CJabberProtocol, JabberTimings> g_accounts;

} // namespace

unsigned int CreateJabberAccount(Services::CServicesManager* services, unsigned int accountId,
                                 unsigned int hostClientId)
{
    return g_accounts.Create(services, accountId, hostClientId);
}

void DestroyJabberAccount(unsigned int clientId)
{
    g_accounts.Destroy(clientId);
}

CJabberProtocol* FindAccount(unsigned int accountId)
{
    return g_accounts.Find(accountId);
}

Services::CServicesManager* GetPluginServices()
{
    return g_accounts.GetServices();
}

void PostToAccount(unsigned int accountId, const JOV_GUID& sender, const wchar_t* name, CEventArg* arg)
{
    CJabberProtocol* account = FindAccount(accountId);
    Services::CServicesManager* services = g_accounts.GetServices();
    if (!account || !services) {
        DiscardArg(arg);
        return;
    }
    services->SendEventToClient(account->GetClientId(), sender, CJOVString(name), arg, nullptr, false);
}

CAccountSettings* GetAccountSettings()
{
    return g_accounts.GetSettings();
}

void SetAccountEnvironment(CAccountSettings* settings, const JabberTimings& timings)
{
    g_accounts.SetEnvironment(settings, timings);
}
