// One ICQ account: its OSCAR connection (login server, then BOS server), its
// status and its requests from the program.
//
// Threads: every event, and so nearly all of the work, runs on the account's
// own event-queue thread (the bus gives each events client one). Two helper
// threads exist besides: the keep-alive thread, which sends an empty frame now
// and then and shares only the send lock, the status and the socket with the
// queue thread; and the reconnect thread, which waits and then posts
// "Set status" to the account. Both are stopped through an event and joined
// by the queue thread or the destructor, never killed.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <functional>
#include <random>
#include <vector>

#include "EventsClient.h"
#include "ICQTimings.h"
#include "packets/SRV_LOGIN_REPLY.h"
#include "RosterItem.h"
#include "packets/XStatusTable.h"
#include "protocols/ContactStatusInfo.h"
#include "protocols/Status.h"

class CAccountSettings;
namespace CL {
class CContactList;
}
class CMenuInfo;
class CSNACPacket;

namespace Services {
class CServicesManager;
}
namespace JOVSockets {
class CJOVSocket;
class CSocketsManager;
}

class CICQProtocol : public CEventsClient {
public:
    // Registers the account on the bus as an events client. settings must
    // outlive the account.
    CICQProtocol(Services::CServicesManager* services, unsigned int accountId, unsigned int ownerClientId,
                 CAccountSettings* settings, const ICQTimings& timings = ICQTimings());
    virtual ~CICQProtocol();
    CICQProtocol(const CICQProtocol&) = delete;
    CICQProtocol& operator=(const CICQProtocol&) = delete;

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    unsigned int GetAccountId() const { return m_accountId; }
    unsigned int GetClientId() const { return m_clientId; }
    Protocols::Status GetStatus() const { return static_cast<Protocols::Status>(m_status.load()); }
    Protocols::Status GetWantedStatus() const { return m_wantedStatus; }

    // The status's record from the status table; untouched for an unknown status.
    void GetStatusInfo(Protocols::Status status, Protocols::StatusInfo& info);
    // From offline: connects. Online: changes the status.
    int SetStatus(Protocols::Status status);
    int Disconnect();
    void ShowWarning(const CJOVString& text);

    // After 0x7FFF comes 0x8000, after 0x8000 comes 0.
    static unsigned short FollowingSequence(unsigned short sequence);
    void SetSequenceForTest(unsigned short sequence) { m_sequence = sequence; }
    bool IsReconnectPending() const { return m_reconnectThread != nullptr; }
    bool IsKeepAliveRunning() const { return m_keepAliveThread != nullptr; }

    // The roster (ICQRoster.cpp); read on the account's thread.
    const std::vector<RosterItem>& GetRoster() const { return m_roster; }
    RosterItem* FindContactById(unsigned int contactId);
    RosterItem* FindContactByName(const CJOVString& uin);
    RosterItem* FindPrivacyItem();
    unsigned short NewItemId() const;
    void LoadContactList();
    void SaveContactList();
    // Whether the account's presence shows to the buddy under the privacy mode.
    bool IsVisibleTo(const RosterItem* buddy) const;
    unsigned char GetPrivacyMode() const { return m_privacyMode; }

    // Presence (ICQPresence.cpp). The mode goes into the roster's privacy
    // settings item, and to the server when it changed or when forced.
    void SetPrivacyMode(unsigned char mode, bool forced);
    // An index outside the table (stored by another version, or bad) is none.
    void SetXStatus(int index);
    int GetXStatus() const { return m_xStatusIndex; }

