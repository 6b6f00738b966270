// The contacts' presence: each resource's status, x-status and capabilities,
// the status a contact is shown with, and the subscription requests and
// answers that reach the account.
#include "JabberProtocol.h"

#include <cwchar>
#include <string>

#include "JabberImageTable.h"
#include "JabberStatusTable.h"
#include "PluginModule.h"
#include "cl/ContactList.h"
#include "xml/Jid.h"

namespace {

const wchar_t kCapsNs[] = L"http://jabber.org/protocol/caps";
const wchar_t kXStatusNs[] = L"jov:x:status";

Protocols::Status StatusOfShow(const CJOVString* show)
{
    if (!show || show->GetLength() == 0)
        return Protocols::StatusOnline;
    if (*show == CJOVString(L"away"))
        return Protocols::StatusAway;
    if (*show == CJOVString(L"xa"))
        return Protocols::StatusNotAvailable;
    if (*show == CJOVString(L"dnd"))
        return Protocols::StatusDoNotDisturb;
    if (*show == CJOVString(L"chat"))
        return Protocols::StatusFreeForChat;
    return Protocols::StatusOnline;
}

// The status an extended-status value stands for; Offline for none.
Protocols::Status StatusOfXStatus(long value)
{
    switch (value) {
    case 4:
        return Protocols::StatusEvil;
    case 5:
        return Protocols::StatusDepression;
    case 6:
        return Protocols::StatusAtHome;
    case 7:
        return Protocols::StatusAtWork;
    case 8:
        return Protocols::StatusOccupied;
    case 10:
        return Protocols::StatusLunch;
    default:
        return Protocols::StatusOffline;
    }
}

// A decimal number; 0 for none. The text's units need not end in a NUL.
long NumberOf(const CJOVString* text)
{
    if (!text || text->GetLength() == 0)
        return 0;
    std::wstring digits(text->Data(), static_cast<size_t>(text->GetLength()));
    return std::wcstol(digits.c_str(), nullptr, 10);
}

// Priorities run from -128 to 127; a larger number is taken as the end of it.
signed char PriorityOf(const CJOVString* text)
{
    long value = NumberOf(text);
    if (value > 127)
        value = 127;
    if (value < -128)
        value = -128;
    return static_cast<signed char>(value);
}

// Of two statuses, the one a contact is better shown with.
Protocols::Status Combine(Protocols::Status a, Protocols::Status b)
{
    static const int kPreference[] = {5, 2, 6, 7, 8, 9, 14, 13, 11, 10, 12, 3};
    for (int status : kPreference) {
        if (a == status || b == status)
            return static_cast<Protocols::Status>(status);
    }
    return a != Protocols::StatusOffline ? a : b;
}

CJOVString ResourceOf(const CJOVString& jid)
{
    int slash = -1;
    for (int i = 0; i < jid.GetLength() && slash < 0; ++i) {
        if (jid.Data()[i] == L'/')
            slash = i;
    }
    return slash < 0 ? CJOVString() : jid.Substring(slash + 1, jid.GetLength() - slash - 1);
}

JabberResourceStatus* FindResource(JABBER_LIST_ITEM& item, const CJOVString& name)
{
    for (JabberResourceStatus& resource : item.resources) {
        if (resource.name == name)
            return &resource;
    }
    return nullptr;
}

CJOVArray<unsigned int> Image(int position)
{
    CJOVArray<unsigned int> images;
    images.Append(GetJabberImageId(position));
    return images;
}

} // namespace

