// The roster as the program's contact-list model shows it: the server's answer
// reconciled with what the model kept from the last run, the server's pushes
// applied, and the user's changes of groups and contacts sent back as roster
// sets that keep every group the contact is in.
#include "JabberProtocol.h"

#include <map>
#include <set>
#include <utility>

#include "JabberTexts.h"
#include "cl/ContactList.h"
#include "xml/Jid.h"
#include "xml/XmlBuilder.h"

namespace {

const wchar_t kRosterNs[] = L"jabber:iq:roster";
const wchar_t kDefaultGroup[] = L"General";

std::wstring Lowered(const CJOVString& text)
{
    CJOVString lowered = text;
    lowered.ToLower();
    return std::wstring(lowered.Data() ? lowered.Data() : L"", lowered.GetLength());
}

int SubscriptionOf(const CJOVString* value)
{
    if (!value)
        return kSubNone;
    if (*value == CJOVString(L"both"))
        return kSubBoth;
    if (*value == CJOVString(L"to"))
        return kSubTo;
    if (*value == CJOVString(L"from"))
        return kSubFrom;
    return kSubNone;
}

// A roster item's JID: roster items are bare JIDs.
CJOVString ItemJid(const XmlNode* item)
{
    const CJOVString* jid = GetAttribute(item, "jid");
    if (!jid || jid->GetLength() == 0)
        return CJOVString();
    return JidBare(*jid, jid->GetLength());
}

CJOVString ItemName(const XmlNode* item, const CJOVString& jid)
{
    const CJOVString* name = GetAttribute(item, "name");
    return name && name->GetLength() > 0 ? *name : JidNode(jid);
}

// Every group the item names, once each, in order; "General" for none.
std::vector<CJOVString> ItemGroups(const XmlNode* item)
{
    std::vector<CJOVString> groups;
    for (const auto& child : item->children) {
        const CJOVString* text = child->name == "group" ? GetText(child.get()) : nullptr;
        if (!text || text->GetLength() == 0)
            continue;
        bool seen = false;
        for (const CJOVString& group : groups)
            seen = seen || group == *text;
        if (!seen)
            groups.push_back(*text);
    }
    if (groups.empty())
        groups.push_back(CJOVString(kDefaultGroup));
    return groups;
}

// A server keeps no order of a contact's groups: the one it is shown in stays
// first while it is still among them.
void KeepShownGroupFirst(std::vector<CJOVString>& groups, const CJOVString& shown)
{
    for (size_t i = 1; i < groups.size(); ++i) {
        if (groups[i] == shown) {
            std::swap(groups[0], groups[i]);
            return;
        }
    }
}

CJOVString ModelString(CL::CContactList* list, unsigned int id, const wchar_t* key)
{
    CJOVString value;
    list->GetString(id, CJOVString(key), value);
    return value;
}

} // namespace

void CJabberProtocol::OnCreate()
{
    if (m_created)
        return;
    m_created = true;
    // Only the account's own server may change its roster.
    m_requests.AddHandler(&CJabberProtocol::RosterPushed, nullptr, kIqSet, kFillChild | kFillFrom | kFillId,
                          kRosterNs, L"query", true);
    AddDiscoInfoHandler();
    m_caps.AddOwnNode();
}

unsigned int CJabberProtocol::CreateGroup(const CJOVString& name)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return 0;
    unsigned int id = list->CreateGroup(m_accountId);
    if (id == 0)
        return 0;
    list->SetString(id, CJOVString(kModelAccountName), name);
    list->SetString(id, CJOVString(kModelAlias), name);
    list->NotifyGroupAdded(id);
    return id;
}

unsigned int CJabberProtocol::FindGroupByName(const CJOVString& name)
{
    CL::CContactList* list = ContactList();
    CJOVArray<CL::CLItemInfo> items;
    if (!list || !list->GetItems(m_accountId, &items))
        return 0;
    for (int i = 0; i < items.Count(); ++i) {
        if (items[i].contactId == 0 && ModelString(list, items[i].groupId, kModelAccountName) == name)
            return items[i].groupId;
    }
    return 0;
}

