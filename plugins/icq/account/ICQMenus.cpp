// The account's part of the context menus and its status menu. The menus are
// filled on the account's thread; their callbacks run later on the
// user-interface thread and hand the work back to the account as events.
// An item keeps its account's id, never its address: the account may be
// deleted while the menu is open, so a callback looks it up first.
#include "ICQProtocol.h"

#include "AccountRegistry.h"
#include "ICQSettingKeys.h"
#include "EventArgData.h"
#include "MenuInfo.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "cl/ContactList.h"
#include "dialogs/DialogActions.h"
#include "packets/CLI_SSI_AUTHxREPLY.h"
#include "packets/ClientIdentification.h"
#include "packets/ImageTable.h"
#include "PluginModule.h"
#include "packets/StatusTable.h"
#include "packets/XStatusTable.h"

namespace {

// How the program calls an item's callback: the id of the menu's subject
// (contact, group, or account for the status menu) and the item's data word.
typedef void (*MenuCallback)(unsigned int subjectId, uintptr_t param);

void PostToAccount(unsigned int accountId, const wchar_t* name, CEventArg* arg)
{
    CICQProtocol* account = FindAccount(accountId);
    Services::CServicesManager* services = GetPluginServices();
    if (!account || !services) {
        DiscardArg(arg);
        return;
    }
    services->SendEventToClient(account->GetClientId(), name == nullptr ? GUID_ProtocolsManager : GUID_ICQProtocol,
                                CJOVString(name ? name : L"Set status"), arg, nullptr, false);
}

void OnMenuUpdateContactList(unsigned int, uintptr_t accountId)
{
    PostToAccount(static_cast<unsigned int>(accountId), L"Update contact list", nullptr);
}

// A contact item: the contact id goes to the account's thread under the
// item's own name.
template <const wchar_t* Name>
void OnMenuContactAction(unsigned int contactId, uintptr_t accountId)
{
    PostToAccount(static_cast<unsigned int>(accountId), Name, new CEventArg_Data<unsigned int>(contactId));
}

const wchar_t kAddVisible[] = L"Add to visible list";
const wchar_t kRemoveVisible[] = L"Remove from visible list";
const wchar_t kAddInvisible[] = L"Add to invisible list";
const wchar_t kRemoveInvisible[] = L"Remove from invisible list";
const wchar_t kAddIgnore[] = L"Add to ignore list";
const wchar_t kRemoveIgnore[] = L"Remove from ignore list";
const wchar_t kRequestXStatus[] = L"Request x-status";
const wchar_t kAccept[] = L"Accept";
const wchar_t kDecline[] = L"Decline";
const wchar_t kIgnore[] = L"Ignore";

// The same path as a status chosen anywhere else in the program.
void OnMenuSetStatus(unsigned int accountId, uintptr_t status)
{
    PostToAccount(accountId, nullptr, new CEventArg_Data<Protocols::Status>(static_cast<Protocols::Status>(status)));
}

void OnMenuSetPrivacy(unsigned int accountId, uintptr_t mode)
{
    PostToAccount(accountId, L"Set privacy mode", new CEventArg_Data<unsigned int>(static_cast<unsigned int>(mode & 0xFF)));
}

CMenuItemInfo Item(int textId, const wchar_t* text, int image, MenuCallback callback, uintptr_t param)
{
    CMenuItemInfo item(GetPluginText(textId, text), reinterpret_cast<void*>(callback), 0);
    item.images.Append(GetImageId(image));
    item.param = param;
    return item;
}

int FindItem(const CMenuInfo& menu, unsigned int commandId)
{
    for (int i = menu.Count() - 1; i >= 0; --i) {
        if (menu[i].commandId == commandId)
            return i;
    }
    return -1;
}

bool HasXStatus(const XStatusTable& table, const RosterItem* buddy)
{
    if (!buddy || buddy->status < Protocols::StatusOnline)
        return false;
    const CTLV* capabilities = buddy->onlineData.GetTLV(0x000D);
    if (!capabilities || !capabilities->GetData())
        return false;
    return FindXStatusByCapability(table, capabilities->GetData(), capabilities->GetDataLength() / 16) > 0;
}

} // namespace

