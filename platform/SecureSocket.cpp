#define SECURITY_WIN32
#include "SecureSocket.h"

#include <wincrypt.h>
#include <security.h>
#include <schannel.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <vector>

namespace {

const unsigned char kAlertRecord = 21;  // TLS record content type

const DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                              ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                              ISC_REQ_MANUAL_CRED_VALIDATION;

struct SecureState {
    DWORD protocols = SSL_PROTOCOL_SSL3 | SSL_PROTOCOL_TLS1;
    DWORD flags = 0;
    SSLVALIDATECERTHOOK hook = {nullptr, nullptr};
    bool handshakeDone = false;
    bool handshakeFailed = false;
    bool peerClosed = false;
    bool closeNotifySent = false;
    bool haveCredentials = false;
    bool haveContext = false;
    CredHandle credentials = {};
    CtxtHandle context = {};
    SecPkgContext_StreamSizes sizes = {};
    std::vector<char> incoming;  // received records not yet decrypted
    std::vector<char> plain;     // decrypted bytes not yet handed out

    ~SecureState()
    {
        if (haveContext)
            DeleteSecurityContext(&context);
        if (haveCredentials)
            FreeCredentialsHandle(&credentials);
    }
};

struct Registry {
    CRITICAL_SECTION lock;
    std::map<SOCKET, SecureState*> sockets;
    Registry() { InitializeCriticalSection(&lock); }
};

Registry& GetRegistry()
{
    static Registry* registry = new Registry();  // lives to the process end: workers may outlive statics
    return *registry;
}

SecureState* Find(SOCKET s)
{
    Registry& registry = GetRegistry();
    EnterCriticalSection(&registry.lock);
    auto found = registry.sockets.find(s);
    SecureState* state = found == registry.sockets.end() ? nullptr : found->second;
    LeaveCriticalSection(&registry.lock);
    return state;
}

int Fail(int error)
{
    WSASetLastError(error);
    return SOCKET_ERROR;
}

bool SendRaw(SOCKET s, const char* data, size_t length)
{
    while (length > 0) {
        int chunk = static_cast<int>(std::min<size_t>(length, 1 << 20));
        int sent = ::send(s, data, chunk, 0);
        if (sent == SOCKET_ERROR || sent == 0)
            return false;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

// Appends what one recv gives; false when the peer closed or failed.
bool ReceiveRaw(SOCKET s, std::vector<char>& into)
{
    char chunk[16384];
    int n = ::recv(s, chunk, sizeof chunk, 0);
    if (n <= 0)
        return false;
    into.insert(into.end(), chunk, chunk + n);
    return true;
}

// SSL 2, SSL 3 and TLS 1.0/1.1 are broken or refused by servers of today:
// every mode asks for the versions they accept.
DWORD SchannelProtocols(DWORD mask)
{
    if (mask & (SSL_PROTOCOL_SSL2 | SSL_PROTOCOL_SSL3 | SSL_PROTOCOL_TLS1))
        return SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    return 0;
}

// Roots trusted besides the system's (AddTrustedRoot); null until one is added.
HCERTSTORE g_extraRoots = nullptr;

DWORD PolicyError(HCERTCHAINENGINE engine, PCCERT_CONTEXT remote, const wchar_t* serverName,
                  PCCERT_CHAIN_CONTEXT* chainOut)
{
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(engine, remote, nullptr, remote->hCertStore, &chainPara, 0, nullptr, &chain))
        return static_cast<DWORD>(CERT_E_CHAINING);
    HTTPSPolicyCallbackData https = {};
    https.cbStruct = sizeof https;
    https.dwAuthType = AUTHTYPE_SERVER;
    https.pwszServerName = const_cast<wchar_t*>(serverName);
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &https;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    DWORD error = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status)
                      ? status.dwError
                      : static_cast<DWORD>(TRUST_E_FAIL);
    // Some policies pass a chain whose issuer was never found: the chain's own
    // status must end in a trusted root too.
    const DWORD trust = chain->TrustStatus.dwErrorStatus;
    if (error == 0 && (trust & CERT_TRUST_IS_PARTIAL_CHAIN))
        error = static_cast<DWORD>(CERT_E_CHAINING);
    else if (error == 0 && (trust & CERT_TRUST_IS_UNTRUSTED_ROOT))
        error = static_cast<DWORD>(CERT_E_UNTRUSTEDROOT);
    else if (error == 0 && (trust & (CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_NOT_TIME_VALID |
                                     CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_CYCLIC)))
        error = static_cast<DWORD>(TRUST_E_FAIL);
    if (*chainOut)
        CertFreeCertificateChain(*chainOut);
    *chainOut = chain;
    return error;
}

// A dotted IPv4 address, in network order; false for a host name.
bool ParseIpv4(const wchar_t* name, BYTE (&address)[4])
{
    if (!name)
        return false;
    unsigned int parts[4];
    wchar_t rest;
    if (swscanf(name, L"%u.%u.%u.%u%lc", &parts[0], &parts[1], &parts[2], &parts[3], &rest) != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (parts[i] > 255)
            return false;
        address[i] = static_cast<BYTE>(parts[i]);
    }
    return true;
}

// The platform's policy compares host names only: an address must be one of
// the certificate's IP address entries (a common name never stands for one).
bool CertificateNamesAddress(PCCERT_CONTEXT cert, const BYTE (&address)[4])
{
    PCERT_EXTENSION extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, cert->pCertInfo->cExtension,
                                                  cert->pCertInfo->rgExtension);
    if (!extension)
        return false;
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                             extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == 4 &&
                std::memcmp(entry.IPAddress.pbData, address, 4) == 0;
    }
    LocalFree(names);
    return found;
}

