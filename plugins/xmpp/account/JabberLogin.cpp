// The login of an XMPP account after the stream is open: the server's
// features, stream compression, SASL, binding the resource, the session and
// the roster request that makes the account online. Every way out but the
// last ends offline with a warning that says why.
#include "JabberProtocol.h"

#include <string>

#include "JabberTexts.h"
#include "MD5Auth.h"
#include "PlainAuth.h"
#include "Trace.h"
#include "xml/XmlBuilder.h"

namespace {

const wchar_t kSaslNs[] = L"urn:ietf:params:xml:ns:xmpp-sasl";
const wchar_t kCompressNs[] = L"http://jabber.org/protocol/compress";
const char kBindNs[] = "urn:ietf:params:xml:ns:xmpp-bind";
const char kSessionNs[] = "urn:ietf:params:xml:ns:xmpp-session";

// The full JID the server bound is kept to this many characters.
const int kMaxJidLength = 256;

std::string AsciiOf(const CJOVString* text)
{
    std::string bytes;
    if (text) {
        for (int i = 0; i < text->GetLength(); ++i)
            bytes += static_cast<char>(text->Data()[i] < 0x80 ? text->Data()[i] : '?');
    }
    return bytes;
}

CJOVString FromAscii(const std::string& text)
{
    return CJOVString(std::wstring(text.begin(), text.end()).c_str());
}

bool TextIs(const XmlNode* node, const wchar_t* text)
{
    const CJOVString* own = GetText(node);
    return own && *own == CJOVString(text);
}

bool IsResult(const XmlNode* iq)
{
    return AttributeIs(iq, "type", L"result");
}

} // namespace

JabberCredentials CJabberProtocol::Credentials()
{
    JabberCredentials credentials;
    credentials.user = ReadString(JABBER_KEY_ACCOUNT_NAME);
    credentials.password = ReadString(JABBER_KEY_ACCOUNT_PASSWORD);
    credentials.server = ReadString(JABBER_KEY_ACCOUNT_SERVER);
    return credentials;
}

std::string CJabberProtocol::GetMechanism() const
{
    return m_auth ? m_auth->GetName() : std::string();
}

void CJabberProtocol::OnStreamFeatures(XmlNode* features)
{
    StreamFeatures offered;
    for (const auto& child : features->children) {
        const std::string& name = child->name;
        if (name == "starttls") {
            offered.starttls = true;
        } else if (name == "compression") {
            for (const auto& method : child->children)
                offered.zlib = offered.zlib || (method->name == "method" && TextIs(method.get(), L"zlib"));
        } else if (name == "mechanisms") {
            offered.mechanisms = true;
            for (const auto& mechanism : child->children) {
                if (mechanism->name != "mechanism")
                    continue;
                offered.digestMd5 = offered.digestMd5 || TextIs(mechanism.get(), L"DIGEST-MD5");
                offered.plain = offered.plain || TextIs(mechanism.get(), L"PLAIN");
            }
        } else if (name == "auth") {
            offered.legacyAuth = true;
        } else if (name == "session") {
            offered.session = true;
        }
    }
    m_features = offered;
    // Compression is asked for once a connection; a refusal goes on without it.
    if (offered.zlib && !m_compressionOn && !m_compressionAsked &&
        ReadByte(JABBER_KEY_COMPRESSION, kJabberDefaultCompression)) {
        m_compressionAsked = true;
        if (m_compression.Start()) {
            XmlNode compress("compress");
            compress.AddAttribute("xmlns", kCompressNs)->AddChild("method", "zlib");
            SendNode(&compress);
            return;  // authentication waits for the compressed stream
        }
    }
    Authenticate();
}

void CJabberProtocol::Authenticate()
{
    if (m_authenticated) {
        BindResource();
        return;
    }
    const StreamFeatures& offered = m_features;
    if (offered.digestMd5) {
        m_auth = std::make_unique<TMD5Auth>(Credentials());
    } else if (offered.plain) {
        // PLAIN shows the password to anyone on the way: only inside SSL.
        if (!UsesSsl()) {
            FailLogin(JabberText(kTextPlainNeedsSsl));
            return;
        }
        m_auth = std::make_unique<TPlainAuth>(Credentials());
    } else if (offered.legacyAuth) {
        RefuseLegacyLogin();
        return;
    } else if (!offered.mechanisms && offered.starttls) {
        FailLogin(JabberText(kTextStartTlsOnly));
        return;
    } else {
        FailLogin(JabberText(kTextNoMechanism));
        return;
    }
    XmlNode auth("auth");
    auth.AddAttribute("xmlns", kSaslNs)->AddAttribute("mechanism", m_auth->GetName());
    std::string initial = m_auth->GetInitialResponse();
    if (!initial.empty())
        auth.SetText(FromAscii(initial));
    SendNode(&auth);
}

void CJabberProtocol::RefuseLegacyLogin()
{
    // The old road sends the password in an iq nobody answers here: refused.
    FailLogin(JabberText(kTextLegacyLogin));
}

void CJabberProtocol::OnCompressed(XmlNode* node)
{
    if (!AttributeIs(node, "xmlns", kCompressNs) || !m_compressionAsked || m_compressionOn ||
        !m_compression.IsStarted())
        return;
    m_compressionOn = true;
    m_streamRestart = true;
}

