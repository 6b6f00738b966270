// The account's connection: connect, FLAP framing, login to the login server
// and hand-over to the BOS server, the login steps, disconnect, keep-alive and
// reconnect.
#include "ICQProtocol.h"

#include "ICQSettingKeys.h"
#include "ScreenName.h"
#include "EventArgData.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "ServicesManager.h"
#include "SocketsManager.h"
#include "packets/CLI_AUTH_REQUEST.h"
#include "packets/CLI_COOKIE.h"
#include "packets/CLI_META_REQ.h"
#include "packets/CLI_READY.h"
#include "packets/CLI_SETICBM.h"
#include "packets/CLI_SETxSTATUS.h"
#include "packets/LoginErrorTexts.h"
#include "PluginModule.h"
#include "packets/SRV_AUTH_FAILED.h"
#include "packets/SRV_HELLO.h"
#include "packets/StatusTable.h"

namespace {

const unsigned char kFlapStart = 0x2A;

// Login error codes after which the server wants the client to come back later.
bool IsRetryLoginError(unsigned short code)
{
    return code == 24 || code == 29;
}

void PutU16(std::vector<unsigned char>& bytes, unsigned int value)
{
    bytes.push_back(static_cast<unsigned char>(value >> 8));
    bytes.push_back(static_cast<unsigned char>(value));
}

void PutU32(std::vector<unsigned char>& bytes, unsigned int value)
{
    PutU16(bytes, value >> 16);
    PutU16(bytes, value & 0xFFFF);
}

void PutFlapHeader(std::vector<unsigned char>& bytes, unsigned char channel, unsigned short sequence,
                   unsigned short dataLength)
{
    bytes.push_back(kFlapStart);
    bytes.push_back(channel);
    PutU16(bytes, sequence);
    PutU16(bytes, dataLength);
}

void PutSnacHeader(std::vector<unsigned char>& bytes, unsigned short sequence, unsigned short dataLength,
                   unsigned short family, unsigned short subtype, unsigned int requestId)
{
    PutFlapHeader(bytes, 2, sequence, dataLength);
    PutU16(bytes, family);
    PutU16(bytes, subtype);
    PutU16(bytes, 0);
    PutU32(bytes, requestId);
}

JOVSockets::CJOVSocket* SocketOf(CEventArg* arg)
{
    auto* data = dynamic_cast<CEventArg_Data<JOVSockets::CJOVSocket*>*>(arg);
    return data ? data->m_data : nullptr;
}

} // namespace

unsigned short CICQProtocol::FollowingSequence(unsigned short sequence)
{
    return sequence == 0x8000 ? 0 : static_cast<unsigned short>(sequence + 1);
}

int CICQProtocol::SetStatus(Protocols::Status status)
{
    if (GetStatus() == Protocols::StatusOffline)
        return Connect(status);
    if (status == Protocols::StatusOffline)
        return -2;
    m_wantedStatus = status;
    // A reconnect comes back with the status last chosen, not the first.
    m_connectStatus = status;
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_SETxSTATUS packet(sequence, NextRequestId(), 0x1000, StatusToIcqStatus(status), true);
        return packet.Pack(buffer, size);
    });
    return 0;
}

int CICQProtocol::Connect(Protocols::Status status)
{
    if (status == Protocols::StatusOffline)
        return -2;
    std::vector<unsigned char> password;
    if (m_settings)
        m_settings->GetData(m_accountId, CJOVString(ICQ_KEY_PASSWORD), password);
    bool hasPassword = false;
    for (size_t i = 0; i < password.size() && i < 16; ++i)
        hasPassword = hasPassword || password[i] != 0;
    if (ReadString(ICQ_KEY_ACCOUNT_NAME).GetLength() == 0 || !hasPassword) {
        ShowWarning(GetPluginText(97, L"Please enter account data"));
        return -3;
    }
    m_bosPending = false;
    m_onLoginServer = false;
    m_ownUin = ReadUin();
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets)
        return -3;
    DropSocket();
    m_socket = sockets->CreateSocket(m_clientId);
    if (!m_socket)
        return -4;
    JOVSockets::SocketParams params = sockets->GetProxySettings();
    params.host = ReadString(ICQ_KEY_SERVER_NAME, ICQ_DEFAULT_SERVER);
    params.port = ReadWord(ICQ_KEY_SERVER_PORT, kIcqDefaultPort);
    params.sslMode = JOVSockets::kSslNone;
    m_headerPending = false;
    int result = sockets->Connect(m_socket, &params);
    if (result != 0) {
        DropSocket();
        return result;
    }
    sockets->SetKeepAlive(m_socket, 1);
    m_onLoginServer = true;
    TraceMark(L"ICQ connecting");
    m_loginComplete = false;
    m_connectStatus = status;
    m_wantedStatus = status;
    SetCurrentStatus(Protocols::StatusConnecting);
    return 0;
}

