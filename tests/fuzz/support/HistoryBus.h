// What the history files ask of the program: a bus that serves a contact
// list (one contact "bob" of account 1) and a protocol manager that names
// that account "alice" of protocol "ICQ". No settings store: history is saved.
#pragma once

#include "ServiceIds.h"
#include "ServicesManager.h"
#include "protocols/ProtocolsManager.h"
#include "icqaccount/FakeModel.h"

class CHistoryProtocols final : public Protocols::CProtocolsManager {
public:
    int LoadProtocols() override { return 0; }
    int GetProtocolCount() override { return 1; }
    const Protocols::ProtocolEntry* FindProtocol(const JOV_GUID&) override { return nullptr; }
    Protocols::ProtocolInfo GetProtocol(int) override { return Protocols::ProtocolInfo(); }
    unsigned int AddAccount(const JOV_GUID&) override { return 0; }
    int DeleteAccount(unsigned int) override { return 0; }
    int GetAccountCount() override { return 1; }
    unsigned int GetAccountId(int) override { return 1; }
    CJOVString GetAccountName(unsigned int, bool) override { return CJOVString(L"alice"); }
    Protocols::ProtocolInfo GetAccountProtocol(unsigned int) override
    {
        Protocols::ProtocolInfo info = {};
        info.name = CJOVString(L"ICQ");
        return info;
    }
    bool GetValueSize(unsigned int, const CJOVString&, unsigned*) override { return false; }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned*) override { return false; }
    bool GetString(unsigned int, const CJOVString&, CJOVString&) override { return false; }
    bool GetDWord(unsigned int, const CJOVString&, DWORD*) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, WORD*) override { return false; }
    bool GetByte(unsigned int, const CJOVString&, BYTE*) override { return false; }
    void SetData(unsigned int, const CJOVString&, const void*, const unsigned*) override {}
    void SetString(unsigned int, const CJOVString&, const CJOVString&) override {}
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int, const CJOVString&, const BYTE*) override {}
    bool GetImages(unsigned int, CJOVArray<unsigned int>*) override { return false; }
    bool GetContactStatusInfo(unsigned int, unsigned int, Protocols::ContactStatusInfo*) override { return false; }
    bool InitRootMenu(unsigned int, CMenuInfo*) override { return false; }
    bool InitGroupMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool InitContactMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool InitMessageWindowMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool CreateGroup(unsigned int, const CJOVString&) override { return false; }
    bool RenameGroup(unsigned int, unsigned int, const CJOVString&) override { return false; }
    bool DeleteGroup(unsigned int, unsigned int) override { return false; }
    bool RenameContact(unsigned int, unsigned int, const CJOVString&) override { return false; }
    bool MoveContact(unsigned int, unsigned int, unsigned int) override { return false; }
    bool DeleteContact(unsigned int, unsigned int) override { return false; }
    bool SendMessage(unsigned int, const Protocols::MessageInfo*) override { return false; }
    int GetAccountDetailsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int GetContactDetailsDlgInfo(unsigned int, unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int SetStatus(unsigned int, Protocols::Status) override { return 0; }
    int GetStatus(unsigned int, Protocols::Status*) override { return 0; }
    int GetStatusInfo(unsigned int, Protocols::Status, Protocols::StatusInfo*) override { return 0; }
    bool GetLogonDate(unsigned int, CTime*) override { return false; }
    int GetStatusMenuInfo(unsigned int, CMenuInfo*) override { return 0; }
    int GetOptionsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
};

class CHistoryBus final : public Services::CServicesManager {
public:
    CHistoryBus()
    {
        contact = list.AddContact(1, list.AddGroup(1, L"Friends"), L"bob");
        list.SetString(contact, CJOVString(L"CL Alias"), CJOVString(L"Bob"));
    }

    unsigned int RegisterService(const JOV_GUID&, void*) override { return 0; }
    int UnregisterService(unsigned int) override { return 0; }
    bool IsServiceRegistered(const JOV_GUID& guid) override { return GetService(guid) != nullptr; }
    void* GetService(const JOV_GUID& guid) override
    {
        if (guid == GUID_ContactList)
            return static_cast<CL::CContactList*>(&list);
        if (guid == GUID_ProtocolsManager)
            return static_cast<Protocols::CProtocolsManager*>(&protocols);
        return nullptr;
    }
    unsigned int RegisterEventsClient(CEventsClient*, const CJOVString&) override { return 0; }
    int UnregisterEventsClient(unsigned int) override { return 0; }
    int SendEventToClient(unsigned int, const JOV_GUID&, const CJOVString&, CEventArg*, CEventArg*, bool) override
    {
        return Services::kNotFound;
    }
    unsigned int DeclareEvent(const JOV_GUID&, const CJOVString&) override { return 0; }
    int RemoveEvent(unsigned int) override { return 0; }
    int FireEvent(unsigned int, CEventArg*, CEventArg*, bool) override { return 0; }
    unsigned int Subscribe(const JOV_GUID&, const CJOVString&, unsigned int) override { return 0; }
    int Unsubscribe(unsigned int) override { return 0; }
    int FireEvents(const Firing*, size_t) override { return 0; }

    CFakeModel list;
    CHistoryProtocols protocols;
    unsigned int contact = 0;
};
