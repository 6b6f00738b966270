// Who takes an incoming <iq>, from whom an answer is taken, and what service
// discovery is told of the account.
#include "JabberProtocol.h"

#include "JOVArray.h"
#include "cl/ContactList.h"
#include "xml/Jid.h"
#include "xml/XmlBuilder.h"

namespace {

const wchar_t kDiscoInfoNs[] = L"http://jabber.org/protocol/disco#info";

void AddStanzaError(XmlNode* iq, const char* type, const char* condition)
{
    iq->AddChild("error")
        ->AddAttribute("type", type)
        ->AddChild(condition)
        ->AddAttribute("xmlns", "urn:ietf:params:xml:ns:xmpp-stanzas");
}

bool IsEmpty(const CJOVString* text)
{
    return !text || text->GetLength() == 0;
}

CJOVString Lowered(CJOVString text)
{
    text.ToLower();
    return text;
}

// Bare JIDs and domains compare without case; resources exactly.
bool SameJid(const CJOVString& a, const CJOVString& b)
{
    return a.GetLength() > 0 && JidMatches(a, b) && JidMatches(b, a);
}

} // namespace

void CJabberProtocol::OnIqStanza(XmlNode* iq)
{
    const CJOVString* type = GetAttribute(iq, "type");
    if (!type)
        return;
    bool answer = *type == CJOVString(L"result") || *type == CJOVString(L"error");
    bool request = *type == CJOVString(L"get") || *type == CJOVString(L"set");
    int number = GetStanzaNumber(iq);
    if (m_requests.HandleResult(number, iq) || m_requests.HandleGetSet(iq))
        return;
    if (answer) {
        IqCallbackEntry entry;
        if (m_iqCallbacks.Take(number, GetAttribute(iq, "from"), *this, entry) && entry.callback)
            entry.callback(this, iq, entry);
    } else if (request) {
        RefuseIq(iq);
    }
}

void CJabberProtocol::RefuseIq(XmlNode* iq, const char* type, const char* condition)
{
    // Results and errors are never answered.
    auto refusal = InitIq("error", GetAttribute(iq, "id"), GetAttribute(iq, "from"));
    AddStanzaError(refusal.get(), type, condition);
    SendNode(refusal.get());
}

void CJabberProtocol::OnSkippedIq(XmlNode* iq)
{
    // A request is refused aloud; an answer reaches whoever waits for it as
    // an error, so that no wait stays open.
    const CJOVString* type = GetAttribute(iq, "type");
    if (!type)
        return;
    if (*type == CJOVString(L"get") || *type == CJOVString(L"set")) {
        RefuseIq(iq, "modify", "policy-violation");
    } else if (*type == CJOVString(L"result") || *type == CJOVString(L"error")) {
        auto failed = InitIq("error", GetAttribute(iq, "id"), nullptr);
        if (const CJOVString* from = GetAttribute(iq, "from"))
            failed->AddAttribute("from", *from);
        AddStanzaError(failed.get(), "modify", "policy-violation");
        OnIqStanza(failed.get());
    }
}

void CJabberProtocol::AddDiscoInfoHandler()
{
    // Anyone may ask what the account supports.
    m_requests.AddHandler(&CJabberProtocol::DiscoInfoAsked, nullptr, kIqGet, kFillChild, kDiscoInfoNs, L"query",
                          false);
}

void CJabberProtocol::DiscoInfoAsked(const IqValues& values, XmlNode* iq, CJabberProtocol* account, void*)
{
    // Told: exactly what the announced caps version was computed from, asked
    // for with no node or with the node of that version; nothing else.
    const CJOVString* node = GetAttribute(values.child, "node");
    std::string ownNode = std::string(kOwnCapsNode) + "#" + OwnCapsVersion();
    if (node && *node != CJOVString(reinterpret_cast<const unsigned char*>(ownNode.c_str()), CP_UTF8)) {
        account->RefuseIq(iq);
        return;
    }
    auto answer = InitIq("result", GetAttribute(iq, "id"), GetAttribute(iq, "from"));
    XmlNode* query = answer->AddChild("query")->AddAttribute("xmlns", kDiscoInfoNs);
    if (node)
        query->AddAttribute("node", *node);
    query->AddChild("identity")
        ->AddAttribute("category", kOwnIdentityCategory)
        ->AddAttribute("type", kOwnIdentityType)
        ->AddAttribute("name", kOwnIdentityName);
    for (const std::string& feature : OwnFeatureNames())
        query->AddChild("feature")->AddAttribute("var", feature.c_str());
    account->SendNode(answer.get());
}

bool CJabberProtocol::IsAnswerFrom(const CJOVString& asked, const CJOVString* from)
{
    CJOVString bare = GetBareJid();
    if (asked.GetLength() > 0) {
        // The server answers for the account's bare JID, with or without "from".
        if (IsEmpty(from))
            return SameJid(asked, bare);
        return JidMatches(asked, *from);
    }
    if (IsEmpty(from))
        return true;
    return SameJid(*from, bare) || SameJid(*from, m_fullJid) || SameJid(*from, JidDomain(bare));
}

bool CJabberProtocol::IsFromOwnAccount(const CJOVString* from)
{
    return IsEmpty(from) || SameJid(*from, GetBareJid());
}

unsigned int CJabberProtocol::ContactIdOf(const CJOVString& jid)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return 0;
    CJOVString bare = Lowered(JidBare(jid));
    CJOVArray<CL::CLItemInfo> items;
    if (!list->GetItems(m_accountId, &items))
        return 0;
    for (int i = 0; i < items.Count(); ++i) {
        CJOVString name;
        if (items[i].contactId != 0 && list->GetString(items[i].contactId, CJOVString(L"Account name"), name) &&
            Lowered(name) == bare)
            return items[i].contactId;
    }
    return 0;
}