void CICQProtocol::DropSocket()
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (sockets && m_socket && sockets->IsValidSocket(m_socket)) {
        sockets->Close(m_socket);
        sockets->DestroySocket(m_socket);
    }
    m_socket = nullptr;
    m_headerPending = false;
}

int CICQProtocol::Disconnect()
{
    m_wantedStatus = Protocols::StatusOffline;
    m_bosPending = false;
    m_onLoginServer = false;
    StopKeepAlive();
    DropSocket();
    if (GetStatus() == Protocols::StatusOffline)
        return 0;
    SetCurrentStatus(Protocols::StatusOffline);
    for (RosterItem& item : m_roster) {
        if (item.status != Protocols::StatusOffline) {
            item.status = Protocols::StatusOffline;
            PushContactStatus(item);
        }
    }
    return 0;
}

void CICQProtocol::OnSocketEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    // Events of a socket already given up (the login connection after the
    // hand-over, one destroyed by a disconnect) still arrive: they are no
    // longer this account's business.
    if (!m_socket || SocketOf(arg1) != m_socket)
        return;
    if (name == CJOVString(L"Receive")) {
        OnReceive();
    } else if (name == CJOVString(L"Connect")) {
        m_headerPending = false;
        if (arg2) {
            ShowWarning(GetPluginText(96, L"Socket connect error"));
            Disconnect();
            StartReconnect();
        }
    } else if (name == CJOVString(L"Close")) {
        if (m_bosPending) {
            // The BOS server went before its greeting: the login fails as a
            // connect does. The login connection's own close never gets here,
            // its socket is no longer ours.
            ShowWarning(GetPluginText(96, L"Socket connect error"));
            Disconnect();
            StartReconnect();
        } else if (m_wantedStatus != Protocols::StatusOffline) {
            Disconnect();
            StartReconnect();
        }
    }
}

void CICQProtocol::OnReceive()
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets)
        return;
    JOVSockets::CJOVSocket* socket = m_socket;
    int available = sockets->GetBufferedLength(socket);
    for (;;) {
        if (!m_headerPending) {
            if (available < kFlapHeaderSize)
                return;
            if (sockets->Read(m_socket, m_flapHeader, kFlapHeaderSize) < kFlapHeaderSize)
                return;
            m_headerPending = true;
        } else {
            available += kFlapHeaderSize;
        }
        if (m_flapHeader[0] != kFlapStart) {
            // Framing lost: nothing later in the stream can be trusted.
            m_headerPending = false;
            Disconnect();
            StartReconnect();
            return;
        }
        int dataLength = (m_flapHeader[4] << 8) | m_flapHeader[5];
        int total = dataLength + kFlapHeaderSize;
        if (available < total)
            return;
        std::vector<unsigned char> packet(static_cast<size_t>(total));
        memcpy(packet.data(), m_flapHeader, kFlapHeaderSize);
        if (dataLength > 0 && sockets->Read(m_socket, packet.data() + kFlapHeaderSize, dataLength) < dataLength)
            return;  // the count said the bytes were there; wait for the rest
        m_headerPending = false;
        available -= total;
        switch (m_flapHeader[1]) {
        case 1:
            HandleChannel1(packet.data(), total);
            break;
        case 2:
            HandleSnac(packet.data(), total);
            break;
        case 4:
            HandleChannel4(packet.data(), total);
            break;
        default:
            break;
        }
        // A handler may have ended the connection, or traded it for the BOS
        // one: what is buffered belongs to the old socket.
        if (m_socket != socket || !sockets->IsValidSocket(m_socket))
            return;
    }
}

bool CICQProtocol::SendPacket(const PacketBuilder& build)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets || !m_socket)
        return false;
    // Room for the largest frame: a builder runs once (it may take request ids),
    // so it cannot be asked its length first, and a long message must not be
    // refused for want of room.
    std::vector<unsigned char> buffer(kMaxFrameSize);
    EnterCriticalSection(&m_sendLock);
    m_sequence = FollowingSequence(m_sequence);
    int length = build(m_sequence, buffer.data(), kMaxFrameSize);
    bool sent = length > 0 && sockets->Send(m_socket, buffer.data(), length) == 0;
    LeaveCriticalSection(&m_sendLock);
    return sent;
}