bool IssuerUnknown(DWORD error)
{
    return error == static_cast<DWORD>(CERT_E_UNTRUSTEDROOT) || error == static_cast<DWORD>(CERT_E_CHAINING) ||
           error == static_cast<DWORD>(CERT_E_UNTRUSTEDCA);
}

void SendToken(SOCKET s, SecBuffer& token, bool& ok)
{
    if (token.pvBuffer && token.cbBuffer > 0) {
        if (!SendRaw(s, static_cast<const char*>(token.pvBuffer), token.cbBuffer))
            ok = false;
    }
    if (token.pvBuffer)
        FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
}

// Keeps the bytes Schannel did not consume (an EXTRA buffer) at the front.
void KeepExtra(std::vector<char>& incoming, const SecBuffer& extra)
{
    if (extra.BufferType == SECBUFFER_EXTRA && extra.cbBuffer > 0 && extra.cbBuffer <= incoming.size())
        incoming.erase(incoming.begin(), incoming.end() - extra.cbBuffer);
    else
        incoming.clear();
}

// Verifies the server's chain with the platform's SSL policy and lets the hook decide.
bool CheckCertificate(SecureState& state, const wchar_t* serverName)
{
    PCCERT_CONTEXT remote = nullptr;
    if (QueryContextAttributesW(&state.context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote) != SEC_E_OK || !remote)
        return false;
    BYTE address[4];
    const bool isAddress = ParseIpv4(serverName, address);
    const wchar_t* policyName = isAddress ? nullptr : serverName;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    DWORD error = PolicyError(nullptr, remote, policyName, &chain);
    Registry& registry = GetRegistry();
    EnterCriticalSection(&registry.lock);
    HCERTSTORE extraRoots = g_extraRoots ? CertDuplicateStore(g_extraRoots) : nullptr;
    LeaveCriticalSection(&registry.lock);
    if (IssuerUnknown(error) && extraRoots) {
        // Not from a system root: try again with only the added roots trusted.
        CERT_CHAIN_ENGINE_CONFIG config = {};
        config.cbSize = sizeof config;
        config.hExclusiveRoot = extraRoots;
        HCERTCHAINENGINE engine = nullptr;
        if (CertCreateCertificateChainEngine(&config, &engine)) {
            error = PolicyError(engine, remote, policyName, &chain);
            CertFreeCertificateChainEngine(engine);
        }
    }
    if (extraRoots)
        CertCloseStore(extraRoots, 0);
    if (!chain) {
        CertFreeCertificateContext(remote);
        return false;
    }
    if (error == 0 && isAddress && !CertificateNamesAddress(remote, address))
        error = static_cast<DWORD>(CERT_E_CN_NO_MATCH);
    DWORD flags = 0;
    if (IssuerUnknown(error))
        flags = SSL_CERT_FLAG_ISSUER_UNKNOWN;
    else if (error != 0)
        flags = SSL_CERT_FLAG_POLICY_ERROR;

    bool accepted;
    if (state.hook.HookFunc) {
        std::vector<BLOB> blobs;
        if (chain->cChain > 0) {
            const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
            for (DWORD i = 0; i < simple->cElement; ++i) {
                PCCERT_CONTEXT cert = simple->rgpElement[i]->pCertContext;
                blobs.push_back(BLOB{cert->cbCertEncoded, cert->pbCertEncoded});
            }
        }
        if (blobs.empty())
            blobs.push_back(BLOB{remote->cbCertEncoded, remote->pbCertEncoded});
        accepted = state.hook.HookFunc(SSL_CERT_X59, state.hook.pvArg, static_cast<DWORD>(blobs.size()),
                                       blobs.data(), flags) == SSL_ERR_OKAY;
    } else {
        accepted = flags == 0;
    }
    CertFreeCertificateChain(chain);
    CertFreeCertificateContext(remote);
    return accepted;
}

