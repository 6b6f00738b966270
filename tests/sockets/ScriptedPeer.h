// A peer the test plays itself on 127.0.0.1, for replies no installed server
// gives (a SOCKS 5 proxy that picks no authentication, a reply in pieces): it
// accepts one connection and runs its script on its own thread.
#pragma once

#include <winsock2.h>

#include <string>
#include <thread>
#include <vector>

class CScriptedPeer {
public:
    CScriptedPeer();  // listening on a free port
    ~CScriptedPeer();
    CScriptedPeer(const CScriptedPeer&) = delete;
    CScriptedPeer& operator=(const CScriptedPeer&) = delete;

    int Port() const { return m_port; }

    // Reads exactly these bytes; anything else fails the script.
    CScriptedPeer& Expect(const std::string& bytes);
    // Reads this many bytes, whatever they are.
    CScriptedPeer& Skip(size_t count);
    CScriptedPeer& Send(const std::string& bytes);
    CScriptedPeer& Pause(int ms);
    // Sends back whatever comes until the other side ends.
    CScriptedPeer& Echo();
    CScriptedPeer& Close();

    void Start();
    // Waits for the script's end: empty when every step went as written, else
    // what went wrong.
    std::string Finish();

private:
    struct Step {
        enum Kind { kExpect, kSkip, kSend, kPause, kEcho, kClose } kind;
        std::string bytes;
        size_t count;
    };
    void Run();
    bool ReadExactly(SOCKET s, size_t count, std::string& out);

    SOCKET m_listener;
    unsigned short m_port;
    std::vector<Step> m_steps;
    std::thread m_thread;
    std::string m_failure;
};
