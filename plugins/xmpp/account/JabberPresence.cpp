// The account's own status: sent as presence while connected, offered as the
// status menu, and taken back when the server refuses Invisible.
#include "JabberProtocol.h"

#include "AccountRegistry.h"
#include "EventArgData.h"
#include "JabberTexts.h"
#include "MenuInfo.h"
#include "PluginModule.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "xml/Jid.h"
#include "xml/XmlBuilder.h"

namespace {

struct PresenceRow {
    Protocols::Status status;
    int presenceClass;
    int xStatus;
};

const PresenceRow kPresenceRows[] = {
    {Protocols::StatusOnline, 2, 0},     {Protocols::StatusInvisible, 3, 0},
    {Protocols::StatusFreeForChat, 5, 0}, {Protocols::StatusEvil, 2, 4},
    {Protocols::StatusDepression, 2, 5}, {Protocols::StatusAtHome, 2, 6},
    {Protocols::StatusAtWork, 2, 7},     {Protocols::StatusLunch, 11, 10},
    {Protocols::StatusAway, 11, 0},      {Protocols::StatusNotAvailable, 12, 0},
    {Protocols::StatusOccupied, 14, 8},  {Protocols::StatusDoNotDisturb, 14, 0},
};

const PresenceRow* RowOf(Protocols::Status status)
{
    if (status == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisible;
    for (const PresenceRow& row : kPresenceRows) {
        if (row.status == status)
            return &row;
    }
    return nullptr;
}

const char* ShowOf(Protocols::Status status)
{
    switch (status) {
    case Protocols::StatusFreeForChat:
        return "chat";
    case Protocols::StatusLunch:
    case Protocols::StatusAway:
        return "away";
    case Protocols::StatusNotAvailable:
        return "xa";
    case Protocols::StatusOccupied:
    case Protocols::StatusDoNotDisturb:
        return "dnd";
    default:
        return nullptr;
    }
}

// How the program calls a status item: the account's id and the item's word.
// On the user-interface thread: the account's own thread does the work.
void OnMenuSetStatus(unsigned int accountId, uintptr_t status)
{
    PostToAccount(accountId, GUID_ProtocolsManager, L"Set status",
                  new CEventArg_Data<Protocols::Status>(static_cast<Protocols::Status>(status)));
}

} // namespace

int CJabberProtocol::PresenceClassOf(Protocols::Status status)
{
    const PresenceRow* row = RowOf(status);
    return row ? row->presenceClass : 2;
}

int CJabberProtocol::XStatusOf(Protocols::Status status)
{
    const PresenceRow* row = RowOf(status);
    return row ? row->xStatus : 0;
}

void CJabberProtocol::ApplyStatus(Protocols::Status status)
{
    if (status == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisible;
    if (m_state.load() < 2)
        return;
    m_state = PresenceClassOf(status);
    m_xStatus = XStatusOf(status);
    SendPresence(status);
    // Conferences get the presence at their own JID.
    for (const JABBER_LIST_ITEM& item : m_list.ListItems()) {
        if (item.kind == kListKeepsResource)
            SendPresence(status, item.jid);
    }
}

void CJabberProtocol::SendPresence(Protocols::Status status, const CJOVString& to, std::unique_ptr<XmlNode> extra)
{
    if (m_state.load() < 2)
        return;
    if (status == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisible;
    XmlNode presence("presence");
    presence.AddChild("priority", "0");
    if (to.GetLength() > 0)
        presence.AddAttribute("to", to);
    if (extra)
        presence.AddChild(std::move(extra));
    presence.AddChild("c")
        ->AddAttribute("xmlns", "http://jabber.org/protocol/caps")
        ->AddAttribute("hash", "sha-1")
        ->AddAttribute("node", kOwnCapsNode)
        ->AddAttribute("ver", OwnCapsVersion().c_str());
    if (status == Protocols::StatusInvisible)
        presence.AddAttribute("type", "invisible");
    else if (const char* show = ShowOf(status))
        presence.AddChild("show", show);
    if (m_xStatus != 0)
        presence.AddChild("x")->AddAttribute("xmlns", "jov:x:status")->AddAttribute("value", m_xStatus);
    SendNode(&presence);
    if (to.GetLength() == 0) {
        // What the server keeps is known when it does not refuse it.
        m_invisiblePending = status == Protocols::StatusInvisible;
        if (!m_invisiblePending)
            m_heldStatus = status;
    }
}

void CJabberProtocol::OnOwnPresenceRefused(XmlNode* node)
{
    if (!m_invisiblePending)
        return;
    const CJOVString* from = GetAttribute(node, "from");
    CJOVString bare = GetBareJid();
    if (from && from->GetLength() > 0 && !JidMatches(bare, *from) && !(*from == JidDomain(bare)))
        return;
    m_invisiblePending = false;
    ShowWarning(JabberText(kTextInvisibleRefused));
    if (!Protocols::IsConnected(m_heldStatus))
        return;  // nothing sent before: the contacts see the account offline, as Invisible would
    m_status = m_heldStatus;
    m_state = PresenceClassOf(m_heldStatus);
    m_xStatus = XStatusOf(m_heldStatus);
    PostStatusChanged();
}

void CJabberProtocol::BuildStatusMenu(CMenuInfo& menu)
{
    static const int kOrder[] = {5, 6, 7, 8, 9, -1, 10, 11, 12, 13, 14, -1, 2, 3, -1, 0};
    const int shown = m_status.load();
    for (int status : kOrder) {
        if (status < 0) {
            menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
            continue;
        }
        Protocols::StatusInfo info;
        GetStatusInfo(static_cast<Protocols::Status>(status), info);
        typedef void (*MenuCallback)(unsigned int, uintptr_t);
        CMenuItemInfo item(info.name, reinterpret_cast<void*>(static_cast<MenuCallback>(OnMenuSetStatus)),
                           status == shown ? 1 : 0);
        item.images = info.images;
        item.param = static_cast<uintptr_t>(status);
        menu.Append(item);
    }
}
