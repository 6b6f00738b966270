// The contact-list model as the plug-ins and windows see it: for every account
// its groups and contacts, each with named properties the plug-ins own. Served
// on the bus under GUID_ContactList; callers fetch it there and call it on
// their own thread.
//
// Item ids: groups count from 1, contacts from 0x80000001, so bit 31 tells a
// contact from a group; group 0 means "directly under the account". Ids are
// never reused while the process runs and are not stored.
//
// Order of use: create an item, set its properties, then announce it with
// NotifyGroupAdded / NotifyContactAdded; bracket a run of changes with
// BeginTransaction / EndTransaction, which nest. Setters raise no event: call
// NotifyGroupChanged / NotifyContactChanged after changing what is shown.
//
// The model's events (sender GUID_ContactList) are posted to subscribers,
// except "Group delete" and "Contact delete", which are sent and waited for
// with the model unlocked, so a subscriber may query the model meanwhile.
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"
#include "cl/CLItemInfo.h"
#include "protocols/ContactStatusInfo.h"
#include "protocols/MessageInfo.h"

namespace CL {

// Contact ids have this bit set, group ids never.
inline constexpr unsigned int kContactIdBit = 0x80000000u;

class CContactList {
public:
    // The outermost pair fires "Transaction begin" and "Transaction end".
    virtual void BeginTransaction() = 0;
    virtual void EndTransaction() = 0;

    // A new empty group of the account; 0 when the model holds no such account.
    virtual unsigned int CreateGroup(unsigned int accountId) = 0;
    virtual void NotifyGroupAdded(unsigned int groupId) = 0;
    // Carried out later on the model's own thread: "Contact delete" for each of
    // its contacts, then "Group delete".
    virtual void DeleteGroup(unsigned int groupId) = 0;
    virtual void NotifyGroupChanged(unsigned int groupId) = 0;

    // Group 0 puts the contact under the account (whose entry is made when
    // missing); any other group must be a group of that account, else 0.
    virtual unsigned int CreateContact(unsigned int accountId, unsigned int groupId) = 0;
    // "Contact added" (in: contact id; out: its group id, 0 for none).
    virtual void NotifyContactAdded(unsigned int contactId) = 0;
    // Carried out later on the model's own thread.
    virtual void DeleteContact(unsigned int contactId) = 0;
    // Carried out later on the model's own thread, into a group of the
    // contact's own account; true at once, whatever happens then.
    virtual bool MoveContact(unsigned int contactId, unsigned int groupId) = 0;
    // 0 when the contact is in no group or unknown.
    virtual unsigned int GetContactGroup(unsigned int contactId) = 0;
    // Subscribers receive a copy of the record in "Contact status changed".
    virtual void SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status) = 0;
    virtual void NotifyContactChanged(unsigned int contactId) = 0;
    // Relayed later as "Message received" with a copy of the message, unless
    // the contact is gone by then.
    virtual void MessageReceived(unsigned int contactId, const Protocols::MessageInfo* message) = 0;

    // The account that holds the item; 0 when unknown.
    virtual unsigned int GetItemKey(unsigned int itemId) = 0;

    // Named properties. Getters answer false for an unknown item or value.
    // GetData copies when the value fits *size, and then sets *size to the
    // bytes copied; otherwise nothing is copied and *size is kept.
    virtual bool GetData(unsigned int itemId, const CJOVString& name, void* buffer, unsigned int* size) = 0;
    // False also for an empty value. Stored as UTF-8 without terminator.
    virtual bool GetString(unsigned int itemId, const CJOVString& name, CJOVString& out) = 0;
    // Each only when the value has exactly the type's width.
    virtual bool GetDWord(unsigned int itemId, const CJOVString& name, DWORD* out) = 0;
    virtual bool GetWord(unsigned int itemId, const CJOVString& name, WORD* out) = 0;
    virtual bool GetByte(unsigned int itemId, const CJOVString& name, BYTE* out) = 0;
    // Create the value or replace its bytes. A name longer than 255 bytes in
    // UTF-8 cannot be stored and is refused.
    virtual void SetData(unsigned int itemId, const CJOVString& name, const void* data, unsigned int size) = 0;
    virtual void SetString(unsigned int itemId, const CJOVString& name, const CJOVString& value) = 0;
    virtual void SetDWord(unsigned int itemId, const CJOVString& name, const DWORD* value) = 0;
    virtual void SetWord(unsigned int itemId, const CJOVString& name, const WORD* value) = 0;
    virtual void SetByte(unsigned int itemId, const CJOVString& name, const BYTE* value) = 0;

    // Appends (without clearing) the account's items in ascending id order,
    // each group followed by its contacts; false when the account is unknown.
    virtual bool GetItems(unsigned int accountId, CJOVArray<CLItemInfo>* out) = 0;

protected:
    // Only the program, which creates the model, destroys it.
    ~CContactList() = default;
};

} // namespace CL
