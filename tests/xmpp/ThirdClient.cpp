#include "xmpp/ThirdClient.h"

#include <ws2tcpip.h>

#include <chrono>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        fields.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return fields;
        start = at + 1;
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string Unquote(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Quote(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string CThirdClient::Stanza::Get(const std::string& path) const
{
    auto found = values.find(path);
    return found == values.end() ? std::string() : found->second;
}

std::string CThirdClient::Stanza::Kind() const
{
    for (const char* kind : {"message", "presence", "iq"}) {
        if (Has(kind))
            return kind;
    }
    return std::string();
}

CThirdClient::~CThirdClient()
{
    if (m_socket != INVALID_SOCKET) {
        shutdown(m_socket, SD_BOTH);
        closesocket(m_socket);
    }
    if (m_reader.joinable())
        m_reader.join();
}

bool CThirdClient::Open(int port)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return false;
    m_reader = std::thread([this] { Read(); });
    return true;
}

void CThirdClient::Read()
{
    std::string pending;
    char buffer[8192];
    for (;;) {
        int n = recv(m_socket, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::lock_guard<std::mutex> hold(m_lock);
            if (line.compare(0, 7, "stanza\t") == 0) {
                std::vector<std::string> fields = Split(line, '\t');
                Stanza stanza;
                stanza.session = fields.size() > 1 ? fields[1] : std::string();
                for (size_t i = 2; i < fields.size(); ++i) {
                    size_t eq = fields[i].find('=');
                    if (eq != std::string::npos)
                        stanza.values.emplace(fields[i].substr(0, eq), Unquote(fields[i].substr(eq + 1)));
                }
                m_stanzas.push_back(stanza);
            } else {
                m_answers.push_back(line);
            }
            m_arrived.notify_all();
        }
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_closed = true;
    m_arrived.notify_all();
}

std::string CThirdClient::Command(const std::string& line, int timeoutMs)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_answers.clear();
    }
    std::string text = line + "\n";
    if (send(m_socket, text.data(), static_cast<int>(text.size()), 0) != static_cast<int>(text.size()))
        return "error send";
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_arrived.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                            [&] { return !m_answers.empty() || m_closed; }) ||
        m_answers.empty())
        return m_lastAnswer = "error no answer";
    m_lastAnswer = m_answers.front();
    m_answers.pop_front();
    return m_lastAnswer;
}

std::string CThirdClient::LastAnswer() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lastAnswer;
}

bool CThirdClient::Connect(const std::string& session, bool withCaps)
{
    return Command("connect\t" + session + (withCaps ? "\tcaps" : "")) == "ok";
}

bool CThirdClient::Disconnect(const std::string& session)
{
    return Command("disconnect\t" + session) == "ok";
}

bool CThirdClient::Send(const std::string& session, const std::string& xml)
{
    return Command("send\t" + session + "\t" + Quote(xml)) == "ok";
}

CThirdClient::Stanza CThirdClient::Iq(const std::string& session, const std::string& xml)
{
    return Values(session, Command("iq\t" + session + "\t" + Quote(xml)));
}

CThirdClient::Stanza CThirdClient::CheckedCaps(const std::string& session, const std::string& jid)
{
    return Values(session, Command("caps\t" + session + "\t" + Quote(jid)));
}

CThirdClient::Stanza CThirdClient::Values(const std::string& session, const std::string& answer)
{
    Stanza stanza;
    stanza.session = session;
    if (answer.compare(0, 3, "ok ") != 0)
        return stanza;
    std::vector<std::string> fields = Split(answer.substr(3), '\t');
    for (const std::string& field : fields) {
        size_t eq = field.find('=');
        if (eq != std::string::npos)
            stanza.values.emplace(field.substr(0, eq), Unquote(field.substr(eq + 1)));
    }
    return stanza;
}

std::vector<CThirdClient::RosterItem> CThirdClient::Roster(const std::string& session, bool* ok)
{
    std::string answer = Command("roster\t" + session);
    std::vector<RosterItem> items;
    if (ok)
        *ok = answer.compare(0, 2, "ok") == 0;
    if (answer.compare(0, 3, "ok ") != 0)
        return items;
    for (const std::string& entry : Split(answer.substr(3), ' ')) {
        std::vector<std::string> fields = Split(entry, '|');
        if (fields.size() < 4)
            continue;
        RosterItem item;
        item.jid = Unquote(fields[0]);
        item.name = Unquote(fields[1]);
        item.subscription = Unquote(fields[2]);
        if (!fields[3].empty()) {
            for (const std::string& group : Split(fields[3], ','))
                item.groups.push_back(Unquote(group));
        }
        items.push_back(item);
    }
    return items;
}

bool CThirdClient::ClearRoster(const std::string& session)
{
    bool ok = false;
    for (const RosterItem& item : Roster(session, &ok)) {
        Stanza answer = Iq(session, "<iq type='set'><query xmlns='jabber:iq:roster'><item jid='" + item.jid +
                                        "' subscription='remove'/></query></iq>");
        ok = ok && answer.Get("iq@type") == "result";
    }
    return ok;
}

bool CThirdClient::Befriend(const std::string& session, const std::string& other, const std::string& name,
                            const std::string& group)
{
    return Command("befriend\t" + session + "\t" + other + "\t" + Quote(name) + "\t" + Quote(group)) == "ok";
}

bool CThirdClient::WaitFor(const std::string& session, const std::function<bool(const Stanza&)>& match,
                           Stanza* found, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        for (auto it = m_stanzas.begin(); it != m_stanzas.end(); ++it) {
            if (it->session == session && match(*it)) {
                if (found)
                    *found = *it;
                m_stanzas.erase(it);
                return true;
            }
        }
        if (m_closed || std::chrono::steady_clock::now() >= deadline)
            return false;
        m_arrived.wait_until(hold, deadline);
    }
}

void CThirdClient::Forget(const std::string& session)
{
    std::lock_guard<std::mutex> hold(m_lock);
    for (auto it = m_stanzas.begin(); it != m_stanzas.end();) {
        if (it->session == session)
            it = m_stanzas.erase(it);
        else
            ++it;
    }
}

bool CThirdClient::Received(const std::string& session, const std::function<bool(const Stanza&)>& match)
{
    std::lock_guard<std::mutex> hold(m_lock);
    for (const Stanza& stanza : m_stanzas) {
        if (stanza.session == session && match(stanza))
            return true;
    }
    return false;
}
