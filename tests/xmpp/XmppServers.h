// The XMPP servers that the test fixture started (servers/servers.sh): their
// ports and users, read from the file named by JOV_XMPP_SERVERS. The first
// look-up also makes the fixture's authority trusted.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

class CXmppServers {
public:
    // Null when the servers were not started (the program was run by hand).
    static const CXmppServers* Get();

    int Port(const std::string& name) const;
    std::wstring Text(const std::string& name) const;

private:
    std::map<std::string, std::string> m_values;
};

// Skips the test when the servers are not there; `servers` names them.
#define REQUIRE_XMPP_SERVERS(servers)                                                               \
    const CXmppServers* servers = CXmppServers::Get();                                              \
    if (!servers)                                                                                   \
        GTEST_SKIP() << "XMPP servers not started: run through ctest (JOV_XMPP_SERVERS is not set)";