unsigned int CJabberProtocol::CreateContact(const CJOVString& jid, const CJOVString& name, unsigned int groupId,
                                            int subscription)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return 0;
    unsigned int id = list->CreateContact(m_accountId, groupId);
    if (id == 0)
        return 0;
    list->SetString(id, CJOVString(kModelAccountName), jid);
    list->SetString(id, CJOVString(kModelAlias), name);
    BYTE value = static_cast<BYTE>(subscription);
    list->SetByte(id, CJOVString(kModelSubscription), &value);
    list->NotifyContactAdded(id);
    return id;
}

void CJabberProtocol::ApplyRoster(XmlNode* query)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    struct ModelContact {
        unsigned int groupId;
        unsigned int contactId;
        CJOVString jid;
        bool kept;
    };
    std::map<std::wstring, ModelContact> contacts;  // by lower-cased JID
    std::map<CJOVString, unsigned int> groupsByName;
    std::vector<unsigned int> groups;
    CJOVArray<CL::CLItemInfo> items;
    list->GetItems(m_accountId, &items);
    for (int i = 0; i < items.Count(); ++i) {
        const CL::CLItemInfo& item = items[i];
        if (item.contactId == 0) {
            groups.push_back(item.groupId);
            groupsByName.emplace(ModelString(list, item.groupId, kModelAccountName), item.groupId);
        } else {
            CJOVString jid = ModelString(list, item.contactId, kModelAccountName);
            contacts.emplace(Lowered(jid), ModelContact{item.groupId, item.contactId, jid, false});
        }
    }

    std::set<unsigned int> usedGroups;
    std::set<std::wstring> seen;
    list->BeginTransaction();
    for (const auto& child : query->children) {
        XmlNode* node = child.get();
        CJOVString jid = node->name == "item" ? ItemJid(node) : CJOVString();
        // A JID named twice keeps its first item.
        if (jid.GetLength() == 0 || !seen.insert(Lowered(jid)).second)
            continue;
        int subscription = SubscriptionOf(GetAttribute(node, "subscription"));
        CJOVString name = ItemName(node, jid);
        std::vector<CJOVString> itemGroups = ItemGroups(node);
        auto known = contacts.find(Lowered(jid));
        if (known != contacts.end() && known->second.groupId)
            KeepShownGroupFirst(itemGroups, ModelString(list, known->second.groupId, kModelAccountName));

        unsigned int groupId = 0;
        auto group = groupsByName.find(itemGroups[0]);
        if (group != groupsByName.end()) {
            groupId = group->second;
        } else {
            groupId = CreateGroup(itemGroups[0]);
            groupsByName.emplace(itemGroups[0], groupId);
        }
        usedGroups.insert(groupId);

        unsigned int contactId = 0;
        if (known != contacts.end()) {
            ModelContact& contact = known->second;
            contact.kept = true;
            contactId = contact.contactId;
            if (contact.groupId != groupId)
                list->MoveContact(contactId, groupId);
            // A name changed by another client while we were away.
            if (ModelString(list, contactId, kModelAlias) != name) {
                list->SetString(contactId, CJOVString(kModelAlias), name);
                list->NotifyContactChanged(contactId);
            }
        } else {
            contactId = CreateContact(jid, name, groupId, subscription);
        }
        m_list.ListAdd(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            item.subscription = subscription;
            item.name = name;
            item.groups = itemGroups;
            item.contactId = contactId;
        });
        if (known != contacts.end()) {
            BYTE held = 0;
            if (!list->GetByte(contactId, CJOVString(kModelSubscription), &held) || held != subscription) {
                BYTE value = static_cast<BYTE>(subscription);
                list->SetByte(contactId, CJOVString(kModelSubscription), &value);
                PushContactStatus(contactId);
            }
        }
    }
    for (const auto& entry : contacts) {
        const ModelContact& contact = entry.second;
        if (contact.kept)
            continue;
        if (contact.groupId == 0) {
            // Outside the roster: it stays, as it came.
            CJOVString alias = ModelString(list, contact.contactId, kModelAlias);
            m_list.ListAdd(kListRoster, contact.jid, [&](JABBER_LIST_ITEM& item) {
                item.contactId = contact.contactId;
                item.name = alias.GetLength() > 0 ? alias : JidNode(contact.jid);
                item.groups.clear();
            });
        } else {
            list->DeleteContact(contact.contactId);
            m_list.ListRemove(kListRoster, contact.jid);
        }
    }
    for (unsigned int groupId : groups) {
        if (!usedGroups.count(groupId))
            list->DeleteGroup(groupId);
    }
    list->EndTransaction();
}