bool CICQProtocol::SendRaw(const std::function<void(unsigned short, std::vector<unsigned char>&)>& build)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets || !m_socket)
        return false;
    std::vector<unsigned char> bytes;
    EnterCriticalSection(&m_sendLock);
    m_sequence = FollowingSequence(m_sequence);
    build(m_sequence, bytes);
    bool sent = sockets->Send(m_socket, bytes.data(), static_cast<int>(bytes.size())) == 0;
    LeaveCriticalSection(&m_sendLock);
    return sent;
}

void CICQProtocol::SendVersion()
{
    SendRaw([](unsigned short sequence, std::vector<unsigned char>& bytes) {
        PutFlapHeader(bytes, 1, sequence, 4);
        PutU32(bytes, 1);
    });
}

void CICQProtocol::SendSsiRightsRequest()
{
    SendRaw([](unsigned short sequence, std::vector<unsigned char>& bytes) {
        PutSnacHeader(bytes, sequence, 16, 0x13, 0x02, 2);
        PutU16(bytes, 0x000B);
        PutU16(bytes, 2);
        PutU16(bytes, 0x000F);
    });
}

void CICQProtocol::SendIdleTime()
{
    unsigned int requestId = NextRequestId();
    SendRaw([requestId](unsigned short sequence, std::vector<unsigned char>& bytes) {
        PutSnacHeader(bytes, sequence, 14, 0x01, 0x11, requestId);
        PutU32(bytes, 0);
    });
}

void CICQProtocol::SendHeaderOnlySnac(unsigned short family, unsigned short subtype)
{
    unsigned int requestId = NextRequestId();
    SendRaw([=](unsigned short sequence, std::vector<unsigned char>& bytes) {
        PutSnacHeader(bytes, sequence, 10, family, subtype, requestId);
    });
}

void CICQProtocol::HandleChannel1(const unsigned char* packet, int length)
{
    CSRV_HELLO hello;
    if (!Sockets() || hello.Unpack(packet, length) <= 0)
        return;
    if (m_onLoginServer) {
        CJOVString uin = ReadString(ICQ_KEY_ACCOUNT_NAME);
        SendVersion();
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_AUTH_REQUEST request(sequence, 0, uin);
            return request.Pack(buffer, size);
        });
        return;
    }
    // A greeting on an established session starts no login.
    if (!m_bosPending)
        return;
    m_bosPending = false;
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_COOKIE cookie(sequence, m_loginReply);
        return cookie.Pack(buffer, size);
    });
}

void CICQProtocol::OnLoginReply(const unsigned char* packet, int length)
{
    CSRV_LOGIN_REPLY reply;
    if (reply.Unpack(packet, length) <= 0)
        return;
    m_onLoginServer = false;
    m_loginReply = reply;
    unsigned short cookieLength = 0;
    m_loginReply.GetCookie(cookieLength);
    unsigned short error = m_loginReply.GetErrorCode();
    if (error != 0 || m_loginReply.GetHost().GetLength() == 0 || cookieLength == 0) {
        // A reply without a server to go on to is a failed login too, even
        // when it names no error.
        CJOVString text = m_loginReply.GetErrorText();
        if (text.GetLength() == 0)
            text = GetLoginErrorText(0);
        if (text.GetLength() == 0)
            text = CJOVString(L"Login failed");
        ShowWarning(text);
        Disconnect();
        if (IsRetryLoginError(error))
            StartReconnect();
        return;
    }
    TraceMark(L"ICQ login reply");
    if (m_ownUin == 0)
        m_ownUin = UinOfScreenName(m_loginReply.GetUIN());
    DropSocket();
    JOVSockets::CSocketsManager* sockets = Sockets();
    m_socket = sockets ? sockets->CreateSocket(m_clientId) : nullptr;
    if (!m_socket) {
        Disconnect();
        return;
    }
    m_bosPending = true;
    if (m_services)
        m_services->SendEventToClient(m_clientId, GUID_ICQProtocol, CJOVString(L"Connect to BOS server"), nullptr,
                                      nullptr, false);
}

void CICQProtocol::ConnectToBos()
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets || !m_socket || !m_bosPending)
        return;
    JOVSockets::SocketParams params = sockets->GetProxySettings();
    params.host = m_loginReply.GetHost();
    params.port = static_cast<int>(m_loginReply.GetPort());
    params.sslMode = JOVSockets::kSslNone;
    m_headerPending = false;
    if (sockets->Connect(m_socket, &params) != 0) {
        Disconnect();
        return;
    }
    sockets->SetKeepAlive(m_socket, 1);
}