void CJabberProtocol::OnCompressionRefused()
{
    if (!m_compressionAsked || m_compressionOn)
        return;
    // XEP-0138: the stream goes on as it was.
    m_compression.Stop();
    Authenticate();
}

void CJabberProtocol::OnSaslChallenge(XmlNode* node)
{
    if (!AttributeIs(node, "xmlns", kSaslNs) || !m_auth || m_authenticated)
        return;
    std::string answer;
    TJabberAuth::Step step = m_auth->GetChallengeResponse(AsciiOf(GetText(node)), answer);
    if (step != TJabberAuth::kAnswered) {
        FailLogin(JabberText(step == TJabberAuth::kServerNotProven ? kTextServerNotProven : kTextBadChallenge));
        return;
    }
    XmlNode response("response");
    response.AddAttribute("xmlns", kSaslNs);
    if (!answer.empty())
        response.SetText(FromAscii(answer));
    SendNode(&response);
}

void CJabberProtocol::OnSaslSuccess(XmlNode* node)
{
    if (!AttributeIs(node, "xmlns", kSaslNs) || !m_auth || m_authenticated)
        return;
    if (m_auth->CheckSuccess(AsciiOf(GetText(node))) != TJabberAuth::kAnswered) {
        FailLogin(JabberText(kTextServerNotProven));
        return;
    }
    TraceMark(L"XMPP authenticated");
    m_authenticated = true;
    m_streamRestart = true;
}

void CJabberProtocol::OnSaslFailure(XmlNode* node)
{
    if (AttributeIs(node, "xmlns", kCompressNs)) {
        OnCompressionRefused();
        return;
    }
    if (!AttributeIs(node, "xmlns", kSaslNs) || !m_auth)
        return;
    FailLogin(JabberText(kTextLoginFailed) + DescribeXmppError(node));
}

void CJabberProtocol::OnStreamErrorStanza(XmlNode* node)
{
    if (GetChild(node, "conflict")) {
        // Another login took our resource: the server ends this one.
        WarnOnce(JabberText(kTextConflict));
        Disconnect();
        return;
    }
    WarnOnce(JabberText(kTextStreamError) + DescribeXmppError(node));
    EndStream();
    // The server closes the connection; while logging in, the login's
    // time-out ends a server that does not.
}

void CJabberProtocol::BindResource()
{
    int number = NextStanzaNumber();
    m_iqCallbacks.Add(number, 0, &CJabberProtocol::BindAnswered);
    m_sessionRequired = m_features.session;
    auto iq = InitIq("set", number);
    XmlNode* bind = iq->AddChild("bind")->AddAttribute("xmlns", kBindNs);
    CJOVString resource = ReadString(JABBER_KEY_ACCOUNT_RESOURCE, JABBER_DEFAULT_RESOURCE);
    // An empty resource lets the server choose one.
    if (resource.GetLength() > 0)
        bind->AddChild("resource", resource);
    SendNode(iq.get());
}

void CJabberProtocol::BindAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry&)
{
    if (account->m_state.load() != 1)
        return;
    if (!IsResult(iq)) {
        account->FailLogin(JabberText(kTextBindRefused) + DescribeXmppError(GetChild(iq, "error")));
        return;
    }
    const CJOVString* jid = GetText(GetChild(GetChild(iq, "bind"), "jid"));
    if (jid && jid->GetLength() > 0)
        account->SetFullJid(jid->GetLength() > kMaxJidLength ? jid->Substring(0, kMaxJidLength) : *jid);
    if (!account->m_sessionRequired) {
        account->RequestRoster();
        return;
    }
    int number = account->NextStanzaNumber();
    account->m_iqCallbacks.Add(number, 0, &CJabberProtocol::SessionAnswered);
    auto session = InitIq("set", number);
    session->AddChild("session")->AddAttribute("xmlns", kSessionNs);
    account->SendNode(session.get());
}

void CJabberProtocol::SessionAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry&)
{
    if (account->m_state.load() != 1)
        return;
    if (!IsResult(iq)) {
        account->FailLogin(JabberText(kTextSessionRefused) + DescribeXmppError(GetChild(iq, "error")));
        return;
    }
    account->RequestRoster();
}

void CJabberProtocol::RequestRoster()
{
    TraceMark(L"XMPP roster asked");
    m_state = PresenceClassOf(static_cast<Protocols::Status>(m_status.load()));
    PostStatusChanged();
    int number = NextStanzaNumber();
    m_iqCallbacks.Add(number, 0, &CJabberProtocol::RosterAnswered);
    auto iq = InitIq("get", number);
    iq->AddQuery("jabber:iq:roster");
    SendNode(iq.get());
}

void CJabberProtocol::RosterAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry&)
{
    if (account->m_state.load() < 2)
        return;
    XmlNode* query = GetChild(iq, "query");
    TraceMark(L"XMPP roster received");
    if (IsResult(iq) && AttributeIs(query, "xmlns", L"jabber:iq:roster"))
        account->ApplyRoster(query);
    else if (!IsResult(iq))
        account->ShowWarning(JabberText(kTextRosterRefused) + DescribeXmppError(GetChild(iq, "error")));
    TraceMark(L"XMPP roster mirrored");
    // Whatever the answer held: without the first presence nobody sees the account.
    account->ApplyStatus(static_cast<Protocols::Status>(account->m_status.load()));
    TraceMark(L"XMPP first presence sent");
}
