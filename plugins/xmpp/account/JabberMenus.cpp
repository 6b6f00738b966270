// The account's part of the context menus: the program's items its state
// rules out are removed, and the subscription items added. The menus are
// filled on the account's thread; their callbacks run later on the
// user-interface thread and hand the work back to the account's queue.
#include "JabberProtocol.h"

#include "AccountRegistry.h"
#include "EventArgData.h"
#include "JabberImageTable.h"
#include "MenuInfo.h"
#include "PluginModule.h"
#include "ServiceIds.h"
#include "cl/ContactList.h"

namespace {

// How the program calls an item: the id of the menu's subject (here the
// contact) and the item's word (here the account's id).
typedef void (*MenuCallback)(unsigned int subjectId, uintptr_t param);

const wchar_t kRequest[] = L"Request authorization";
const wchar_t kGrant[] = L"Grant authorization";
const wchar_t kRevoke[] = L"Revoke authorization";
const wchar_t kAccept[] = L"Accept";
const wchar_t kDecline[] = L"Decline";
const wchar_t kIgnore[] = L"Ignore";

template <const wchar_t* Name>
void OnMenuContactAction(unsigned int contactId, uintptr_t accountId)
{
    PostToAccount(static_cast<unsigned int>(accountId), GUID_JabberProtocol, Name,
                  new CEventArg_Data<unsigned int>(contactId));
}

CMenuItemInfo Item(int textId, const wchar_t* text, int image, MenuCallback callback, unsigned int accountId)
{
    CMenuItemInfo item(GetPluginText(textId, text), reinterpret_cast<void*>(callback), 0);
    item.images.Append(GetJabberImageId(image));
    item.param = accountId;
    return item;
}

} // namespace

int CJabberProtocol::InitRootMenu(CMenuInfo& menu)
{
    if (m_state.load() >= 2)
        return 1;
    for (int i = menu.Count() - 1; i >= 0; --i) {
        if (menu[i].commandId == 1002 || menu[i].commandId == 1003)
            menu.Remove(i);
    }
    return 1;
}

int CJabberProtocol::InitGroupMenu(unsigned int groupId, CMenuInfo& menu)
{
    bool online = m_state.load() >= 2;
    for (int i = menu.Count() - 1; i >= 0; --i) {
        bool keep = false;
        switch (menu[i].commandId) {
        case 2000:
        case 2001:
            keep = true;
            break;
        case 2002:
        case 2005:
            keep = online || groupId == 0;
            break;
        case 2003:
            keep = online;
            break;
        case 2004:
            keep = online && groupId != 0;
            break;
        default:
            break;
        }
        if (!keep)
            menu.Remove(i);
    }
    return 1;
}

int CJabberProtocol::InitContactMenu(unsigned int contactId, CMenuInfo& menu)
{
    bool online = m_state.load() >= 2;
    // Without the model a contact counts as in the list.
    CL::CContactList* list = ContactList();
    bool inList = !list || list->GetContactGroup(contactId) != 0;
    for (int i = menu.Count() - 1; i >= 0; --i) {
        bool keep = false;
        switch (menu[i].commandId) {
        case 4001:
        case 4003:
        case 4004:
        case 4005:
        case 4007:
            keep = true;
            break;
        case 4008:
        case 4010:
            keep = online || !inList;
            break;
        case 4009:
        case 4011:
            keep = online && inList;
            break;
        default:
            break;
        }
        if (!keep)
            menu.Remove(i);
    }
    if (!online || !list)
        return 1;
    BYTE subscription = 0;
    list->GetByte(contactId, CJOVString(kModelSubscription), &subscription);
    menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
    if (subscription == kSubNone || subscription == kSubFrom)
        menu.Append(Item(27, kRequest, kJabberImageRequest, OnMenuContactAction<kRequest>, m_accountId));
    if (subscription == kSubFrom || subscription == kSubBoth)
        menu.Append(Item(29, kRevoke, kJabberImageRevoke, OnMenuContactAction<kRevoke>, m_accountId));
    else
        menu.Append(Item(28, kGrant, kJabberImageGrant, OnMenuContactAction<kGrant>, m_accountId));
    return 1;
}

int CJabberProtocol::InitMessageWindowMenu(unsigned int contactId, CMenuInfo& menu)
{
    CL::CContactList* list = ContactList();
    CJOVString jid;
    JABBER_LIST_ITEM item;
    if (m_state.load() < 2 || !list || !list->GetString(contactId, CJOVString(kModelAccountName), jid) ||
        !m_list.ListGetItem(kListRoster, jid, item) || !item.authRequest)
        return 1;
    CMenuInfo answers;
    answers.Append(Item(32, kAccept, kJabberImageGrant, OnMenuContactAction<kAccept>, m_accountId));
    answers.Append(Item(33, kDecline, kJabberImageRevoke, OnMenuContactAction<kDecline>, m_accountId));
    answers.Append(Item(34, kIgnore, kJabberImageRequest, OnMenuContactAction<kIgnore>, m_accountId));
    CMenuItemInfo authorization(GetPluginText(31, L"Authorization"), answers);
    authorization.images.Append(GetJabberImageId(kJabberImageRequest));
    menu.Insert(0, authorization);
    return 1;
}

void CJabberProtocol::OnContactAction(const CJOVString& name, unsigned int contactId)
{
    CL::CContactList* list = ContactList();
    CJOVString jid;
    if (!list || !list->GetString(contactId, CJOVString(kModelAccountName), jid))
        return;
    if (name == CJOVString(kRequest)) {
        SendSubscription(jid, "subscribe");
    } else if (name == CJOVString(kGrant)) {
        SendSubscription(jid, "subscribed");
    } else if (name == CJOVString(kRevoke)) {
        SendSubscription(jid, "unsubscribed");
    } else if (name == CJOVString(kAccept) || name == CJOVString(kDecline) || name == CJOVString(kIgnore)) {
        // An answer that cannot go now leaves the question open.
        if (m_state.load() < 2 && name != CJOVString(kIgnore))
            return;
        bool asked = false;
        m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
            asked = item.authRequest;
            item.authRequest = false;
        });
        if (!asked)
            return;
        if (name == CJOVString(kAccept))
            SendSubscription(jid, "subscribed");
        else if (name == CJOVString(kDecline))
            SendSubscription(jid, "unsubscribed");
    }
}