int CICQProtocol::InitRootMenu(CMenuInfo& menu)
{
    uintptr_t accountId = GetAccountId();
    if (GetStatus() >= Protocols::StatusOnline) {
        int at = FindItem(menu, 1004);
        if (at < 0)
            return 1;
        if (!ReadByte(ICQ_KEY_LOAD_CL, 1))
            menu.Insert(++at, Item(0, L"Update contact list", 35, OnMenuUpdateContactList, accountId));
        menu.Insert(++at, Item(43, L"Add contact", 36, OnMenuAddContact, accountId));
    } else {
        for (int i = menu.Count() - 1; i >= 0; --i) {
            if (menu[i].commandId == 1002 || menu[i].commandId == 1003)
                menu.Remove(i);
        }
    }
    return 1;
}

int CICQProtocol::InitGroupMenu(unsigned int groupId, CMenuInfo& menu)
{
    bool online = GetStatus() >= Protocols::StatusOnline;
    bool addContact = false;
    for (int i = menu.Count() - 1; i >= 0; --i) {
        bool keep = false;
        switch (menu[i].commandId) {
        case 2000:
        case 2001:
            keep = true;
            break;
        case 2002:
            keep = online || groupId == 0;
            break;
        case 2003:
            keep = online;
            break;
        case 2004:
            keep = online && groupId != 0;
            break;
        case 2005:
            keep = online || groupId == 0;
            addContact = keep;
            break;
        default:
            break;
        }
        if (!keep)
            menu.Remove(i);
    }
    if (addContact) {
        menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
        // The account's id rides along: the "Not in list" group (id 0) names no account.
        menu.Append(Item(43, L"Add contact", 36, OnMenuAddContactToGroup, m_accountId));
    }
    return 1;
}

int CICQProtocol::InitContactMenu(unsigned int contactId, CMenuInfo& menu)
{
    uintptr_t accountId = GetAccountId();
    bool online = GetStatus() >= Protocols::StatusOnline;
    const RosterItem* item = FindContactById(contactId);
    // Without the model a contact counts as in the list.
    CL::CContactList* list = ContactList();
    bool inList = !list || list->GetContactGroup(contactId) != 0;
    for (int i = menu.Count() - 1; i >= 0; --i) {
        switch (menu[i].commandId) {
        case 4001:
            if (HasXStatus(m_xStatuses, item))
                menu.Insert(i + 1, Item(31, L"Request x-status", 37, OnMenuContactAction<kRequestXStatus>, accountId));
            break;
        case 4003:
        case 4004:
        case 4005:
        case 4007:
            break;
        case 4008:
            if (!(online || !inList))
                menu.Remove(i);
            break;
        case 4009:
        case 4011:
            if (!(online && inList))
                menu.Remove(i);
            break;
        case 4010:
            if (!(online || !inList))
                menu.Remove(i);
            else if (online && !inList)
                menu.Insert(i, Item(44, L"Add to contact list", 36, OnMenuAddToContactList, accountId));
            break;
        default:
            menu.Remove(i);
            break;
        }
    }
    if (!online)
        return 1;
    if (item && item->tlvs.GetTLV(0x0066))
        menu.Insert(1, Item(32, L"Authorization request", 33, OnMenuAuthorizationRequest, accountId));
    if (item) {
        bool visible = InList(*item, kRosterVisible);
        bool invisible = InList(*item, kRosterInvisible);
        bool ignored = InList(*item, kRosterIgnore);
        menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
        menu.Append(visible ? Item(23, kRemoveVisible, 30, OnMenuContactAction<kRemoveVisible>, accountId)
                            : Item(22, kAddVisible, 30, OnMenuContactAction<kAddVisible>, accountId));
        menu.Append(invisible ? Item(25, kRemoveInvisible, 31, OnMenuContactAction<kRemoveInvisible>, accountId)
                              : Item(24, kAddInvisible, 31, OnMenuContactAction<kAddInvisible>, accountId));
        menu.Append(ignored ? Item(27, kRemoveIgnore, 32, OnMenuContactAction<kRemoveIgnore>, accountId)
                            : Item(26, kAddIgnore, 32, OnMenuContactAction<kAddIgnore>, accountId));
    }
    return 1;
}

