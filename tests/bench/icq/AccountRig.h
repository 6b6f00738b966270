// The program's services as start-up makes them (bus, settings store over a
// file, sockets manager, contact-list model, protocol plug-in manager with the
// plug-ins of "Protos" beside this program), the accounts stored in the file
// or one ICQ or Jabber account added as a user adds it, and a watch on its status.
//
// Made and destroyed on the main thread; the watch runs on its own queue thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EventsClient.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/SocketsManagerImpl.h"

class CAccountRig {
public:
    // The services, before "Loaded".
    explicit CAccountRig(const std::wstring& settingsFile);
    ~CAccountRig();
    CAccountRig(const CAccountRig&) = delete;
    CAccountRig& operator=(const CAccountRig&) = delete;

    // Fires "Loaded": the stored accounts are created, and their lists loaded.
    void Load();
    // In start-up's order of shut-down: the lists and the accounts are saved
    // into the store, and the store saves its file last.
    void Close();

    // An ICQ account of that number and password that logs in at 127.0.0.1:port; 0 on failure.
    unsigned int AddIcqAccount(const wchar_t* uin, const char* password, unsigned short port);
    // A Jabber account of user@localhost that logs in over direct TLS at localhost:port; 0 on failure.
    unsigned int AddJabberAccount(const wchar_t* user, const wchar_t* password, unsigned short port);
    // The same, each on its own: the settings file gets the account as a user
    // adds it, the services made and closed around it; false on failure.
    static bool StoreIcqAccount(const std::wstring& settingsFile, const wchar_t* uin, const char* password,
                                unsigned short port);
    static bool StoreJabberAccount(const std::wstring& settingsFile, const wchar_t* user, const wchar_t* password,
                                   unsigned short port);
    void SetStatus(Protocols::Status status);
    // Waits for the account to report Online; its time (NowMs), or a negative value.
    double WaitOnline(DWORD timeoutMs);
    bool WaitOffline(DWORD timeoutMs);
    // The account added, or else the first stored one; 0 when none.
    unsigned int AccountId();
    // The contacts the model holds for that account.
    int ContactCount();
    // The first of them, 0 when none.
    unsigned int FirstContactId();
    Services::CServicesManager& Bus() { return *m_bus; }
    // A setting of that account, as its options page stores it, and read back.
    void SetAccountByte(const wchar_t* name, BYTE value);
    std::vector<unsigned char> GetAccountData(const wchar_t* name);

private:
    static bool Store(const std::wstring& settingsFile, const std::function<unsigned int(CAccountRig&)>& add);

    class CStatusWatch final : public CEventsClient {
    public:
        CStatusWatch();
        ~CStatusWatch();
        int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;
        HANDLE online;
        HANDLE offline;
        double onlineAt = -1;
    };

    std::unique_ptr<Services::CServicesManagerImpl> m_bus;
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> m_sockets;
    std::unique_ptr<CL::CContactListImpl> m_model;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> m_manager;
    CStatusWatch m_watch;
    unsigned int m_watchId = 0;
    unsigned int m_accountId = 0;
};
