// One XMPP account: its stream to the server, its status and its requests
// from the program.
//
// Threads: every event, from the protocols manager and from the socket, runs
// on the account's own event-queue thread (the bus gives each events client
// one); so do parsing, sending and the answers to iqs. The request queue's
// worker is the account's only other thread: it runs the callbacks of
// requests that timed out, and is stopped and joined by the event thread.
//
// The account's work is split by concern: JabberProtocol.cpp (events and
// status), JabberConnection.cpp (connecting and disconnecting),
// JabberStream.cpp (the stream read and written) and JabberIq.cpp (iq routing).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "EventsClient.h"
#include "IqCallbackTable.h"
#include "IqSenders.h"
#include "JabberTimings.h"
#include "RequestQueue.h"
#include "protocols/Status.h"
#include "xml/XmlParser.h"

class CAccountSettings;
namespace CL {
class CContactList;
}
namespace Services {
class CServicesManager;
}
namespace JOVSockets {
class CJOVSocket;
class CSocketsManager;
}

class CJabberProtocol : public CEventsClient, private CIqSenders {
public:
    // The receive buffer's first size; it doubles while a piece does not fit,
    // up to the stanza limit.
    static constexpr int kInitialBufferSize = 2048;
    static constexpr int kMaxBufferSize = XmlParser::kMaxStanzaBytes;

    // Registers the account on the bus as an events client. settings must
    // outlive the account.
    CJabberProtocol(Services::CServicesManager* services, unsigned int accountId, unsigned int hostClientId,
                    CAccountSettings* settings, const JabberTimings& timings = JabberTimings());
    virtual ~CJabberProtocol();
    CJabberProtocol(const CJabberProtocol&) = delete;
    CJabberProtocol& operator=(const CJabberProtocol&) = delete;

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    unsigned int GetAccountId() const { return m_accountId; }
    unsigned int GetClientId() const { return m_clientId; }
    // 0 offline, 1 connecting, from 2 the presence class of the status shown.
    int GetState() const { return m_state.load(); }
    // What "Get status" answers: Connecting while connecting, else the status chosen.
    Protocols::Status GetStatus() const;
    int GetReceiveCapacity() const { return m_capacity; }
    const std::string& GetStreamId() const { return m_streamId; }

    // The status's record from the status table; untouched for an unknown status.
    void GetStatusInfo(Protocols::Status status, Protocols::StatusInfo& info);
    // From offline: connects. Connecting: the status is kept for when the
    // login ends. Connected: the status changes. 0, or -2 for Offline, -3
    // without the sockets service, -4 without a socket, or the sockets
    // service's connect error.
    int SetStatus(Protocols::Status status);
    void Disconnect();
    void ShowWarning(const CJOVString& text);

    // The stream (JabberStream.cpp). Both send nothing without a socket.
    void OpenStream();
    bool SendNode(const XmlNode* node);
    bool SendRaw(const char* text, int length);
    // The next stanza number, for an id "jov_N".
    int NextStanzaNumber() { return ++m_stanzaCounter; }

    // The iq structures (JabberIq.cpp).
    RequestQueue& GetRequestQueue() { return m_requests; }
    IqCallbackTable& GetIqCallbacks() { return m_iqCallbacks; }
    // Once the server bound it; our own JID is "Account name@Account server"
    // until then.
    void SetFullJid(const CJOVString& jid) { m_fullJid = jid; }
    CJOVString GetBareJid();

private:
    // Settings, with their defaults.
    CJOVString ReadString(const wchar_t* key, const wchar_t* fallback = L"");
    unsigned char ReadByte(const wchar_t* key, unsigned char fallback);
    unsigned long ReadDWord(const wchar_t* key, unsigned long fallback);

    JOVSockets::CSocketsManager* Sockets();
    CL::CContactList* ContactList();
    void PostToHost(const wchar_t* name, CEventArg* out);
    void PostStatusChanged();

    // Requests of the protocols manager.
    int OnManagerEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnDestroy();
    void OnLangChange(const CJOVString& language);

    // Connection (JabberConnection.cpp).
    int Connect(Protocols::Status status);
    void DropSocket();
    void OnSocketEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);

    // Stream (JabberStream.cpp).
    void OnReceive();
    int ReceiveData();
    bool GrowReceiveBuffer();
    void OnStreamError(XmlParser::Error error);
    static void StreamStarted(XmlNode* node, void* account);
    static void StanzaClosed(XmlNode* node, void* account);
    void OnStreamStart(XmlNode* node);
    void OnStanza(XmlNode* node);

    // Iq routing (JabberIq.cpp).
    void OnIqStanza(XmlNode* iq);
    void RefuseIq(XmlNode* iq);
    bool IsAnswerFrom(const CJOVString& asked, const CJOVString* from) override;
    bool IsFromOwnAccount(const CJOVString* from) override;
    unsigned int ContactIdOf(const CJOVString& jid) override;

    Services::CServicesManager* m_services;
    CAccountSettings* m_settings;
    JabberTimings m_timings;

    unsigned int m_accountId;
    unsigned int m_clientId;
    unsigned int m_hostClientId;
    std::atomic<int> m_state;
    std::atomic<int> m_status;
    JOVSockets::CJOVSocket* m_socket;
    // The bytes not yet parsed; capacity + 1 allocated, for a closing NUL.
    char* m_buffer;
    int m_used;
    int m_capacity;
    std::string m_streamId;
    bool m_streamRestart;
    XmlParser m_parser;
    int m_stanzaCounter;
    CJOVString m_fullJid;
    RequestQueue m_requests;
    IqCallbackTable m_iqCallbacks;
};
