// The JIDs an account knows: its roster contacts with the groups and names the
// server holds, the resources each has online, and what the account learnt of
// each resource (its capabilities, whether it wants chat states or receipts).
//
// Threads: read and changed by the account's event thread and by the request
// queue's callbacks; every call holds the roster lock for its whole run.
// Items leave the list only as copies, so the contact-list model is never
// called with the lock held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "JOVString.h"
#include "protocols/Status.h"

// Kinds of items.
enum JabberListKind {
    kListRoster = 0,
    kListKeepsResource = 2,  // a JID whose resource counts (a conference)
    kListWithResource7 = 7,
    kListWithResource8 = 8,
};

enum JabberSubscription { kSubNone = 0, kSubTo = 1, kSubFrom = 2, kSubBoth = 3 };

// What the account keeps on its groups and contacts in the contact-list
// model: for a group its name twice, for a contact its bare JID, the name
// shown and the subscription.
inline constexpr wchar_t kModelAccountName[] = L"Account name";
inline constexpr wchar_t kModelAlias[] = L"CL Alias";
inline constexpr wchar_t kModelSubscription[] = L"Subscription";

struct JabberResourceStatus {
    Protocols::Status status = Protocols::StatusOffline;
    CJOVString name;
    CJOVString statusText;
    signed char priority = 0;
    // The capabilities it announced (XEP-0115).
    CJOVString capsNode;
    CJOVString capsVersion;
    CJOVString capsExt;
    // Bits of the feature table: from its capabilities, and from what its
    // messages carried.
    uint64_t features = 0;
    bool messaged = false;
};

struct JABBER_LIST_ITEM {
    int kind = kListRoster;
    CJOVString jid;
    unsigned int contactId = 0;  // 0 until the contact exists in the model
    bool authRequest = false;    // it asked to see our presence
    CJOVString name;
    std::vector<JabberResourceStatus> resources;
    // For a JID without a resource.
    Protocols::Status inlineStatus = Protocols::StatusOffline;
    CJOVString inlineStatusText;
    int lastResource = -1;
    int manualResource = -1;
    int resourceMode = 1;  // 1 the last resource, 2 the manual one
    int subscription = kSubNone;
    // Every group the server holds it in; the first is its group in the
    // model. Empty for a JID outside the roster.
    std::vector<CJOVString> groups;
    bool keptResource = false;
    // What the contact is shown as: every resource's status combined.
    Protocols::Status status = Protocols::StatusOffline;
    bool chatStates = false;
    CJOVString composingId;  // the last message whose sender asked for "composing" events
};

class CJabberList {
public:
    typedef std::function<void(JABBER_LIST_ITEM& item)> Edit;

    CJabberList();
    ~CJabberList();
    CJabberList(const CJabberList&) = delete;
    CJabberList& operator=(const CJabberList&) = delete;

    // The item, made when missing; `edit` runs on it under the lock. Answers
    // whether it was made.
    bool ListAdd(int kind, const CJOVString& jid, const Edit& edit = Edit());
    // Runs `edit` on the item under the lock; false when it is not listed.
    bool ListEdit(int kind, const CJOVString& jid, const Edit& edit);
    // 1-based position, or 0.
    int ListFindIndex(int kind, const CJOVString& jid);
    // Copies of an item; false when there is none.
    bool ListGetItem(int kind, const CJOVString& jid, JABBER_LIST_ITEM& copy);
    bool ListGetItem(int position, JABBER_LIST_ITEM& copy);
    // The roster item of a contact of the model.
    bool ListGetItemByContact(unsigned int contactId, JABBER_LIST_ITEM& copy);
    // Copies of every item, in list order.
    std::vector<JABBER_LIST_ITEM> ListItems();
    int ListCount();
    void ListRemove(int kind, const CJOVString& jid);
    void ListClear();
    // A JID without resource: its inline status and text. A full JID: that
    // resource, appended when new (then true).
    bool ListSetResource(int kind, const CJOVString& jid, Protocols::Status status, const CJOVString& statusText,
                         signed char priority);
    void ListRemoveResource(int kind, const CJOVString& fullJid);
    // Where a message goes: the last resource it came from, the one the user
    // chose, or the one of the highest priority; empty without resources.
    CJOVString ListGetBestResource(const CJOVString& jid);

    // By kind, then by JID without case; without resource but for kinds 7
    // and 8 and for items that keep theirs.
    static int CompareListItems(const JABBER_LIST_ITEM& a, const JABBER_LIST_ITEM& b);

private:
    JABBER_LIST_ITEM* Find(int kind, const CJOVString& jid);
    // The JID the item is stored under.
    CJOVString StoredJid(int kind, const CJOVString& jid);
    static std::wstring Key(int kind, const CJOVString& jid);

    CRITICAL_SECTION m_lock;
    std::vector<std::unique_ptr<JABBER_LIST_ITEM>> m_items;
    // By kind and lower-cased JID: a roster of a thousand is looked up often.
    std::map<std::wstring, JABBER_LIST_ITEM*> m_index;
};