    // Edits of the server's list (ICQEdits.cpp), by model ids. Each is sent
    // and applied to the roster only when the server acknowledges it.
    void CreateServerGroup(const CJOVString& name);
    void RenameServerGroup(unsigned int groupContactId, const CJOVString& name);
    void DeleteServerGroup(const unsigned int* groupContactId);
    void AddContact(unsigned int groupContactId, const CJOVString& uin, const CJOVString& displayName);
    void RenameContact(unsigned int contactId, const CJOVString& name);
    void MoveContact(unsigned int contactId, unsigned int groupContactId);
    void DeleteContact(unsigned int contactId);
    void AddToPrivacyList(unsigned int contactId, unsigned short listType);
    void RemoveFromPrivacyList(unsigned int contactId, unsigned short listType);
    size_t GetPendingEditCount() const { return m_pendingEdits.size(); }
    // Until the model gives the ids, tests place them on roster items.
    void SetContactIdForTest(size_t index, unsigned int contactId) { m_roster[index].contactId = contactId; }

    // Menus (ICQMenus.cpp): the program's items the account's state rules
    // out are removed, the account's own added. Each returns the event's answer.
    int InitRootMenu(CMenuInfo& menu);
    int InitGroupMenu(unsigned int groupId, CMenuInfo& menu);
    int InitContactMenu(unsigned int contactId, CMenuInfo& menu);
    int InitMessageWindowMenu(unsigned int contactId, CMenuInfo& menu);
    void BuildStatusMenu(CMenuInfo& menu);
    // A contact menu's choice, handed over from the user-interface thread.
    void OnContactAction(const CJOVString& name, unsigned int contactId);

    // User details (ICQDetails.cpp): contact id 0 asks for the account's own.
    void RequestDetails(unsigned int contactId, unsigned int uin);

    // The mirror in the program's contact-list model (ICQModel.cpp); every
    // operation does nothing when the model's service is missing.
    void ApplyRoster();
    unsigned int CreateListGroup(const RosterItem& group);
    unsigned int CreateListContact(unsigned int groupId, const CJOVString& uin, const CJOVString& displayName);
    void GetContactStatusInfo(unsigned int contactId, Protocols::ContactStatusInfo& info);
    // sentAt: when the sender wrote it, Unix seconds; 0 for now.
    void DeliverMessage(const CJOVString& uin, unsigned int kind, int imageId, const CJOVString& text,
                        const CJOVString& title, __int64 sentAt = 0);

    // Messages (ICQMessages.cpp): the packet is chosen by the buddy's client.
    void SendMessage(const RosterItem& buddy, const CJOVString& text);
    // Asks a buddy that shows an x-status for its texts.
    void RequestXStatus(const RosterItem& buddy);

    // The pages' and dialogs' requests (ICQRequests.cpp); false for a name
    // that is not one of them.
    bool OnDialogRequest(const CJOVString& name, CEventArg* arg);
    void AskAuthorization(unsigned int contactId, const CJOVString& reason);
    // One meta set-info request with the fields, while online.
    void SendOwnDetails(const CTLVCol& fields);
    // Drops the roster, its cache and its mirror in the model.
    void ForgetContactList();

private:
    typedef std::function<int(unsigned short sequence, unsigned char* buffer, int size)> PacketBuilder;

    // Settings, with their defaults.
    CJOVString ReadString(const wchar_t* key, const wchar_t* fallback = L"");
    unsigned char ReadByte(const wchar_t* key, unsigned char fallback);
    unsigned short ReadWord(const wchar_t* key, unsigned short fallback);
    unsigned int ReadUin();
    // The account's own UIN: the login name's, or for a name that is not a
    // number (an e-mail login) the one the login server answered with.
    unsigned int OwnUin();
    // The same in decimal, for the packets that carry it as text.
    CJOVString OwnUinText();

    JOVSockets::CSocketsManager* Sockets();
    void PostToOwner(const wchar_t* name, CEventArg* out);
    void PostStatusChanged();
    void SetCurrentStatus(Protocols::Status status);
    unsigned int NextRequestId();

    // Manager requests.
    int OnManagerEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnCreate();
    void OnDestroy();
    void OnSetStatusRequest(Protocols::Status status);

