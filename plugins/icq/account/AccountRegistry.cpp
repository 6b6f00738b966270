#include "AccountRegistry.h"

#include <map>

#include "AccountSettings.h"
#include "ICQProtocol.h"

namespace {

// Until the program's per-account store is wired in, every read gives its
// default and writes are dropped.
class CDefaultSettings : public CAccountSettings {
public:
    bool GetString(unsigned int, const CJOVString&, CJOVString&) override { return false; }
    bool GetData(unsigned int, const CJOVString&, std::vector<unsigned char>&) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, unsigned short&) override { return false; }
    bool GetByte(unsigned int, const CJOVString&, unsigned char&) override { return false; }
    void SetString(unsigned int, const CJOVString&, const CJOVString&) override {}
    void SetData(unsigned int, const CJOVString&, const std::vector<unsigned char>&) override {}
    void SetWord(unsigned int, const CJOVString&, unsigned short) override {}
    void SetByte(unsigned int, const CJOVString&, unsigned char) override {}
};

CDefaultSettings g_defaultSettings;
CAccountSettings* g_settings = &g_defaultSettings;
ICQTimings g_timings;
Services::CServicesManager* g_services = nullptr;
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
    g_settings = settings ? settings : &g_defaultSettings;
    g_timings = timings;
}
