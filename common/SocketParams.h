// The connection record an account hands to the sockets manager: where to
// connect, through which proxy, and whether to secure the connection.
#pragma once

#include "JOVString.h"

namespace JOVSockets {

enum ProxyType { kProxyNone = 0, kProxyHttp = 1, kProxySocks4 = 2, kProxySocks5 = 3 };
enum SslMode { kSslNone = 0, kSslSsl = 1, kSslTls = 2 };

struct SocketParams {
    CJOVString host;  // a dotted IPv4 address or a host name
    int port = 0;
    int proxyType = kProxyNone;
    CJOVString proxyHost;
    int proxyPort = 0;
    bool proxyAuth = false;
    CJOVString proxyLogin;
    CJOVString proxyPassword;
    int sslMode = kSslNone;
};

} // namespace JOVSockets
