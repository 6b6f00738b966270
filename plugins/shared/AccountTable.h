// A plug-in's accounts, keyed by their own events-client id, the services
// manager they were created with, and where new accounts keep their settings
// and how long they wait. One for the module; written only by creating and
// destroying accounts, which the program does on its user-interface thread.
#pragma once

#include <map>

#include "AccountSettings.h"
#include "ManagerSettings.h"

// Protocol is built from (services, account id, owner's client id, settings,
// timings) and answers GetClientId (0 when it could not register) and
// GetAccountId.
template <class Protocol, class Timings>
class CAccountTable {
public:
    CAccountTable() : m_services(nullptr), m_managerSettings(&m_services), m_settings(&m_managerSettings) {}
    CAccountTable(const CAccountTable&) = delete;
    CAccountTable& operator=(const CAccountTable&) = delete;

    // The new account's own client id, or 0 when it could not register.
    unsigned int Create(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId)
    {
        m_services = services;
        auto* account = new Protocol(services, accountId, ownerClientId, m_settings, m_timings);
        unsigned int clientId = account->GetClientId();
        if (clientId == 0) {
            delete account;
            return 0;
        }
        m_accounts[clientId] = account;
        return clientId;
    }

    // Unknown ids do nothing.
    void Destroy(unsigned int clientId)
    {
        auto found = m_accounts.find(clientId);
        if (found == m_accounts.end())
            return;
        Protocol* account = found->second;
        m_accounts.erase(found);
        delete account;
    }

    // By account id (not client id); null when none.
    Protocol* Find(unsigned int accountId) const
    {
        for (const auto& entry : m_accounts) {
            if (entry.second->GetAccountId() == accountId)
                return entry.second;
        }
        return nullptr;
    }

    Services::CServicesManager* GetServices() const { return m_services; }
    CAccountSettings* GetSettings() const { return m_settings; }

    // Null settings restore the protocols manager's store.
    void SetEnvironment(CAccountSettings* settings, const Timings& timings)
    {
        m_settings = settings ? settings : &m_managerSettings;
        m_timings = timings;
    }

private:
    Services::CServicesManager* m_services;
    CManagerSettings m_managerSettings;
    CAccountSettings* m_settings;
    Timings m_timings;
    std::map<unsigned int, Protocol*> m_accounts;
};
