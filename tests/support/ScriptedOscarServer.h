// A scripted OSCAR server on 127.0.0.1 for the ICQ tests: a login server, a
// BOS server, or both in turn. The test writes a script of steps (accept a
// connection, send a server frame, expect a client frame, wait for the client
// to close) and starts it; the steps then run in order on the server's own
// thread while the client under test runs on its threads. The first step that
// fails ends the script and closes the connection; Wait tells whether the
// script ran to its end and Failures says why not.
//
// Besides the steps, every client frame is checked for the 0x2A start byte and
// for FLAP sequence numbers that go up by one (0x8000 is followed by 0).
#pragma once

#include <winsock2.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "OscarWire.h"

class CScriptedOscarServer {
public:
    // A check of one client frame: true when it is right; else it may say why.
    typedef std::function<bool(const OscarWire::Frame& frame, std::string& why)> FrameCheck;
    typedef std::function<bool(const OscarWire::Snac& snac, std::string& why)> SnacCheck;
    // Makes a server frame when its step runs, from what earlier steps saw.
    typedef std::function<OscarWire::Frame()> FrameMaker;

    // stepTimeoutMs bounds every wait of a step (accept, expect, close).
    explicit CScriptedOscarServer(int stepTimeoutMs = 5000);
    ~CScriptedOscarServer();
    CScriptedOscarServer(const CScriptedOscarServer&) = delete;
    CScriptedOscarServer& operator=(const CScriptedOscarServer&) = delete;

    // The port the server listens on (127.0.0.1, chosen by the system); 0 when
    // it could not listen.
    unsigned short GetPort() const { return m_port; }

    // Script steps.
    CScriptedOscarServer& Accept();
    CScriptedOscarServer& Send(const OscarWire::Frame& frame);
    CScriptedOscarServer& Send(FrameMaker make);
    // Sends bytes exactly as given (hostile or cut frames; no numbering).
    CScriptedOscarServer& SendRaw(const OscarWire::Bytes& bytes);
    CScriptedOscarServer& Expect(const std::string& what, FrameCheck check);
    CScriptedOscarServer& ExpectSnac(unsigned int family, unsigned int subtype, SnacCheck check = SnacCheck());
    CScriptedOscarServer& ExpectClosed();
    CScriptedOscarServer& Close();
    // Client frames that match are skipped by every Expect (keep-alives, say).
    CScriptedOscarServer& Ignore(std::function<bool(const OscarWire::Frame&)> match);

    // Runs the script on the server's thread.
    void Start();
    // True when the script ran to its end within the time.
    bool Wait(int timeoutMs);
    std::vector<std::string> Failures() const;
    std::string Report() const;
    // Every client frame received, in order.
    std::vector<OscarWire::Frame> Received() const;

private:
    struct Step {
        enum Kind { kAccept, kSend, kSendRaw, kExpect, kExpectClosed, kClose } kind;
        std::string what;
        FrameMaker make;
        OscarWire::Bytes raw;
        FrameCheck check;
    };

    void Run();
    bool RunStep(const Step& step);
    bool ReceiveFrame(OscarWire::Frame& frame, bool& closed);
    bool ReceiveBytes(unsigned char* into, int n, bool& closed);
    bool SendBytes(const OscarWire::Bytes& bytes);
    void CloseClient();
    void Fail(const std::string& why);

    int m_stepTimeoutMs;
    SOCKET m_listener;
    SOCKET m_client;
    unsigned short m_port;
    unsigned int m_serverSequence;
    bool m_haveClientSequence;
    unsigned int m_clientSequence;
    std::vector<Step> m_steps;
    std::vector<std::function<bool(const OscarWire::Frame&)>> m_ignored;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_done;
    bool m_finished;
    bool m_succeeded;
    std::vector<std::string> m_failures;
    std::vector<OscarWire::Frame> m_received;
};
