// The XMPP servers that the test fixture started (servers/servers.sh): their
// ports and users, read from the file named by JOV_XMPP_SERVERS. The first
// look-up also makes the fixture's authority trusted.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/PeerFile.h"

// Null when the servers were not started (the program was run by hand).
inline const CPeerFile* XmppServers()
{
    static const CPeerFile* servers = CPeerFile::Load("JOV_XMPP_SERVERS");
    return servers;
}

// Skips the test when the servers are not there; `servers` names them.
#define REQUIRE_XMPP_SERVERS(servers)                                                               \
    const CPeerFile* servers = XmppServers();                                                       \
    if (!servers)                                                                                   \
        GTEST_SKIP() << "XMPP servers not started: run through ctest (JOV_XMPP_SERVERS is not set)";

// A server's log from byte `from` on; empty when it cannot be read.
inline std::string LogFrom(const std::wstring& path, long from)
{
    std::string text;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return text;
    std::fseek(file, from, SEEK_SET);
    char chunk[8192];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, n);
    std::fclose(file);
    return text;
}
