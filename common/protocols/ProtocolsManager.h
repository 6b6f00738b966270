// The protocol plug-in manager as plug-ins and windows see it: the registry of
// protocols and accounts, each account's persistent settings, and every
// request to an account (forwarded to it as an event). Fetched from the bus
// under GUID_ProtocolsManager; any thread may call it.
//
// Account id 0 names no account: in the status requests it means the manager
// itself (the overall status) or all accounts. A request for an id that no
// account has answers kNotFound (-2), false or an empty value.
#pragma once

// Win32 types of the settings calls; it also renames SendMessage to
// SendMessageW for every includer alike.
#include <windows.h>

#include "JOVArray.h"
#include "JOVTime.h"
#include "MenuInfo.h"
#include "PanelInfo.h"
#include "protocols/ContactStatusInfo.h"
#include "protocols/MessageInfo.h"
#include "protocols/ProtocolInfo.h"
#include "protocols/Status.h"

namespace Protocols {

// A registered protocol: what its plug-in said of itself, and its library.
struct ProtocolEntry {
    ProtocolInfo info;
    CJOVString libraryPath;
};

// The operations, in this order, are the interface; nobody deletes the
// manager through it.
class CProtocolsManager {
public:
    // The registry, filled once at start-up and read-only afterwards.
    virtual int LoadProtocols() = 0;
    virtual int GetProtocolCount() = 0;
    // Stays valid for the manager's life; null when not registered.
    virtual const ProtocolEntry* FindProtocol(const JOV_GUID& protocol) = 0;
    // In protocol-id byte order; an empty record outside the registry.
    virtual ProtocolInfo GetProtocol(int index) = 0;

    // The new account's id, or 0 when it could not be created.
    virtual unsigned int AddAccount(const JOV_GUID& protocol) = 0;
    // Deletes later, on the manager's thread; answers 0 at once.
    virtual int DeleteAccount(unsigned int accountId) = 0;
    virtual int GetAccountCount() = 0;
    // In ascending id order; 0 out of range.
    virtual unsigned int GetAccountId(int index) = 0;
    // The account's display name, after its protocol id text when asked.
    virtual CJOVString GetAccountName(unsigned int accountId, bool withProtocolGuid) = 0;
    virtual ProtocolInfo GetAccountProtocol(unsigned int accountId) = 0;

    // The account's own settings, saved with the program's. Typed getters
    // answer true only for a value of exactly their width.
    virtual bool GetValueSize(unsigned int accountId, const CJOVString& name, unsigned* size) = 0;
    // *size: in the buffer's size, out the value's; false when it does not fit.
    virtual bool GetData(unsigned int accountId, const CJOVString& name, void* buffer, unsigned* size) = 0;
    virtual bool GetString(unsigned int accountId, const CJOVString& name, CJOVString& out) = 0;
    virtual bool GetDWord(unsigned int accountId, const CJOVString& name, DWORD* out) = 0;
    virtual bool GetWord(unsigned int accountId, const CJOVString& name, WORD* out) = 0;
    virtual bool GetByte(unsigned int accountId, const CJOVString& name, BYTE* out) = 0;
    virtual void SetData(unsigned int accountId, const CJOVString& name, const void* data, const unsigned* size) = 0;
    virtual void SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value) = 0;
    virtual void SetDWord(unsigned int accountId, const CJOVString& name, const DWORD* value) = 0;
    virtual void SetWord(unsigned int accountId, const CJOVString& name, const WORD* value) = 0;
    virtual void SetByte(unsigned int accountId, const CJOVString& name, const BYTE* value) = 0;

    // Requests to one account. The bool ones answer true when the account's
    // handler answered 0.
    virtual bool GetImages(unsigned int accountId, CJOVArray<unsigned int>* images) = 0;
    virtual bool GetContactStatusInfo(unsigned int accountId, unsigned int contactId, ContactStatusInfo* info) = 0;
    virtual bool InitRootMenu(unsigned int accountId, CMenuInfo* menu) = 0;
    virtual bool InitGroupMenu(unsigned int accountId, unsigned int groupId, CMenuInfo* menu) = 0;
    virtual bool InitContactMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu) = 0;
    virtual bool InitMessageWindowMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu) = 0;
    // Posted: true once queued to the account.
    virtual bool CreateGroup(unsigned int accountId, const CJOVString& name) = 0;
    virtual bool RenameGroup(unsigned int accountId, unsigned int groupId, const CJOVString& name) = 0;
    virtual bool DeleteGroup(unsigned int accountId, unsigned int groupId) = 0;
    virtual bool RenameContact(unsigned int accountId, unsigned int contactId, const CJOVString& name) = 0;
    virtual bool MoveContact(unsigned int accountId, unsigned int contactId, unsigned int groupId) = 0;
    virtual bool DeleteContact(unsigned int accountId, unsigned int contactId) = 0;
    // Handed to the account (not delivered); fires "Message sent".
    virtual bool SendMessage(unsigned int accountId, const MessageInfo* message) = 0;
    virtual int GetAccountDetailsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages) = 0;
    virtual int GetContactDetailsDlgInfo(unsigned int accountId, unsigned int contactId,
                                         CJOVArray<CPanelInfo>* pages) = 0;
    virtual int SetStatus(unsigned int accountId, Status status) = 0;
    // 0 and *out set; a failure (kNotFound, kEventNoAnswer) leaves *out alone.
    virtual int GetStatus(unsigned int accountId, Status* out) = 0;
    virtual int GetStatusInfo(unsigned int accountId, Status status, StatusInfo* out) = 0;
    // The account's "Logon date" (0 when never connected).
    virtual bool GetLogonDate(unsigned int accountId, CTime* out) = 0;
    virtual int GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu) = 0;
    virtual int GetOptionsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages) = 0;

protected:
    ~CProtocolsManager() = default;
};

} // namespace Protocols
