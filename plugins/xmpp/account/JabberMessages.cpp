// Messages: what arrives becomes a "Message received" of the contact-list
// model (with its subject, link, armoured text or special text), the receipt
// and "delivered" event its sender asked for are answered once the model has
// it, and what the user writes goes out with the chat state and events the
// contact's client understands. A message that cannot go, or comes back as an
// error, is told to the user.
#include "JabberProtocol.h"

#include <ctime>

#include "JabberTexts.h"
#include "cl/ContactList.h"
#include "xml/Jid.h"
#include "xml/XmlBuilder.h"

namespace {

const wchar_t kChatStatesNs[] = L"http://jabber.org/protocol/chatstates";
const wchar_t kReceiptsNs[] = L"urn:xmpp:receipts";
const wchar_t kEventNs[] = L"jabber:x:event";
const wchar_t kAddressNs[] = L"http://jabber.org/protocol/address";
const wchar_t kMucUserNs[] = L"http://jabber.org/protocol/muc#user";

// How many sent messages are remembered for the errors that may come back.
const size_t kSentRemembered = 256;

CJOVString TextOf(const XmlNode* node)
{
    const CJOVString* text = GetText(node);
    return text ? *text : CJOVString();
}

CJOVString ResourceOf(const CJOVString& jid)
{
    for (int i = 0; i < jid.GetLength(); ++i) {
        if (jid.Data()[i] == L'/')
            return jid.Substring(i + 1, jid.GetLength() - i - 1);
    }
    return CJOVString();
}

const CJOVString kCrLf(L"\r\n");

// N of "jov_N"; -1 for anything else.
int NumberOfId(const CJOVString& id)
{
    if (id.GetLength() < 5 || id.Substring(0, 4) != CJOVString(L"jov_"))
        return -1;
    int number = 0;
    for (int i = 4; i < id.GetLength(); ++i) {
        wchar_t c = id.Data()[i];
        if (c < L'0' || c > L'9' || number > 100000000)
            return -1;
        number = number * 10 + (c - L'0');
    }
    return number;
}

} // namespace

CJOVString CJabberProtocol::NormaliseLineBreaks(const CJOVString& text)
{
    std::wstring out;
    out.reserve(static_cast<size_t>(text.GetLength()) + 8);
    const wchar_t* units = text.Data();
    for (int i = 0; i < text.GetLength(); ++i) {
        if (units[i] == L'\r') {
            out += L"\r\n";
            if (i + 1 < text.GetLength() && units[i + 1] == L'\n')
                ++i;
        } else if (units[i] == L'\n') {
            out += L"\r\n";
        } else {
            out += units[i];
        }
    }
    // XML carries no NUL, so the text ends where the string does.
    return CJOVString(out.c_str());
}

bool CJabberProtocol::IsOwnServer(const CJOVString& jid)
{
    CJOVString domain = JidDomain(GetBareJid());
    CJOVString lowered = jid;
    lowered.ToLower();
    domain.ToLower();
    return domain.GetLength() > 0 && lowered == domain;
}

CJOVString CJabberProtocol::NameOf(const CJOVString& jid)
{
    JABBER_LIST_ITEM item;
    if (m_list.ListGetItem(kListRoster, jid, item) && item.name.GetLength() > 0)
        return item.name;
    return JidBare(jid, jid.GetLength());
}