enum class DecryptResult { NeedMore, Closed, Failed };
DecryptResult DecryptWaiting(SecureState& state);

bool Handshake(SOCKET s, SecureState& state, const char* serverName)
{
    state.handshakeFailed = true;  // until it succeeds
    std::vector<wchar_t> wideName;
    const wchar_t* name = nullptr;
    if (serverName && *serverName) {
        int n = MultiByteToWideChar(CP_ACP, 0, serverName, -1, nullptr, 0);
        wideName.resize(static_cast<size_t>(n > 0 ? n : 1));
        MultiByteToWideChar(CP_ACP, 0, serverName, -1, wideName.data(), n);
        name = wideName.data();
    }
    // The server name goes as SNI, which never carries an address.
    BYTE address[4];
    const wchar_t* target = ParseIpv4(name, address) ? nullptr : name;

    SCHANNEL_CRED cred = {};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    cred.grbitEnabledProtocols = SchannelProtocols(state.protocols);
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    if (AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr, &cred,
                                  nullptr, nullptr, &state.credentials, nullptr) != SEC_E_OK)
        return false;
    state.haveCredentials = true;

    SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, &out};
    ULONG attributes = 0;
    SECURITY_STATUS status =
        InitializeSecurityContextW(&state.credentials, nullptr, const_cast<wchar_t*>(target), kContextRequest, 0, 0,
                                   nullptr, 0, &state.context, &outDesc, &attributes, nullptr);
    if (status != SEC_I_CONTINUE_NEEDED)
        return false;
    state.haveContext = true;
    bool ok = true;
    SendToken(s, out, ok);
    if (!ok)
        return false;

    bool needMore = true;
    for (;;) {
        if (needMore && !ReceiveRaw(s, state.incoming))
            return false;
        SecBuffer in[2] = {{static_cast<ULONG>(state.incoming.size()), SECBUFFER_TOKEN, state.incoming.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
        out = {0, SECBUFFER_TOKEN, nullptr};
        status = InitializeSecurityContextW(&state.credentials, &state.context, const_cast<wchar_t*>(target),
                                            kContextRequest, 0, 0, &inDesc, 0, nullptr, &outDesc, &attributes,
                                            nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needMore = true;
            continue;
        }
        SendToken(s, out, ok);  // also the alert that goes with a failure
        if (!ok)
            return false;
        if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED || status == SEC_I_INCOMPLETE_CREDENTIALS) {
            KeepExtra(state.incoming, in[1]);
            needMore = state.incoming.empty();
            if (status == SEC_E_OK)
                break;
            continue;
        }
        return false;
    }

    if (QueryContextAttributesW(&state.context, SECPKG_ATTR_STREAM_SIZES, &state.sizes) != SEC_E_OK)
        return false;
    if (!CheckCertificate(state, name))
        return false;
    state.handshakeFailed = false;
    state.handshakeDone = true;
    // Records that came with the server's last handshake message are the
    // first data: decrypt them now so that select sees them.
    return DecryptWaiting(state) != DecryptResult::Failed;
}