void CJabberProtocol::OnPresenceStanza(XmlNode* node)
{
    const CJOVString* type = GetAttribute(node, "type");
    if (type && *type == CJOVString(L"error")) {
        OnOwnPresenceRefused(node);
        return;
    }
    const CJOVString* from = GetAttribute(node, "from");
    const CJOVString* to = GetAttribute(node, "to");
    if (!from || from->GetLength() == 0 || (to && *to == *from) || !ContactList())
        return;
    const CJOVString* reason = GetText(GetChild(node, "status"));
    if (!type || *type == CJOVString(L"available"))
        OnContactAvailable(node, *from);
    else if (*type == CJOVString(L"unavailable"))
        OnContactUnavailable(node, *from);
    else if (*type == CJOVString(L"subscribe"))
        OnSubscribeRequest(*from, reason ? *reason : CJOVString());
    else if (*type == CJOVString(L"subscribed"))
        OnSubscribed(*from);
}

void CJabberProtocol::OnContactAvailable(XmlNode* node, const CJOVString& from)
{
    if (m_list.ListFindIndex(kListRoster, from) == 0)
        return;
    const CJOVString* statusText = GetText(GetChild(node, "status"));
    m_list.ListSetResource(kListRoster, from, StatusOfShow(GetText(GetChild(node, "show"))),
                           statusText ? *statusText : CJOVString(), PriorityOf(GetText(GetChild(node, "priority"))));
    CJOVString resourceName = ResourceOf(from);
    Protocols::Status xStatus = Protocols::StatusOffline;
    for (const auto& child : node->children) {
        const CJOVString* value = GetAttribute(child.get(), "value");
        if (child->name == "x" && AttributeIs(child.get(), "xmlns", kXStatusNs) && value) {
            Protocols::Status shown = StatusOfXStatus(NumberOf(value));
            if (shown != Protocols::StatusOffline)
                xStatus = shown;
        }
    }
    XmlNode* caps = GetChildWithAttribute(node, "c", "xmlns", kCapsNs);
    if (resourceName.GetLength() > 0) {
        CJOVString capsNode, capsVersion, capsExt;
        if (const CJOVString* value = GetAttribute(caps, "node"))
            capsNode = *value;
        if (const CJOVString* value = GetAttribute(caps, "ver"))
            capsVersion = *value;
        if (const CJOVString* value = GetAttribute(caps, "ext"))
            capsExt = *value;
        uint64_t announced = m_caps.FeaturesOf(capsNode, capsVersion, capsExt);
        m_list.ListEdit(kListRoster, from, [&](JABBER_LIST_ITEM& item) {
            JabberResourceStatus* resource = FindResource(item, resourceName);
            if (!resource)
                return;
            if (xStatus != Protocols::StatusOffline)
                resource->status = xStatus;
            resource->capsNode = capsNode;
            resource->capsVersion = capsVersion;
            resource->capsExt = capsExt;
            // What its messages taught stays.
            const uint64_t learned = FeatureMask(kFeatureChatStates) | FeatureMask(kFeatureReceipts);
            resource->features = (resource->features & learned) | announced;
        });
    }
    UpdateContactStatus(from);
}

void CJabberProtocol::OnContactUnavailable(XmlNode* node, const CJOVString& from)
{
    if (m_list.ListFindIndex(kListRoster, from) == 0)
        return;
    m_list.ListRemoveResource(kListRoster, from);
    const CJOVString* statusText = GetText(GetChild(node, "status"));
    m_list.ListEdit(kListRoster, from, [&](JABBER_LIST_ITEM& item) {
        if (item.resources.empty()) {
            item.inlineStatus = Protocols::StatusOffline;
            item.inlineStatusText = statusText ? *statusText : CJOVString();
        }
    });
    UpdateContactStatus(from);
}

void CJabberProtocol::OnSubscribeRequest(const CJOVString& jid, const CJOVString& reason)
{
    // Whoever asks, a server or gateway too, the user decides.
    CJOVString bare = JidBare(jid, jid.GetLength());
    if (bare.GetLength() == 0 || !ContactList())
        return;
    CJOVString text = GetPluginText(30, L"Authorization request: ") + reason;
    DeliverMessage(bare, 0, static_cast<int>(GetJabberImageId(kJabberImageRequest)), text, CJOVString());
    m_list.ListEdit(kListRoster, bare, [](JABBER_LIST_ITEM& item) { item.authRequest = true; });
}

