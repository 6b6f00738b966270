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
// JabberPresence.cpp (the own status sent as presence, the status menu),
// JabberIq.cpp (iq routing, service discovery), JabberRoster.cpp (the roster
// mirrored into the contact-list model and the user's changes sent back),
// JabberContactStatus.cpp (the contacts' presence and subscriptions),
// JabberMessages.cpp (messages, receipts, chat states) and JabberMenus.cpp
// (the account's part of the menus).
//
// The contact-list model is called only from the event thread, and never
// with the roster lock held.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CapsCache.h"
#include "EventsClient.h"
#include "IqCallbackTable.h"
#include "IqSenders.h"
#include "JabberAuth.h"
#include "JabberList.h"
#include "JabberSettings.h"
#include "JabberTimings.h"
#include "RequestQueue.h"
#include "StreamCompression.h"
#include "protocols/ContactStatusInfo.h"
#include "protocols/MessageInfo.h"
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
    // Our </stream:stream>, once, while our stream is open.
    void EndStream();
    bool SendNode(const XmlNode* node);
    bool SendRaw(const char* text, int length);
    // The next stanza number, for an id "jov_N".
    int NextStanzaNumber() { return ++m_stanzaCounter; }

    // The roster (JabberRoster.cpp). Groups and contacts of the model, and
    // the user's changes, each sent to the server as a roster set; a change
    // the server refuses is told to the user and taken back in the model.
    unsigned int CreateGroup(const CJOVString& name);
    unsigned int FindGroupByName(const CJOVString& name);
    unsigned int CreateContact(const CJOVString& jid, const CJOVString& name, unsigned int groupId,
                               int subscription);
    void RenameContact(unsigned int contactId, const CJOVString& name);
    void MoveContact(unsigned int contactId, unsigned int groupId);
    void DeleteContact(unsigned int contactId);
    void RenameGroup(unsigned int groupId, const CJOVString& name);
    // Null: the contacts outside the roster.
    void DeleteGroup(const unsigned int* groupId);
    void RosterRemoveItem(const CJOVString& jid);

    // The contacts' presence (JabberContactStatus.cpp).
    void UpdateContactStatus(const CJOVString& jid);
    void GetContactStatusInfo(unsigned int contactId, Protocols::ContactStatusInfo& info);
    // presence type "subscribe", "subscribed" or "unsubscribed" to the JID.
    void SendSubscription(const CJOVString& jid, const char* type);

    // Messages (JabberMessages.cpp). DeliverMessage answers whether the
    // model took it; a stranger becomes a contact directly under the account.
    bool DeliverMessage(const CJOVString& jid, unsigned int kind, int image, const CJOVString& text,
                        const CJOVString& title);
    void SendMessageStanza(const CJOVString& jid, const CJOVString& text, bool special, unsigned int cookie);
    // "Send message": warns, naming the contact, when it cannot go.
    void OnSendMessage(const Protocols::MessageInfo& message);
    // Line ends as CR LF, whatever the sender used.
    static CJOVString NormaliseLineBreaks(const CJOVString& text);

    // Menus (JabberMenus.cpp): the program's items the account's state rules
    // out are removed, the account's own added. Each returns the event's answer.
    int InitRootMenu(CMenuInfo& menu);
    int InitGroupMenu(unsigned int groupId, CMenuInfo& menu);
    int InitContactMenu(unsigned int contactId, CMenuInfo& menu);
    int InitMessageWindowMenu(unsigned int contactId, CMenuInfo& menu);
    // A menu's choice, handed over from the user-interface thread.
    void OnContactAction(const CJOVString& name, unsigned int contactId);

    CJabberList& GetList() { return m_list; }
    CCapsCache& GetCapsCache() { return m_caps; }

    // The iq structures (JabberIq.cpp).
    RequestQueue& GetRequestQueue() { return m_requests; }
    IqCallbackTable& GetIqCallbacks() { return m_iqCallbacks; }
    // Roster changes sent whose answer is still awaited: what a refusal
    // would take back.
    size_t PendingRosterChanges() const { return m_rosterUndo.size(); }
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
    // The requests about the contact list, its menus and messages.
    int OnContactListEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
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
    static void StanzaSkipped(XmlNode* node, void* account);
    static void StreamEnded(XmlNode* node, void* account);
    void OnStreamStart(XmlNode* node);
    void OnStanza(XmlNode* node);
    void OnSkippedStanza(XmlNode* node);
    void OnStreamEnd();

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

    // Presence (JabberPresence.cpp, JabberContactStatus.cpp).
    void OnPresenceStanza(XmlNode* node);
    void OnOwnPresenceRefused(XmlNode* node);
    void OnContactAvailable(XmlNode* node, const CJOVString& from);
    void OnContactUnavailable(XmlNode* node, const CJOVString& from);
    void OnSubscribeRequest(const CJOVString& jid, const CJOVString& reason);
    void OnSubscribed(const CJOVString& jid);
    void PushContactStatus(unsigned int contactId);
    // Every contact offline, in one transaction of the model.
    void SetContactsOffline();

    // Roster (JabberRoster.cpp).
    struct RosterUndo {
        CJOVString jid;
        CJOVString name;
        std::vector<CJOVString> groups;
        // A renamed group: its id, its name before and after.
        unsigned int groupId = 0;
        CJOVString groupName;
        CJOVString newGroupName;
    };
    void OnCreate();
    void ApplyRoster(XmlNode* query);
    void ApplyRosterPush(XmlNode* query);
    void RosterSetItem(const CJOVString& jid, const CJOVString& name, const std::vector<CJOVString>& groups,
                       const RosterUndo& undo);
    static void RosterPushed(const IqValues& values, XmlNode* iq, CJabberProtocol* account, void* data);
    static void RosterSetAnswered(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);
    void UndoRosterChange(const RosterUndo& undo);
    void SetSubscriptionOf(const CJOVString& jid, int subscription);

    // Messages (JabberMessages.cpp).
    void OnMessageStanza(XmlNode* node);
    void OnMessageError(XmlNode* node, const CJOVString& from);
    // The receipt and the "delivered" event a sender asked for, once the
    // message is in the model, and only to a contact that sees our presence.
    void AnswerDelivery(const CJOVString& to, const CJOVString* id, bool receipt, bool delivered);
    bool IsOwnServer(const CJOVString& jid);
    // The contact's name for a warning: its name in the list, else the JID.
    CJOVString NameOf(const CJOVString& jid);

    // Iq routing (JabberIq.cpp).
    void OnIqStanza(XmlNode* iq);
    // An error answer to a request: by default, that nobody here serves it.
    void RefuseIq(XmlNode* iq, const char* type = "cancel", const char* condition = "service-unavailable");
    // A stanza the parser skipped, named "iq".
    void OnSkippedIq(XmlNode* iq);
    void AddDiscoInfoHandler();
    static void DiscoInfoAsked(const IqValues& values, XmlNode* iq, CJabberProtocol* account, void* data);
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
    bool m_streamOpen;  // our header sent, our end not yet
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
    CJabberList m_list;
    // Sent messages by stanza number: the contact they went to.
    std::map<int, unsigned int> m_sentMessages;
    // Roster sets by stanza number: what to put back when one is refused.
    std::map<int, RosterUndo> m_rosterUndo;
    CCapsCache m_caps;
    bool m_created;
};
