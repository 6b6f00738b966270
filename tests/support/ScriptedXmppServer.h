// A scripted XMPP server on 127.0.0.1 for the Jabber tests. The test writes a
// script of steps (accept a connection, expect the client's stream header or
// an element, send text, switch the stream to zlib, wait for the client to
// close) and starts it; the steps then run in order on the server's own thread
// while the client under test runs on its threads. The first step that fails
// ends the script and closes the connection; Wait tells whether the script ran
// to its end and Report says why not.
//
// The client's bytes are read with expat, not with the client's own parser,
// and the server deflates and inflates with zlib itself once told to.
#pragma once

#include <winsock2.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScriptedXmppServer {
public:
    // One element the client sent: names as on the wire ("stream:stream").
    struct Element {
        std::string name;
        std::map<std::string, std::string> attributes;
        std::string text;
        std::vector<Element> children;

        // The first child of that name; null when none.
        const Element* Child(const std::string& childName) const;
        // The attribute's value; empty when missing.
        std::string Attribute(const std::string& attribute) const;
        bool Has(const std::string& attribute) const { return attributes.count(attribute) > 0; }
    };
    // A check of one element: true when it is right; else it may say why.
    typedef std::function<bool(const Element& element, std::string& why)> Check;
    // Makes the text of a Send when its step runs, from what earlier steps saw.
    typedef std::function<std::string()> TextMaker;

    // stepTimeoutMs bounds every wait of a step (accept, expect, close).
    explicit CScriptedXmppServer(int stepTimeoutMs = 5000);
    ~CScriptedXmppServer();
    CScriptedXmppServer(const CScriptedXmppServer&) = delete;
    CScriptedXmppServer& operator=(const CScriptedXmppServer&) = delete;

    // The port it listens on (chosen by the system); 0 when it could not listen.
    unsigned short GetPort() const { return m_port; }

    // Script steps.
    CScriptedXmppServer& Accept();
    // The client's <stream:stream> open tag, checked like an element.
    CScriptedXmppServer& ExpectHeader(Check check = Check());
    CScriptedXmppServer& Send(const std::string& text);
    CScriptedXmppServer& Send(TextMaker make);
    // The client's next element at depth 2, by name.
    CScriptedXmppServer& Expect(const std::string& name, Check check = Check());
    // The client opens a new stream after this (after SASL success).
    CScriptedXmppServer& Restart();
    // From here on zlib both ways, and a new stream follows.
    CScriptedXmppServer& StartCompression();
    // The client ends the connection (its </stream:stream> may come first).
    CScriptedXmppServer& ExpectClosed();
    CScriptedXmppServer& Close();
    // Waits so long without reading (a server that says nothing).
    CScriptedXmppServer& Pause(int ms);

    void Start();
    // True when the script ran to its end within the time.
    bool Wait(int timeoutMs);
    std::string Report() const;
    // The names of every element the client sent, headers as "stream:stream".
    std::vector<std::string> Received() const;
    // The bytes the client sent on the last connection accepted, inflated
    // where they were compressed.
    std::string ReceivedText() const;

private:
    struct Step {
        enum Kind { kAccept, kHeader, kSend, kExpect, kRestart, kCompress, kExpectClosed, kClose, kPause } kind;
        std::string what;
        TextMaker make;
        Check check;
        int ms;
    };
    struct Reader;

    void Run();
    bool RunStep(const Step& step);
    // The next element (or header) the client sends; false on close or timeout.
    bool NextElement(bool header, Element& element, bool& closed);
    bool ReadMore(bool& closed, int timeoutMs);
    bool SendText(const std::string& text);
    void ResetReader();
    void EndCompression();
    void CloseClient();
    void Fail(const std::string& why);

    int m_stepTimeoutMs;
    SOCKET m_listener;
    SOCKET m_client;
    unsigned short m_port;
    std::vector<Step> m_steps;
    Reader* m_reader;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_done;
    bool m_finished;
    bool m_succeeded;
    std::vector<std::string> m_failures;
    std::vector<std::string> m_received;
    std::string m_receivedText;
};