void CJabberProtocol::OnSubscribed(const CJOVString& jid)
{
    JABBER_LIST_ITEM item;
    if (!m_list.ListGetItem(kListRoster, jid, item))
        return;
    int subscription = item.subscription == kSubFrom ? kSubBoth
                       : item.subscription == kSubNone ? kSubTo
                                                      : item.subscription;
    SetSubscriptionOf(jid, subscription);
}

void CJabberProtocol::UpdateContactStatus(const CJOVString& jid)
{
    bool bare = ResourceOf(jid).GetLength() == 0;
    unsigned int contactId = 0;
    if (!m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            Protocols::Status status =
                item.resources.empty() && bare ? item.inlineStatus : Protocols::StatusOffline;
            for (const JabberResourceStatus& resource : item.resources)
                status = Combine(status, resource.status);
            item.status = status;
            contactId = item.contactId;
        }))
        return;
    if (contactId)
        PushContactStatus(contactId);
}

void CJabberProtocol::PushContactStatus(unsigned int contactId)
{
    CL::CContactList* list = ContactList();
    if (!list || contactId == 0)
        return;
    Protocols::ContactStatusInfo info;
    GetContactStatusInfo(contactId, info);
    list->SetContactStatus(contactId, &info);
}

void CJabberProtocol::GetContactStatusInfo(unsigned int contactId, Protocols::ContactStatusInfo& info)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    LoadJabberImages(GetPluginSkinManager());
    info.status = Protocols::StatusOffline;
    info.statusImages.RemoveAll();
    info.extraImages.RemoveAll();
    CJOVString jid;
    list->GetString(contactId, CJOVString(kModelAccountName), jid);
    bool inGroup = list->GetContactGroup(contactId) != 0;
    JABBER_LIST_ITEM item;
    bool listed = jid.GetLength() > 0 && m_list.ListGetItem(kListRoster, jid, item);
    if (listed && inGroup) {
        info.status = item.status;
        Protocols::StatusInfo row;
        if (FindJabberStatusInfo(GetPluginSkinManager(), item.status, row) && row.images.Count() > 0)
            info.statusImages.Append(row.images);
    } else {
        info.statusImages.Append(Image(listed || !inGroup ? kJabberImageNotInList : kJabberImageOffline));
    }
    // Someone who does not share the presence is marked.
    BYTE subscription = 0;
    list->GetByte(contactId, CJOVString(kModelSubscription), &subscription);
    if (subscription != kSubBoth && subscription != kSubTo)
        info.extraImages.Append(Image(kJabberImageNeedAuth));
}

void CJabberProtocol::SetContactsOffline()
{
    CL::CContactList* list = ContactList();
    std::vector<unsigned int> changed;
    for (const JABBER_LIST_ITEM& item : m_list.ListItems()) {
        if (item.resources.empty() && item.inlineStatus == Protocols::StatusOffline &&
            item.status == Protocols::StatusOffline)
            continue;
        m_list.ListEdit(item.kind, item.jid, [](JABBER_LIST_ITEM& edited) {
            edited.resources.clear();
            edited.lastResource = -1;
            edited.manualResource = -1;
            edited.resourceMode = 1;
            edited.inlineStatus = Protocols::StatusOffline;
            edited.status = Protocols::StatusOffline;
        });
        if (item.contactId)
            changed.push_back(item.contactId);
    }
    if (!list || changed.empty())
        return;
    list->BeginTransaction();
    for (unsigned int contactId : changed)
        PushContactStatus(contactId);
    list->EndTransaction();
}

void CJabberProtocol::SendSubscription(const CJOVString& jid, const char* type)
{
    if (m_state.load() < 2 || jid.GetLength() == 0)
        return;
    XmlNode presence("presence");
    presence.AddAttribute("type", type)->AddAttribute("to", jid);
    SendNode(&presence);
}