    // Connection (ICQConnection.cpp).
    int Connect(Protocols::Status status);
    void OnSocketEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnReceive();
    void DropSocket();
    void ConnectToBos();
    bool SendPacket(const PacketBuilder& build);
    bool SendRaw(const std::function<void(unsigned short sequence, std::vector<unsigned char>& bytes)>& build);
    void SendVersion();
    void SendSsiRightsRequest();
    void SendIdleTime();
    void SendHeaderOnlySnac(unsigned short family, unsigned short subtype);
    void HandleChannel1(const unsigned char* packet, int length);
    void HandleChannel4(const unsigned char* packet, int length);
    void OnLoginReply(const unsigned char* packet, int length);
    void OnLoginComplete();
    void StartReconnect();
    void StopReconnect();
    void StartKeepAlive();
    void StopKeepAlive();
    static DWORD WINAPI KeepAliveThread(LPVOID account);
    static DWORD WINAPI ReconnectThread(LPVOID account);

    // SNAC dispatch (ICQSnacDispatch.cpp).
    int HandleSnac(const unsigned char* packet, int length);
    void HandleServiceFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    void HandleLocationFamily(const CSNACPacket& snac);
    void HandleSsiFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    void HandleAuthFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    void HandleExtensionsFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    void HandleOwnInfo(const unsigned char* packet, int length);
    void SendXStatusCapabilities();
    int ClampXStatus(int index) const;
    void RequestContactList();
    void HandleBuddyFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    void HandleIcbmFamily(const CSNACPacket& snac, const unsigned char* packet, int length);
    bool InList(const RosterItem& buddy, unsigned short listType) const;
    void HandleMetaReply(unsigned short metaSequence, const unsigned char* packet, int length);
    CL::CContactList* ContactList();
    void PushContactStatus(const RosterItem& buddy);
    enum EditOperation { kEditAdd = 1, kEditUpdate = 2, kEditDelete = 3, kEditMoveDelete = 4, kEditMoveAdd = 5 };
    struct PendingEdit {
        int operation;
        SSIItem item;
    };
    void SendEdit(int operation, const SSIItem& item);
    void HandleEditAck(const CSNACPacket& snac, const unsigned char* packet, int length);
    void ApplyEdit(const PendingEdit& edit);
    RosterItem* FindGroupById(unsigned short groupId);

    Services::CServicesManager* m_services;
    CAccountSettings* m_settings;
    ICQTimings m_timings;

    Protocols::Status m_connectStatus;
    unsigned int m_accountId;
    unsigned int m_clientId;
    unsigned int m_ownerClientId;
    std::atomic<int> m_status;
    Protocols::Status m_wantedStatus;
    JOVSockets::CJOVSocket* m_socket;
    bool m_headerPending;
    unsigned char m_flapHeader[6];
    unsigned short m_sequence;  // guarded by m_sendLock
    CSRV_LOGIN_REPLY m_loginReply;
    unsigned int m_ownUin;  // 0 until known
    bool m_bosPending;  // the login reply named a BOS server not yet greeted
    bool m_onLoginServer;  // connected to the login server, its reply not yet in
    // Set once per session when the login steps have run; the status alone
    // cannot tell, since the own-info packet may end Connecting before it.
    bool m_loginComplete;
    unsigned char m_privacyMode;
    XStatusTable m_xStatuses;
    int m_xStatusIndex;
    unsigned short m_metaSequence;
    std::vector<RosterItem> m_roster;
    // Meta sequence number -> contact id (0 the account); kept after the
    // replies, since one request is answered by several.
    std::map<unsigned short, unsigned int> m_detailsRequests;
    std::map<unsigned int, PendingEdit> m_pendingEdits;  // by request id
    unsigned int m_ssiTime;
    std::mt19937 m_random;

    CRITICAL_SECTION m_sendLock;
    HANDLE m_keepAliveThread;
    HANDLE m_keepAliveStop;
    HANDLE m_reconnectThread;
    HANDLE m_reconnectStop;
};