enum class Mode { Clear, Secure, Failed };

// Before a deferred handshake the socket carries clear text (a proxy's
// handshake); one that was not deferred performs it on first use.
Mode CurrentMode(SOCKET s, SecureState& state)
{
    if (state.handshakeDone)
        return Mode::Secure;
    if (state.handshakeFailed)
        return Mode::Failed;
    if (state.flags & SSL_FLAG_DEFER_HANDSHAKE)
        return Mode::Clear;
    return Handshake(s, state, nullptr) ? Mode::Secure : Mode::Failed;
}

// Decrypts every whole record waiting in `incoming`, so that what stays there
// is at most a partial record and select need only look at `plain`.
DecryptResult DecryptWaiting(SecureState& state)
{
    while (!state.incoming.empty()) {
        const unsigned char contentType = static_cast<unsigned char>(state.incoming[0]);
        SecBuffer buffers[4] = {{static_cast<ULONG>(state.incoming.size()), SECBUFFER_DATA, state.incoming.data()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&state.context, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return DecryptResult::NeedMore;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            state.peerClosed = true;  // close_notify
            return DecryptResult::Closed;
        }
        if (status != SEC_E_OK)
            return DecryptResult::Failed;
        SecBuffer* extra = nullptr;
        bool data = false;
        for (SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
                const char* bytes = static_cast<const char*>(buffer.pvBuffer);
                state.plain.insert(state.plain.end(), bytes, bytes + buffer.cbBuffer);
                data = true;
            } else if (buffer.BufferType == SECBUFFER_EXTRA) {
                extra = &buffer;
            }
        }
        if (extra)
            KeepExtra(state.incoming, *extra);
        else
            state.incoming.clear();
        // Some Schannels hand a close_notify back as an empty record rather
        // than as the context's end: an alert record is the peer's end either
        // way once the handshake is over.
        if (!data && contentType == kAlertRecord) {
            state.peerClosed = true;
            return DecryptResult::Closed;
        }
    }
    return DecryptResult::NeedMore;
}

int TakePlain(SecureState& state, char* buffer, int length, int flags)
{
    int n = static_cast<int>(std::min<size_t>(state.plain.size(), static_cast<size_t>(length)));
    std::memcpy(buffer, state.plain.data(), static_cast<size_t>(n));
    if (!(flags & MSG_PEEK))
        state.plain.erase(state.plain.begin(), state.plain.begin() + n);
    return n;
}

int SecureRecv(SOCKET s, SecureState& state, char* buffer, int length, int flags)
{
    if (length <= 0)
        return 0;
    for (;;) {
        if (!state.plain.empty())
            return TakePlain(state, buffer, length, flags);
        if (state.peerClosed)
            return 0;
        DecryptResult result = DecryptWaiting(state);
        if (!state.plain.empty())
            continue;
        if (result == DecryptResult::Closed)
            return 0;
        if (result == DecryptResult::Failed)
            return Fail(WSAECONNABORTED);
        char chunk[16384];
        int n = ::recv(s, chunk, sizeof chunk, 0);
        if (n <= 0)
            return n;  // the peer's end (0) or the socket's error
        state.incoming.insert(state.incoming.end(), chunk, chunk + n);
    }
}

