// One XMPP account: its stream to the server, its status and its requests
// from the program.
//
// Threads: every event, from the protocols manager and from the socket, runs
// on the account's own event-queue thread (the bus gives each events client
// one); so do parsing, sending and the answers to iqs. The request queue's
// worker is the account's only other thread: it runs the callbacks of
// requests that timed out, and is stopped and joined by the event thread.
// The option pages, on the user-interface thread, read only the state.
//
// The account's work is split by concern: JabberProtocol.cpp (events),
// JabberConnection.cpp (connecting, disconnecting, why a connection ended),
// JabberStream.cpp (the stream read and written, compressed or not),
// JabberLogin.cpp (features, SASL, binding, session, the roster request),
// JabberPresence.cpp (the own status sent as presence, the status menu) and
// JabberIq.cpp (iq routing).
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "EventsClient.h"
#include "IqCallbackTable.h"
#include "IqSenders.h"
#include "JabberAuth.h"
#include "JabberSettings.h"
#include "JabberTimings.h"
#include "RequestQueue.h"
#include "StreamCompression.h"
#include "protocols/Status.h"
#include "xml/XmlParser.h"

class CAccountSettings;
class CMenuInfo;
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
    bool IsCompressed() const { return m_compressionOn; }
    // The SASL mechanism of the current login; empty before one is chosen.
    std::string GetMechanism() const;
    const CJOVString& GetFullJid() const { return m_fullJid; }
    // What "Get status" answers: Connecting while connecting, else the status chosen.
    Protocols::Status GetStatus() const;
    int GetReceiveCapacity() const { return m_capacity; }
    const std::string& GetStreamId() const { return m_streamId; }

    // The status's record from the status table; untouched for an unknown status.
    void GetStatusInfo(Protocols::Status status, Protocols::StatusInfo& info);
    // From offline: connects. Connecting: the status is kept for when the
    // login ends. Connected: the status is sent. 0, or -2 for Offline, -3
    // without the sockets service, without account data or with a port out
    // of range (then with a warning), -4 without a socket, or the sockets
    // service's connect error.
    int SetStatus(Protocols::Status status);
    void Disconnect();
    void ShowWarning(const CJOVString& text);
    // The "Account" page changed the user name or the server.
    void NotifyAccountChanged();

    // The own status (JabberPresence.cpp): the presence of the status, sent
    // while connected; `to` empty for the server and every contact.
    void ApplyStatus(Protocols::Status status);
    void SendPresence(Protocols::Status status, const CJOVString& to = CJOVString(),
                      std::unique_ptr<XmlNode> extra = nullptr);
    void BuildStatusMenu(CMenuInfo& menu);
    // The class of presence a status is sent as, and its extended-status value.
    static int PresenceClassOf(Protocols::Status status);
    static int XStatusOf(Protocols::Status status);

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
    bool UsesSsl() { return ReadByte(JABBER_KEY_SSL, kJabberDefaultSsl) != 0; }

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
    void ResetConnectionState();
    void DropSocket();
    void OnSocketEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnConnectFailed(int error);
    // Tells the user why the connection ends, once per connection.
    void WarnOnce(const CJOVString& text);
    // Warns, closes the stream and goes offline.
    void FailLogin(const CJOVString& text);
    static void LoginTimerExpired(PendingRequest& request, XmlNode* iq, CJabberProtocol* account);
    void OnLoginTimer(int serial);

    // Stream (JabberStream.cpp).
    void OnReceive();
    int ReceiveData();
    int ReceiveCompressed();
    bool SendCompressed(const char* data, int length);
    bool GrowReceiveBuffer();
    void OnStreamError(XmlParser::Error error);
    static void StreamStarted(XmlNode* node, void* account);
    static void StanzaClosed(XmlNode* node, void* account);
    void OnStreamStart(XmlNode* node);
    void OnStanza(XmlNode* node);

    // Login (JabberLogin.cpp).
    struct StreamFeatures {
        bool starttls = false;
        bool zlib = false;
        bool mechanisms = false;
        bool digestMd5 = false;
        bool plain = false;
        bool legacyAuth = false;
        bool session = false;
    };
    void OnStreamFeatures(XmlNode* features);
    void Authenticate();
    void OnCompressed(XmlNode* node);
    void OnCompressionRefused();
    void OnSaslChallenge(XmlNode* node);
    void OnSaslSuccess(XmlNode* node);
    void OnSaslFailure(XmlNode* node);
    void OnStreamErrorStanza(XmlNode* node);
    void RefuseLegacyLogin();
    void BindResource();
    static void BindAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);
    static void SessionAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);
    static void RosterAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);
    void RequestRoster();
    JabberCredentials Credentials();

    // Presence (JabberPresence.cpp).
    void OnPresenceStanza(XmlNode* node);

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
    bool m_legacyLogin;
    int m_stanzaCounter;
    std::unique_ptr<TJabberAuth> m_auth;
    bool m_authenticated;
    bool m_sessionRequired;
    CJOVString m_fullJid;
    StreamFeatures m_features;  // the last ones offered, for after a refused compression
    bool m_compressionAsked;
    bool m_compressionOn;
    CStreamCompression m_compression;
    // Each connection's number: a timer of an earlier one finds it changed.
    int m_connectionSerial;
    bool m_warned;
    int m_xStatus;
    // The status of the last presence the server kept (0: none yet), and
    // whether an Invisible still waits for the server's word.
    Protocols::Status m_heldStatus;
    bool m_invisiblePending;
    RequestQueue m_requests;
    IqCallbackTable m_iqCallbacks;
};