void CICQProtocol::HandleChannel4(const unsigned char* packet, int length)
{
    CSRV_AUTH_FAILED signoff;
    if (!Sockets() || signoff.Unpack(packet, length) <= 0)
        return;
    unsigned short error = signoff.GetErrorCode();
    if (error != 0) {
        CJOVString text = signoff.GetErrorText();
        Disconnect();
        if (IsRetryLoginError(error))
            StartReconnect();
        ShowWarning(text);
    } else if (signoff.GetDisconnectCode() != 0) {
        CJOVString text = signoff.GetDisconnectText();
        Disconnect();
        ShowWarning(text);
    }
}

void CICQProtocol::OnLoginComplete()
{
    TraceMark(L"ICQ login steps sent");
    m_loginComplete = true;
    SendXStatusCapabilities();
    const unsigned short channels[3] = {1, 2, 4};
    const unsigned int flags[3] = {0x0B, 0x03, 0x03};
    for (int i = 0; i < 3; ++i) {
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SETICBM packet(sequence, NextRequestId(), channels[i], flags[i], 8000, 999, 999, 0);
            return packet.Pack(buffer, size);
        });
    }
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_SETxSTATUS packet(sequence, NextRequestId(), 0x1000, StatusToIcqStatus(m_wantedStatus), true);
        return packet.Pack(buffer, size);
    });
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_READY packet(sequence, NextRequestId());
        return packet.Pack(buffer, size);
    });
    if (m_privacyMode != 0) {
        SetPrivacyMode(m_privacyMode, false);
    } else {
        const RosterItem* privacy = FindPrivacyItem();
        const CTLV* mode = privacy ? privacy->tlvs.GetTLV(0x00CA) : nullptr;
        if (mode && mode->GetDataLength() >= 1 && mode->GetData())
            m_privacyMode = mode->GetData()[0];
    }
    SendHeaderOnlySnac(0x13, 0x07);
    SendIdleTime();
    unsigned int uin = OwnUin();
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_META_REQ packet(sequence, NextRequestId(), 10, uin, 0x3C, ++m_metaSequence);
        return packet.Pack(buffer, size);
    });
    if (ReadByte(ICQ_KEY_KEEP_ALIVE, 1))
        StartKeepAlive();
}

void CICQProtocol::StartReconnect()
{
    if (!ReadByte(ICQ_KEY_KEEP_ALIVE, 1))
        return;
    StopReconnect();
    ResetEvent(m_reconnectStop);
    m_reconnectThread = CreateThread(nullptr, 0, ReconnectThread, this, 0, nullptr);
}

void CICQProtocol::StopReconnect()
{
    if (!m_reconnectThread)
        return;
    SetEvent(m_reconnectStop);
    WaitForSingleObject(m_reconnectThread, INFINITE);
    CloseHandle(m_reconnectThread);
    m_reconnectThread = nullptr;
}

DWORD WINAPI CICQProtocol::ReconnectThread(LPVOID account)
{
    auto* self = static_cast<CICQProtocol*>(account);
    if (self->m_connectStatus <= Protocols::StatusConnecting)
        return 0;
    if (WaitForSingleObject(self->m_reconnectStop, self->m_timings.reconnectDelayMs) != WAIT_TIMEOUT)
        return 1;
    if (self->m_services) {
        self->m_services->SendEventToClient(self->m_clientId, GUID_ProtocolsManager, CJOVString(L"Set status"),
                                            new CEventArg_Data<Protocols::Status>(self->m_connectStatus), nullptr,
                                            false);
    }
    return 0;
}

void CICQProtocol::StartKeepAlive()
{
    StopKeepAlive();
    ResetEvent(m_keepAliveStop);
    m_keepAliveThread = CreateThread(nullptr, 0, KeepAliveThread, this, 0, nullptr);
}

void CICQProtocol::StopKeepAlive()
{
    if (!m_keepAliveThread)
        return;
    SetEvent(m_keepAliveStop);
    WaitForSingleObject(m_keepAliveThread, INFINITE);
    CloseHandle(m_keepAliveThread);
    m_keepAliveThread = nullptr;
}

DWORD WINAPI CICQProtocol::KeepAliveThread(LPVOID account)
{
    auto* self = static_cast<CICQProtocol*>(account);
    if (!self)
        return 0;
    while (WaitForSingleObject(self->m_keepAliveStop, self->m_timings.keepAliveIntervalMs) == WAIT_TIMEOUT) {
        if (self->GetStatus() >= Protocols::StatusOnline) {
            self->SendRaw([](unsigned short sequence, std::vector<unsigned char>& bytes) {
                PutFlapHeader(bytes, 5, sequence, 0);
            });
        }
    }
    return 0;
}
