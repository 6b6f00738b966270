// The XMPP stream of an account: bytes read into the receive buffer and
// parsed, stanzas handed on by name, elements written; through zlib once the
// stream is compressed.
#include "JabberProtocol.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "JabberSettings.h"
#include "JabberTexts.h"
#include "PluginModule.h"
#include "SocketsManager.h"
#include "xml/XmlBuilder.h"

void CJabberProtocol::OpenStream()
{
    // A restart (after SASL or compression) drops the old stream's tree
    // with the reset, and whatever of the old stream was left unread.
    m_streamRestart = false;
    m_parser.Reset();
    m_used = 0;
    m_parser.SetCallback(1, 0, &CJabberProtocol::StreamStarted, this);
    m_parser.SetCallback(2, 1, &CJabberProtocol::StanzaClosed, this);
    m_parser.SetCallback(1, 1, &CJabberProtocol::StreamEnded, this);
    m_parser.SetSkipCallback(&CJabberProtocol::StanzaSkipped, this);
    SendNode(MakeStreamHeader(ReadString(JABBER_KEY_ACCOUNT_SERVER)).get());
    m_streamOpen = true;
}

void CJabberProtocol::EndStream()
{
    if (!m_streamOpen)
        return;
    m_streamOpen = false;
    static const char kStreamEnd[] = "</stream:stream>";
    SendRaw(kStreamEnd, sizeof kStreamEnd - 1);
}

bool CJabberProtocol::SendNode(const XmlNode* node)
{
    std::string text = ToString(node);
    return SendRaw(text.data(), static_cast<int>(text.size()));
}

bool CJabberProtocol::SendRaw(const char* text, int length)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets || !m_socket || length <= 0)
        return false;
    if (m_compressionOn)
        return SendCompressed(text, length);
    // The sockets service answers 0 when it queued the bytes.
    return sockets->Send(m_socket, text, length) == 0;
}

bool CJabberProtocol::SendCompressed(const char* data, int length)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    JOVSockets::CJOVSocket* socket = m_socket;
    if (!sockets || !socket)
        return false;
    return m_compression.Compress(data, length, [&](const char* piece, int size) {
        return sockets->Send(socket, piece, size) >= 0;
    });
}

int CJabberProtocol::ReceiveData()
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets)
        return -1;
    if (m_compressionOn)
        return ReceiveCompressed();
    return sockets->Read(m_socket, m_buffer + m_used, m_capacity - m_used);
}

int CJabberProtocol::ReceiveCompressed()
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    JOVSockets::CJOVSocket* socket = m_socket;
    if (!sockets || !socket)
        return -1;
    return m_compression.Decompress([&](char* buffer, int size) { return sockets->Read(socket, buffer, size); },
                                    m_buffer + m_used, m_capacity - m_used);
}

bool CJabberProtocol::GrowReceiveBuffer()
{
    int capacity = m_capacity * 2;
    if (capacity > kMaxBufferSize)
        return false;
    char* grown = static_cast<char*>(std::realloc(m_buffer, static_cast<size_t>(capacity) + 1));
    if (!grown)
        return false;
    m_buffer = grown;
    m_capacity = capacity;
    return true;
}

void CJabberProtocol::OnReceive()
{
    JOVSockets::CJOVSocket* socket = m_socket;
    while (m_socket == socket && m_socket) {
        int n = ReceiveData();
        if (n < 0 && m_compressionOn) {
            // A compressed stream that cannot be inflated any more.
            OnStreamError(XmlParser::kNotWellFormed);
            return;
        }
        if (n < 1)
            return;
        m_used += n;
        m_buffer[m_used] = 0;
        int consumed = m_parser.ParseChunk(m_buffer, m_used);
        if (m_socket != socket)
            return;  // a stanza ended the connection
        if (consumed < 0) {
            OnStreamError(m_parser.GetError());
            return;
        }
        if (consumed > 0) {
            m_used -= consumed;
            std::memmove(m_buffer, m_buffer + consumed, static_cast<size_t>(m_used));
            m_buffer[m_used] = 0;
        } else if (m_used == m_capacity && !GrowReceiveBuffer()) {
            OnStreamError(XmlParser::kTooLarge);
            return;
        }
        if (m_streamRestart)
            OpenStream();
    }
}