void CJabberProtocol::OnMessageStanza(XmlNode* node)
{
    const CJOVString* fromAttribute = GetAttribute(node, "from");
    if (node->name != "message" || !fromAttribute || fromAttribute->GetLength() == 0)
        return;
    const CJOVString from = *fromAttribute;
    // An invitation to share presence is a request like any other: the user
    // answers it.
    if (GetChildWithAttribute(node, "x", "xmlns", L"jov:x:gotaccount")) {
        OnSubscribeRequest(from, CJOVString());
        return;
    }
    if (AttributeIs(node, "type", L"error") || GetChild(node, "error")) {
        OnMessageError(node, from);
        return;
    }
    if (GetChildWithAttribute(node, "data", "xmlns", L"http://jabber.org/protocol/ibb") ||
        GetChildWithAttribute(node, "event", "xmlns", L"http://jabber.org/protocol/pubsub#event"))
        return;

    const CJOVString* id = GetAttribute(node, "id");
    XmlNode* bodyNode = GetChild(node, "body");
    const bool hasBody = bodyNode != nullptr;
    CJOVString text = TextOf(bodyNode);
    bool hasText = hasBody;
    CJOVString subject = TextOf(GetChild(node, "subject"));
    if (subject.GetLength() > 0) {
        text = JabberText(kTextSubject) + subject + (hasBody ? kCrLf + text : CJOVString());
        hasText = true;
    }

    // Another address for the sender: the server's word only, never a stranger's.
    CJOVString sender = from;
    XmlNode* addresses =
        hasBody && IsOwnServer(from) ? GetChildWithAttribute(node, "addresses", "xmlns", kAddressNs) : nullptr;
    for (size_t i = 0; addresses && i < addresses->children.size(); ++i) {
        const XmlNode* address = addresses->children[i].get();
        const CJOVString* jid = GetAttribute(address, "jid");
        if (address->name == "address" && AttributeIs(address, "type", L"ofrom") && jid && jid->GetLength() > 0) {
            text = JabberText(kTextRedirected) + from + kCrLf + text;
            sender = *jid;
            break;
        }
    }

    int kind = m_list.ListFindIndex(kListRoster, sender) ? kListRoster : kListWithResource8;
    CJOVString resourceName = ResourceOf(sender);
    const bool active = GetChildWithAttribute(node, "active", "xmlns", kChatStatesNs) != nullptr;
    const bool receiptAsked = GetChildWithAttribute(node, "request", "xmlns", kReceiptsNs) != nullptr;
    m_list.ListEdit(kind, sender, [&](JABBER_LIST_ITEM& item) {
        JabberResourceStatus* resource = nullptr;
        for (JabberResourceStatus& each : item.resources) {
            if (resourceName.GetLength() > 0 && each.name == resourceName)
                resource = &each;
        }
        if (hasBody) {
            item.chatStates = active;
            if (active && resource)
                resource->features |= FeatureMask(kFeatureChatStates);
        }
        if (receiptAsked && resource)
            resource->features |= FeatureMask(kFeatureReceipts);
    });

    bool deliveredAsked = false;
    bool conference = false;
    for (const auto& child : node->children) {
        if (child->name != "x")
            continue;
        const XmlNode* x = child.get();
        if (AttributeIs(x, "xmlns", L"jov:x:specmsg")) {
            text = TextOf(x);
            if (text.GetLength() == 0)
                return;
            hasText = true;
        } else if (AttributeIs(x, "xmlns", L"jabber:x:encrypted")) {
            // Shown armoured: the user's own tools may read it.
            text = CJOVString(L"-----BEGIN PGP MESSAGE-----\r\n\r\n") + TextOf(x) +
                   CJOVString(L"\r\n-----END PGP MESSAGE-----\r\n");
            hasText = true;
        } else if (AttributeIs(x, "xmlns", kEventNs)) {
            if (!hasBody) {
                // An event about one of our messages: nothing to show.
                int number = NumberOfId(TextOf(GetChild(x, "id")));
                if (GetChild(x, "delivered") && number >= 0)
                    m_sentMessages.erase(number);
                return;
            }
            deliveredAsked = deliveredAsked || GetChild(x, "delivered") != nullptr;
            if (GetChild(x, "composing")) {
                CJOVString composing = id ? *id : CJOVString();
                m_list.ListEdit(kind, sender, [&](JABBER_LIST_ITEM& item) { item.composingId = composing; });
            }
        } else if (AttributeIs(x, "xmlns", L"jabber:x:oob")) {
            CJOVString url = TextOf(GetChild(x, "url"));
            if (url.GetLength() > 0) {
                text = url + kCrLf + text;
                hasText = true;
            }
        } else if (AttributeIs(x, "xmlns", L"jabber:x:conference") ||
                   (AttributeIs(x, "xmlns", kMucUserNs) && GetChild(x, "invite"))) {
            conference = true;
        }
    }
    if (conference || !hasText)
        return;

    text = text.GetLength() == 0 ? CJOVString(L" ") : NormaliseLineBreaks(text);
    m_list.ListEdit(kind, sender, [&](JABBER_LIST_ITEM& item) {
        for (size_t i = 0; i < item.resources.size(); ++i) {
            if (resourceName.GetLength() > 0 && item.resources[i].name == resourceName) {
                item.resources[i].messaged = true;
                item.lastResource = static_cast<int>(i);
            }
        }
    });
    if (DeliverMessage(JidBare(sender, sender.GetLength()), 0, -1, text, CJOVString()))
        AnswerDelivery(from, id, receiptAsked, deliveredAsked);
}

void CJabberProtocol::AnswerDelivery(const CJOVString& to, const CJOVString* id, bool receipt, bool delivered)
{
    if (!id || id->GetLength() == 0 || (!receipt && !delivered))
        return;
    // Only someone who sees our presence learns that we read.
    JABBER_LIST_ITEM item;
    if (!m_list.ListGetItem(kListRoster, to, item) || !(item.subscription & kSubFrom))
        return;
    if (receipt) {
        XmlNode answer("message");
        answer.AddAttribute("to", to)->AddStanzaId(NextStanzaNumber());
        answer.AddChild("received")->AddAttribute("xmlns", kReceiptsNs)->AddAttribute("id", *id);
        SendNode(&answer);
    }
    if (delivered) {
        XmlNode answer("message");
        answer.AddAttribute("to", to);
        XmlNode* x = answer.AddChild("x")->AddAttribute("xmlns", kEventNs);
        x->AddChild("delivered");
        x->AddChild("id", *id);
        SendNode(&answer);
    }
}