int SecureSend(SOCKET s, SecureState& state, const char* data, int length)
{
    const SecPkgContext_StreamSizes& sizes = state.sizes;
    std::vector<char> record(sizes.cbHeader + sizes.cbMaximumMessage + sizes.cbTrailer);
    int done = 0;
    while (done < length) {
        ULONG chunk = std::min<ULONG>(static_cast<ULONG>(length - done), sizes.cbMaximumMessage);
        std::memcpy(record.data() + sizes.cbHeader, data + done, chunk);
        SecBuffer buffers[4] = {{sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                                {chunk, SECBUFFER_DATA, record.data() + sizes.cbHeader},
                                {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + chunk},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&state.context, 0, &desc, 0) != SEC_E_OK)
            return Fail(WSAECONNABORTED);
        size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        if (!SendRaw(s, record.data(), total))
            return SOCKET_ERROR;
        done += static_cast<int>(chunk);
    }
    return length;
}

void SendCloseNotify(SOCKET s, SecureState& state)
{
    if (!state.handshakeDone || state.closeNotifySent)
        return;
    state.closeNotifySent = true;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control = {sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc controlDesc = {SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&state.context, &controlDesc) != SEC_E_OK)
        return;
    SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, &out};
    ULONG attributes = 0;
    SECURITY_STATUS status = InitializeSecurityContextW(&state.credentials, &state.context, nullptr, kContextRequest,
                                                        0, 0, nullptr, 0, nullptr, &outDesc, &attributes, nullptr);
    bool ok = true;
    if (status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED)
        SendToken(s, out, ok);
    else if (out.pvBuffer)
        FreeContextBuffer(out.pvBuffer);
}

} // namespace

