// The baseline of the XMPP login benchmark, and its helper sessions: a client
// on plain blocking calls over the same secure sockets and zlib as the
// account, that plays the account's exchange (stream, SASL DIGEST-MD5, zlib
// once offered, bind, session, roster, first presence) and looks only for the
// markers that end each answer: it builds nothing from what it reads.
#pragma once

#include <winsock2.h>

#include <string>

#include <zlib.h>

class CRawXmppSession {
public:
    CRawXmppSession();
    ~CRawXmppSession();
    CRawXmppSession(const CRawXmppSession&) = delete;
    CRawXmppSession& operator=(const CRawXmppSession&) = delete;

    // Direct TLS to localhost:port, then the login of user@localhost/resource
    // up to the bound resource and the session; false on any failure.
    bool LogIn(unsigned short port, const char* user, const char* password, const char* resource);
    // The roster asked for and read to its end, then the first presence.
    bool RosterAndPresence();
    bool Send(const std::string& text);
    // Reads until the text arrives after what was read before; false on a
    // closed stream.
    bool WaitFor(const std::string& text);
    // Ends the stream and the connection.
    void Close();
    const std::string& Why() const { return m_why; }

private:
    bool Connect(unsigned short port);
    bool SendBytes(const char* data, int length);
    bool ReadMore();
    // The text between the next <name ...> and </name>, after the scan point.
    bool ReadElementText(const std::string& name, std::string& text);
    bool OpenStream();
    bool Fail(const std::string& why);

    SOCKET m_socket;
    bool m_compressed;
    z_stream m_inflate;
    z_stream m_deflate;
    std::string m_read;  // the stream as read (decompressed)
    size_t m_scan;       // where the next wait starts
    std::string m_why;
};
