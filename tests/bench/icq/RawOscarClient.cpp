#include "RawOscarClient.h"

#include <winsock2.h>

#include "bench/BenchRow.h"

namespace {

bool ReadAll(SOCKET socket, unsigned char* into, int n)
{
    while (n > 0) {
        const int got = recv(socket, reinterpret_cast<char*>(into), n, 0);
        if (got <= 0)
            return false;
        into += got;
        n -= got;
    }
    return true;
}

bool SendAll(SOCKET socket, const OscarWire::Bytes& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(socket, reinterpret_cast<const char*>(bytes.data() + sent),
                           static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool PlayOne(unsigned short port, const CLoginTranscript& transcript, double* lastRead)
{
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    BOOL noDelay = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
    bool ok = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    std::vector<unsigned char> payload;
    for (const CLoginTranscript::Exchange& exchange : transcript.Exchanges()) {
        if (!ok)
            break;
        if (exchange.fromServer) {
            unsigned char header[6];
            ok = ReadAll(socket, header, 6);
            payload.resize(static_cast<size_t>(header[4] << 8 | header[5]));
            ok = ok && (payload.empty() || ReadAll(socket, payload.data(), static_cast<int>(payload.size())));
            *lastRead = NowMs();
        } else {
            const OscarWire::Frame& frame = exchange.frame;
            ok = SendAll(socket, OscarWire::FlapBytes(frame.channel, frame.sequence, frame.payload));
        }
    }
    closesocket(socket);
    return ok;
}

} // namespace

double CRawOscarClient::Play(const Connections& connections)
{
    double lastRead = -1;
    for (const auto& [port, transcript] : connections) {
        if (!PlayOne(port, *transcript, &lastRead))
            return -1;
    }
    return lastRead;
}