int CICQProtocol::InitMessageWindowMenu(unsigned int contactId, CMenuInfo& menu)
{
    const RosterItem* item = FindContactById(contactId);
    if (GetStatus() < Protocols::StatusOnline || !ContactList() || !item)
        return 1;
    uintptr_t accountId = GetAccountId();
    if (item->authorizationAsked) {
        CMenuInfo answers;
        answers.Append(Item(40, kAccept, 33, OnMenuContactAction<kAccept>, accountId));
        answers.Append(Item(41, kDecline, 33, OnMenuContactAction<kDecline>, accountId));
        answers.Append(Item(42, kIgnore, 33, OnMenuContactAction<kIgnore>, accountId));
        CMenuItemInfo authorization(GetPluginText(39, L"Authorization"), answers);
        authorization.images.Append(GetImageId(33));
        menu.Insert(0, authorization);
    }
    if (HasXStatus(m_xStatuses, item))
        menu.Append(Item(31, kRequestXStatus, 37, OnMenuContactAction<kRequestXStatus>, accountId));
    return 1;
}

void CICQProtocol::OnContactAction(const CJOVString& name, unsigned int contactId)
{
    static const struct {
        const wchar_t* name;
        unsigned short list;
        bool add;
    } kLists[] = {{kAddVisible, kRosterVisible, true},     {kRemoveVisible, kRosterVisible, false},
                  {kAddInvisible, kRosterInvisible, true}, {kRemoveInvisible, kRosterInvisible, false},
                  {kAddIgnore, kRosterIgnore, true},       {kRemoveIgnore, kRosterIgnore, false}};
    for (const auto& entry : kLists) {
        if (name == CJOVString(entry.name)) {
            if (entry.add)
                AddToPrivacyList(contactId, entry.list);
            else
                RemoveFromPrivacyList(contactId, entry.list);
            return;
        }
    }
    RosterItem* item = FindContactById(contactId);
    if (!item)
        return;
    if (name == CJOVString(kRequestXStatus)) {
        RequestXStatus(*item);
    } else if (name == CJOVString(kAccept) || name == CJOVString(kDecline) || name == CJOVString(kIgnore)) {
        if (!item->authorizationAsked || GetStatus() < Protocols::StatusOnline)
            return;
        item->authorizationAsked = false;
        if (name == CJOVString(kIgnore))
            return;
        bool accept = name == CJOVString(kAccept);
        CJOVString uin = item->name;
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SSI_AUTHxREPLY reply(sequence, NextRequestId(), uin, accept);
            return reply.Pack(buffer, size);
        });
    }
}

void CICQProtocol::BuildStatusMenu(CMenuInfo& menu)
{
    BuildStatusTable(GetPluginSkinManager());
    static const int kOrder[] = {5, 6, 7, 8, 9, -1, 10, 11, 12, 13, 14, -1, 2, 3, 4, -1, 0, -1};
    for (int status : kOrder) {
        if (status < 0) {
            menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
            continue;
        }
        Protocols::StatusInfo info;
        GetStatusInfo(static_cast<Protocols::Status>(status), info);
        CMenuItemInfo item(info.name, reinterpret_cast<void*>(static_cast<MenuCallback>(OnMenuSetStatus)),
                           status == m_wantedStatus ? 1 : 0);
        item.images = info.images;
        item.param = static_cast<uintptr_t>(status);
        menu.Append(item);
    }
    static const struct {
        int mode;
        int text;
        const wchar_t* caption;
        int image;
    } kModes[] = {{1, 17, L"Visible for all", 22},
                  {3, 18, L"Visible only for visible list", 23},
                  {4, 19, L"Visible for all except invisible list", 24},
                  {5, 20, L"Visible only for contact list", 25},
                  {2, 21, L"Invisible for all", 26}};
    CMenuInfo privacy;
    int modeImage = 0;
    for (const auto& mode : kModes) {
        CMenuItemInfo item = Item(mode.text, mode.caption, mode.image, OnMenuSetPrivacy, static_cast<uintptr_t>(mode.mode));
        item.checked = mode.mode == m_privacyMode ? 1 : 0;
        if (mode.mode == m_privacyMode)
            modeImage = mode.image;
        privacy.Append(item);
    }
    CMenuItemInfo privacyItem(GetPluginText(16, L"Privacy status"), privacy);
    privacyItem.images.Append(GetImageId(modeImage));
    menu.Append(privacyItem);
    menu.Append(Item(28, L"X status", 37 + m_xStatusIndex, OnMenuXStatuses, 0));
}
