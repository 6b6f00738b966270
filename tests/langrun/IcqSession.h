// A scripted ICQ login and session on 127.0.0.1 for a program run: the
// account logs in, gets a list with "Friends" (Alice, Bob, Carol), Carol
// comes online, and her message arrives once the test lets it go.
#pragma once

#include <atomic>
#include <string>

#include "ScriptedOscarServer.h"

class CIcqSession {
public:
    CIcqSession();
    // Lets a held message go, so that the servers' threads end.
    ~CIcqSession() { m_messageWanted = true; }

    bool Listening() const { return m_login.GetPort() && m_bos.GetPort(); }
    unsigned short LoginPort() const { return m_login.GetPort(); }
    void Start();
    // Carol is online for the program.
    bool WaitForCarol(unsigned long ms) const;
    void SendCarolsMessage() { m_messageWanted = true; }
    bool Wait();
    std::string Report() const;

    static constexpr const char* kCarolsMessage = "Hello from Carol! Are we still meeting at eight?";

private:
    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    std::atomic<bool> m_online{false};
    std::atomic<bool> m_carolShown{false};
    std::atomic<bool> m_messageWanted{false};
};
