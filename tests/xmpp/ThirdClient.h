// The independent XMPP client the servers' fixture starts (servers/
// third_client.py), driven over its control line on 127.0.0.1: its sessions
// log in, send stanzas as the test writes them, read rosters back, and report
// every stanza they receive. A reader thread keeps the reports; the test
// waits for the ones it expects.
#pragma once

#include <winsock2.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CThirdClient {
public:
    // One stanza a session received: its values by path, UTF-8 (see third_client.py).
    struct Stanza {
        std::string session;
        std::multimap<std::string, std::string> values;

        // The first value of the path; empty when none.
        std::string Get(const std::string& path) const;
        bool Has(const std::string& path) const { return values.count(path) > 0; }
        // "message", "presence" or "iq".
        std::string Kind() const;
    };
    struct RosterItem {
        std::string jid;
        std::string name;
        std::string subscription;
        std::vector<std::string> groups;
    };

    CThirdClient() = default;
    ~CThirdClient();
    CThirdClient(const CThirdClient&) = delete;
    CThirdClient& operator=(const CThirdClient&) = delete;

    bool Open(int port);

    // Each answers whether the client said "ok". withCaps: the session checks
    // the capabilities others announce (service discovery and XEP-0115).
    bool Connect(const std::string& session, bool withCaps = false);
    bool Disconnect(const std::string& session);
    bool Send(const std::string& session, const std::string& xml);
    // The answer's values; an empty stanza when there was none.
    Stanza Iq(const std::string& session, const std::string& xml);
    std::vector<RosterItem> Roster(const std::string& session, bool* ok = nullptr);
    // What a session of withCaps found the JID to support, once the hash it
    // announced was checked: values "identity" (category/type/lang/name) and
    // "feature"; an empty stanza when none was checked in time.
    Stanza CheckedCaps(const std::string& session, const std::string& jid);
    // Removes every item of the session's roster.
    bool ClearRoster(const std::string& session);
    // The users of two sessions share their presence both ways; the first
    // names the second's user `name` in `group`. The first session stays
    // available below every other resource of its user, so that messages to
    // the bare JID go elsewhere; the second becomes available.
    bool Befriend(const std::string& session, const std::string& other, const std::string& name,
                  const std::string& group);

    // Waits for a stanza of the session that matches and takes it; false at
    // the time-out.
    bool WaitFor(const std::string& session, const std::function<bool(const Stanza&)>& match, Stanza* found = nullptr,
                 int timeoutMs = 15000);
    // Forgets what the session received so far.
    void Forget(const std::string& session);
    // Whether any stanza received so far matches, without taking it.
    bool Received(const std::string& session, const std::function<bool(const Stanza&)>& match);

    // The last answer line, for messages.
    std::string LastAnswer() const;

private:
    std::string Command(const std::string& line, int timeoutMs = 40000);
    // The values of an answer "ok PATH=VALUE\t...".
    static Stanza Values(const std::string& session, const std::string& answer);
    void Read();

    SOCKET m_socket = INVALID_SOCKET;
    std::thread m_reader;
    mutable std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<std::string> m_answers;
    std::deque<Stanza> m_stanzas;
    std::string m_lastAnswer;
    bool m_closed = false;
};

// %-decoding of the control line's values.
std::string Unquote(const std::string& text);
// %-encoding of a stanza for the control line.
std::string Quote(const std::string& text);