void CJabberProtocol::RosterPushed(const IqValues& values, XmlNode*, CJabberProtocol* account, void*)
{
    if (values.child)
        account->ApplyRosterPush(values.child);
    // The server is owed an empty result for each push; one without an id
    // could not be matched to it.
    if (values.id.GetLength() > 0) {
        auto result = InitIq("result", &values.id, nullptr);
        account->SendNode(result.get());
    }
}

void CJabberProtocol::ApplyRosterPush(XmlNode* query)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    for (const auto& child : query->children) {
        XmlNode* node = child.get();
        CJOVString jid = node->name == "item" ? ItemJid(node) : CJOVString();
        const CJOVString* subscriptionText = GetAttribute(node, "subscription");
        if (jid.GetLength() == 0 || !subscriptionText)
            continue;
        if (*subscriptionText == CJOVString(L"remove")) {
            JABBER_LIST_ITEM removed;
            if (m_list.ListGetItem(kListRoster, jid, removed)) {
                m_list.ListRemove(kListRoster, jid);
                if (removed.contactId)
                    list->DeleteContact(removed.contactId);
            }
            continue;
        }
        int subscription = SubscriptionOf(subscriptionText);
        CJOVString name = ItemName(node, jid);
        std::vector<CJOVString> itemGroups = ItemGroups(node);
        JABBER_LIST_ITEM before;
        m_list.ListAdd(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            before = item;
            if (!item.groups.empty())
                KeepShownGroupFirst(itemGroups, item.groups[0]);
            item.name = name;
            item.groups = itemGroups;
        });
        unsigned int groupId = FindGroupByName(itemGroups[0]);
        if (groupId == 0)
            groupId = CreateGroup(itemGroups[0]);
        if (before.contactId) {
            bool renamed = before.name != name;
            bool moved = before.groups.empty() || before.groups[0] != itemGroups[0];
            if (renamed)
                list->SetString(before.contactId, CJOVString(kModelAlias), name);
            if (moved)
                list->MoveContact(before.contactId, groupId);
            if (renamed && !moved)
                list->NotifyContactChanged(before.contactId);
        } else {
            unsigned int contactId = CreateContact(jid, name, groupId, subscription);
            m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
                item.contactId = contactId;
                item.subscription = subscription;
            });
        }
        SetSubscriptionOf(jid, subscription);
    }
}

void CJabberProtocol::SetSubscriptionOf(const CJOVString& jid, int subscription)
{
    bool changed = false;
    unsigned int contactId = 0;
    m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
        changed = item.subscription != subscription;
        item.subscription = subscription;
        contactId = item.contactId;
    });
    CL::CContactList* list = ContactList();
    if (!changed || !contactId || !list)
        return;
    BYTE value = static_cast<BYTE>(subscription);
    list->SetByte(contactId, CJOVString(kModelSubscription), &value);
    PushContactStatus(contactId);
}

