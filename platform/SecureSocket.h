// The device's secure sockets: plain Winsock calls on a socket that was made
// secure with setsockopt(SO_SECURE) and configured with WSAIoctl codes (the
// certificate hook, the protocols, a deferred handshake, the handshake itself).
// After the handshake, send and recv carry clear text and select reports the
// socket readable while decrypted data is waiting.
//
// Written over Schannel. The calls below are Winsock's, with the same arguments
// and results; they pass straight through for sockets that are not secure. One
// thread at a time uses a secure socket (its worker); only the plain Winsock calls
// (shutdown of the raw socket, options) may come from another thread.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "PlatformApi.h"

const int SO_SECURE = 0x2001;
const DWORD SO_SEC_SSL = 0x2004;

const DWORD SO_SSL_SET_FLAGS = 0x90730002;
const DWORD SO_SSL_SET_PROTOCOLS = 0x90730003;
const DWORD SO_SSL_SET_VALIDATE_CERT_HOOK = 0x90730008;
const DWORD SO_SSL_PERFORM_HANDSHAKE = 0x1073000d;

// The handshake waits for SO_SSL_PERFORM_HANDSHAKE (so a proxy can be crossed
// in clear first); without it the first send or recv performs it.
const DWORD SSL_FLAG_DEFER_HANDSHAKE = 0x0008;

// Protocol mask bits. Any of them asks for TLS 1.2 or 1.3: the older versions
// they name are refused by servers of today.
const DWORD SSL_PROTOCOL_SSL2 = 0x1;
const DWORD SSL_PROTOCOL_SSL3 = 0x2;
const DWORD SSL_PROTOCOL_TLS1 = 0x4;

struct SSLPROTOCOL {
    DWORD dwProtocol;
    DWORD dwVersion;
    DWORD dwFlags;
};

struct SSLPROTOCOLS {
    DWORD dwCount;
    SSLPROTOCOL ProtocolList[1];
};

// The certificate hook: called once per handshake with the server's chain (DER
// certificates, the server's first) and the flags of what failed: the chain to a
// trusted root and the server name given to SO_SSL_PERFORM_HANDSHAKE (a dotted
// address must be one of the certificate's IP address entries). Answer
// SSL_ERR_OKAY to accept it; anything else fails the handshake. Without a hook
// only a chain that verifies is taken.
const DWORD SSL_CERT_X59 = 1;
const DWORD SSL_CERT_FLAG_ISSUER_UNKNOWN = 0x0001;  // the chain ends in no trusted root
const DWORD SSL_CERT_FLAG_POLICY_ERROR = 0x0100;    // expired, revoked or wrong name
const int SSL_ERR_OKAY = 0;
const int SSL_ERR_FAILED = 2;

typedef int (*SSLVALIDATECERTFUNC)(DWORD type, LPVOID arg, DWORD chainLength, LPBLOB chain, DWORD flags);

struct SSLVALIDATECERTHOOK {
    SSLVALIDATECERTFUNC HookFunc;
    LPVOID pvArg;
};

namespace SecureSockets {

JOV_PLATFORM_API int setsockopt(SOCKET s, int level, int name, const char* value, int length);
// SO_SSL_PERFORM_HANDSHAKE: `in` points at a `const char*` server name to check
// the certificate against and to send as SNI; a null name checks none.
JOV_PLATFORM_API int WSAIoctl(SOCKET s, DWORD code, LPVOID in, DWORD inLength, LPVOID out, DWORD outLength,
                              LPDWORD returned);
// A secured socket sends all of the data or fails; a plain one is Winsock's send.
JOV_PLATFORM_API int send(SOCKET s, const char* data, int length, int flags);
JOV_PLATFORM_API int recv(SOCKET s, char* buffer, int length, int flags);
JOV_PLATFORM_API int select(int n, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, timeval* timeout);
// SD_SEND or SD_BOTH on a secured socket sends close_notify first.
JOV_PLATFORM_API int shutdown(SOCKET s, int how);
JOV_PLATFORM_API int closesocket(SOCKET s);

// Trusts this DER root certificate besides the system's roots, for the rest of
// the process (a private network's own authority; the tests' authority). A
// chain that reaches no system root is checked again against these alone.
JOV_PLATFORM_API bool AddTrustedRoot(const BYTE* encoded, DWORD length);

} // namespace SecureSockets