void CJabberProtocol::OnStreamError(XmlParser::Error error)
{
    // Tell the server why before leaving, as a stream error; Disconnect ends
    // the stream after it.
    static const char kTooLarge[] = "<stream:error><policy-violation xmlns='urn:ietf:params:xml:ns:xmpp-streams'/>"
                                    "</stream:error>";
    static const char kBadXml[] = "<stream:error><not-well-formed xmlns='urn:ietf:params:xml:ns:xmpp-streams'/>"
                                  "</stream:error>";
    if (error == XmlParser::kTooLarge) {
        SendRaw(kTooLarge, sizeof kTooLarge - 1);
        WarnOnce(GetPluginText(35, L"Disconnected: the server sent a stanza too large or too deep to read"));
    } else {
        SendRaw(kBadXml, sizeof kBadXml - 1);
        WarnOnce(GetPluginText(36, L"Disconnected: the server sent data that is not XML"));
    }
    Disconnect();
}

void CJabberProtocol::StreamStarted(XmlNode* node, void* account)
{
    static_cast<CJabberProtocol*>(account)->OnStreamStart(node);
}

void CJabberProtocol::StanzaClosed(XmlNode* node, void* account)
{
    static_cast<CJabberProtocol*>(account)->OnStanza(node);
}

void CJabberProtocol::StanzaSkipped(XmlNode* node, void* account)
{
    static_cast<CJabberProtocol*>(account)->OnSkippedStanza(node);
}

void CJabberProtocol::StreamEnded(XmlNode*, void* account)
{
    static_cast<CJabberProtocol*>(account)->OnStreamEnd();
}

void CJabberProtocol::OnStreamEnd()
{
    // The server ended its stream: ours ends too, before the close.
    if (m_status.load() != Protocols::StatusOffline)
        WarnOnce(JabberText(kTextConnectionClosed));
    Disconnect();
}

void CJabberProtocol::OnSkippedStanza(XmlNode* node)
{
    // Past the parser's limits, nothing of it was kept but its name, type,
    // id and sender; a request or an answer among them still counts.
    const CJOVString* from = GetAttribute(node, "from");
    std::wstring sender = from && from->GetLength() ? std::wstring(from->Data(), from->GetLength()) : L"the server";
    std::wstring line = L"JOV: Jabber: skipped a <" + std::wstring(node->name.begin(), node->name.end()) +
                        L"> from " + sender + L", past the size limits\n";
    OutputDebugStringW(line.c_str());
    if (node->name == "iq")
        OnSkippedIq(node);
}

void CJabberProtocol::OnStreamStart(XmlNode* node)
{
    if (node->name != "stream:stream")
        return;
    const CJOVString* id = GetAttribute(node, "id");
    if (id && id->GetLength() > 0) {
        unsigned char* bytes = id->GetBuffer(CP_UTF8);
        if (bytes) {
            m_streamId = reinterpret_cast<const char*>(bytes);
            CJOVString::FreeBuffer(bytes);
        }
    }
    // A server without `version` knows no SASL and sends no features.
    if (!GetAttribute(node, "version"))
        m_legacyLogin = true;
    if (m_legacyLogin)
        RefuseLegacyLogin();
}

void CJabberProtocol::OnStanza(XmlNode* node)
{
    const std::string& name = node->name;
    if (name == "proceed") {
        // TLS is the socket's, from the first byte: never negotiated in the stream.
    } else if (name == "compressed") {
        OnCompressed(node);
    } else if (name == "stream:features") {
        OnStreamFeatures(node);
    } else if (name == "success") {
        OnSaslSuccess(node);
    } else if (name == "failure") {
        OnSaslFailure(node);
    } else if (name == "stream:error") {
        OnStreamErrorStanza(node);
    } else if (name == "challenge") {
        OnSaslChallenge(node);
    } else if (name == "presence") {
        OnPresenceStanza(node);
    } else if (name == "iq") {
        OnIqStanza(node);
    } else if (name == "message") {
        OnMessageStanza(node);
    }
}