void CJabberProtocol::RosterSetItem(const CJOVString& jid, const CJOVString& name,
                                    const std::vector<CJOVString>& groups, const RosterUndo& undo)
{
    // With an id, so that the server may answer (and one that refuses an
    // iq without one accepts it); the subscription is the server's to say.
    int number = NextStanzaNumber();
    auto iq = InitIq("set", number);
    XmlNode* item = iq->AddQuery("jabber:iq:roster")->AddChild("item")->AddAttribute("jid", jid);
    if (name.GetLength() > 0)
        item->AddAttribute("name", name);
    for (const CJOVString& group : groups)
        item->AddChild("group", group);
    m_rosterUndo[number] = undo;
    // Told of its expiry too, so that an answer that never comes keeps nothing.
    m_iqCallbacks.Add(number, 0, &CJabberProtocol::RosterSetAnswered, 0, 0, 0, CJOVString(), true);
    SendNode(iq.get());
}

void CJabberProtocol::RosterSetAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry)
{
    auto found = account->m_rosterUndo.find(entry.number);
    if (found == account->m_rosterUndo.end())
        return;
    RosterUndo undo = found->second;
    account->m_rosterUndo.erase(found);
    if (!iq || AttributeIs(iq, "type", L"result"))
        return;
    CJOVString what = undo.groupId ? undo.groupName : undo.name.GetLength() > 0 ? undo.name : undo.jid;
    account->ShowWarning(JabberTextNaming(kTextRosterChangeRefused, what) +
                         DescribeXmppError(GetChild(iq, "error")));
    account->UndoRosterChange(undo);
}

void CJabberProtocol::UndoRosterChange(const RosterUndo& undo)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    if (undo.groupId && ModelString(list, undo.groupId, kModelAccountName) == undo.newGroupName) {
        list->SetString(undo.groupId, CJOVString(kModelAccountName), undo.groupName);
        list->SetString(undo.groupId, CJOVString(kModelAlias), undo.groupName);
        list->NotifyGroupChanged(undo.groupId);
    }
    JABBER_LIST_ITEM item;
    if (!m_list.ListEdit(kListRoster, undo.jid, [&](JABBER_LIST_ITEM& edited) {
            edited.name = undo.name;
            edited.groups = undo.groups;
            item = edited;
        }) ||
        !item.contactId)
        return;
    if (ModelString(list, item.contactId, kModelAlias) != undo.name) {
        list->SetString(item.contactId, CJOVString(kModelAlias), undo.name);
        list->NotifyContactChanged(item.contactId);
    }
    if (undo.groups.empty())
        return;
    unsigned int groupId = FindGroupByName(undo.groups[0]);
    if (groupId == 0)
        groupId = CreateGroup(undo.groups[0]);
    if (groupId && list->GetContactGroup(item.contactId) != groupId)
        list->MoveContact(item.contactId, groupId);
}

void CJabberProtocol::RenameContact(unsigned int contactId, const CJOVString& name)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    CJOVString jid = ModelString(list, contactId, kModelAccountName);
    JABBER_LIST_ITEM before;
    if (jid.GetLength() == 0 ||
        !m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            before = item;
            item.name = name;
        }))
        return;
    list->SetString(contactId, CJOVString(kModelAlias), name);
    list->NotifyContactChanged(contactId);
    RosterUndo undo;
    undo.jid = before.jid;
    undo.name = before.name;
    undo.groups = before.groups;
    RosterSetItem(before.jid, name, before.groups, undo);
}

void CJabberProtocol::MoveContact(unsigned int contactId, unsigned int groupId)
{
    CL::CContactList* list = ContactList();
    if (!list || groupId == 0)
        return;
    CJOVString jid = ModelString(list, contactId, kModelAccountName);
    CJOVString group = ModelString(list, groupId, kModelAccountName);
    if (jid.GetLength() == 0 || group.GetLength() == 0)
        return;
    // The group it is shown in gives way to the new one; the others stay.
    JABBER_LIST_ITEM before;
    std::vector<CJOVString> groups{group};
    if (!m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            before = item;
            for (size_t i = 1; i < item.groups.size(); ++i) {
                if (item.groups[i] != group)
                    groups.push_back(item.groups[i]);
            }
            item.groups = groups;
        }))
        return;
    list->MoveContact(contactId, groupId);
    RosterUndo undo;
    undo.jid = before.jid;
    undo.name = before.name;
    undo.groups = before.groups;
    RosterSetItem(before.jid, before.name, groups, undo);
}

