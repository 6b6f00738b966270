#include "xmpp/SessionLists.h"

#include <winsock2.h>

namespace {

// Connects to 127.0.0.1:port, sends the request and reads until `done` holds
// for what came or the peer closes (at most five seconds).
template <class Done>
std::string Ask(int port, const std::string& request, Done done)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    std::string answer;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (s != INVALID_SOCKET && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(s, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
        DWORD start = GetTickCount();
        while (!done(answer) && GetTickCount() - start < 5000) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(s, &readable);
            timeval wait = {0, 100000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            char chunk[4096];
            int n = recv(s, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            answer.append(chunk, static_cast<size_t>(n));
        }
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    WSACleanup();
    return answer;
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

std::vector<std::string> EjabberdSessions(int httpPort)
{
    const std::string request = "POST /api/connected_users HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                "Content-Type: application/json\r\nContent-Length: 2\r\n\r\n{}";
    std::string answer = Ask(httpPort, request, [](const std::string&) { return false; });
    std::vector<std::string> sessions;
    size_t body = answer.find("\r\n\r\n");
    if (body == std::string::npos)
        return sessions;
    // A JSON array of strings.
    for (size_t at = answer.find('"', body); at != std::string::npos;) {
        size_t end = answer.find('"', at + 1);
        if (end == std::string::npos)
            break;
        sessions.push_back(answer.substr(at + 1, end - at - 1));
        at = answer.find('"', end + 1);
    }
    return sessions;
}

bool SetEjabberdLogLevel(int httpPort, const std::string& level)
{
    const std::string body = "{\"loglevel\": \"" + level + "\"}";
    const std::string request = "POST /api/set_loglevel HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                "Content-Type: application/json\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    std::string answer = Ask(httpPort, request, [](const std::string&) { return false; });
    return answer.compare(0, 12, "HTTP/1.1 200") == 0 || answer.compare(0, 12, "HTTP/1.0 200") == 0;
}

std::vector<std::string> ProsodySessions(int consolePort)
{
    std::string answer = Ask(consolePort, "c2s:show()\nquit\n", [](const std::string& so_far) {
        return so_far.find("sessions shown") != std::string::npos;
    });
    // Rows "| session id | JID | ...".
    std::vector<std::string> sessions;
    size_t start = 0;
    while (start < answer.size()) {
        size_t end = answer.find('\n', start);
        std::string line = answer.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? answer.size() : end + 1;
        size_t first = line.find('|');
        size_t second = first == std::string::npos ? first : line.find('|', first + 1);
        size_t third = second == std::string::npos ? second : line.find('|', second + 1);
        if (third == std::string::npos)
            continue;
        std::string jid = Trimmed(line.substr(second + 1, third - second - 1));
        if (jid.find('@') != std::string::npos)
            sessions.push_back(jid);
    }
    return sessions;
}