namespace SecureSockets {

int setsockopt(SOCKET s, int level, int name, const char* value, int length)
{
    if (level != SOL_SOCKET || name != SO_SECURE)
        return ::setsockopt(s, level, name, value, length);
    if (!value || length < static_cast<int>(sizeof(DWORD)))
        return Fail(WSAEFAULT);
    DWORD mode;
    std::memcpy(&mode, value, sizeof mode);
    if (mode != SO_SEC_SSL)
        return Fail(WSAEINVAL);
    Registry& registry = GetRegistry();
    EnterCriticalSection(&registry.lock);
    SecureState*& state = registry.sockets[s];
    if (!state)
        state = new SecureState();
    LeaveCriticalSection(&registry.lock);
    return 0;
}

int WSAIoctl(SOCKET s, DWORD code, LPVOID in, DWORD inLength, LPVOID out, DWORD outLength, LPDWORD returned)
{
    if (code != SO_SSL_SET_FLAGS && code != SO_SSL_SET_PROTOCOLS && code != SO_SSL_SET_VALIDATE_CERT_HOOK &&
        code != SO_SSL_PERFORM_HANDSHAKE)
        return ::WSAIoctl(s, code, in, inLength, out, outLength, returned, nullptr, nullptr);
    SecureState* state = Find(s);
    if (!state)
        return Fail(WSAEINVAL);
    if (returned)
        *returned = 0;
    switch (code) {
    case SO_SSL_SET_FLAGS:
        if (!in || inLength < sizeof(DWORD))
            return Fail(WSAEFAULT);
        std::memcpy(&state->flags, in, sizeof(DWORD));
        return 0;
    case SO_SSL_SET_PROTOCOLS: {
        if (!in || inLength < sizeof(DWORD))
            return Fail(WSAEFAULT);
        const SSLPROTOCOLS* protocols = static_cast<const SSLPROTOCOLS*>(in);
        if (protocols->dwCount == 0 || inLength < sizeof(DWORD) + protocols->dwCount * sizeof(SSLPROTOCOL))
            return Fail(WSAEINVAL);
        DWORD mask = 0;
        for (DWORD i = 0; i < protocols->dwCount; ++i)
            mask |= protocols->ProtocolList[i].dwProtocol;
        if (!(mask & (SSL_PROTOCOL_SSL2 | SSL_PROTOCOL_SSL3 | SSL_PROTOCOL_TLS1)))
            return Fail(WSAEINVAL);
        state->protocols = mask;
        return 0;
    }
    case SO_SSL_SET_VALIDATE_CERT_HOOK:
        if (!in || inLength < sizeof(SSLVALIDATECERTHOOK))
            return Fail(WSAEFAULT);
        std::memcpy(&state->hook, in, sizeof(SSLVALIDATECERTHOOK));
        return 0;
    default: {  // SO_SSL_PERFORM_HANDSHAKE
        if (state->handshakeDone || state->handshakeFailed)
            return Fail(WSAEINVAL);
        const char* name = nullptr;
        if (in && inLength >= sizeof(const char*))
            std::memcpy(&name, in, sizeof name);
        return Handshake(s, *state, name) ? 0 : Fail(WSAECONNABORTED);
    }
    }
}

int send(SOCKET s, const char* data, int length, int flags)
{
    SecureState* state = Find(s);
    if (!state)
        return ::send(s, data, length, flags);
    if (!data || length < 0)
        return Fail(WSAEFAULT);
    switch (CurrentMode(s, *state)) {
    case Mode::Clear:
        return ::send(s, data, length, flags);
    case Mode::Secure:
        return SecureSend(s, *state, data, length);
    default:
        return Fail(WSAECONNABORTED);
    }
}

int recv(SOCKET s, char* buffer, int length, int flags)
{
    SecureState* state = Find(s);
    if (!state)
        return ::recv(s, buffer, length, flags);
    if (!buffer || length < 0)
        return Fail(WSAEFAULT);
    switch (CurrentMode(s, *state)) {
    case Mode::Clear:
        return ::recv(s, buffer, length, flags);
    case Mode::Secure:
        return SecureRecv(s, *state, buffer, length, flags);
    default:
        return Fail(WSAECONNABORTED);
    }
}

int select(int n, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, timeval* timeout)
{
    // Decrypted bytes (or a peer's close_notify) wait in the secure layer, where
    // the raw socket shows nothing: those sockets are readable now.
    std::vector<SOCKET> waiting;
    if (readSet) {
        for (u_int i = 0; i < readSet->fd_count; ++i) {
            SecureState* state = Find(readSet->fd_array[i]);
            if (state && (!state->plain.empty() || state->peerClosed))
                waiting.push_back(readSet->fd_array[i]);
        }
    }
    if (waiting.empty())
        return ::select(n, readSet, writeSet, exceptSet, timeout);
    timeval now = {0, 0};
    int ready = ::select(n, readSet, writeSet, exceptSet, &now);
    if (ready == SOCKET_ERROR) {
        ready = 0;
        FD_ZERO(readSet);
        if (writeSet)
            FD_ZERO(writeSet);
        if (exceptSet)
            FD_ZERO(exceptSet);
    }
    for (SOCKET s : waiting) {
        if (!FD_ISSET(s, readSet)) {
            FD_SET(s, readSet);
            ++ready;
        }
    }
    return ready;
}

int shutdown(SOCKET s, int how)
{
    SecureState* state = Find(s);
    if (state && (how == SD_SEND || how == SD_BOTH))
        SendCloseNotify(s, *state);
    return ::shutdown(s, how);
}

int closesocket(SOCKET s)
{
    Registry& registry = GetRegistry();
    EnterCriticalSection(&registry.lock);
    auto found = registry.sockets.find(s);
    SecureState* state = nullptr;
    if (found != registry.sockets.end()) {
        state = found->second;
        registry.sockets.erase(found);
    }
    LeaveCriticalSection(&registry.lock);
    delete state;
    return ::closesocket(s);
}

bool AddTrustedRoot(const BYTE* encoded, DWORD length)
{
    Registry& registry = GetRegistry();
    EnterCriticalSection(&registry.lock);
    if (!g_extraRoots)
        g_extraRoots = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
    bool added = g_extraRoots && CertAddEncodedCertificateToStore(g_extraRoots, X509_ASN_ENCODING, encoded, length,
                                                                  CERT_STORE_ADD_USE_EXISTING, nullptr);
    LeaveCriticalSection(&registry.lock);
    return added;
}

} // namespace SecureSockets