void CJabberProtocol::RosterRemoveItem(const CJOVString& jid)
{
    if (m_list.ListFindIndex(kListRoster, jid) == 0)
        return;
    auto iq = InitIq("set", NextStanzaNumber());
    iq->AddQuery("jabber:iq:roster")->AddChild("item")->AddAttribute("jid", jid)->AddAttribute("subscription",
                                                                                                "remove");
    SendNode(iq.get());
    m_list.ListRemove(kListRoster, jid);
}

void CJabberProtocol::DeleteContact(unsigned int contactId)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    CJOVString jid = ModelString(list, contactId, kModelAccountName);
    if (jid.GetLength() > 0)
        RosterRemoveItem(jid);
    list->DeleteContact(contactId);
}

void CJabberProtocol::RenameGroup(unsigned int groupId, const CJOVString& name)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    CJOVString old = ModelString(list, groupId, kModelAccountName);
    list->SetString(groupId, CJOVString(kModelAccountName), name);
    list->SetString(groupId, CJOVString(kModelAlias), name);
    list->NotifyGroupChanged(groupId);
    if (old.GetLength() == 0 || old == name)
        return;
    // A group lives on the server only in its contacts: each takes the new name.
    for (const JABBER_LIST_ITEM& item : m_list.ListItems()) {
        if (item.kind != kListRoster)
            continue;
        std::vector<CJOVString> groups = item.groups;
        bool named = false;
        for (CJOVString& each : groups) {
            if (each == old) {
                each = name;
                named = true;
            }
        }
        if (!named)
            continue;
        m_list.ListEdit(kListRoster, item.jid, [&](JABBER_LIST_ITEM& edited) { edited.groups = groups; });
        RosterUndo undo;
        undo.jid = item.jid;
        undo.name = item.name;
        undo.groups = item.groups;
        undo.groupId = groupId;
        undo.groupName = old;
        undo.newGroupName = name;
        RosterSetItem(item.jid, item.name, groups, undo);
    }
}

void CJabberProtocol::DeleteGroup(const unsigned int* groupId)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    if (!groupId) {
        // The contacts outside the roster.
        for (const JABBER_LIST_ITEM& item : m_list.ListItems()) {
            if (item.kind == kListRoster && item.contactId && item.groups.empty()) {
                list->DeleteContact(item.contactId);
                m_list.ListRemove(kListRoster, item.jid);
            }
        }
        return;
    }
    CJOVString name = ModelString(list, *groupId, kModelAccountName);
    for (const JABBER_LIST_ITEM& item : m_list.ListItems()) {
        if (item.kind != kListRoster || item.groups.empty())
            continue;
        std::vector<CJOVString> rest;
        for (const CJOVString& group : item.groups) {
            if (group != name)
                rest.push_back(group);
        }
        if (rest.size() == item.groups.size())
            continue;
        if (rest.empty()) {
            RosterRemoveItem(item.jid);
            continue;
        }
        // A contact of other groups too only leaves this one, and is shown
        // in the next.
        m_list.ListEdit(kListRoster, item.jid, [&](JABBER_LIST_ITEM& edited) { edited.groups = rest; });
        if (item.contactId && item.groups[0] == name) {
            unsigned int next = FindGroupByName(rest[0]);
            if (next == 0)
                next = CreateGroup(rest[0]);
            if (next)
                list->MoveContact(item.contactId, next);
        }
        RosterUndo undo;
        undo.jid = item.jid;
        undo.name = item.name;
        undo.groups = item.groups;
        RosterSetItem(item.jid, item.name, rest, undo);
    }
    list->DeleteGroup(*groupId);
}