void CJabberProtocol::OnMessageError(XmlNode* node, const CJOVString& from)
{
    // Only an error about a message the user wrote: one of ours by its id, or
    // one that brings the text back.
    int number = GetStanzaNumber(node);
    auto sent = number >= 0 ? m_sentMessages.find(number) : m_sentMessages.end();
    if (sent == m_sentMessages.end() && !GetChild(node, "body"))
        return;
    if (sent != m_sentMessages.end())
        m_sentMessages.erase(sent);
    ShowWarning(JabberTextNaming(kTextMessageNotDelivered, NameOf(from)) +
                DescribeXmppError(GetChild(node, "error")));
}

bool CJabberProtocol::DeliverMessage(const CJOVString& jid, unsigned int kind, int image, const CJOVString& text,
                                     const CJOVString& title)
{
    CL::CContactList* list = ContactList();
    if (!list || text.GetLength() == 0)
        return false;
    JABBER_LIST_ITEM item;
    m_list.ListAdd(kListRoster, jid, [&](JABBER_LIST_ITEM& listed) {
        if (!listed.contactId && listed.name.GetLength() == 0)
            listed.name = JidNode(listed.jid);
        item = listed;
    });
    unsigned int contactId = item.contactId;
    if (!contactId) {
        // A stranger: shown directly under the account.
        contactId = CreateContact(item.jid, item.name, 0, kSubNone);
        m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& listed) { listed.contactId = contactId; });
    }
    if (!contactId)
        return false;
    Protocols::MessageInfo message;
    message.contactId = contactId;
    message.kind = kind;
    message.imageIndex = image;
    message.time = CTime(static_cast<__int64>(time(nullptr)));
    message.text = text;
    message.title = title;
    list->MessageReceived(contactId, &message);
    return true;
}

void CJabberProtocol::OnSendMessage(const Protocols::MessageInfo& message)
{
    if (message.kind != 0)
        return;
    CL::CContactList* list = ContactList();
    CJOVString jid;
    if (!list || !list->GetString(message.contactId, CJOVString(kModelAccountName), jid))
        return;
    CJOVString name;
    if (!list->GetString(message.contactId, CJOVString(kModelAlias), name))
        name = jid;
    // "Message sent" went out already: the user must learn that it did not.
    if (m_state.load() < 2) {
        ShowWarning(JabberTextNaming(kTextMessageOffline, name));
        return;
    }
    if (!m_list.ListFindIndex(kListRoster, jid) && !m_list.ListFindIndex(kListKeepsResource, jid)) {
        ShowWarning(JabberTextNaming(kTextMessageNotListed, name));
        return;
    }
    SendMessageStanza(jid, message.text, false, message.contactId);
}

void CJabberProtocol::SendMessageStanza(const CJOVString& jid, const CJOVString& text, bool special,
                                        unsigned int cookie)
{
    XmlNode message("message");
    bool conference = ResourceOf(jid).GetLength() == 0 && m_list.ListFindIndex(kListKeepsResource, jid) != 0;
    message.AddAttribute("type", conference ? "groupchat" : "chat");
    if (special) {
        message.AddChild("body", "[This is not a human readable message]");
        message.AddChild("x", text)->AddAttribute("xmlns", "jov:x:specmsg");
    } else {
        message.AddChild("body", text);
    }
    CJOVString resourceName = m_list.ListGetBestResource(jid);
    CJOVString to = JidWithResource(jid, resourceName);
    uint64_t features = 0;
    m_list.ListEdit(kListRoster, jid, [&](JABBER_LIST_ITEM& item) {
        for (JabberResourceStatus& resource : item.resources) {
            if (resourceName.GetLength() > 0 && resource.name == resourceName) {
                resource.messaged = true;
                features = resource.features;
            }
        }
    });
    if (features & FeatureMask(kFeatureChatStates))
        message.AddChild("active")->AddAttribute("xmlns", kChatStatesNs);
    int number = NextStanzaNumber();
    message.AddAttribute("to", to)->AddStanzaId(number);
    if (features & FeatureMask(kFeatureMessageEvents)) {
        XmlNode* x = message.AddChild("x")->AddAttribute("xmlns", kEventNs);
        x->AddChild("composing");
        if (!special) {
            x->AddChild("delivered");
            x->AddChild("offline");
        }
    }
    m_sentMessages[number] = cookie;
    while (m_sentMessages.size() > kSentRemembered)
        m_sentMessages.erase(m_sentMessages.begin());
    SendNode(&message);
}
